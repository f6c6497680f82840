// Two Skylane instances in one process stream two devices of one relay at once.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/audio_scan.h"
#include "tests/e2e/e2e_env.h"
#include "tests/e2e/index_signal.h"
#include "tests/e2e/plugin_rack.h"
#include "tests/e2e/relay_process.h"

namespace {

constexpr double kRate = 44100.0;
constexpr int kParamDeviceId = 3;
constexpr long kMaxDeviceId = 0xFFFFFF;

TEST(Rack, TwoInstancesStreamTwoDevicesAtOnce) {
  const std::string source = ScratchPath("rack_source.wav");
  std::string error;
  ASSERT_TRUE(WriteSoundFile(source, MakeIndexSignal(65536), kRate, &error)) << error;
  RelayProcess relay;
  ASSERT_TRUE(relay.Start(RelayPath(), {"--tone", "Tone", "--file", "Index=" + source}, 0, &error))
      << error;
  SetPluginEnv(relay.port());

  std::vector<std::vector<std::vector<double>>> recorded(2, std::vector<std::vector<double>>(2));
  long together = 0;
  {
    PluginRack rack(kRate, kBlock);
    const int a = rack.Add(PluginPath(), &error);
    const int b = rack.Add(PluginPath(), &error);
    ASSERT_GE(b, 0) << error;
    // The index file is the second device: a stream of device 0 would be the tone.
    rack.SetParameter(a, kParamDeviceId, NormalizedInt(relay.DeviceId("Index"), 0, kMaxDeviceId));
    rack.SetParameter(b, kParamDeviceId, NormalizedInt(relay.DeviceId("Tone"), 0, kMaxDeviceId));
    while (rack.blocks() < long(3.0 * kRate / kBlock)) {
      rack.ProcessBlock();
      for (int i : {a, b}) {
        recorded[size_t(i)][0].insert(recorded[size_t(i)][0].end(), rack.Left(i).begin(),
                                      rack.Left(i).end());
        recorded[size_t(i)][1].insert(recorded[size_t(i)][1].end(), rack.Right(i).begin(),
                                      rack.Right(i).end());
      }
      if (!rack.Silent(a) && !rack.Silent(b)) ++together;
    }
  }

  const IndexAnalysis index = AnalyseIndexStream(recorded[0][0], recorded[0][1], 65536);
  EXPECT_EQ(index.foreignFrames, 0) << "the first instance played something other than its device";
  EXPECT_GT(index.AudioFrames(), long(1.5 * kRate));
  const IndexAnalysis tone = AnalyseIndexStream(recorded[1][0], recorded[1][1], 65536);
  EXPECT_TRUE(tone.runs.empty()) << "the second instance played the first one's device";
  const AudioScan scan = ScanAudio(recorded[1], kRate);
  EXPECT_NEAR(scan.peak, 0.25, 0.01) << "the tone device plays at -12 dBFS";
  EXPECT_GT(double(together) * kBlock / kRate, 1.5)
      << "the two streams did not play at the same time";
  EXPECT_TRUE(relay.Stop());
}

}  // namespace
