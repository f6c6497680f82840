// The URIs of the Skylane LV2 bundle. They are part of saved sessions: never
// change them.
#pragma once

#define SKY_LV2_PLUGIN_URI "urn:skylane:lv2:skylane"
#define SKY_LV2_UI_URI "urn:skylane:lv2:skylane#ui"
// The state property that holds the parameter values.
#define SKY_LV2_STATE_KEY_URI "urn:skylane:lv2:skylane#state"
