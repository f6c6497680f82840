// Program and bank files: exact byte layouts, round trips, and refusal of
// truncated, lying or mislabelled files.
#include "host/fx_file.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using Bytes = std::vector<uint8_t>;

void Append(Bytes* b, const char* text) { b->insert(b->end(), text, text + std::strlen(text)); }
void Append32(Bytes* b, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) b->push_back(uint8_t(v >> shift));
}
void AppendName(Bytes* b, const char* name) {
  size_t n = std::strlen(name);
  b->insert(b->end(), name, name + n);
  b->insert(b->end(), 28 - n, 0);
}

constexpr uint32_t kId = 0x5473476E;  // 'TsGn'

FxProgram ChunkProgram() {
  FxProgram p;
  p.uniqueId = int32_t(kId);
  p.pluginVersion = 1002;
  p.numParams = 3;
  p.name = "Init";
  p.isChunk = true;
  p.chunk = {1, 2, 3, 4, 5};
  return p;
}

FxProgram ParamProgram(const char* name, float a, float b, float c) {
  FxProgram p;
  p.uniqueId = int32_t(kId);
  p.pluginVersion = 1002;
  p.numParams = 3;
  p.name = name;
  p.params = {a, b, c};
  return p;
}

FxBank ListBank() {
  FxBank bank;
  bank.uniqueId = int32_t(kId);
  bank.pluginVersion = 1002;
  bank.numPrograms = 2;
  bank.currentProgram = 1;
  bank.programs = {ParamProgram("Init", 0.5f, 0.25f, 1.0f),
                   ParamProgram("Bright", 1.0f, 0.0f, 0.5f)};
  return bank;
}

FxBank ChunkBank() {
  FxBank bank;
  bank.uniqueId = int32_t(kId);
  bank.pluginVersion = 1002;
  bank.numPrograms = 2;
  bank.currentProgram = 1;
  bank.isChunk = true;
  bank.chunk = {9, 8, 7};
  return bank;
}

Bytes ExpectedParamRecord(const char* name, uint32_t a, uint32_t b, uint32_t c) {
  Bytes e;
  Append(&e, "CcnK");
  Append32(&e, 0);
  Append(&e, "FxCk");
  Append32(&e, 1);
  Append32(&e, kId);
  Append32(&e, 1002);
  Append32(&e, 3);
  AppendName(&e, name);
  Append32(&e, a);
  Append32(&e, b);
  Append32(&e, c);
  return e;
}

TEST(FxProgramFile, ChunkFormHasTheExactLayout) {
  Bytes e;
  Append(&e, "CcnK");
  Append32(&e, 65);  // whole file: 60 + chunk
  Append(&e, "FPCh");
  Append32(&e, 1);
  Append32(&e, kId);
  Append32(&e, 1002);
  Append32(&e, 3);
  AppendName(&e, "Init");
  Append32(&e, 5);
  for (uint8_t v = 1; v <= 5; ++v) e.push_back(v);
  EXPECT_EQ(WriteFxProgram(ChunkProgram()), e);
}

TEST(FxProgramFile, ParameterFormHasTheExactLayout) {
  Bytes written = WriteFxProgram(ParamProgram("Init", 0.5f, 0.25f, 1.0f));
  EXPECT_EQ(written, ExpectedParamRecord("Init", 0x3F000000, 0x3E800000, 0x3F800000));
  EXPECT_EQ(written.size(), 56u + 12u);
}

TEST(FxProgramFile, RoundTripsBothForms) {
  for (const FxProgram& in : {ChunkProgram(), ParamProgram("Warm", 0.1f, 0.2f, 0.3f)}) {
    Bytes bytes = WriteFxProgram(in);
    FxProgram out;
    std::string error;
    ASSERT_TRUE(ReadFxProgram(bytes.data(), bytes.size(), &out, &error)) << error;
    EXPECT_EQ(out.isChunk, in.isChunk);
    EXPECT_EQ(out.uniqueId, in.uniqueId);
    EXPECT_EQ(out.pluginVersion, 1002);
    EXPECT_EQ(out.numParams, 3);
    EXPECT_EQ(out.name, in.name);
    EXPECT_EQ(out.chunk, in.chunk);
    EXPECT_EQ(out.params, in.params);
  }
}

