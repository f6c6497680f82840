#include "host/fx_file.h"

#include <algorithm>
#include <utility>

#include "host/be_bytes_p.h"

namespace {

constexpr uint32_t kCcnK = FourCC("CcnK");
constexpr uint32_t kFxProgramParams = FourCC("FxCk");
constexpr uint32_t kFxProgramChunk = FourCC("FPCh");
constexpr uint32_t kFxBankPrograms = FourCC("FxBk");
constexpr uint32_t kFxBankChunk = FourCC("FBCh");

constexpr size_t kNameSize = 28;
constexpr size_t kProgramHeaderSize = 56;  // up to the chunk size or the values
constexpr size_t kBankHeaderSize = 156;
constexpr size_t kReservedSize = 124;

void PutName(std::vector<uint8_t>* out, const std::string& name) {
  // Always NUL-terminated: at most kNameSize - 1 characters.
  size_t n = std::min(name.size(), kNameSize - 1);
  out->insert(out->end(), name.begin(), name.begin() + n);
  out->insert(out->end(), kNameSize - n, 0);
}

std::string GetName(const uint8_t* p) {
  const uint8_t* end = std::find(p, p + kNameSize, 0);
  return std::string(p, end);
}

void PutChunk(std::vector<uint8_t>* out, const std::vector<uint8_t>& chunk) {
  PutBe32(out, static_cast<uint32_t>(chunk.size()));
  out->insert(out->end(), chunk.begin(), chunk.end());
}

// Appends one program header and body (file or bank record).
void PutProgram(std::vector<uint8_t>* out, const FxProgram& p, bool chunkForm) {
  PutBe32(out, kCcnK);
  PutBe32(out, chunkForm ? static_cast<uint32_t>(p.chunk.size() + kProgramHeaderSize + 4) : 0);
  PutBe32(out, chunkForm ? kFxProgramChunk : kFxProgramParams);
  PutBe32(out, 1);
  PutBe32(out, static_cast<uint32_t>(p.uniqueId));
  PutBe32(out, static_cast<uint32_t>(p.pluginVersion));
  PutBe32(out, static_cast<uint32_t>(chunkForm ? p.numParams : int32_t(p.params.size())));
  PutName(out, p.name);
  if (chunkForm) {
    PutChunk(out, p.chunk);
  } else {
    for (float v : p.params) PutBeFloat(out, v);
  }
}

bool Fail(std::string* error, const std::string& text) {
  if (error) *error = text;
  return false;
}

// Reads a chunk size at `at` and the chunk after it; bounded by `size`.
bool GetChunk(const uint8_t* data, size_t size, size_t at, std::vector<uint8_t>* chunk,
              std::string* error) {
  if (size < at + 4) return Fail(error, "file ends before the chunk size");
  uint32_t n = GetBe32(data + at);
  size_t left = size - at - 4;
  if (n > left) {
    return Fail(error, "chunk size " + std::to_string(n) + " exceeds the " + std::to_string(left) +
                           " bytes left in the file");
  }
  chunk->assign(data + at + 4, data + at + 4 + n);
  return true;
}

// The declared total size may count the whole file or all but the first 8
// bytes; 0 means "not given". Larger than the file means it was cut short.
bool CheckByteSize(const uint8_t* data, size_t size, std::string* error) {
  uint32_t declared = GetBe32(data + 4);
  if (declared > size) {
    return Fail(error, "file is truncated: its header declares " + std::to_string(declared) +
                           " bytes, the file has " + std::to_string(size));
  }
  return true;
}

// Parses one program at the start of `data`; *used gets its length.
bool GetProgram(const uint8_t* data, size_t size, FxProgram* p, size_t* used, std::string* error) {
  if (size < kProgramHeaderSize) {
    return Fail(error, "too short for a program header (" + std::to_string(size) + " bytes)");
  }
  if (GetBe32(data) != kCcnK) return Fail(error, "bad magic " + FourCCText(GetBe32(data)));
  uint32_t kind = GetBe32(data + 8);
  if (kind != kFxProgramChunk && kind != kFxProgramParams) {
    return Fail(error, "not a program: kind " + FourCCText(kind));
  }
  int32_t version = GetBe32Signed(data + 12);
  if (version != 1)
    return Fail(error, "unsupported program format version " + std::to_string(version));
  p->isChunk = kind == kFxProgramChunk;
  p->uniqueId = GetBe32Signed(data + 16);
  p->pluginVersion = GetBe32Signed(data + 20);
  p->numParams = GetBe32Signed(data + 24);
  p->name = GetName(data + 28);
  p->chunk.clear();
  p->params.clear();
  if (p->isChunk) {
    if (!GetChunk(data, size, kProgramHeaderSize, &p->chunk, error)) return false;
    *used = kProgramHeaderSize + 4 + p->chunk.size();
    return true;
  }
  if (p->numParams < 0)
    return Fail(error, "negative parameter count " + std::to_string(p->numParams));
  uint64_t need = kProgramHeaderSize + 4 * uint64_t(p->numParams);
  if (need > size) {
    return Fail(error, "program declares " + std::to_string(p->numParams) +
                           " parameter values but holds only " +
                           std::to_string((size - kProgramHeaderSize) / 4));
  }
  p->params.resize(size_t(p->numParams));
  for (size_t i = 0; i < p->params.size(); ++i) {
    p->params[i] = GetBeFloat(data + kProgramHeaderSize + 4 * i);
  }
  *used = size_t(need);
  return true;
}

}  // namespace

