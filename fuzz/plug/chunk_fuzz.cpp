// Feeds arbitrary bytes to the state, bank and header readers of a plug-in with
// a few parameters and presets, and arbitrary text to the preset blob decoder.

#include <cstddef>
#include <cstdint>
#include <string>

#include "tests/plug/test_plug.h"

namespace {

void InitParams(TestPlug* pPlug) {
  pPlug->GetParam(0)->InitBool("Switch", false);
  pPlug->GetParam(1)->InitEnum("Mode", 1, 4);
  pPlug->GetParam(2)->InitInt("Count", 3, -5, 5);
  pPlug->GetParam(3)->InitDouble("Gain", 0.0, -60.0, 12.0, 0.1, "dB", "", 2.0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TestPlug plug(4, "1-1 2-2", 3);
  plug.SetRecording(false);
  InitParams(&plug);
  plug.MakeDefaultPreset("first", 1);

  ByteChunk chunk;
  chunk.PutBytes(data, (int)size);

  int pos = 0;
  int version = PlugBase::GetPlugVerFromChunk(&chunk, &pos);
  if (version > 0xFFFF) plug.UnserializePresets(&chunk, pos);
  else plug.UnserializeState(&chunk, pos);
  plug.UnserializePresets(&chunk, 0);
  plug.UnserializeParams(&chunk, 0);

  // Everything read must still display and round-trip.
  char text[MAX_PARAM_DISPLAY_LEN];
  for (int i = 0; i < plug.NParams(); ++i) {
    plug.GetParam(i)->GetDisplayForHost(text);
    plug.GetParam(i)->GetNormalized();
  }
  ByteChunk out;
  plug.SerializePresets(&out);
  for (int i = 0; i < plug.NPresets(); ++i) plug.RestorePreset(i);

  std::string blob((const char*)data, size);
  plug.MakePresetFromBlob("blob", blob.c_str(), (int)(size % 64));
  return 0;
}
