// The JACK capture path without a server: a simulated device on a clock of its
// own feeds the ring as simulated time passes, and the relay's side plays it
// block by block, so an hour of drift takes no hour.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "relay/capture_source.h"
#include "relay/drift_control.h"
#include "relay/jack_feed.h"
#include "tests/relay/tone_check.h"

namespace relay {
namespace {

using relay_test::AnalyseTone;
using relay_test::ToneReport;

constexpr double kPi = 3.141592653589793;
constexpr int kBlock = 512;
constexpr double kBlockSeconds = kBlock / 44100.0;

// A device whose clock runs drift (a fraction) fast: periods of a 1000 Hz tone
// at 0.5 on the left and a 1500 Hz tone at 0.25 on the right, pushed into the
// feed as each one completes. Its server may report another period than the
// one it delivers.
class SimulatedDevice {
 public:
  SimulatedDevice(JackFeed* feed, int rate, int period, double drift, int reported = 0)
      : feed_(feed), rate_(rate), period_(period), drift_(drift) {
    feed_->Start(rate, reported ? reported : period);
  }
  void RunUntil(double seconds) {
    for (; (periods_ + 1) * period_ / (rate_ * (1 + drift_)) <= seconds; ++periods_)
      if (!paused_) Push(period_);
  }
  // Frames at once, beyond the clock's schedule (a burst after a stall).
  void Push(int frames) {
    std::vector<float> left(static_cast<size_t>(frames)), right(left.size());
    for (int i = 0; i < frames; ++i, ++frame_) {
      left[static_cast<size_t>(i)] =
          static_cast<float>(0.5 * std::sin(2 * kPi * 1000 * frame_ / rate_));
      right[static_cast<size_t>(i)] =
          static_cast<float>(0.25 * std::sin(2 * kPi * 1500 * frame_ / rate_));
    }
    feed_->Received(left.size());
    feed_->Push(left.data(), right.data(), left.size());
  }
  void Pause(bool paused) { paused_ = paused; }

 private:
  JackFeed* feed_;
  double rate_;
  int period_;
  double drift_;
  long periods_ = 0;
  long frame_ = 0;
  bool paused_ = false;
};

// Plays seconds of simulated time; the device runs alongside.
class Player {
 public:
  Player(CaptureSource* source, SimulatedDevice* device) : source_(source), device_(device) {}
  void Play(double seconds, std::vector<float>* out = nullptr) {
    float block[2 * kBlock];
    for (const long end = ticks_ + std::lround(seconds / kBlockSeconds); ticks_ < end; ++ticks_) {
      device_->RunUntil(ticks_ * kBlockSeconds);
      source_->Render(block, kBlock);
      if (out) out->insert(out->end(), block, block + 2 * kBlock);
    }
  }

