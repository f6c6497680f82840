#include "relay/capture_source.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "relay/protocol.h"

namespace relay {

namespace {

void Silence(float* out, int from, int frames) {
  std::fill(out + 2 * from, out + 2 * frames, 0.0f);
}

// Queued beyond the target, in milliseconds, that is dropped at once.
constexpr size_t kTrimMs = 250;

}  // namespace

CaptureSource::CaptureSource(std::shared_ptr<JackFeed> feed, double reserveSeconds)
    : feed_(std::move(feed)), reserve_(reserveSeconds) {}

size_t CaptureSource::TargetFill(int blockFrames, int rate, int period, double reserveSeconds) {
  const double block = static_cast<double>(blockFrames) * rate / kSampleRate;
  return static_cast<size_t>(std::ceil(period + block + kPullFrames + reserveSeconds * rate));
}

void CaptureSource::Render(float* out, int frames) {
  // Live is read first: a stream seen live comes with its generation and rate.
  const bool live = feed_->live();
  const uint32_t generation = feed_->generation();
  if (generation != generation_) {
    generation_ = generation;
    NewStream();
  }
  const int rate = feed_->sampleRate();
  if (!live || rate <= 0) {
    primed_ = false;
    return Silence(out, 0, frames);
  }
  const size_t capacity = feed_->ring().capacity();
  const size_t target = std::min(TargetFill(frames, rate, feed_->period(), reserve_), capacity / 2);
  stats_.target = target;
  size_t fill = feed_->ring().Available();
  if (!primed_) {
    if (!Prime(fill, target)) return Silence(out, 0, frames);
    fill = target;
  }
  Play(out, frames, fill, target);
}

// A new stream (another server, or the same one back) may run at another
// rate: what is left of the old one goes, and the clocks are learnt afresh.
void CaptureSource::NewStream() {
  feed_->ring().Discard(feed_->ring().Available());
  primed_ = false;
  drift_.Reset(false);
}

// Playback starts once the ring holds the target; frames beyond it (written
// while nobody played) are dropped so the delay starts where it should.
bool CaptureSource::Prime(size_t fill, size_t target) {
  if (fill < target) return false;
  feed_->ring().Discard(fill - target);
  converter_.SetInputRate(feed_->sampleRate());
  held_ = 0;
  drift_.Reset(true);
  reference_ = -1;
  windowSeconds_ = 0;
  fadeFrames_ = std::lround(kFadeSeconds * feed_->sampleRate());
  faded_ = 0;
  primed_ = true;
  return true;
}

void CaptureSource::Play(float* out, int frames, size_t fill, size_t target) {
  const int rate = feed_->sampleRate();
  const double nominal = static_cast<double>(kSampleRate) / rate;
  // Far more queued than the drift control could absorb within minutes (the
  // relay's thread stalled for long): drop back to the target rather than stay
  // that late. Shorter stalls are caught up by the relay's pacing.
  if (fill > target + std::max(target, static_cast<size_t>(rate) * kTrimMs / 1000)) {
    feed_->ring().Discard(fill - target);
    fill = target;
    drift_.Reset(true);
    reference_ = -1;
    windowSeconds_ = 0;
    ++stats_.trims;
  }
  const double needed = frames / nominal * (1.0 + DriftControl::kMaxCorrection) + kPullFrames;
  if (static_cast<double>(fill) < needed) return Underrun(out, frames, 0);
  stats_.minFill = stats_.blocks ? std::min(stats_.minFill, fill) : fill;
  stats_.maxFill = stats_.blocks ? std::max(stats_.maxFill, fill) : fill;
  ++stats_.blocks;
  // The converter keeps some input of its own; counted with the ring, the
  // fill the loop sees does not sag by that much when playback starts.
  const double correction = Control(static_cast<double>(fill) + held_, target, rate, frames);
  stats_.correction = correction;
  const double ratio = nominal / (1.0 + correction);
  const long got = converter_.Read(ratio, frames, out);
  held_ -= static_cast<double>(std::max(got, 0L)) / ratio;
  if (got < frames) Underrun(out, frames, static_cast<int>(std::max(got, 0L)));
}

// The level before each block swings by a period (the device writes a period
// at a time, the relay takes a block at a time); its mean depends on how the
// two beat and misleads the loop. The lowest level over a window of many
// periods, just before the device's writes, does not: the loop holds it where
// the first window after the start found it. The median of the last three
// windows' lows ignores one window that a late wake-up spoilt. A new period
// (a new target) takes a new reference.
double CaptureSource::Control(double queued, size_t target, int rate, int frames) {
  if (target != referenceTarget_) {
    referenceTarget_ = target;
    reference_ = -1;
    windowSeconds_ = 0;
  }
  windowMin_ = windowSeconds_ > 0 ? std::min(windowMin_, queued) : queued;
  windowSeconds_ += static_cast<double>(frames) / kSampleRate;
  if (windowSeconds_ < kWindowSeconds) return drift_.correction();
  const double seconds = windowSeconds_;
  windowSeconds_ = 0;
  if (reference_ < 0) {
    reference_ = windowMin_;
    lowCount_ = 0;
    return drift_.correction();
  }
  const double level = PushLow(windowMin_);
  // A jump far beyond what a drift moves in a window is no drift, and chasing
  // it would hold the correction at its limit for a minute, an audible
  // detune. A drop (the graph lost a period) is taken as the new level.
  const double jump = 0.75 * std::max(static_cast<double>(feed_->period()), kStepSeconds * rate);
  if (level > reference_ + jump) {
    // Queued too much at once: the relay's thread stalled beyond what its
    // pacing catches up. The excess goes rather than staying as delay.
    feed_->ring().Discard(static_cast<size_t>(level - reference_));
    lowCount_ = 0;
    drift_.Reset(true);
    ++stats_.trims;
  } else if (level < reference_ - jump) {
    reference_ = level;
    lowCount_ = 0;
    drift_.Reset(true);
    ++stats_.steps;
  } else {
    drift_.Update(level, reference_, rate, seconds);
  }
  return drift_.correction();
}

// The median of the last three lows (of fewer, the highest).
double CaptureSource::PushLow(double low) {
  lows_[2] = lows_[1];
  lows_[1] = lows_[0];
  lows_[0] = low;
  lowCount_ = std::min(lowCount_ + 1, 3);
  if (lowCount_ == 1) return lows_[0];
  if (lowCount_ == 2) return std::max(lows_[0], lows_[1]);
  return std::max(std::min(lows_[0], lows_[1]), std::min(std::max(lows_[0], lows_[1]), lows_[2]));
}

void CaptureSource::Underrun(float* out, int frames, int played) {
  Silence(out, played, frames);
  ++stats_.underruns;
  primed_ = false;
}

long CaptureSource::Pull(void* self, float** data) {
  auto* source = static_cast<CaptureSource*>(self);
  *data = source->pull_;
  const size_t got = source->feed_->ring().Read(source->pull_, kPullFrames);
  source->held_ += static_cast<double>(got);
  // The fade is on the input, so that no step ever reaches the converter.
  for (size_t i = 0; i < got && source->faded_ < source->fadeFrames_; ++i, ++source->faded_) {
    const float gain = static_cast<float>(source->faded_) / static_cast<float>(source->fadeFrames_);
    source->pull_[2 * i] *= gain;
    source->pull_[2 * i + 1] *= gain;
  }
  return static_cast<long>(got);
}

void CaptureSource::ResetRange() {
  stats_.blocks = 0;
  stats_.minFill = stats_.maxFill = 0;
}

std::string CaptureSource::StatsLine() {
  char line[256];
  std::snprintf(line, sizeof line,
                "ring %zu-%zu frames (target %zu), drift %+.0f ppm, %llu underruns, %llu trims, "
                "%llu level steps, "
                "%llu frames lost to a full ring",
                stats_.minFill, stats_.maxFill, stats_.target, stats_.correction * 1e6,
                static_cast<unsigned long long>(stats_.underruns),
                static_cast<unsigned long long>(stats_.trims),
                static_cast<unsigned long long>(stats_.steps),
                static_cast<unsigned long long>(feed_->overruns()));
  ResetRange();
  return line;
}

}  // namespace relay