std::vector<uint8_t> WriteFxProgram(const FxProgram& program) {
  std::vector<uint8_t> out;
  PutProgram(&out, program, program.isChunk);
  return out;
}

std::vector<uint8_t> WriteFxBank(const FxBank& bank) {
  std::vector<uint8_t> out;
  PutBe32(&out, kCcnK);
  PutBe32(&out, bank.isChunk ? static_cast<uint32_t>(bank.chunk.size() + kBankHeaderSize + 4) : 0);
  PutBe32(&out, bank.isChunk ? kFxBankChunk : kFxBankPrograms);
  PutBe32(&out, 2);
  PutBe32(&out, static_cast<uint32_t>(bank.uniqueId));
  PutBe32(&out, static_cast<uint32_t>(bank.pluginVersion));
  PutBe32(&out,
          static_cast<uint32_t>(bank.isChunk ? bank.numPrograms : int32_t(bank.programs.size())));
  PutBe32(&out, static_cast<uint32_t>(bank.currentProgram));
  out.insert(out.end(), kReservedSize, 0);
  if (bank.isChunk) {
    PutChunk(&out, bank.chunk);
  } else {
    for (const FxProgram& p : bank.programs) PutProgram(&out, p, false);
  }
  return out;
}

bool ReadFxProgram(const uint8_t* data, size_t size, FxProgram* program, std::string* error) {
  size_t used = 0;
  return GetProgram(data, size, program, &used, error) && CheckByteSize(data, size, error);
}

bool ReadFxBank(const uint8_t* data, size_t size, FxBank* bank, std::string* error) {
  if (size < kBankHeaderSize) {
    return Fail(error, "too short for a bank header (" + std::to_string(size) + " bytes)");
  }
  if (GetBe32(data) != kCcnK) return Fail(error, "bad magic " + FourCCText(GetBe32(data)));
  if (!CheckByteSize(data, size, error)) return false;
  uint32_t kind = GetBe32(data + 8);
  if (kind != kFxBankChunk && kind != kFxBankPrograms) {
    return Fail(error, "not a bank: kind " + FourCCText(kind));
  }
  bank->isChunk = kind == kFxBankChunk;
  bank->uniqueId = GetBe32Signed(data + 16);
  bank->pluginVersion = GetBe32Signed(data + 20);
  bank->numPrograms = GetBe32Signed(data + 24);
  bank->currentProgram = GetBe32Signed(data + 28);
  bank->chunk.clear();
  bank->programs.clear();
  if (bank->isChunk) return GetChunk(data, size, kBankHeaderSize, &bank->chunk, error);
  if (bank->numPrograms < 0) {
    return Fail(error, "negative program count " + std::to_string(bank->numPrograms));
  }
  size_t at = kBankHeaderSize;
  for (int32_t i = 0; i < bank->numPrograms; ++i) {
    FxProgram p;
    size_t used = 0;
    std::string why;
    if (!GetProgram(data + at, size - at, &p, &used, &why)) {
      return Fail(error, "program " + std::to_string(i) + " of " +
                             std::to_string(bank->numPrograms) + ": " + why);
    }
    if (p.isChunk)
      return Fail(error, "program " + std::to_string(i) + ": chunk inside a program-list bank");
    bank->programs.push_back(std::move(p));
    at += used;
  }
  return true;
}
