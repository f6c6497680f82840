// A capture device (JACK or PipeWire) as the relay's thread plays it: takes
// the audio the server's process thread left in the feed's ring and converts
// it from the server's rate to 44100 Hz, nudging the ratio
// so that the ring's level stays where playback started however the two
// clocks drift apart. Plays silence while no server is there, and until a
// fresh stream has filled the ring to the target; fades in at every start.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "relay/drift_control.h"
#include "relay/jack_feed.h"
#include "relay/rate_converter.h"
#include "relay/source.h"

namespace relay {

struct CaptureStats {
  size_t target = 0;   // input frames, for the latest block size
  size_t minFill = 0;  // range of the ring's fill before each block while playing
  size_t maxFill = 0;
  uint64_t blocks = 0;     // blocks played from the ring since the range was reset
  uint64_t underruns = 0;  // times the ring ran dry and playback restarted
  uint64_t trims = 0;      // times far too much was queued and the excess dropped
  uint64_t steps = 0;      // times the level dropped at once (the device lost a period)
  double correction = 0;   // the drift control's latest correction
};

class CaptureSource : public Source {
 public:
  // reserveSeconds: queued beyond one device period, one relay block and the
  // converter's look-ahead, against a device's period arriving late.
  explicit CaptureSource(std::shared_ptr<JackFeed> feed, double reserveSeconds = kDefaultReserve);
  CaptureSource(const CaptureSource&) = delete;
  CaptureSource& operator=(const CaptureSource&) = delete;

  void Render(float* out, int frames) override;
  // The fill range and counters since the last call; resets the range.
  std::string StatsLine() override;

  // Since the start, or the fill range since the last StatsLine.
  const CaptureStats& stats() const { return stats_; }

  static constexpr double kDefaultReserve = 0.030;
  // The fade-in at every start, against a click.
  static constexpr double kFadeSeconds = 0.005;
  // The ring's lowest level over this long is what the drift control holds:
  // long enough for the relay's blocks to meet the device's periods at every
  // phase, so that the lowest level seen is the true one.
  static constexpr double kWindowSeconds = 2.0;
  // Jumps of the level beyond 3/4 of a period (or of this long) are steps.
  static constexpr double kStepSeconds = 0.010;

  // Input frames queued before a block of blockFrames is taken, for a
  // stream at rate with the given period. The level before each block sinks
  // to a period below where playback started; there it must still hold the
  // block, what the converter reads ahead, and the reserve against a late
  // period.
  static size_t TargetFill(int blockFrames, int rate, int period,
                           double reserveSeconds = kDefaultReserve);

 private:
  static long Pull(void* self, float** data);
  void NewStream();
  bool Prime(size_t fill, size_t target);
  void Play(float* out, int frames, size_t fill, size_t target);
  double Control(double queued, size_t target, int rate, int frames);
  double PushLow(double low);
  void Underrun(float* out, int frames, int played);
  void ResetRange();

  std::shared_ptr<JackFeed> feed_;
  double reserve_;
  RateConverter converter_{&CaptureSource::Pull, this};
  DriftControl drift_;
  uint32_t generation_ = 0;
  bool primed_ = false;
  double held_ = 0;  // input frames the converter took from the ring and has not played
  // The lowest level in the current window, and the level held since the
  // start (negative until the first window is over) for the target it had.
  double windowMin_ = 0;
  double windowSeconds_ = 0;
  double reference_ = -1;
  double lows_[3] = {};  // the latest windows' lows, newest first
  int lowCount_ = 0;
  size_t referenceTarget_ = 0;
  long fadeFrames_ = 0;  // input frames of the fade-in
  long faded_ = 0;       // of them, pulled so far
  CaptureStats stats_;
  static constexpr size_t kPullFrames = 16;
  float pull_[2 * kPullFrames] = {};
};

}  // namespace relay
