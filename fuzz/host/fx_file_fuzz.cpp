// Any bytes as a program and as a bank file: the readers must refuse or
// accept without reading outside the input, and whatever they accept must
// survive writing and reading again unchanged.
#include <cstdint>
#include <cstdlib>

#include "host/fx_file.h"

namespace {

void CheckProgram(const uint8_t* data, size_t size) {
  FxProgram first, second;
  std::string error;
  if (!ReadFxProgram(data, size, &first, &error)) return;
  std::vector<uint8_t> bytes = WriteFxProgram(first);
  if (!ReadFxProgram(bytes.data(), bytes.size(), &second, &error)) std::abort();
  bool same = first.isChunk == second.isChunk && first.chunk == second.chunk &&
              first.uniqueId == second.uniqueId && first.numParams == second.numParams;
  // Names longer than the written 27 characters come back shortened.
  if (!same || second.name != first.name.substr(0, 27)) std::abort();
  if (!first.isChunk && bytes != WriteFxProgram(second)) std::abort();
}

void CheckBank(const uint8_t* data, size_t size) {
  FxBank first, second;
  std::string error;
  if (!ReadFxBank(data, size, &first, &error)) return;
  std::vector<uint8_t> bytes = WriteFxBank(first);
  if (!ReadFxBank(bytes.data(), bytes.size(), &second, &error)) std::abort();
  if (first.isChunk != second.isChunk || first.chunk != second.chunk ||
      first.programs.size() != second.programs.size() ||
      first.currentProgram != second.currentProgram) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CheckProgram(data, size);
  CheckBank(data, size);
  return 0;
}
