#include "plug/ipreset.h"

#include <cstring>

IPreset::IPreset() : mInitialized(false) { strcpy(mName, UNUSED_PRESET_NAME); }
