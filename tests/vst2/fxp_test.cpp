// Program and bank files: exact byte layouts, round trips, refusals of bad
// files, and agreement with skylane-host's own reader and writer.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/sky_string.h"
#include "host/fx_file.h"
#include "plug/fxp_files.h"
#include "tests/vst2/probe_plug.h"

namespace {

using Bytes = std::vector<uint8_t>;

class FxpTest : public ::testing::Test {
 protected:
  FxpTest() {
    char pattern[] = "/tmp/skylane-fxp-XXXXXX";
    mDir = mkdtemp(pattern);
  }
  ~FxpTest() override {
    std::string cmd = "rm -rf '" + mDir + "'";
    EXPECT_EQ(system(cmd.c_str()), 0);
  }
  SkyString Path(const char* name) const { return SkyString((mDir + "/" + name).c_str()); }

  std::string mDir;
};

Bytes ReadAll(const SkyString& path) {
  Bytes bytes;
  FILE* f = fopen(path.Get(), "rb");
  if (!f) return bytes;
  int c;
  while ((c = fgetc(f)) != EOF) bytes.push_back((uint8_t)c);
  fclose(f);
  return bytes;
}

void WriteAll(const SkyString& path, const Bytes& bytes) {
  FILE* f = fopen(path.Get(), "wb");
  ASSERT_NE(f, nullptr);
  fwrite(bytes.data(), 1, bytes.size(), f);
  fclose(f);
}

uint32_t Be32(const Bytes& b, size_t at) {
  return (uint32_t)b[at] << 24 | (uint32_t)b[at + 1] << 16 | (uint32_t)b[at + 2] << 8 | b[at + 3];
}

void PutBe32(Bytes* b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) (*b)[at + i] = (uint8_t)(v >> (24 - 8 * i));
}

std::string Magic(const Bytes& b, size_t at) {
  return std::string(b.begin() + at, b.begin() + at + 4);
}

void SetValues(ProbePlug* plug, double first) {
  for (int i = 0; i < plug->NParams(); ++i) plug->GetParam(i)->Set(first + i);
}

TEST_F(FxpTest, ProgramFilesHaveTheTabledLayout) {
  ProbePlug chunky(nullptr, true);
  SetValues(&chunky, 1.0);
  ASSERT_TRUE(SaveProgramAsFXP(&chunky, Path("c.fxp")));
  Bytes c = ReadAll(Path("c.fxp"));
  ASSERT_EQ(c.size(), 140u);
  EXPECT_EQ(Magic(c, 0), "CcnK");
  EXPECT_EQ(Be32(c, 4), 140u);
  EXPECT_EQ(Magic(c, 8), "FPCh");
  EXPECT_EQ(Be32(c, 12), 1u);
  EXPECT_EQ(Be32(c, 16), 0x50726F62u);
  EXPECT_EQ(Be32(c, 20), 10000u);
  EXPECT_EQ(Be32(c, 24), 9u);
  EXPECT_EQ(Be32(c, 56), 80u);
  EXPECT_EQ(memcmp(c.data() + 60, "tffp", 4), 0);
  double second;
  memcpy(&second, c.data() + 68 + 8, 8);
  EXPECT_EQ(second, 2.0);

  ProbePlug plain(nullptr, false);
  SetValues(&plain, 1.0);
  ASSERT_TRUE(SaveProgramAsFXP(&plain, Path("p.fxp")));
  Bytes p = ReadAll(Path("p.fxp"));
  ASSERT_EQ(p.size(), 92u);
  EXPECT_EQ(Be32(p, 4), 0u);
  EXPECT_EQ(Magic(p, 8), "FxCk");
  float v;
  uint32_t bits = Be32(p, 56 + 4);
  memcpy(&v, &bits, 4);
  EXPECT_FLOAT_EQ(v, 0.2f);
}

TEST_F(FxpTest, ProgramsRoundTripInBothForms) {
  for (bool chunks : {true, false}) {
    ProbePlug saver(nullptr, chunks);
    SetValues(&saver, 2.0);
    saver.ModifyCurrentPreset("Twenty-eight characters long");
    ASSERT_TRUE(SaveProgramAsFXP(&saver, Path("r.fxp")));
    Bytes bytes = ReadAll(Path("r.fxp"));
    EXPECT_EQ(std::string((const char*)bytes.data() + 28), "Twenty-eight characters lon");

    ProbePlug loader(nullptr, chunks);
    loader.RestorePreset(1);
    ASSERT_TRUE(LoadProgramFromFXP(&loader, Path("r.fxp")));
    EXPECT_EQ(loader.GetCurrentPresetIdx(), 1);
    EXPECT_STREQ(loader.GetPresetName(1), "Twenty-eight characters lon");
    for (int i = 0; i < 9; ++i) EXPECT_NEAR(loader.GetParam(i)->Value(), 2.0 + i, 1e-5) << i;
  }
}

