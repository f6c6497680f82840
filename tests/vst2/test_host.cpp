#include "tests/vst2/test_host.h"

#include <dlfcn.h>

#include <cstring>

namespace {

TestHost* sHost = new TestHost;

}  // namespace

TestHost& Host() { return *sHost; }

void TestHostReset() {
  delete sHost;
  sHost = new TestHost;
}

VstIntPtr TestHostCallback(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                           float opt) {
  TestHost& h = Host();
  if (opcode >= 0 && opcode < 64) ++h.calls[opcode];
  switch (opcode) {
    case audioMasterVersion: return kVstVersion;
    case audioMasterAutomate: h.automations.push_back({index, opt}); return 0;
    case audioMasterGetTime:
      h.timeFilters.push_back(value);
      return h.giveTime ? (VstIntPtr)&h.timeInfo : 0;
    case audioMasterProcessEvents: {
      const VstEvents* pEvents = (const VstEvents*)ptr;
      for (int i = 0; i < pEvents->numEvents; ++i) {
        const VstEvent* e = pEvents->events[i];
        if (e->type == kVstMidiType) {
          h.midiOut.push_back(*(const VstMidiEvent*)e);
        } else if (e->type == kVstSysExType) {
          const VstMidiSysexEvent* s = (const VstMidiSysexEvent*)e;
          h.sysExOut.emplace_back((const uint8_t*)s->sysexDump,
                                  (const uint8_t*)s->sysexDump + s->dumpBytes);
          h.sysExByteSizes.push_back(s->byteSize);
        }
      }
      return h.eventsAnswer;
    }
    case audioMasterGetCurrentProcessLevel: return h.processLevel;
    case audioMasterGetProductString: strncpy((char*)ptr, h.productString.c_str(), 63); return 1;
    case audioMasterGetVendorVersion: return h.vendorVersion;
    default: return 0;
  }
}

LoadedPlugin::LoadedPlugin(const char* entryName, audioMasterCallback callback) {
  mLibrary = dlopen(EXAMPLE_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
  if (!mLibrary) return;
  auto entry = (AEffect * (*)(audioMasterCallback)) dlsym(mLibrary, entryName);
  if (entry) mEffect = entry(callback);
}

LoadedPlugin::~LoadedPlugin() {
  if (mEffect) mEffect->dispatcher(mEffect, effClose, 0, 0, nullptr, 0.0f);
  if (mLibrary) dlclose(mLibrary);
}

VstIntPtr LoadedPlugin::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                 float opt) const {
  return mEffect->dispatcher(mEffect, opcode, index, value, ptr, opt);
}

std::string LoadedPlugin::Text(VstInt32 opcode, VstInt32 index, VstIntPtr value, float opt,
                               VstIntPtr* pResult) const {
  char buffer[256];
  memset(buffer, 'x', sizeof(buffer));
  buffer[sizeof(buffer) - 1] = 0;
  VstIntPtr result = Dispatch(opcode, index, value, buffer, opt);
  if (pResult) *pResult = result;
  return buffer;
}
