#pragma once
// Turns a plug-in class into an LV2 module with its editor as the UI.
//
// In exactly one source file of the module, after including the class:
//
//   SKYLANE_LV2_ENTRY(MyPlug)
//
// MyPlug derives from PlugLV2 and has a constructor MyPlug(PlugInstanceInfo).
// The macro defines `lv2_descriptor` and `lv2ui_descriptor` with C linkage and
// default visibility; build the module with hidden visibility so that these
// two are its only exports.

#include <lv2/core/lv2.h>
#include <lv2/ui/ui.h>

#include "lv2/plug_lv2.h"

typedef PlugLV2* (*PlugLV2Factory)(PlugInstanceInfo instanceInfo);

// The plug-in's descriptor (index 0 only), making instances with factory.
const LV2_Descriptor* LV2PluginDescriptor(uint32_t index, PlugLV2Factory factory);
// The UI's descriptor (index 0 only).
const LV2UI_Descriptor* LV2EditorDescriptor(uint32_t index);

#define SKYLANE_LV2_ENTRY(PLUG_CLASS)                                                         \
  static PlugLV2* SkylaneLV2Make(PlugInstanceInfo instanceInfo) {                             \
    return new PLUG_CLASS(instanceInfo);                                                      \
  }                                                                                           \
  extern "C" __attribute__((visibility("default"))) const LV2_Descriptor* lv2_descriptor(     \
      uint32_t index) {                                                                       \
    return LV2PluginDescriptor(index, SkylaneLV2Make);                                        \
  }                                                                                           \
  extern "C" __attribute__((visibility("default"))) const LV2UI_Descriptor* lv2ui_descriptor( \
      uint32_t index) {                                                                       \
    return LV2EditorDescriptor(index);                                                        \
  }
