// Compiled with -m32 -ffreestanding by CTest: the VST 2.4 records must keep
// their 32-bit offsets (checked by the headers' own assertions).
#include "vst2/aeffectx.h"
