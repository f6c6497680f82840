// The UI descriptor: an X11 UI that shows the instance's own editor inside the
// host's parent window. It reaches the instance through the host's instance
// access, idles the editor from the host's idle calls, and passes every
// parameter change made in the editor to the host as a port write (framed by
// touch grab and release when the host offers touch, so hosts record it as
// automation).

#include <cstring>
#include <new>
#include <vector>

#include <lv2/atom/atom.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include "lv2/lv2_entry.h"
#include "lv2/lv2_uris.h"

namespace {

struct EditorUI {
  PlugLV2* mPlug;
  LV2UI_Write_Function mWrite;
  LV2UI_Controller mController;
  const LV2UI_Touch* mTouch;
  std::vector<PlugLV2::HostEvent> mEvents;
};

const void* FeatureData(const LV2_Feature* const* features, const char* uri) {
  for (int i = 0; features && features[i]; ++i) {
    if (!strcmp(features[i]->URI, uri)) return features[i]->data;
  }
  return nullptr;
}

// The host's screen scale, or 0 when it gives none.
double ScaleFactor(const LV2_Feature* const* features) {
  const auto* map = (const LV2_URID_Map*)FeatureData(features, LV2_URID__map);
  const auto* options = (const LV2_Options_Option*)FeatureData(features, LV2_OPTIONS__options);
  if (!map || !options) return 0.0;
  const LV2_URID key = map->map(map->handle, LV2_UI__scaleFactor);
  const LV2_URID floatType = map->map(map->handle, LV2_ATOM__Float);
  for (; options->key; ++options) {
    if (options->key == key && options->type == floatType && options->size == sizeof(float) &&
        options->value)
      return *(const float*)options->value;
  }
  return 0.0;
}

LV2UI_Handle Instantiate(const LV2UI_Descriptor*, const char*, const char*,
                         LV2UI_Write_Function write, LV2UI_Controller controller,
                         LV2UI_Widget* pWidget, const LV2_Feature* const* features) {
  auto* pPlug = (PlugLV2*)FeatureData(features, LV2_INSTANCE_ACCESS_URI);
  void* pParent = (void*)FeatureData(features, LV2_UI__parent);
  if (!pPlug || !pParent || !write || !pWidget) return nullptr;
  EditorUI* pUI = new (std::nothrow) EditorUI{
      pPlug, write, controller, (const LV2UI_Touch*)FeatureData(features, LV2_UI__touch), {}};
  if (!pUI) return nullptr;
  void* pWindow = pPlug->OpenEditor(pParent, ScaleFactor(features));
  if (!pWindow) {
    delete pUI;
    return nullptr;
  }
  *pWidget = pWindow;
  if (const auto* pResize = (const LV2UI_Resize*)FeatureData(features, LV2_UI__resize)) {
    int w = 0, h = 0;
    pPlug->EditorSize(&w, &h);
    pResize->ui_resize(pResize->handle, w, h);
  }
  return pUI;
}

void Cleanup(LV2UI_Handle handle) {
  auto* pUI = (EditorUI*)handle;
  pUI->mPlug->CloseEditor();
  delete pUI;
}

// The instance shows the host's values itself once run() hands them over.
void PortEvent(LV2UI_Handle, uint32_t, uint32_t, uint32_t, const void*) {}

void PassEventsToHost(EditorUI* pUI) {
  pUI->mPlug->TakeHostEvents(&pUI->mEvents);
  for (const PlugLV2::HostEvent& e : pUI->mEvents) {
    if (e.kind == PlugLV2::HostEvent::kValue) {
      pUI->mWrite(pUI->mController, e.port, sizeof(float), 0, &e.value);
    } else if (pUI->mTouch) {
      pUI->mTouch->touch(pUI->mTouch->handle, e.port, e.kind == PlugLV2::HostEvent::kGrab);
    }
  }
}

int Idle(LV2UI_Handle handle) {
  auto* pUI = (EditorUI*)handle;
  pUI->mPlug->IdleEditor();
  PassEventsToHost(pUI);
  return 0;
}

const void* ExtensionData(const char* uri) {
  static const LV2UI_Idle_Interface kIdle = {Idle};
  if (uri && !strcmp(uri, LV2_UI__idleInterface)) return &kIdle;
  return nullptr;
}

const LV2UI_Descriptor kDescriptor = {SKY_LV2_UI_URI, Instantiate, Cleanup, PortEvent,
                                      ExtensionData};

}  // namespace

const LV2UI_Descriptor* LV2EditorDescriptor(uint32_t index) {
  return index == 0 ? &kDescriptor : nullptr;
}
