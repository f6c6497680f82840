// The converters the capture path could use (its own and libsamplerate's), 48000 to 44100 Hz in
// 512-frame blocks with a slowly varying ratio as the drift control sets it: the cost of each
// against libsamplerate's linear interpolator, and after the runs its quality: the gain at 1, 10,
// 16 and 18 kHz, the worst level of noise and distortion beside those tones, and the input frames
// it holds.
#include <benchmark/benchmark.h>
#include <samplerate.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "relay/rate_converter.h"

namespace {

constexpr double kInRate = 48000;
constexpr double kOutRate = 44100;
constexpr int kBlock = 512;
constexpr double kPi = 3.14159265358979323846;

struct Converter {
  const char* name;
  int type;  // libsamplerate's, or -1 for the relay's own
};

const Converter kConverters[] = {
    {"linear", SRC_LINEAR},
    {"sinc_fastest", SRC_SINC_FASTEST},
    {"sinc_medium", SRC_SINC_MEDIUM_QUALITY},
    {"relay", -1},
};

// A looped signal pulled in chunks (of one frame, to see how far ahead a
// converter reads).
struct Feed {
  std::vector<float> samples;
  size_t at = 0;
  size_t chunkFrames = 64;
  float chunk[2 * 64];
};

long Pull(void* data, float** out) {
  auto* feed = static_cast<Feed*>(data);
  const size_t frames = feed->samples.size() / 2;
  for (size_t i = 0; i < feed->chunkFrames; ++i) {
    const size_t from = (feed->at + i) % frames;
    feed->chunk[2 * i] = feed->samples[2 * from];
    feed->chunk[2 * i + 1] = feed->samples[2 * from + 1];
  }
  feed->at += feed->chunkFrames;
  *out = feed->chunk;
  return long(feed->chunkFrames);
}

// Either converter behind one call.
class Engine {
 public:
  Engine(int type, Feed* feed) {
    if (type < 0) {
      own_ = std::make_unique<relay::RateConverter>(&Pull, feed);
      own_->SetInputRate(int(kInRate));
    } else {
      int error = 0;
      src_ = src_callback_new(&Pull, type, 2, &error, feed);
    }
  }
  ~Engine() {
    if (src_) src_delete(src_);
  }
  long Read(double ratio, long frames, float* out) {
    return own_ ? own_->Read(ratio, frames, out) : src_callback_read(src_, ratio, frames, out);
  }

 private:
  std::unique_ptr<relay::RateConverter> own_;
  SRC_STATE* src_ = nullptr;
};

std::vector<float> Sine(double hz, size_t frames) {
  std::vector<float> s(2 * frames);
  for (size_t i = 0; i < frames; ++i)
    s[2 * i] = s[2 * i + 1] = float(0.5 * std::sin(2 * kPi * hz * double(i) / kInRate));
  return s;
}

void BM_converter(benchmark::State& state) {
  const Converter& c = kConverters[state.range(0)];
  state.SetLabel(c.name);
  Feed feed;
  feed.samples = Sine(997, 48000);
  Engine engine(c.type, &feed);
  std::vector<float> out(2 * kBlock);
  int64_t frames = 0;
  long n = 0;
  for (auto _ : state) {
    // A correction of up to 100 ppm that changes at every block.
    const double ratio = kOutRate / kInRate / (1.0 + 1e-4 * std::sin(0.01 * double(n++)));
    frames += engine.Read(ratio, kBlock, out.data());
    benchmark::DoNotOptimize(out[0]);
  }
  state.SetItemsProcessed(frames);
}
BENCHMARK(BM_converter)->DenseRange(0, 3);

// A sine at hz through converter type at the nominal ratio, after the
// filter's start: fits the output to a sine of the same frequency; its gain
// (dB), the residual's level against the tone (dB), and the input the
// converter holds (input pulled beyond what the output covers, in ms).
struct Fit {
  double gainDb, residualDb, heldMs;
};

Fit Measure(int type, double hz) {
  Feed feed;
  feed.samples = Sine(hz, 48000 * 4);
  feed.chunkFrames = 1;
  Engine engine(type, &feed);
  const size_t skip = 4410, count = 44100;
  std::vector<float> out(2 * (skip + count));
  size_t got = 0;
  while (got < skip + count)
    got += size_t(engine.Read(kOutRate / kInRate, long(skip + count - got), out.data() + 2 * got));
  const double held = double(feed.at) - double(got) * kInRate / kOutRate;
  double sc = 0, ss = 0, cc = 0, ys = 0, yc = 0, sn = 0;
  std::vector<double> s(count), c(count);
  for (size_t i = 0; i < count; ++i) {
    const double w = 2 * kPi * hz * double(skip + i) / kOutRate;
    s[i] = std::sin(w), c[i] = std::cos(w);
    const double y = out[2 * (skip + i)];
    ss += s[i] * s[i], cc += c[i] * c[i], sc += s[i] * c[i], ys += y * s[i], yc += y * c[i];
  }
  const double det = ss * cc - sc * sc;
  const double a = (ys * cc - yc * sc) / det, b = (yc * ss - ys * sc) / det;
  double residual = 0;
  for (size_t i = 0; i < count; ++i) {
    const double e = out[2 * (skip + i)] - (a * s[i] + b * c[i]);
    residual += e * e;
    sn += (a * s[i] + b * c[i]) * (a * s[i] + b * c[i]);
  }
  const double amplitude = std::hypot(a, b);
  return {20 * std::log10(amplitude / 0.5), 10 * std::log10(residual / sn),
          held / kInRate * 1000.0};
}

void PrintQuality() {
  const double tones[] = {1000, 10000, 16000, 18000, 20000};
  std::printf(
      "\nConverter quality, 48000 to 44100 Hz (gain in dB at each tone; worst noise and\n"
      "distortion against the tone in dB; input held in ms):\n");
  std::printf("%-14s %8s %8s %8s %8s %8s %10s %9s\n", "converter", "1 kHz", "10 kHz", "16 kHz",
              "18 kHz", "20 kHz", "noise", "held");
  for (const Converter& c : kConverters) {
    if (c.type == SRC_LINEAR) continue;  // the cost baseline only
    std::printf("%-14s", c.name);
    double worst = -300, held = 0;
    for (double hz : tones) {
      const Fit f = Measure(c.type, hz);
      worst = std::max(worst, f.residualDb);
      held = f.heldMs;
      std::printf(" %8.2f", f.gainDb);
    }
    std::printf(" %10.1f %9.2f\n", worst, held);
  }
}

class RateReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const auto items = run.counters.find("items_per_second");
      if (items != run.counters.end()) rates[run.report_label] = items->second;
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> rates;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RateReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  for (const Converter& c : kConverters)
    if (reporter.rates[c.name] > 0 && reporter.rates["linear"] > 0)
      std::printf("%s time / linear time: %.2f\n", c.name,
                  reporter.rates["linear"] / reporter.rates[c.name]);
  PrintQuality();
  return 0;
}
