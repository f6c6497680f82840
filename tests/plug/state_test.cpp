#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/plug/test_plug.h"

namespace {

std::vector<uint8_t> Bytes(const ByteChunk& chunk) {
  return std::vector<uint8_t>(chunk.GetBytes(), chunk.GetBytes() + chunk.Size());
}

// Nine real parameters 0 ... 10, parameter i holding i.
struct NineParams : TestPlug {
  NineParams() : TestPlug(9, "1-1 2-2", 1) {
    for (int i = 0; i < NParams(); ++i) {
      GetParam(i)->InitDouble("p", i, 0.0, 10.0, 0.5);
    }
  }
};

TEST(StateTest, ProgramChunkIsHeaderAndNineDoubles) {
  NineParams plug;
  ByteChunk chunk;
  PlugBase::InitChunkWithPlugVer(&chunk);
  ASSERT_TRUE(plug.SerializeState(&chunk));
  ASSERT_EQ(80, chunk.Size());
  const std::vector<uint8_t> head = {'t', 'f', 'f', 'p', 0x00, 0x00, 0x01, 0x00};
  EXPECT_EQ(head, std::vector<uint8_t>(chunk.GetBytes(), chunk.GetBytes() + 8));
  double third;
  memcpy(&third, chunk.GetBytes() + 8 + 3 * 8, 8);
  EXPECT_EQ(3.0, third);

  int pos = 0;
  EXPECT_EQ(0x00010000, PlugBase::GetPlugVerFromChunk(&chunk, &pos));
  EXPECT_EQ(8, pos);
}

TEST(StateTest, ChunkWithoutHeaderIsReadFromItsFirstByte) {
  ByteChunk chunk;
  double v = 2.0;
  chunk.Put(&v);
  int pos = 0;
  EXPECT_EQ(0, PlugBase::GetPlugVerFromChunk(&chunk, &pos));
  EXPECT_EQ(0, pos);

  ByteChunk shortChunk;
  shortChunk.PutBytes("tffp", 4);
  EXPECT_EQ(0, PlugBase::GetPlugVerFromChunk(&shortChunk, &pos));
  EXPECT_EQ(0, pos);
}

TEST(StateTest, StateRoundTripsThroughTheChunk) {
  NineParams a, b;
  a.GetParam(4)->Set(9.5);
  ByteChunk chunk;
  a.SerializeState(&chunk);
  EXPECT_EQ(72, b.UnserializeState(&chunk, 0));
  EXPECT_EQ(9.5, b.GetParam(4)->Value());
  EXPECT_EQ(8.0, b.GetParam(8)->Value());
}

TEST(StateTest, ShortChunkSetsWhatItHasAndClampsTheFailedParameter) {
  TestPlug plug(4);
  for (int i = 0; i < 4; ++i) plug.GetParam(i)->InitDouble("p", 5.0, 1.0, 10.0, 0.1);
  ByteChunk chunk;
  double a = 2.0, b = 3.0;
  chunk.Put(&a);
  chunk.Put(&b);
  plug.changes.clear();
  EXPECT_EQ(-1, plug.UnserializeParams(&chunk, 0));
  EXPECT_EQ(2.0, plug.GetParam(0)->Value());
  EXPECT_EQ(3.0, plug.GetParam(1)->Value());
  EXPECT_EQ(1.0, plug.GetParam(2)->Value());
  EXPECT_EQ(5.0, plug.GetParam(3)->Value());
  EXPECT_EQ((std::vector<int>{0, 1, 2, 3}), plug.changes);
}

TEST(StateTest, LoadedValuesAreClampedToTheirRange) {
  TestPlug plug(2);
  plug.GetParam(0)->InitInt("i", 0, 0, 3);
  ByteChunk chunk;
  double values[] = {1e9, std::nan("")};
  chunk.PutBytes(values, sizeof(values));
  EXPECT_EQ(16, plug.UnserializeParams(&chunk, 0));
  EXPECT_EQ(3, plug.GetParam(0)->Int());
  EXPECT_EQ(0.0, plug.GetParam(1)->Value());
}

TEST(StateTest, CompareStateCountsDoublesAndToleratesFloatRounding) {
  TestPlug plug(2);
  plug.GetParam(0)->Set(0.25);
  plug.GetParam(1)->Set(0.5);
  double data[] = {99.0, 0.25, 0.5 + 1e-9};
  EXPECT_TRUE(plug.CompareState((const unsigned char*)data, 1));
  EXPECT_FALSE(plug.CompareState((const unsigned char*)data, 0));
  data[2] = 0.5001;
  EXPECT_FALSE(plug.CompareState((const unsigned char*)data, 1));
  data[2] = 1e300;
  EXPECT_FALSE(plug.CompareState((const unsigned char*)data, 1));
}

TEST(PresetTest, NewSlotsAreEmptyAndRestoringOneNamesItAsUserPreset) {
  TestPlug plug(2, "1-1", 3);
  EXPECT_STREQ("empty", plug.GetPresetName(0));
  EXPECT_STREQ("", plug.GetPresetName(3));
  plug.GetParam(0)->Set(0.75);
  EXPECT_TRUE(plug.RestorePreset(0));
  EXPECT_STREQ("user preset 1", plug.GetPresetName(0));
  EXPECT_TRUE(plug.RestorePreset(2));
  EXPECT_STREQ("user preset 2", plug.GetPresetName(2));
  EXPECT_EQ(2, plug.GetCurrentPresetIdx());
  EXPECT_EQ(2, plug.presetsChanged);
  EXPECT_FALSE(plug.RestorePreset(3));
  EXPECT_FALSE(plug.RestorePreset(-1));
  EXPECT_EQ(2, plug.GetCurrentPresetIdx());

  plug.GetParam(0)->Set(0.0);
  EXPECT_TRUE(plug.RestorePreset(0));
  EXPECT_EQ(0.75, plug.GetParam(0)->Value());
}

TEST(PresetTest, DefaultPresetsFillTheFirstFreeSlots) {
  TestPlug plug(1, "1-1", 3);
  plug.MakeDefaultPreset("-", 1);
  EXPECT_STREQ("-", plug.GetPresetName(0));
  plug.MakeDefaultPreset(nullptr, 1);
  EXPECT_STREQ("Empty", plug.GetPresetName(1));
  plug.EnsureDefaultPreset();
  EXPECT_STREQ("Empty", plug.GetPresetName(2));
  EXPECT_EQ(8, plug.Preset(2)->mChunk.Size());
  EXPECT_FALSE(plug.MakePresetFromChunk("none left", &plug.Preset(0)->mChunk));
}

TEST(PresetTest, MakePresetTakesIntsForSteppedParameters) {
  TestPlug plug(3, "1-1", 1);
  plug.GetParam(0)->InitBool("b", false);
  plug.GetParam(1)->InitInt("i", 0, 0, 10);
  plug.GetParam(2)->InitDouble("d", 0.0, 0.0, 1.0, 0.01);
  EXPECT_TRUE(plug.MakePreset("mixed", 1, 7, 0.25));
  EXPECT_TRUE(plug.RestorePreset("mixed"));
  EXPECT_TRUE(plug.GetParam(0)->Bool());
  EXPECT_EQ(7, plug.GetParam(1)->Int());
  EXPECT_EQ(0.25, plug.GetParam(2)->Value());
  EXPECT_FALSE(plug.RestorePreset("missing"));
  EXPECT_FALSE(plug.RestorePreset(""));
  EXPECT_FALSE(plug.RestorePreset((const char*)nullptr));
}

TEST(PresetTest, NamedParamsKeepTheOthersAtTheirCurrentValue) {
  TestPlug plug(3, "1-1", 1);
  plug.GetParam(0)->Set(0.1);
  plug.GetParam(1)->Set(0.2);
  EXPECT_TRUE(plug.MakePresetFromNamedParams("named", 1, 2, 0.5));
  ByteChunk& chunk = plug.Preset(0)->mChunk;
  ASSERT_EQ(24, chunk.Size());
  double v[3];
  memcpy(v, chunk.GetBytes(), 24);
  EXPECT_EQ(0.1, v[0]);
  EXPECT_EQ(0.2, v[1]);
  EXPECT_EQ(0.5, v[2]);
}

TEST(PresetTest, BlobPresetsDecodeIntoAChunkOfTheGivenSize) {
  TestPlug plug(1, "1-1", 2);
  // 0.5 as a little-endian double: 00 00 00 00 00 00 E0 3F.
  EXPECT_TRUE(plug.MakePresetFromBlob("blob", "AAAAAAAA4D8=", 8));
  EXPECT_TRUE(plug.RestorePreset(0));
  EXPECT_EQ(0.5, plug.GetParam(0)->Value());
  EXPECT_TRUE(plug.MakePresetFromBlob("short", "AAAA", 8));
  EXPECT_EQ(8, plug.Preset(1)->mChunk.Size());
}

TEST(PresetTest, ModifyCurrentPresetStoresStateAndRenamesOnlyWithAName) {
  TestPlug plug(1, "1-1", 2);
  plug.MakeDefaultPreset("first", 1);
  plug.GetParam(0)->Set(0.9);
  plug.ModifyCurrentPreset("");
  EXPECT_STREQ("first", plug.GetPresetName(0));
  plug.ModifyCurrentPreset("renamed");
  EXPECT_STREQ("renamed", plug.GetPresetName(0));
  EXPECT_EQ(8, plug.Preset(0)->mChunk.Size());
  plug.GetParam(0)->Set(0.0);
  plug.RestorePreset(0);
  EXPECT_EQ(0.9, plug.GetParam(0)->Value());
}

TEST(PresetTest, PruneKeepsInitialisedSlotsInOrder) {
  TestPlug plug(1, "1-1", 4);
  plug.MakeDefaultPreset("a", 1);
  plug.RestorePreset(2);
  plug.PruneUninitializedPresets();
  ASSERT_EQ(2, plug.NPresets());
  EXPECT_STREQ("a", plug.GetPresetName(0));
  EXPECT_STREQ("user preset 1", plug.GetPresetName(1));
  EXPECT_EQ(1, plug.GetCurrentPresetIdx());
}

TEST(BankTest, BankLayoutIsNameFlagAndState) {
  TestPlug plug(1, "1-1", 2);
  plug.GetParam(0)->Set(1.0);
  plug.MakeDefaultPreset("ab", 1);
  ByteChunk bank;
  ASSERT_TRUE(plug.SerializePresets(&bank));
  std::vector<uint8_t> expected = {2,    0,    0, 0, 'a', 'b', 1,   0,   0,   0,   0,   0, 0,
                                   0xF0, 0x3F, 5, 0, 0,   0,   'e', 'm', 'p', 't', 'y', 0};
  EXPECT_EQ(expected, Bytes(bank));
}

TEST(BankTest, BankRoundTripRestoresNamesStatesAndCurrentPreset) {
  TestPlug a(2, "1-1", 3), b(2, "1-1", 3);
  a.GetParam(0)->Set(0.1);
  a.MakeDefaultPreset("one", 1);
  a.GetParam(0)->Set(0.2);
  a.GetParam(1)->Set(0.3);
  a.MakeDefaultPreset("two", 1);
  ByteChunk bank;
  PlugBase::InitChunkWithPlugVer(&bank);
  ASSERT_TRUE(a.SerializePresets(&bank));

  int pos = 0;
  EXPECT_EQ(0x00010000, PlugBase::GetPlugVerFromChunk(&bank, &pos));
  EXPECT_EQ(bank.Size(), b.UnserializePresets(&bank, pos));
  EXPECT_STREQ("one", b.GetPresetName(0));
  EXPECT_STREQ("two", b.GetPresetName(1));
  EXPECT_STREQ("empty", b.GetPresetName(2));
  EXPECT_EQ(0.1, b.GetParam(0)->Value());
  b.RestorePreset(1);
  EXPECT_EQ(0.2, b.GetParam(0)->Value());
  EXPECT_EQ(0.3, b.GetParam(1)->Value());

  ByteChunk again;
  PlugBase::InitChunkWithPlugVer(&again);
  b.SerializePresets(&again);
  EXPECT_EQ(Bytes(bank), Bytes(again));
}

TEST(BankTest, EmptyNamesInABankStayEmpty) {
  TestPlug a(1, "1-1", 2), b(1, "1-1", 2);
  a.MakeDefaultPreset("named", 1);
  a.MakeDefaultPreset("", 1);
  ByteChunk bank;
  a.SerializePresets(&bank);
  b.UnserializePresets(&bank, 0);
  EXPECT_STREQ("named", b.GetPresetName(0));
  EXPECT_STREQ("", b.GetPresetName(1));
}

TEST(BankTest, TruncatedBankStopsAndKeepsLaterSlots) {
  TestPlug a(1, "1-1", 2), b(1, "1-1", 2);
  a.MakeDefaultPreset("first", 2);
  ByteChunk bank;
  a.SerializePresets(&bank);
  ByteChunk cut;
  cut.PutBytes(bank.GetBytes(), bank.Size() - 3);
  EXPECT_EQ(-1, b.UnserializePresets(&cut, 0));
  EXPECT_STREQ("first", b.GetPresetName(0));
  EXPECT_STREQ("empty", b.GetPresetName(1));
}

TEST(BankTest, OverlongNamesAreCut) {
  TestPlug plug(1, "1-1", 1);
  std::string name(1000, 'n');
  ByteChunk bank;
  double v = 0.5;
  bank.PutStr(name.c_str());
  bank.PutBool(true);
  bank.Put(&v);
  EXPECT_EQ(bank.Size(), plug.UnserializePresets(&bank, 0));
  EXPECT_EQ(255u, strlen(plug.GetPresetName(0)));
}

std::string ReadFile(const char* path) {
  std::ifstream in(path);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

TEST(DumpTest, SourceTextListsEveryParameter) {
  TestPlug plug(3, "1-1", 1);
  plug.GetParam(0)->InitBool("b", true);
  plug.GetParam(1)->InitEnum("e", 2, 4);
  plug.GetParam(2)->InitDouble("d", 0.125, 0.0, 1.0, 0.001);
  const char* names[] = {"kBypass", "kMode", "kGain"};
  const char* path = "plug_dump_src.txt";
  ASSERT_TRUE(plug.DumpPresetSrcCode(path, names));
  EXPECT_EQ(
      "  MakePresetFromNamedParams(\"name\", 3,\n    kBypass, true,\n    kMode, 2,\n"
      "    kGain, 0.125000);\n",
      ReadFile(path));
  remove(path);
  EXPECT_FALSE(plug.DumpPresetSrcCode("/nonexistent-dir/x", names));
}

TEST(DumpTest, BlobTextRoundTripsThroughMakePresetFromBlob) {
  TestPlug plug(2, "1-1", 2);
  plug.GetParam(0)->Set(0.5);
  plug.MakeDefaultPreset("x", 1);
  const char* path = "plug_dump_blob.txt";
  ASSERT_TRUE(plug.DumpPresetBlob(path));
  std::string text = ReadFile(path);
  remove(path);
  EXPECT_EQ("MakePresetFromBlob(\"name\", \"AAAAAAAA4D8AAAAAAAAAAA==\", 16);\n", text);
}

}  // namespace
