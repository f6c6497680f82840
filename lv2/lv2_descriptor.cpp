// The plug-in's LV2 descriptor: the functions a host calls, the state and
// worker interfaces and the port table, each passed on to the PlugLV2
// instance behind the handle.

#include <cstring>
#include <new>

#include "lv2/lv2_entry.h"
#include "lv2/lv2_uris.h"

namespace {

PlugLV2Factory sFactory = nullptr;

PlugLV2* Instance(LV2_Handle handle) { return static_cast<PlugLV2*>(handle); }

LV2_Handle Instantiate(const LV2_Descriptor*, double rate, const char*,
                       const LV2_Feature* const* features) {
  PlugLV2* pPlug = nullptr;
  // Nothing may throw into the host: a failed allocation is a failed load.
  try {
    pPlug = sFactory ? sFactory({rate, features}) : nullptr;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  if (!pPlug) return nullptr;
  if (!pPlug->HasHostFeatures()) {
    delete pPlug;
    return nullptr;
  }
  pPlug->EnsureDefaultPreset();
  pPlug->ListControlPorts();
  return pPlug;
}

void ConnectPort(LV2_Handle handle, uint32_t port, void* data) {
  Instance(handle)->ConnectPort(port, data);
}

void Activate(LV2_Handle handle) { Instance(handle)->Activate(); }

void Run(LV2_Handle handle, uint32_t nFrames) { Instance(handle)->Run(nFrames); }

void Deactivate(LV2_Handle handle) { Instance(handle)->Deactivate(); }

void Cleanup(LV2_Handle handle) {
  PlugLV2* pPlug = Instance(handle);
  // The window goes before the instance.
  pPlug->CloseEditor();
  delete pPlug;
}

LV2_State_Status Save(LV2_Handle handle, LV2_State_Store_Function store,
                      LV2_State_Handle stateHandle, uint32_t, const LV2_Feature* const*) {
  return Instance(handle)->SaveState(store, stateHandle);
}

LV2_State_Status Restore(LV2_Handle handle, LV2_State_Retrieve_Function retrieve,
                         LV2_State_Handle stateHandle, uint32_t, const LV2_Feature* const*) {
  return Instance(handle)->RestoreState(retrieve, stateHandle);
}

LV2_Worker_Status Work(LV2_Handle handle, LV2_Worker_Respond_Function, LV2_Worker_Respond_Handle,
                       uint32_t, const void*) {
  Instance(handle)->ApplyPendingControls();
  return LV2_WORKER_SUCCESS;
}

LV2_Worker_Status WorkResponse(LV2_Handle, uint32_t, const void*) { return LV2_WORKER_SUCCESS; }

uint32_t PortCount(LV2_Handle handle) { return Instance(handle)->NPorts(); }

bool DescribePort(LV2_Handle handle, uint32_t index, SkyPortInfo* pInfo) {
  return Instance(handle)->DescribePort(index, pInfo);
}

const char* ValueName(LV2_Handle handle, uint32_t index, int value) {
  return Instance(handle)->PortValueName(index, value);
}

const char* PluginName(LV2_Handle handle) { return Instance(handle)->GetEffectName(); }

const char* VendorName(LV2_Handle handle) { return Instance(handle)->GetMfrName(); }

int Version(LV2_Handle handle) { return Instance(handle)->GetEffectVersion(true); }

const void* ExtensionData(const char* uri) {
  static const LV2_State_Interface kState = {Save, Restore};
  static const LV2_Worker_Interface kWorker = {Work, WorkResponse, nullptr};
  static const SkyPortTable kPorts = {PortCount,  DescribePort, ValueName,
                                      PluginName, VendorName,   Version};
  if (!uri) return nullptr;
  if (!strcmp(uri, LV2_STATE__interface)) return &kState;
  if (!strcmp(uri, LV2_WORKER__interface)) return &kWorker;
  if (!strcmp(uri, SKY_LV2_PORT_TABLE_URI)) return &kPorts;
  return nullptr;
}

const LV2_Descriptor kDescriptor = {SKY_LV2_PLUGIN_URI, Instantiate, ConnectPort,  Activate, Run,
                                    Deactivate,         Cleanup,     ExtensionData};

}  // namespace

const LV2_Descriptor* LV2PluginDescriptor(uint32_t index, PlugLV2Factory factory) {
  sFactory = factory;
  return index == 0 ? &kDescriptor : nullptr;
}
