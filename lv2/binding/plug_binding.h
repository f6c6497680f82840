// The LV2 build of the plug-in class: it derives from PlugLV2.
#pragma once

#include "lv2/plug_lv2.h"

using PlugBinding = PlugLV2;