TEST_F(FxpTest, BankFilesRoundTripInBothForms) {
  for (bool chunks : {true, false}) {
    ProbePlug saver(nullptr, chunks);
    SetValues(&saver, 3.0);
    saver.ModifyCurrentPreset("First");
    saver.RestorePreset(1);
    SetValues(&saver, 1.0);
    saver.ModifyCurrentPreset("Second");
    ASSERT_TRUE(SaveBankAsFXB(&saver, Path("b.fxb")));
    Bytes b = ReadAll(Path("b.fxb"));
    EXPECT_EQ(Magic(b, 8), chunks ? "FBCh" : "FxBk");
    EXPECT_EQ(Be32(b, 12), 2u);
    EXPECT_EQ(Be32(b, 24), 2u);
    EXPECT_EQ(Be32(b, 28), 1u);
    EXPECT_EQ(Be32(b, 4), chunks ? (uint32_t)b.size() : 0u);
    if (!chunks) {
      EXPECT_EQ(b.size(), 156u + 2 * 92u);
    }

    ProbePlug loader(nullptr, chunks);
    ASSERT_TRUE(LoadBankFromFXB(&loader, Path("b.fxb")));
    // The program list selects the file's current program; a bank chunk keeps the plug-in's.
    EXPECT_EQ(loader.GetCurrentPresetIdx(), chunks ? 0 : 1);
    EXPECT_STREQ(loader.GetPresetName(0), "First");
    EXPECT_STREQ(loader.GetPresetName(1), "Second");
    EXPECT_NEAR(loader.GetParam(4)->Value(), chunks ? 7.0 : 5.0, 1e-5);
    loader.RestorePreset(0);
    EXPECT_NEAR(loader.GetParam(4)->Value(), 7.0, 1e-5);
  }
}

TEST_F(FxpTest, RefusedProgramsLeaveThePlugInUnchanged) {
  ProbePlug saver(nullptr, true);
  SetValues(&saver, 5.0);
  ASSERT_TRUE(SaveProgramAsFXP(&saver, Path("good.fxp")));
  const Bytes good = ReadAll(Path("good.fxp"));

  auto refused = [&](const Bytes& bytes, bool chunks) {
    WriteAll(Path("bad.fxp"), bytes);
    ProbePlug target(nullptr, chunks);
    SetValues(&target, 0.5);
    bool loaded = LoadProgramFromFXP(&target, Path("bad.fxp"));
    bool unchanged =
        target.GetParam(8)->Value() == 8.5 && !strcmp(target.GetPresetName(0), "Empty");
    return !loaded && unchanged;
  };
  Bytes b = good;
  PutBe32(&b, 16, 0x12345678);
  EXPECT_TRUE(refused(b, true)) << "unique ID";
  b = good;
  PutBe32(&b, 24, 8);
  EXPECT_TRUE(refused(b, true)) << "parameter count";
  b = good;
  PutBe32(&b, 12, 2);
  EXPECT_TRUE(refused(b, true)) << "format version";
  b = good;
  memcpy(b.data(), "CcnX", 4);
  EXPECT_TRUE(refused(b, true)) << "magic";
  EXPECT_TRUE(refused(good, false)) << "chunk form for a plug-in without chunks";
  b = good;
  memcpy(b.data() + 8, "FBCh", 4);
  EXPECT_TRUE(refused(b, true)) << "kind";
  EXPECT_TRUE(refused(Bytes(good.begin(), good.begin() + 50), true)) << "short header";
  EXPECT_TRUE(refused(Bytes(good.begin(), good.begin() + 100), true)) << "short chunk";
  EXPECT_TRUE(refused(Bytes(), true)) << "empty file";

  ProbePlug plain(nullptr, false);
  ASSERT_TRUE(SaveProgramAsFXP(&plain, Path("plain.fxp")));
  Bytes p = ReadAll(Path("plain.fxp"));
  EXPECT_TRUE(refused(Bytes(p.begin(), p.end() - 1), false)) << "missing parameter values";

  // A declared chunk size that lies is not trusted.
  b = good;
  PutBe32(&b, 56, 0xFFFFFFF0);
  PutBe32(&b, 4, 7);
  ProbePlug target(nullptr, true);
  WriteAll(Path("lies.fxp"), b);
  EXPECT_TRUE(LoadProgramFromFXP(&target, Path("lies.fxp")));
  EXPECT_EQ(target.GetParam(8)->Value(), 10.0);

  ProbePlug any(nullptr, true);
  EXPECT_FALSE(LoadProgramFromFXP(&any, Path("missing.fxp")));
  EXPECT_FALSE(LoadProgramFromFXP(&any, SkyString("")));
}

