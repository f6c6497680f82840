// The exported global `sampleRate`: the host's current rate as a 32-bit float,
// set when an instance is made and at the start of every audio callback.
#pragma once

#include <atomic>

#include "plugin/exported.h"

extern "C" SKYLANE_EXPORT std::atomic<float> sampleRate;