 private:
  CaptureSource* source_;
  SimulatedDevice* device_;
  long ticks_ = 0;
};

bool Silent(const std::vector<float>& samples) {
  return std::all_of(samples.begin(), samples.end(), [](float s) { return s == 0.0f; });
}

TEST(CaptureSource, PlaysTheDeviceAt44100HzAcrossClockDrift) {
  for (const double drift : {-200e-6, 0.0, 200e-6}) {
    SCOPED_TRACE(drift * 1e6);
    auto feed = std::make_shared<JackFeed>();
    CaptureSource source(feed);
    SimulatedDevice device(feed.get(), 48000, 256, drift);
    Player player(&source, &device);
    std::vector<float> out;
    player.Play(240.0, &out);
    const CaptureStats& stats = source.stats();
    EXPECT_EQ(stats.underruns, 0u);
    EXPECT_EQ(stats.trims, 0u);
    EXPECT_EQ(feed->overruns(), 0u);
    EXPECT_NEAR(stats.correction, drift, 30e-6) << "the loop has learnt the drift";
    std::printf("drift %+.0f ppm over 240 s: ring fill %zu-%zu frames (target %zu)\n", drift * 1e6,
                stats.minFill, stats.maxFill, stats.target);
    EXPECT_GT(stats.minFill, stats.target - 600);
    EXPECT_LT(stats.maxFill, stats.target + 600);
    // The tone as the device played it, heard on the relay's clock; the second
    // half is past the loop's settling.
    const std::vector<float> late(out.begin() + static_cast<long>(out.size() / 2), out.end());
    const ToneReport left = AnalyseTone(late, 0, 44100, 1000, 0.5);
    const ToneReport right = AnalyseTone(late, 1, 44100, 1500, 0.25);
    EXPECT_NEAR(left.frequency, 1000 * (1 + drift), 0.005);
    EXPECT_NEAR(right.frequency, 1500 * (1 + drift), 0.0075);
    EXPECT_NEAR(left.rms, 0.5 / std::sqrt(2.0), 0.002);
    EXPECT_NEAR(right.rms, 0.25 / std::sqrt(2.0), 0.001);
    const ToneReport whole = AnalyseTone(out, 0, 44100, 1000, 0.5, 441);
    EXPECT_EQ(whole.breaks, 0u) << "a dropout or jump after the start";
  }
}

// Large periods make the ring's level a sawtooth a period high; on one clock
// the correction must stay near zero, with headroom left, and follow a real
// drift. The server reports 256 frames while delivering more.
TEST(CaptureSource, HoldsTheRingOnLargePeriodsWithoutBias) {
  struct Case {
    int period;
    double drift;
  };
  for (const Case c : {Case{1024, 0.0}, Case{2048, 0.0}, Case{2048, -150e-6}}) {
    SCOPED_TRACE(std::to_string(c.period) + " frames, " + std::to_string(c.drift * 1e6) + " ppm");
    auto feed = std::make_shared<JackFeed>();
    CaptureSource source(feed);
    SimulatedDevice device(feed.get(), 48000, c.period, c.drift, 256);
    Player player(&source, &device);
    double low = 1, high = -1;
    int atLimit = 0;
    for (int second = 0; second < 300; ++second) {
      player.Play(1.0);
      const double correction = source.stats().correction;
      atLimit += std::fabs(correction) >= DriftControl::kMaxCorrection;
      if (second < 90) continue;
      low = std::min(low, correction - c.drift);
      high = std::max(high, correction - c.drift);
    }
    std::printf("period %d, drift %+.0f ppm, 5 min: correction - drift %+.1f to %+.1f ppm\n",
                c.period, c.drift * 1e6, low * 1e6, high * 1e6);
    EXPECT_EQ(source.stats().target, CaptureSource::TargetFill(kBlock, 48000, c.period));
    EXPECT_EQ(source.stats().underruns, 0u);
    EXPECT_EQ(atLimit, 0) << "seconds at the correction's limit";
    EXPECT_GT(low, -50e-6);
    EXPECT_LT(high, 50e-6);
  }
}

// A graph that loses a period moves the level down by a period at once: the
// loop takes the new level instead of chasing it at its limit for a minute.
// A stall of the relay's thread beyond its pacing's catching up leaves far
// too much queued: the excess goes at once instead of staying as delay.
TEST(CaptureSource, TakesALostPeriodAsANewLevelAndDropsAStallsExcess) {
  auto feed = std::make_shared<JackFeed>();
  CaptureSource source(feed);
  SimulatedDevice device(feed.get(), 48000, 1024, 0);
  Player player(&source, &device);
  player.Play(10.0);
  source.StatsLine();
  player.Play(1.0);
  const size_t before = source.stats().maxFill;
  feed->ring().Discard(1024);
  int atLimit = 0;
  for (int second = 0; second < 60; ++second) {
    player.Play(1.0);
    atLimit += std::fabs(source.stats().correction) >= DriftControl::kMaxCorrection;
    if (second == 30) device.Push(9600);   // 200 ms more than played
    if (second == 50) source.StatsLine();  // the fill's range from here on
  }
  EXPECT_EQ(source.stats().steps, 1u);
  EXPECT_EQ(source.stats().trims, 1u);
  EXPECT_EQ(source.stats().underruns, 0u);
  EXPECT_EQ(atLimit, 0);
  EXPECT_LT(std::fabs(source.stats().correction), 5e-6);
  EXPECT_LT(source.stats().maxFill, before) << "back at the lower level, not 200 ms later";
}

// With a small reserve the queue stays short: a period, a block, the
// converter's look-ahead and the reserve. A period that comes later than
// the reserve allows is an underrun; one within it is not.
TEST(CaptureSource, KeepsAShortQueueThatTheReserveCarriesThroughALatePeriod) {
  constexpr int kSmallBlock = 128, kPeriod = 256;
  constexpr double kReserve = 0.003, kTick = kSmallBlock / 44100.0;
  struct Case {
    double lateSeconds;
    bool underruns;
  };
  for (const Case c : {Case{0.0025, false}, Case{0.015, true}}) {
    SCOPED_TRACE(c.lateSeconds);
    auto feed = std::make_shared<JackFeed>();
    CaptureSource source(feed, kReserve);
    SimulatedDevice device(feed.get(), 48000, kPeriod, 0);
    float block[2 * kSmallBlock];
    long periods = 0;
    for (long tick = 0; tick * kTick < 20.0; ++tick) {
      const double now = tick * kTick;
      // Every second, from the fifth on, one period comes late.
      for (;; ++periods) {
        const double due = (periods + 1) * kPeriod / 48000.0;
        const bool late = due > 5 && std::fmod(due, 1.0) < kPeriod / 48000.0;
        if (due + (late ? c.lateSeconds : 0.0) > now) break;
        device.Push(kPeriod);
      }
      source.Render(block, kSmallBlock);
    }
    const double most =
        kPeriod + kSmallBlock * 48000 / 44100.0 + RateConverter::kHalf + kReserve * 48000;
    EXPECT_LE(static_cast<double>(source.stats().target), most + 1);
    EXPECT_EQ(source.stats().underruns > 0, c.underruns) << source.stats().underruns;
  }
}

// After any start the output fades in: a tone that starts mid-wave is never
// louder than itself, and the first samples are near silence.
TEST(CaptureSource, FadesInAfterEveryStart) {
  auto feed = std::make_shared<JackFeed>();
  CaptureSource source(feed);
  SimulatedDevice device(feed.get(), 48000, 1024, 0);
  Player player(&source, &device);
  for (int start = 0; start < 3; ++start) {
    std::vector<float> out;
    player.Play(0.5, &out);
    const auto first = std::find_if(out.begin(), out.end(), [](float s) { return s != 0.0f; });
    ASSERT_NE(first, out.end());
    EXPECT_LT(std::fabs(*first), 0.02f);
    float peak = 0;
    for (size_t i = 0; i < out.size(); i += 2) peak = std::max(peak, std::fabs(out[i]));
    EXPECT_LE(peak, 0.5f * 1.002f) << "start " << start;
    EXPECT_GT(peak, 0.49f);
    device.Pause(true);
    player.Play(0.3);
    device.Pause(false);
  }
  EXPECT_EQ(source.stats().underruns, 3u) << "one for each pause";
}

TEST(CaptureSource, StaysSilentUntilTheTargetFillIsQueued) {
  auto feed = std::make_shared<JackFeed>();
  CaptureSource source(feed);
  std::vector<float> block(2 * kBlock, 1.0f);
  source.Render(block.data(), kBlock);
  EXPECT_TRUE(Silent(block)) << "no server yet";
  SimulatedDevice device(feed.get(), 48000, 256, 0);
  const size_t target = CaptureSource::TargetFill(kBlock, 48000, 256);
  while (feed->ring().Available() + 256 < target) {
    device.Push(256);
    source.Render(block.data(), kBlock);
    EXPECT_TRUE(Silent(block)) << feed->ring().Available();
  }
  device.Push(256);
  device.Push(256);
  source.Render(block.data(), kBlock);
  EXPECT_FALSE(Silent(block));
  EXPECT_EQ(source.stats().maxFill, target) << "frames beyond the target are dropped at the start";
}

TEST(CaptureSource, RestartsAfterADeviceStallAndAfterANewStream) {
  auto feed = std::make_shared<JackFeed>();
  CaptureSource source(feed);
  SimulatedDevice device(feed.get(), 48000, 256, 0);
  Player player(&source, &device);
  std::vector<float> out;
  player.Play(2.0);
  device.Pause(true);
  player.Play(1.0, &out);
  EXPECT_TRUE(Silent(std::vector<float>(out.end() - 2 * 44100 / 2, out.end())));
  EXPECT_EQ(source.stats().underruns, 1u);
  device.Pause(false);
  out.clear();
  player.Play(2.0, &out);
  EXPECT_GT(AnalyseTone(out, 0, 44100, 1000, 0.5).rms, 0.3) << "plays again once refilled";

  // The server goes; silence. Another comes back at 44100 Hz: what was left of
  // the old stream is dropped, and the new one plays at its own rate.
  feed->Stop();
  out.clear();
  player.Play(0.5, &out);
  EXPECT_TRUE(Silent(out));
  SimulatedDevice again(feed.get(), 44100, 512, 0);
  Player second(&source, &again);
  out.clear();
  second.Play(5.0, &out);
  const ToneReport tone = AnalyseTone(out, 0, 44100, 1000, 0.5, 441);
  EXPECT_NEAR(tone.frequency, 1000.0, 0.5) << "converted from 44100 Hz now";
  EXPECT_EQ(tone.breaks, 0u);
}

TEST(CaptureSource, DropsABurstFarBeyondTheTarget) {
  auto feed = std::make_shared<JackFeed>();
  CaptureSource source(feed);
  SimulatedDevice device(feed.get(), 48000, 256, 0);
  Player player(&source, &device);
  player.Play(1.0);
  const size_t target = source.stats().target;
  device.Push(static_cast<int>((target + 48000 / 4) / 256 * 256 + 512));
  player.Play(0.1);
  EXPECT_EQ(source.stats().trims, 1u);
  EXPECT_EQ(source.stats().underruns, 0u);
  EXPECT_LT(feed->ring().Available(), target + 512);
}

TEST(JackFeed, InterleavesCleansAndCountsWhatDoesNotFit) {
  JackFeed feed(1024);
  std::vector<float> left(1000, 0.5f), right(1000, -0.25f);
  left[3] = NAN;
  right[4] = INFINITY;
  feed.Push(left.data(), right.data(), left.size());
  feed.Push(left.data(), right.data(), left.size());
  EXPECT_EQ(feed.overruns(), 976u);
  std::vector<float> frames(2 * 1024);
  ASSERT_EQ(feed.ring().Read(frames.data(), 1024), 1024u);
  EXPECT_EQ(frames[0], 0.5f);
  EXPECT_EQ(frames[1], -0.25f);
  EXPECT_EQ(frames[6], 0.0f) << "NaN";
  EXPECT_EQ(frames[9], 0.0f) << "infinity";
}

// The control loop alone against the ring's arithmetic, over hours: a device
// period lands whenever the device's clock says so, a relay block takes
// nominal x (1 + correction) input frames.
struct LoopRun {
  double minFill = 1e9, maxFill = -1e9, maxStep = 0, maxCorrection = 0, lastCorrection = 0;
};

LoopRun RunLoop(double drift, double hours) {
  const double rate = 48000, period = 256, nominal = kBlock * rate / 44100;
  const double target = static_cast<double>(CaptureSource::TargetFill(kBlock, 48000, 256));
  DriftControl control;
  control.Reset(false);
  LoopRun run;
  double produced = target, consumed = 0, correction = 0;
  long periods = 0;
  for (long tick = 0; tick * kBlockSeconds < hours * 3600; ++tick) {
    for (; (periods + 1) * period / (rate * (1 + drift)) <= tick * kBlockSeconds; ++periods)
      produced += period;
    const double fill = produced - std::floor(consumed);
    run.minFill = std::min(run.minFill, fill - target);
    run.maxFill = std::max(run.maxFill, fill - target);
    const double next = control.Update(fill, target, rate, kBlockSeconds);
    run.maxStep = std::max(run.maxStep, std::fabs(next - correction));
    run.maxCorrection = std::max(run.maxCorrection, std::fabs(next));
    correction = next;
    consumed += nominal * (1 + correction);
  }
  run.lastCorrection = correction;
  return run;
}

TEST(DriftControl, HoldsTheRingForHoursWithoutPitchSteps) {
  for (const double drift : {-200e-6, 200e-6, 350e-6, 0.0}) {
    SCOPED_TRACE(drift * 1e6);
    const LoopRun run = RunLoop(drift, 4.0);
    std::printf("drift %+.0f ppm over 4 h: ring fill target %+.0f to %+.0f frames\n", drift * 1e6,
                run.minFill, run.maxFill);
    EXPECT_GT(run.minFill, -400);
    EXPECT_LT(run.maxFill, 400);
    EXPECT_NEAR(run.lastCorrection, drift, 5e-6);
    EXPECT_LE(run.maxCorrection, DriftControl::kMaxCorrection);
    EXPECT_LT(run.maxStep, 10e-6) << "largest change of the ratio between two blocks";
  }
}

TEST(DriftControl, SaturatesBeyondItsRangeAndRecovers) {
  const LoopRun run = RunLoop(1000e-6, 0.1);
  EXPECT_EQ(run.maxCorrection, DriftControl::kMaxCorrection);
  DriftControl control;
  control.Reset(false);
  for (int i = 0; i < 100000; ++i) control.Update(5000, 1000, 48000, kBlockSeconds);
  for (int i = 0; i < 20000 && control.correction() > 0; ++i)
    control.Update(0, 1000, 48000, kBlockSeconds);
  EXPECT_LT(control.correction(), 0) << "the integral does not wind up beyond the range";
}

}  // namespace
}  // namespace relay