TEST(FxProgramFile, NamesAreBoundedToTheField) {
  FxProgram p = ParamProgram("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", 0, 0, 0);
  Bytes bytes = WriteFxProgram(p);
  ASSERT_EQ(bytes.size(), 68u);
  EXPECT_EQ(bytes[28 + 27], 0);  // always terminated
  FxProgram out;
  std::string error;
  ASSERT_TRUE(ReadFxProgram(bytes.data(), bytes.size(), &out, &error));
  EXPECT_EQ(out.name, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0");
  // A foreign file may fill all 28 bytes without a terminator.
  std::memset(&bytes[28], 'N', 28);
  ASSERT_TRUE(ReadFxProgram(bytes.data(), bytes.size(), &out, &error));
  EXPECT_EQ(out.name, std::string(28, 'N'));
}

TEST(FxProgramFile, AcceptsEitherByteSizeConvention) {
  Bytes bytes = WriteFxProgram(ChunkProgram());
  bytes[7] = 65 - 8;  // size without the first two fields
  FxProgram out;
  std::string error;
  EXPECT_TRUE(ReadFxProgram(bytes.data(), bytes.size(), &out, &error)) << error;
}

TEST(FxProgramFile, RefusesEveryTruncation) {
  for (const FxProgram& in : {ChunkProgram(), ParamProgram("Init", 1, 1, 1)}) {
    Bytes bytes = WriteFxProgram(in);
    for (size_t n = 0; n < bytes.size(); ++n) {
      FxProgram out;
      std::string error;
      EXPECT_FALSE(ReadFxProgram(bytes.data(), n, &out, &error)) << "length " << n;
      EXPECT_FALSE(error.empty());
    }
  }
}

TEST(FxProgramFile, RefusesLiesAndWrongKinds) {
  struct Case {
    size_t offset;
    uint32_t value;
    const char* reason;
  } cases[] = {
      {0, 0x43636E4C, "bad magic"},      // "CcnL"
      {4, 1000, "truncated"},            // declares more bytes than present
      {8, 0x46424368, "not a program"},  // "FBCh"
      {12, 2, "version"},                // format version
      {56, 0xFFFFFFFF, "exceeds"},       // chunk size
      {56, 6, "exceeds"},                // one byte too many
  };
  for (const Case& c : cases) {
    Bytes bytes = WriteFxProgram(ChunkProgram());
    for (int i = 0; i < 4; ++i) bytes[c.offset + size_t(i)] = uint8_t(c.value >> (24 - 8 * i));
    FxProgram out;
    std::string error;
    EXPECT_FALSE(ReadFxProgram(bytes.data(), bytes.size(), &out, &error)) << c.reason;
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
  }
  Bytes params = WriteFxProgram(ParamProgram("Init", 1, 1, 1));
  params[24] = 0x80;  // negative parameter count
  FxProgram out;
  std::string error;
  EXPECT_FALSE(ReadFxProgram(params.data(), params.size(), &out, &error));
  params[24] = 0x7F;  // two billion values in 68 bytes
  EXPECT_FALSE(ReadFxProgram(params.data(), params.size(), &out, &error));
  EXPECT_NE(error.find("holds only 3"), std::string::npos) << error;
}

TEST(FxBankFile, ChunkFormHasTheExactLayout) {
  Bytes e;
  Append(&e, "CcnK");
  Append32(&e, 163);  // whole file: 160 + chunk
  Append(&e, "FBCh");
  Append32(&e, 2);
  Append32(&e, kId);
  Append32(&e, 1002);
  Append32(&e, 2);
  Append32(&e, 1);
  e.insert(e.end(), 124, 0);
  Append32(&e, 3);
  e.insert(e.end(), {9, 8, 7});
  EXPECT_EQ(WriteFxBank(ChunkBank()), e);
}

TEST(FxBankFile, ProgramListFormHasTheExactLayout) {
  Bytes e;
  Append(&e, "CcnK");
  Append32(&e, 0);
  Append(&e, "FxBk");
  Append32(&e, 2);
  Append32(&e, kId);
  Append32(&e, 1002);
  Append32(&e, 2);
  Append32(&e, 1);
  e.insert(e.end(), 124, 0);
  Bytes first = ExpectedParamRecord("Init", 0x3F000000, 0x3E800000, 0x3F800000);
  Bytes second = ExpectedParamRecord("Bright", 0x3F800000, 0, 0x3F000000);
  e.insert(e.end(), first.begin(), first.end());
  e.insert(e.end(), second.begin(), second.end());
  EXPECT_EQ(WriteFxBank(ListBank()), e);
}

TEST(FxBankFile, RoundTripsBothForms) {
  for (const FxBank& in : {ChunkBank(), ListBank()}) {
    Bytes bytes = WriteFxBank(in);
    FxBank out;
    std::string error;
    ASSERT_TRUE(ReadFxBank(bytes.data(), bytes.size(), &out, &error)) << error;
    EXPECT_EQ(out.isChunk, in.isChunk);
    EXPECT_EQ(out.numPrograms, 2);
    EXPECT_EQ(out.currentProgram, 1);
    EXPECT_EQ(out.chunk, in.chunk);
    ASSERT_EQ(out.programs.size(), in.programs.size());
    for (size_t i = 0; i < in.programs.size(); ++i) {
      EXPECT_EQ(out.programs[i].name, in.programs[i].name);
      EXPECT_EQ(out.programs[i].params, in.programs[i].params);
    }
  }
}

TEST(FxBankFile, RefusesEveryTruncation) {
  for (const FxBank& in : {ChunkBank(), ListBank()}) {
    Bytes bytes = WriteFxBank(in);
    for (size_t n = 0; n < bytes.size(); ++n) {
      FxBank out;
      std::string error;
      EXPECT_FALSE(ReadFxBank(bytes.data(), n, &out, &error)) << "length " << n;
    }
  }
}

TEST(FxBankFile, RefusesLiesAndWrongKinds) {
  FxBank out;
  std::string error;
  Bytes program = WriteFxProgram(ChunkProgram());
  program.resize(200, 0);  // long enough for a bank header
  EXPECT_FALSE(ReadFxBank(program.data(), program.size(), &out, &error));
  EXPECT_NE(error.find("not a bank"), std::string::npos) << error;

  Bytes lying = WriteFxBank(ListBank());
  lying[24] = 0x7F;  // two billion programs
  EXPECT_FALSE(ReadFxBank(lying.data(), lying.size(), &out, &error));
  EXPECT_NE(error.find("program 2 of"), std::string::npos) << error;

  Bytes badRecord = WriteFxBank(ListBank());
  std::memcpy(&badRecord[156 + 68 + 8], "FPCh", 4);  // second record claims a chunk
  EXPECT_FALSE(ReadFxBank(badRecord.data(), badRecord.size(), &out, &error));
  EXPECT_NE(error.find("program 1"), std::string::npos) << error;

  Bytes chunk = WriteFxBank(ChunkBank());
  chunk[156] = 0x10;  // chunk size far beyond the file
  EXPECT_FALSE(ReadFxBank(chunk.data(), chunk.size(), &out, &error));
  EXPECT_NE(error.find("exceeds"), std::string::npos) << error;
}

}  // namespace
