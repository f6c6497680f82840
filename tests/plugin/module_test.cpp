// Skylane.so as a host sees it: its exported symbols and its entry point.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

#include "tests/plugin/scripted_relay.h"
#include "vst2/aeffectx.h"

namespace {

std::set<std::string> definedDynamicSymbols(const char* path) {
  std::set<std::string> names;
  const std::string command = std::string("nm -D --defined-only ") + path;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return names;
  char line[512], type[8], name[400];
  unsigned long long address;
  while (fgets(line, sizeof line, pipe)) {
    if (sscanf(line, "%llx %7s %399s", &address, type, name) == 3) names.insert(name);
  }
  pclose(pipe);
  return names;
}

VstIntPtr silentHost(AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float) { return 0; }

TEST(ModuleTest, ExportsExactlyTheEntryPointsAndTheDspFunctions) {
  const std::set<std::string> expected = {
      "VSTPluginMain", "main",          "cbf_init",        "cbf_release",
      "cbf_empty",     "cbf_clear",     "cbf_insert",      "cbf_extract",
      "resample_init", "resample_mono", "resample_stereo", "resample_buffer",
      "bspline",       "sampleRate"};
  EXPECT_EQ(definedDynamicSymbols(SKYLANE_MODULE), expected);
}

TEST(ModuleTest, EntryPointMakesAnInstanceTheHostCanClose) {
  {
    ScriptedRelay closed;
    UseTestRelay(closed.Port(), 5);
  }
  void* module = dlopen(SKYLANE_MODULE, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(module, nullptr) << dlerror();
  for (const char* entry : {"VSTPluginMain", "main"}) {
    auto make = reinterpret_cast<VstPluginMainProc>(dlsym(module, entry));
    ASSERT_NE(make, nullptr) << entry;
    AEffect* effect = make(silentHost);
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->magic, kEffectMagic);
    EXPECT_EQ(effect->uniqueID, 0x536B4C61);
    EXPECT_EQ(effect->numParams, 9);
    EXPECT_EQ(effect->numInputs, 2);
    EXPECT_EQ(effect->numOutputs, 2);
    effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0);
    char name[64] = {};
    effect->dispatcher(effect, effGetParamName, 1, 0, name, 0);
    EXPECT_STREQ(name, "Latency Control");
    effect->dispatcher(effect, effGetEffectName, 0, 0, name, 0);
    EXPECT_STREQ(name, "Skylane");
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0);
  }
  auto* rate = static_cast<float*>(dlsym(module, "sampleRate"));
  ASSERT_NE(rate, nullptr);
  EXPECT_EQ(*rate, 44100.0f);
  dlclose(module);
}

}  // namespace
