// The program and bank loaders on arbitrary files, for a plug-in with state
// chunks (first byte odd) and one without.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "base/sky_string.h"
#include "plug/fxp_files.h"
#include "tests/vst2/example_plug.h"

namespace {

// The example's parameters with its chunk switch turned off.
class ParamsPlug : public PlugVST {
 public:
  ParamsPlug()
      : PlugVST({nullptr}, 3, "2-2", 2, "Params", "", "", 0x10000, EXAMPLE_UNIQUE_ID, 0, 0, false,
                false, false) {
    for (int i = 0; i < NParams(); ++i) GetParam(i)->InitDouble("P", 0.0, -1.0, 1.0, 0.01);
    EnsureDefaultPreset();
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static ExamplePlug* sChunks = [] {
    ExamplePlug* p = new ExamplePlug({nullptr});
    p->EnsureDefaultPreset();
    return p;
  }();
  static ParamsPlug* sParams = new ParamsPlug;
  static const std::string sPath = "/tmp/skylane-fxfuzz-" + std::to_string(getpid());
  if (size < 1) return 0;
  FILE* f = fopen(sPath.c_str(), "wb");
  if (!f) return 0;
  fwrite(data + 1, 1, size - 1, f);
  fclose(f);
  PlugBase* pPlug = (data[0] & 1) ? (PlugBase*)sChunks : (PlugBase*)sParams;
  SkyString path(sPath.c_str());
  LoadProgramFromFXP(pPlug, path);
  LoadBankFromFXB(pPlug, path);
  return 0;
}
