// The Skylane LV2 module's entry points.
#include "lv2/lv2_entry.h"
#include "plugin/skylane.h"

SKYLANE_LV2_ENTRY(Skylane)
