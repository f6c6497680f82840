// A JACK device as the relay's thread plays it: takes the audio the JACK
// process thread left in the feed's ring and converts it from the JACK rate to
// 44100 Hz with libsamplerate, nudging the ratio so that the ring stays near
// its target fill however the two clocks drift apart. Plays silence while no
// server is there, and until a fresh stream has filled the ring to the target.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "relay/drift_control.h"
#include "relay/jack_feed.h"
#include "relay/source.h"

typedef struct SRC_STATE_tag SRC_STATE;

namespace relay {

struct CaptureStats {
  size_t target = 0;   // input frames, for the latest block size
  size_t minFill = 0;  // range of the ring's fill before each block while playing
  size_t maxFill = 0;
  uint64_t blocks = 0;     // blocks played from the ring since the range was reset
  uint64_t underruns = 0;  // times the ring ran dry and playback restarted
  uint64_t trims = 0;      // times far too much was queued and the excess dropped
  double correction = 0;   // the drift control's latest correction
};

class CaptureSource : public Source {
 public:
  // reserveSeconds: queued beyond one JACK period and one relay block, against
  // the scheduling delays of both sides.
  explicit CaptureSource(std::shared_ptr<JackFeed> feed, double reserveSeconds = kDefaultReserve);
  ~CaptureSource() override;
  CaptureSource(const CaptureSource&) = delete;
  CaptureSource& operator=(const CaptureSource&) = delete;

  void Render(float* out, int frames) override;
  // The fill range and counters since the last call; resets the range.
  std::string StatsLine() override;

  // Since the start, or the fill range since the last StatsLine.
  const CaptureStats& stats() const { return stats_; }

  static constexpr double kDefaultReserve = 0.030;

  // Input frames queued before a block of blockFrames is taken, for a JACK
  // stream at rate with the given period: the reserve, but at least one period
  // and one block more.
  static size_t TargetFill(int blockFrames, int rate, int period,
                           double reserveSeconds = kDefaultReserve);

 private:
  static long Pull(void* self, float** data);
  void NewStream();
  bool Prime(size_t fill, size_t target);
  void Play(float* out, int frames, size_t fill, size_t target);
  void Underrun(float* out, int frames, int played);
  void ResetRange();

  std::shared_ptr<JackFeed> feed_;
  double reserve_;
  SRC_STATE* converter_ = nullptr;
  DriftControl drift_;
  uint32_t generation_ = 0;
  bool primed_ = false;
  double held_ = 0;  // input frames the converter took from the ring and has not played
  CaptureStats stats_;
  static constexpr size_t kPullFrames = 64;
  float pull_[2 * kPullFrames] = {};
};

}  // namespace relay