TEST_F(FxpTest, RefusedBanks) {
  ProbePlug saver(nullptr, false);
  SetValues(&saver, 1.0);
  saver.ModifyCurrentPreset();
  ASSERT_TRUE(SaveBankAsFXB(&saver, Path("good.fxb")));
  const Bytes good = ReadAll(Path("good.fxb"));

  auto load = [&](const Bytes& bytes, ProbePlug* target) {
    WriteAll(Path("bad.fxb"), bytes);
    return LoadBankFromFXB(target, Path("bad.fxb"));
  };
  ProbePlug target(nullptr, false);
  Bytes b = good;
  PutBe32(&b, 16, 1);
  EXPECT_FALSE(load(b, &target));
  EXPECT_FALSE(load(Bytes(good.begin(), good.begin() + 155), &target));
  b = good;
  memcpy(b.data() + 8, "FBCh", 4);
  EXPECT_FALSE(load(b, &target));

  // A record with the wrong parameter count stops the load; records before it stay applied.
  b = good;
  PutBe32(&b, 156 + 92 + 24, 3);
  SetValues(&target, 0.0);
  EXPECT_FALSE(load(b, &target));
  target.RestorePreset(0);
  EXPECT_NEAR(target.GetParam(0)->Value(), 1.0, 1e-5);

  // A truncated record is refused before it is applied.
  b = Bytes(good.begin(), good.end() - 4);
  EXPECT_FALSE(load(b, &target));

  // A huge program count with too few records ends at the first missing one.
  b = good;
  PutBe32(&b, 24, 0x7FFFFFFF);
  EXPECT_FALSE(load(b, &target));

  // A chunk bank that does not parse leaves every slot and the state as they were.
  ProbePlug chunky(nullptr, true);
  SetValues(&chunky, 2.0);
  chunky.ModifyCurrentPreset("Kept");
  ASSERT_TRUE(SaveBankAsFXB(&chunky, Path("chunk.fxb")));
  Bytes c = ReadAll(Path("chunk.fxb"));
  c.resize(c.size() - 20);
  ProbePlug victim(nullptr, true);
  SetValues(&victim, 4.0);
  victim.ModifyCurrentPreset("Mine");
  EXPECT_FALSE(load(c, &victim));
  EXPECT_STREQ(victim.GetPresetName(0), "Mine");
  EXPECT_EQ(victim.GetParam(3)->Value(), 7.0);
}

TEST_F(FxpTest, ExtraBankRecordsLandInTheCurrentSlot) {
  ProbePlug saver(nullptr, false, "2-2", false, 3);
  for (int i = 0; i < 3; ++i) {
    saver.RestorePreset(i);
    SetValues(&saver, i + 1.0);
    saver.ModifyCurrentPreset(i == 2 ? "Third" : "Other");
  }
  saver.RestorePreset(0);
  ASSERT_TRUE(SaveBankAsFXB(&saver, Path("three.fxb")));
  ProbePlug target(nullptr, false);  // two slots
  ASSERT_TRUE(LoadBankFromFXB(&target, Path("three.fxb")));
  EXPECT_STREQ(target.GetPresetName(1), "Third");
  target.RestorePreset(1);
  EXPECT_NEAR(target.GetParam(0)->Value(), 3.0, 1e-5);
}

TEST_F(FxpTest, SavesThatCannotWriteLeaveNothing) {
  ProbePlug plug(nullptr, true);
  EXPECT_FALSE(SaveProgramAsFXP(&plug, SkyString("")));
  EXPECT_FALSE(SaveBankAsFXB(&plug, SkyString("")));
  SkyString noDir = Path("no/such/dir.fxp");
  EXPECT_FALSE(SaveProgramAsFXP(&plug, noDir));
  EXPECT_FALSE(SaveBankAsFXB(&plug, noDir));
  if (access("/dev/full", W_OK) == 0) {
    EXPECT_FALSE(SaveBankAsFXB(&plug, SkyString("/dev/full")));
  }
}

TEST_F(FxpTest, HostReaderAndFrameworkWriterAgree) {
  for (bool chunks : {true, false}) {
    ProbePlug plug(nullptr, chunks);
    SetValues(&plug, 1.0);
    plug.ModifyCurrentPreset("Shared");
    ASSERT_TRUE(SaveProgramAsFXP(&plug, Path("a.fxp")));
    ASSERT_TRUE(SaveBankAsFXB(&plug, Path("a.fxb")));
    Bytes fxp = ReadAll(Path("a.fxp")), fxb = ReadAll(Path("a.fxb"));
    FxProgram program;
    FxBank bank;
    std::string error;
    ASSERT_TRUE(ReadFxProgram(fxp.data(), fxp.size(), &program, &error)) << error;
    ASSERT_TRUE(ReadFxBank(fxb.data(), fxb.size(), &bank, &error)) << error;
    EXPECT_EQ(program.name, "Shared");
    EXPECT_EQ(program.isChunk, chunks);
    EXPECT_EQ(bank.isChunk, chunks);
    // The host writes the same bytes back.
    EXPECT_EQ(WriteFxProgram(program), fxp);
    EXPECT_EQ(WriteFxBank(bank), fxb);

    // And the framework loads what the host writes.
    if (!chunks) {
      program.params[2] = 0.9f;
      program.name = "From host";
      WriteAll(Path("h.fxp"), WriteFxProgram(program));
      ProbePlug loader(nullptr, false);
      ASSERT_TRUE(LoadProgramFromFXP(&loader, Path("h.fxp")));
      EXPECT_NEAR(loader.GetParam(2)->Value(), 9.0, 1e-5);
      EXPECT_STREQ(loader.GetPresetName(0), "From host");
    }
  }
}

}  // namespace
