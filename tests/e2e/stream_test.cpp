// Skylane.so in skylane-host against a real skylane-relay process: a file
// source arrives sample for sample, the loopback device returns the effects
// loop, and a relay that dies and comes back is followed by the plug-in.
#include <gtest/gtest.h>
#include <signal.h>

#include <string>
#include <vector>

#include "tests/e2e/audio_scan.h"
#include "tests/e2e/e2e_env.h"
#include "tests/e2e/index_signal.h"
#include "tests/e2e/relay_process.h"

namespace {

constexpr double kRate = 44100.0;
constexpr long kSourceFrames = 65536;
// The FIFO checks for trimming on every 200th extraction, one per block here.
constexpr long kTrimPeriod = 200;

struct Recording {
  std::vector<std::vector<double>> channels;
  double rate = 0.0;
};

// Runs the host to its end and reads what it wrote.
void FinishHost(ChildProcess* host, const std::string& path, Recording* out) {
  ASSERT_EQ(host->Wait(30000), 0) << host->output();
  std::string error;
  ASSERT_TRUE(ReadSoundFile(path, &out->channels, &out->rate, &error)) << error;
  ASSERT_EQ(out->channels.size(), 2u);
}

// Seconds of audio in frames [from, to) that are not silent.
double AudioSeconds(const Recording& r, double from, double to) {
  long count = 0;
  for (long i = long(from * r.rate); i < long(to * r.rate) && i < long(r.channels[0].size()); ++i)
    if (r.channels[0][size_t(i)] != 0.0 || r.channels[1][size_t(i)] != 0.0) ++count;
  return double(count) / r.rate;
}

TEST(Stream, FileSourceArrivesSampleForSampleBetweenUnderflowsAndTrims) {
  const std::string source = ScratchPath("source.wav"), output = ScratchPath("file_out.wav");
  std::string error;
  ASSERT_TRUE(WriteSoundFile(source, MakeIndexSignal(kSourceFrames), kRate, &error)) << error;
  RelayProcess relay;
  ASSERT_TRUE(relay.Start(RelayPath(), {"--file", "Source=" + source}, 0, &error)) << error;
  ChildProcess host;
  ASSERT_TRUE(StartHost(&host, relay.port(), kRate, 3.0, output, {"--quiet"}));
  Recording r;
  FinishHost(&host, output, &r);

  const IndexAnalysis a = AnalyseIndexStream(r.channels[0], r.channels[1], kSourceFrames);
  EXPECT_EQ(a.foreignFrames, 0) << "frames that are no source frame arrived";
  EXPECT_GT(a.AudioFrames(), long(1.5 * kRate)) << "too little of the stream arrived";
  const long total = long(r.channels[0].size());
  for (size_t k = 0; k < a.runs.size(); ++k) {
    const IndexRun& run = a.runs[k];
    const long end = run.outputFrame + run.length;
    EXPECT_EQ(run.outputFrame % kBlock, 0) << "a block was played in part, run " << k;
    EXPECT_TRUE(end % kBlock == 0 || end == total) << "a block was played in part, run " << k;
    if (k == 0) continue;
    // An underflow leaves the FIFO as it was, so the stream goes on where it
    // stopped; only a trimming check may skip ahead.
    const IndexRun& before = a.runs[k - 1];
    const long next = (before.firstIndex + before.length) % kSourceFrames;
    if (run.firstIndex != next) {
      EXPECT_EQ(run.outputFrame / kBlock % kTrimPeriod, 0)
          << "the stream skipped from " << next << " to " << run.firstIndex << " at output frame "
          << run.outputFrame << ", not at a trimming check";
    }
  }
  EXPECT_TRUE(relay.Stop());
}

TEST(Stream, LoopbackDeviceReturnsTheEffectsLoopInput) {
  const std::string input = ScratchPath("loop_in.wav"), output = ScratchPath("loop_out.wav");
  std::string error;
  const long frames = long(3 * kRate);
  ASSERT_TRUE(WriteSoundFile(input, MakeIndexSignal(frames), kRate, &error)) << error;
  RelayProcess relay;
  ASSERT_TRUE(relay.Start(RelayPath(), {"--loopback", "Loop"}, 0, &error)) << error;
  ChildProcess host;
  ASSERT_TRUE(StartHost(&host, relay.port(), kRate, 3.0, output,
                        {"--quiet", "--input", input, "--set", "Effects Loop=1"}));
  Recording r;
  FinishHost(&host, output, &r);

  const IndexAnalysis a = AnalyseIndexStream(r.channels[0], r.channels[1], 0);
  EXPECT_EQ(a.foreignFrames, 0) << "frames that were never sent came back";
  EXPECT_GT(a.AudioFrames(), long(1.0 * kRate)) << "too little of the input came back";
  for (size_t k = 0; k < a.runs.size(); ++k) {
    const IndexRun& run = a.runs[k];
    EXPECT_GE(run.outputFrame - run.firstIndex, kBlock) << "input came back within its own block";
    if (k > 0) {
      EXPECT_GE(run.firstIndex, a.runs[k - 1].firstIndex + a.runs[k - 1].length)
          << "input came back out of order or twice";
    }
  }
  EXPECT_TRUE(relay.Stop());
}

// Waits for the host's progress line for the end of second `second`.
bool WaitForSecond(ChildProcess* host, int second) {
  const std::string prefix = "time " + std::to_string(second) + ".000 s";
  std::string line;
  while (host->ReadLine(&line, 10000))
    if (line.compare(0, prefix.size(), prefix) == 0) return true;
  return false;
}

TEST(Stream, PluginGoesSilentWhenTheRelayDiesAndComesBackByItself) {
  const std::string output = ScratchPath("restart_out.wav");
  std::string error;
  RelayProcess relay;
  ASSERT_TRUE(relay.Start(RelayPath(), {"--tone", "Tone"}, 0, &error)) << error;
  ChildProcess host;
  ASSERT_TRUE(StartHost(&host, relay.port(), kRate, 6.0, output, {}));
  ASSERT_TRUE(WaitForSecond(&host, 2));
  relay.Kill();
  ASSERT_TRUE(WaitForSecond(&host, 3));
  ASSERT_TRUE(relay.Restart(&error)) << error;
  Recording r;
  FinishHost(&host, output, &r);

  EXPECT_GT(AudioSeconds(r, 1.0, 2.0), 0.9) << "no stream before the relay died";
  EXPECT_LT(AudioSeconds(r, 2.0, 3.0), 0.5) << "still playing while the relay was gone";
  EXPECT_GT(AudioSeconds(r, 4.5, 6.0), 1.45) << "the stream did not come back";
  EXPECT_TRUE(relay.Stop());
}

}  // namespace
