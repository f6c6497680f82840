// Marks the symbols Skylane.so exports to hosts and tools; everything else in
// the module stays hidden.
#pragma once

#define SKYLANE_EXPORT __attribute__((visibility("default")))
