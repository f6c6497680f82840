// The example plug-in as a VST 2.4 shared object.
#include "tests/vst2/example_plug.h"
#include "vst2/vst_entry.h"

SKYLANE_VST2_ENTRY(ExamplePlug)
