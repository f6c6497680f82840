// Skylane.so's entry points.
#include "plugin/skylane.h"
#include "vst2/vst_entry.h"

SKYLANE_VST2_ENTRY(Skylane)
