// skylane-host end to end on the example plug-in: listing, an offline run, and
// program and bank files passed between the host and the framework.

#include <gtest/gtest.h>
#include <sndfile.h>

#include <vector>

#include "base/sky_string.h"
#include "plug/fxp_files.h"
#include "tests/host/tool_runner.h"
#include "tests/vst2/example_plug.h"

namespace {

const std::string kExample = EXAMPLE_PLUGIN_PATH;

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

void WriteSound(const std::string& path, float value, int frames) {
  SF_INFO info{};
  info.samplerate = 44100;
  info.channels = 2;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  ASSERT_NE(f, nullptr);
  std::vector<float> samples(2 * frames, value);
  sf_writef_float(f, samples.data(), frames);
  sf_close(f);
}

std::vector<float> ReadSound(const std::string& path) {
  SF_INFO info{};
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
  if (!f) return {};
  std::vector<float> samples(info.frames * info.channels);
  sf_readf_float(f, samples.data(), info.frames);
  sf_close(f);
  return samples;
}

TEST(ToolTest, ListsTheExample) {
  ToolResult r = RunHost({"--plugin", kExample, "--list"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  for (const char* line :
       {"name:        Example Gain\n", "unique id:   'SkEx'\n", "version:     10203\n",
        "programs:    2 (current 0)\n", "  program 1: Loud\n", "parameters:  5\n",
        "  2: Mode = Clean (0.000000)\n"})
    EXPECT_TRUE(Contains(r.out, line)) << "missing: " << line << r.out;
}

TEST(ToolTest, FastRunAppliesTheGain) {
  ScratchDir dir;
  WriteSound(dir.File("in.wav"), 0.25f, 4410);
  ToolResult r = RunHost({"--plugin", kExample, "--fast", "--quiet", "--input", dir.File("in.wav"),
                          "--output", dir.File("out.wav"), "--set-text", "Gain=6"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  std::vector<float> out = ReadSound(dir.File("out.wav"));
  ASSERT_EQ(out.size(), 2u * 4410u);
  EXPECT_NEAR(out[0], 0.25 * 1.99526231, 1e-5);
  EXPECT_NEAR(out.back(), 0.25 * 1.99526231, 1e-5);
}

TEST(ToolTest, HostFilesLoadIntoTheFramework) {
  ScratchDir dir;
  ToolResult r = RunHost({"--plugin", kExample, "--program", "1", "--save-fxp", dir.File("p.fxp"),
                          "--save-fxb", dir.File("b.fxb"), "--quiet"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  ExamplePlug plug({nullptr});
  ASSERT_TRUE(LoadProgramFromFXP(&plug, SkyString(dir.File("p.fxp").c_str())));
  EXPECT_EQ(plug.GetParam(kExampleGain)->Value(), 6.0);
  EXPECT_STREQ(plug.GetPresetName(0), "Loud");

  ExamplePlug bankPlug({nullptr});
  bankPlug.RestorePreset(1);
  bankPlug.ModifyCurrentPreset("Overwritten");
  ASSERT_TRUE(LoadBankFromFXB(&bankPlug, SkyString(dir.File("b.fxb").c_str())));
  EXPECT_STREQ(bankPlug.GetPresetName(1), "Loud");
}

TEST(ToolTest, FrameworkFilesLoadIntoTheHost) {
  ScratchDir dir;
  ExamplePlug plug({nullptr});
  plug.EnsureDefaultPreset();
  plug.GetParam(kExampleMode)->Set(1);
  plug.ModifyCurrentPreset("Warm one");
  ASSERT_TRUE(SaveProgramAsFXP(&plug, SkyString(dir.File("p.fxp").c_str())));
  ASSERT_TRUE(SaveBankAsFXB(&plug, SkyString(dir.File("b.fxb").c_str())));

  ToolResult r = RunHost({"--plugin", kExample, "--load-fxp", dir.File("p.fxp"), "--list"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(Contains(r.out, "  program 0: Warm one\n")) << r.out;
  EXPECT_TRUE(Contains(r.out, "  2: Mode = Warm (0.500000)\n")) << r.out;

  r = RunHost({"--plugin", kExample, "--load-fxb", dir.File("b.fxb"), "--list"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(Contains(r.out, "  program 0: Warm one\n")) << r.out;
  EXPECT_TRUE(Contains(r.out, "  program 1: Loud\n")) << r.out;
}

TEST(ToolTest, HostRefusesAForeignProgram) {
  ScratchDir dir;
  WriteBinary(dir.File("junk.fxp"), std::vector<uint8_t>(30, 7));
  ToolResult r = RunHost({"--plugin", kExample, "--load-fxp", dir.File("junk.fxp")});
  EXPECT_NE(r.exitCode, 0);
}

}  // namespace
