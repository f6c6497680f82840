// skylane-host driven end to end against the raw test plug-in: listing,
// parameters, audio runs checked through libsndfile, program and bank files
// with their exact bytes, and the exits for plug-ins and files it must refuse.
#include <gtest/gtest.h>
#include <signal.h>
#include <sndfile.h>

#include <chrono>
#include <cstring>

#include "host/fx_file.h"
#include "tool_runner.h"

namespace {

using Bytes = std::vector<uint8_t>;

const std::string kParams = TestPlugin("test_plugin_params");
const std::string kChunks = TestPlugin("test_plugin_chunks");

std::vector<float> ReadSound(const std::string& path, SF_INFO* info) {
  *info = SF_INFO{};
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, info);
  if (!f) return {};
  std::vector<float> samples(size_t(info->frames * info->channels));
  sf_readf_float(f, samples.data(), info->frames);
  sf_close(f);
  return samples;
}

int CountLines(const std::string& text, const std::string& prefix) {
  int n = 0;
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    if (text.compare(at, prefix.size(), prefix) == 0) ++n;
    at = end + 1;
  }
  return n;
}

uint32_t Be32(const Bytes& b, size_t at) {
  return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}

std::string Text(const Bytes& b, size_t at, size_t n) {
  return std::string(b.begin() + long(at), b.begin() + long(at + n));
}

