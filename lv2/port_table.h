// The port table a Skylane LV2 module describes itself with. The bundle's
// Turtle is written from it at build time by a tool that loads the built
// module, so the description always matches the binary.
#pragma once

#include <cstdint>

#include <lv2/core/lv2.h>

// extension_data() of the plug-in answers this URI with a SkyPortTable.
#define SKY_LV2_PORT_TABLE_URI "urn:skylane:lv2:port-table"

enum SkyPortKind { kSkyAudioInput = 0, kSkyAudioOutput, kSkyControlInput };

struct SkyPortInfo {
  int kind;            // SkyPortKind
  const char* symbol;  // lower case, digits and underscores
  const char* name;
  float minimum, maximum, deflt;  // control ports only
  bool integer, toggled, enumeration;
};

struct SkyPortTable {
  uint32_t (*count)(LV2_Handle instance);
  // False for an index past the last port.
  bool (*port)(LV2_Handle instance, uint32_t index, SkyPortInfo* pInfo);
  // The name of one value of an enumeration port; null when it has none.
  const char* (*value_name)(LV2_Handle instance, uint32_t index, int value);
  const char* (*plugin_name)(LV2_Handle instance);
  const char* (*vendor_name)(LV2_Handle instance);
  // major * 10000 + minor * 100 + revision.
  int (*version)(LV2_Handle instance);
};
