// The VST 2 build of the plug-in class: it derives from PlugVST.
#pragma once

#include "vst2/plug_vst.h"

using PlugBinding = PlugVST;