TEST(HostTool, ListsIdentityProgramsAndParameters) {
  ToolResult r = RunHost({"--plugin", kParams, "--list"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  for (const char* line :
       {"name:        Test Gain\n", "vendor:      Skylane Tests\n",
        "product:     Test Gain Plugin\n", "unique id:   'TsGn'\n", "version:     1002\n",
        "vst version: 2400\n", "category:    effect\n", "inputs:      2\n", "outputs:     2\n",
        "flags:       replacing double\n", "programs:    2 (current 0)\n", "  program 1: Bright\n",
        "parameters:  3\n", "  0: Gain = 1.00 x (0.500000)\n", "  1: Bias = +0.000 (0.500000)\n",
        "  2: Invert = Off (0.000000)\n"}) {
    EXPECT_NE(r.out.find(line), std::string::npos) << "missing: " << line << r.out;
  }
}

TEST(HostTool, SetsParametersByNameIndexAndText) {
  ToolResult r = RunHost({"--plugin", kParams, "--set", "gain=0.25", "--set", "2=1", "--set-text",
                          "Bias=0.25", "--list"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("  0: Gain = 0.50 x (0.250000)\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("  1: Bias = +0.250 (0.750000)\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("  2: Invert = On (1.000000)\n"), std::string::npos) << r.out;
}

TEST(HostTool, RefusesUnknownParametersAndTexts) {
  const struct {
    std::vector<std::string> args;
    const char* reason;
  } cases[] = {
      {{"--set", "Volume=0.5"}, "no parameter named 'Volume'"},
      {{"--set", "3=0.5"}, "parameter index 3 out of range"},
      {{"--set-text", "Invert=Maybe"}, "refused 'Maybe'"},
      {{"--program", "2"}, "the plug-in has 2 programs"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"--plugin", kParams};
    args.insert(args.end(), c.args.begin(), c.args.end());
    ToolResult r = RunHost(args);
    EXPECT_EQ(r.exitCode, 1) << c.reason;
    EXPECT_NE(r.err.find(c.reason), std::string::npos) << r.err;
  }
}

TEST(HostTool, FastRunWritesEveryFrameAndTalksLikeAHost) {
  ScratchDir dir;
  const std::string wav = dir.File("out.wav"), log = dir.File("log");
  for (const char* precision : {"float", "double"}) {
    std::vector<std::string> args = {"--plugin", kParams,     "--set",  "Bias=0.75", "--set",
                                     "Invert=1", "--seconds", "1",      "--rate",    "48000",
                                     "--block",  "256",       "--fast", "--output",  wav};
    if (std::strcmp(precision, "double") == 0) args.push_back("--double");
    std::remove(log.c_str());
    ToolResult r = RunHost(args, log);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    SF_INFO info;
    std::vector<float> samples = ReadSound(wav, &info);
    EXPECT_EQ(info.channels, 2);
    EXPECT_EQ(info.samplerate, 48000);
    ASSERT_EQ(info.frames, 48000);
    for (float s : samples) ASSERT_EQ(s, -0.25f) << precision;  // -(0 * gain + 0.25)
    EXPECT_EQ(CountLines(r.out, "time "), 1) << r.out;
    EXPECT_NE(r.out.find("time 1.000 s | out 1: peak -12.0 dBFS, RMS -12.0 dBFS | out 2: peak "
                         "-12.0 dBFS, RMS -12.0 dBFS\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("rendered 1.000 s (48000 frames)"), std::string::npos) << r.out;

    std::string events = ReadText(log);
    EXPECT_NE(events.find("create version 2400\nhost skylane-host 10000 2400 rate 48000 block 256\n"
                          "open\nrate 48000\nblock 256\n"),
              std::string::npos)
        << events;
    EXPECT_EQ(CountLines(events, std::string(precision) + " 256 "), 187) << events;
    EXPECT_NE(events.find(std::string(precision) + " 256 pos 0 playing 1 tempo 120 level 4\n"),
              std::string::npos);
    EXPECT_NE(events.find(std::string(precision) +
                          " 128 pos 47872 playing 1 tempo 120 level 4\nstop\nmains 0\nclose\n"),
              std::string::npos)
        << events;
  }
}

TEST(HostTool, ProcessesAnInputFileAtItsRate) {
  ScratchDir dir;
  const std::string in = dir.File("in.wav"), out = dir.File("out.wav");
  SF_INFO info{};
  info.channels = 1;
  info.samplerate = 22050;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* f = sf_open(in.c_str(), SFM_WRITE, &info);
  ASSERT_NE(f, nullptr);
  std::vector<float> ramp(30000);
  for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = float(i) / 30000.0f - 0.5f;
  sf_writef_float(f, ramp.data(), sf_count_t(ramp.size()));
  sf_close(f);

  ToolResult r = RunHost({"--plugin", kParams, "--set", "Gain=0.25", "--input", in, "--output", out,
                          "--fast", "--quiet"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "");  // --quiet
  std::vector<float> samples = ReadSound(out, &info);
  EXPECT_EQ(info.samplerate, 22050);
  ASSERT_EQ(info.frames, 30000);
  for (size_t i = 0; i < ramp.size(); ++i) {
    ASSERT_EQ(samples[2 * i], ramp[i] * 0.5f) << i;  // the mono input feeds both inputs
    ASSERT_EQ(samples[2 * i + 1], ramp[i] * 0.5f) << i;
  }
}

TEST(HostTool, PrintsOneProgressLinePerSecond) {
  ToolResult r = RunHost(
      {"--plugin", kParams, "--seconds", "2.5", "--rate", "8000", "--block", "300", "--fast"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(CountLines(r.out, "time "), 3) << r.out;
  for (const char* time : {"time 1.000 s |", "time 2.000 s |", "time 2.500 s |"}) {
    EXPECT_NE(r.out.find(time), std::string::npos) << r.out;
  }
}

TEST(HostTool, AnyRunOptionRendersTheDefaultLength) {
  for (const char* option : {"--rate", "--block"}) {
    ToolResult r = RunHost({"--plugin", kParams, option, "8000", "--fast"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const char* frames = std::strcmp(option, "--rate") == 0 ? "(40000 frames)" : "(220500 frames)";
    EXPECT_NE(r.out.find(std::string("rendered 5.000 s ") + frames), std::string::npos) << r.out;
  }
}

TEST(HostTool, WarnsWhenAFastRenderIsSilentThroughout) {
  const std::string warning = "warning: the output is silent throughout";
  ToolResult silent = RunHost({"--plugin", kParams, "--seconds", "0.5", "--fast"});
  ASSERT_EQ(silent.exitCode, 0);
  EXPECT_NE(silent.err.find(warning), std::string::npos) << silent.err;
  // One sample of sound in the last block is enough to stay quiet.
  ScratchDir dir;
  const std::string in = dir.File("click.wav");
  SF_INFO info{};
  info.channels = 1;
  info.samplerate = 8000;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* f = sf_open(in.c_str(), SFM_WRITE, &info);
  ASSERT_NE(f, nullptr);
  std::vector<float> click(4000);
  click.back() = 0.5f;
  sf_writef_float(f, click.data(), sf_count_t(click.size()));
  sf_close(f);
  ToolResult sound = RunHost({"--plugin", kParams, "--input", in, "--fast"});
  ASSERT_EQ(sound.exitCode, 0);
  EXPECT_NE(sound.out.find("rendered 0.500 s"), std::string::npos) << sound.out;
  EXPECT_EQ(sound.err.find(warning), std::string::npos) << sound.err;
}

TEST(HostTool, PacesInRealTimeWithoutFast) {
  ScratchDir dir;
  auto start = std::chrono::steady_clock::now();
  ToolResult r =
      RunHost({"--plugin", kParams, "--seconds", "0.3", "--block", "64"}, dir.File("log"));
  double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "");  // a silent real-time run is no reason for a warning
  EXPECT_GE(took, 0.28);
  EXPECT_NE(ReadText(dir.File("log")).find("level 2\n"), std::string::npos);  // real time
}

TEST(HostTool, StopsOnASignalWithAWholeOutputFile) {
  const struct {
    int signal;
    int exitCode;
    const char* name;
  } cases[] = {{SIGINT, 130, "SIGINT"}, {SIGTERM, 143, "SIGTERM"}};
  for (const auto& c : cases) {
    ScratchDir dir;
    const std::string wav = dir.File("out.wav");
    HostProcess host({"--plugin", kParams, "--set", "Bias=0.75", "--seconds", "600", "--rate",
                      "8000", "--block", "64", "--output", wav});
    ASSERT_TRUE(host.started());
    // Some blocks are on disk: the run is under way.
    ASSERT_TRUE(WaitFor([&] { return ReadBinary(wav).size() > 2048; })) << c.name;
    host.Signal(c.signal);
    ToolResult r = host.Wait(60.0);
    ASSERT_EQ(r.killedBy, 0) << c.name;
    ASSERT_EQ(r.exitCode, c.exitCode) << c.name << r.err;
    SF_INFO info;
    std::vector<float> samples = ReadSound(wav, &info);
    ASSERT_GT(info.frames, 0) << c.name;
    EXPECT_EQ(info.frames % 64, 0) << "a block cut short";
    for (float v : samples) ASSERT_EQ(v, 0.25f) << c.name;
    EXPECT_NE(r.out.find("(" + std::to_string(info.frames) + " frames) in "), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find(std::string(", stopped by ") + c.name + "\n"), std::string::npos) << r.out;
  }
}

TEST(HostTool, ProgramFileRoundTripInParameterForm) {
  ScratchDir dir;
  const std::string fxp = dir.File("a.fxp");
  ASSERT_EQ(RunHost({"--plugin", kParams, "--set", "Gain=0.25", "--save-fxp", fxp}).exitCode, 0);
  Bytes b = ReadBinary(fxp);
  ASSERT_EQ(b.size(), 68u);
  EXPECT_EQ(Text(b, 0, 4), "CcnK");
  EXPECT_EQ(Be32(b, 4), 0u);
  EXPECT_EQ(Text(b, 8, 4), "FxCk");
  EXPECT_EQ(Be32(b, 12), 1u);
  EXPECT_EQ(Text(b, 16, 4), "TsGn");
  EXPECT_EQ(Be32(b, 20), 1002u);
  EXPECT_EQ(Be32(b, 24), 3u);
  EXPECT_EQ(Text(b, 28, 28), std::string("Init") + std::string(24, '\0'));
  EXPECT_EQ(Be32(b, 56), 0x3E800000u);  // 0.25
  EXPECT_EQ(Be32(b, 60), 0x3F000000u);  // 0.5
  EXPECT_EQ(Be32(b, 64), 0u);

  FxProgram renamed;
  std::string error;
  ASSERT_TRUE(ReadFxProgram(b.data(), b.size(), &renamed, &error));
  renamed.name = "Loaded";
  WriteBinary(fxp, WriteFxProgram(renamed));
  ToolResult r = RunHost({"--plugin", kParams, "--load-fxp", fxp, "--list"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("  0: Gain = 0.50 x (0.250000)\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("  program 0: Loaded\n"), std::string::npos) << r.out;
}

TEST(HostTool, ProgramFileRoundTripInChunkForm) {
  ScratchDir dir;
  const std::string fxp = dir.File("a.fxp"), again = dir.File("b.fxp");
  ASSERT_EQ(RunHost({"--plugin", kChunks, "--set", "Gain=0.25", "--save-fxp", fxp}).exitCode, 0);
  Bytes b = ReadBinary(fxp);
  ASSERT_EQ(b.size(), 100u);  // header 60 + "TGpg" + name 24 + 3 floats
  EXPECT_EQ(Be32(b, 4), 100u);
  EXPECT_EQ(Text(b, 8, 4), "FPCh");
  EXPECT_EQ(Be32(b, 56), 40u);
  EXPECT_EQ(Text(b, 60, 8), std::string("TGpgInit", 8));
  ToolResult r = RunHost({"--plugin", kChunks, "--load-fxp", fxp, "--list", "--save-fxp", again});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("  0: Gain = 0.50 x (0.250000)\n"), std::string::npos) << r.out;
  EXPECT_EQ(ReadBinary(again), b);
}

TEST(HostTool, BankFileRoundTripInProgramListForm) {
  ScratchDir dir;
  const std::string fxb = dir.File("a.fxb"), again = dir.File("b.fxb");
  ASSERT_EQ(
      RunHost({"--plugin", kParams, "--program", "1", "--set", "Gain=0.125", "--save-fxb", fxb})
          .exitCode,
      0);
  Bytes b = ReadBinary(fxb);
  ASSERT_EQ(b.size(), 156u + 2 * 68u);
  EXPECT_EQ(Text(b, 8, 4), "FxBk");
  EXPECT_EQ(Be32(b, 12), 2u);
  EXPECT_EQ(Be32(b, 24), 2u);
  EXPECT_EQ(Be32(b, 28), 1u);  // current program
  EXPECT_EQ(Bytes(b.begin() + 32, b.begin() + 156), Bytes(124, 0));
  EXPECT_EQ(Text(b, 156 + 28, 4), "Init");
  EXPECT_EQ(Be32(b, 156 + 56), 0x3F000000u);
  EXPECT_EQ(Text(b, 224 + 28, 6), "Bright");
  EXPECT_EQ(Be32(b, 224 + 56), 0x3E000000u);  // 0.125
  EXPECT_EQ(Be32(b, 224 + 60), 0x3F400000u);  // 0.75

  ToolResult r = RunHost({"--plugin", kParams, "--load-fxb", fxb, "--list", "--save-fxb", again});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("programs:    2 (current 1)\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("  0: Gain = 0.25 x (0.125000)\n"), std::string::npos) << r.out;
  EXPECT_EQ(ReadBinary(again), b);
}

TEST(HostTool, BankFileRoundTripInChunkForm) {
  ScratchDir dir;
  const std::string fxb = dir.File("a.fxb"), again = dir.File("b.fxb");
  ASSERT_EQ(RunHost({"--plugin", kChunks, "--program", "1", "--set", "Bias=1", "--save-fxb", fxb})
                .exitCode,
            0);
  Bytes b = ReadBinary(fxb);
  ASSERT_EQ(b.size(), 240u);  // header 160 + "TGbk" + index + 2 programs of 36
  EXPECT_EQ(Be32(b, 4), 240u);
  EXPECT_EQ(Text(b, 8, 4), "FBCh");
  EXPECT_EQ(Be32(b, 156), 80u);
  EXPECT_EQ(Text(b, 160, 4), "TGbk");
  ToolResult r = RunHost({"--plugin", kChunks, "--load-fxb", fxb, "--list", "--save-fxb", again});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("  1: Bias = +0.500 (1.000000)\n"), std::string::npos) << r.out;
  EXPECT_EQ(ReadBinary(again), b);
}

TEST(HostTool, RefusesHostileProgramAndBankFiles) {
  ScratchDir dir;
  const std::string fxp = dir.File("a.fxp"), fxb = dir.File("a.fxb"), bad = dir.File("bad");
  ASSERT_EQ(RunHost({"--plugin", kChunks, "--save-fxp", fxp, "--save-fxb", fxb}).exitCode, 0);
  Bytes program = ReadBinary(fxp);
  Bytes otherPlugin = program;
  otherPlugin[19] = 'x';
  Bytes moreParams = program;
  moreParams[27] = 4;
  const struct {
    std::string plugin;
    Bytes bytes;
    const char* option;
    const char* reason;
  } cases[] = {
      {kChunks, Bytes(program.begin(), program.begin() + 70), "--load-fxp", "exceeds"},
      {kChunks, Bytes(10, 0), "--load-fxp", "too short"},
      {kChunks, Bytes(program.size(), 'x'), "--load-fxp", "bad magic"},
      {kChunks, ReadBinary(fxb), "--load-fxp", "not a program"},
      {kChunks, program, "--load-fxb", "too short"},
      {kChunks, otherPlugin, "--load-fxp", "is for plug-in 'TsGx'"},
      {kChunks, moreParams, "--load-fxp", "the file has 4 parameters, the plug-in has 3"},
      {kParams, program, "--load-fxp", "takes no chunks"},
      {kParams, ReadBinary(fxb), "--load-fxb", "takes no chunks"},
  };
  for (const auto& c : cases) {
    WriteBinary(bad, c.bytes);
    ToolResult r = RunHost({"--plugin", c.plugin, c.option, bad});
    EXPECT_EQ(r.exitCode, 1) << c.reason;
    EXPECT_NE(r.err.find(c.reason), std::string::npos) << r.err;
  }
  ToolResult missing = RunHost({"--plugin", kParams, "--load-fxp", dir.File("none.fxp")});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find("No such file"), std::string::npos) << missing.err;
}

TEST(HostTool, RefusesPluginsItCannotLoad) {
  ScratchDir dir;
  WriteBinary(dir.File("text.so"), Bytes(100, 'x'));
  // Cut inside the code segment, which starts on the second page: without the
  // check, mapping this copy faults with a bus error.
  Bytes plugin = ReadBinary(kParams);
  ASSERT_GT(plugin.size(), 8192u);
  WriteBinary(dir.File("cut.so"), Bytes(plugin.begin(), plugin.begin() + 4196));
  const struct {
    std::string path;
    const char* reason;
  } cases[] = {
      {dir.File("missing.so"), "no such file"},
      {dir.File("text.so"), "cannot load: not an ELF file"},
      {dir.File("cut.so"), "cannot load: truncated or damaged: segment "},
      {dir.path(), "cannot load: not a regular file"},
      {TestPlugin("test_plugin_noentry"), "no entry point (neither VSTPluginMain nor main)"},
      {TestPlugin("test_plugin_null"), "the entry point returned no effect"},
      {TestPlugin("test_plugin_badmagic"), "bad magic 0x58595A57"},
  };
  for (const auto& c : cases) {
    ToolResult r = RunHost({"--plugin", c.path, "--list"});
    EXPECT_EQ(r.exitCode, 3) << c.reason;
    EXPECT_NE(r.err.find(c.reason), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
}

TEST(HostTool, TakesABareNameAsAFileInTheCurrentFolder) {
  ScratchDir dir;
  WriteBinary(dir.File("Gain.so"), ReadBinary(kParams));
  ToolResult r = RunHost({"--plugin", "Gain.so", "--list"}, "", dir.path());
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("name:        Test Gain\n"), std::string::npos) << r.out;
}

TEST(HostTool, FindsTheOlderMainEntry) {
  ToolResult r = RunHost({"--plugin", TestPlugin("test_plugin_mainonly"), "--list"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("name:        Test Gain\n"), std::string::npos) << r.out;
}

TEST(HostTool, SurvivesAPluginWithOddAnswers) {
  const std::string odd = TestPlugin("test_plugin_odd");
  ToolResult list = RunHost({"--plugin", odd, "--list"});
  ASSERT_EQ(list.exitCode, 0) << list.err;
  const std::string longName = "AAA?" + std::string(96, 'A');  // unterminated, escape replaced
  EXPECT_NE(list.out.find("name:        " + longName + "\n"), std::string::npos) << list.out;
  EXPECT_NE(list.out.find("  0: " + longName + " = "), std::string::npos) << list.out;
  EXPECT_NE(list.out.find("programs:    0 (current -5)\n"), std::string::npos) << list.out;

  ScratchDir dir;
  ToolResult save = RunHost({"--plugin", odd, "--save-fxp", dir.File("a.fxp")});
  EXPECT_EQ(save.exitCode, 1);
  EXPECT_NE(save.err.find("the plug-in gave no program chunk"), std::string::npos) << save.err;

  ToolResult run = RunHost({"--plugin", odd, "--seconds", "0.1", "--fast"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.err.find("warning: 8820 non-finite output samples"), std::string::npos) << run.err;
}

TEST(HostTool, ReportsUsageAndFileErrors) {
  for (const char* flag : {"-h", "--help"}) {
    ToolResult help = RunHost({flag});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out.rfind("Usage: skylane-host --plugin PATH [options]\n", 0), 0u) << help.out;
    EXPECT_EQ(help.err, "");
  }
  const struct {
    std::vector<std::string> args;
    const char* message;
  } usage[] = {
      {{"--plugin", kParams, "--block", "0"},
       "--block: expects a whole number from 1 to 65536 (got '0')"},
      {{"--list"}, "no plug-in given (--plugin PATH)"},
      {{"--plugin", kParams, "--bogus"}, "unknown option --bogus"},
  };
  for (const auto& c : usage) {
    ToolResult r = RunHost(c.args);
    EXPECT_EQ(r.exitCode, 2) << c.message;
    EXPECT_EQ(r.err, "skylane-host: " + std::string(c.message) + "\nTry 'skylane-host --help'.\n");
    EXPECT_EQ(r.out, "");
  }
  ScratchDir dir;
  ToolResult format = RunHost({"--plugin", kParams, "--output", dir.File("x.mp9"), "--fast"});
  EXPECT_EQ(format.exitCode, 1);
  EXPECT_NE(format.err.find("unknown output format"), std::string::npos) << format.err;
  ToolResult input = RunHost({"--plugin", kParams, "--input", dir.File("none.wav"), "--fast"});
  EXPECT_EQ(input.exitCode, 1);
  ToolResult unwritable = RunHost({"--plugin", kParams, "--save-fxp", dir.File("no/such/dir.fxp")});
  EXPECT_EQ(unwritable.exitCode, 1);
  EXPECT_NE(unwritable.err.find("No such file"), std::string::npos) << unwritable.err;
}

}  // namespace
