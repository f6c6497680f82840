// The JACK capture path against its baselines, per frame:
// - the relay's thread (ring, drift control, conversion 48000 to 44100 Hz in
//   512-frame blocks) against the bare conversion it wraps;
// - the JACK process callback (interleave two ports into the ring) against a
//   plain copy of the same bytes.
// Prints each ratio after the runs.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "relay/capture_source.h"
#include "relay/jack_feed.h"
#include "relay/rate_converter.h"

namespace {

constexpr int kRate = 48000;
constexpr int kPeriod = 256;
constexpr int kBlock = 512;

std::vector<float> Port(double step) {
  std::vector<float> port(kPeriod);
  for (int i = 0; i < kPeriod; ++i)
    port[static_cast<size_t>(i)] = static_cast<float>(std::sin(step * i));
  return port;
}

void BM_capture_path(benchmark::State& state) {
  auto feed = std::make_shared<relay::JackFeed>();
  relay::CaptureSource source(feed);
  feed->Start(kRate, kPeriod);
  const std::vector<float> left = Port(0.05), right = Port(0.03);
  std::vector<float> out(2 * kBlock);
  double owed = 0;  // input frames due by the device's clock
  int64_t frames = 0;
  for (auto _ : state) {
    for (owed += kBlock * double(kRate) / 44100; owed >= kPeriod; owed -= kPeriod)
      feed->Push(left.data(), right.data(), kPeriod);
    source.Render(out.data(), kBlock);
    benchmark::DoNotOptimize(out[0]);
    frames += kBlock;
  }
  state.SetItemsProcessed(frames);
}

// The same input again and again, 64 frames a pull.
long PullSine(void* data, float** frames) {
  *frames = static_cast<float*>(data);
  return 64;
}

void BM_plain_converter(benchmark::State& state) {
  std::vector<float> in(2 * 64);
  for (size_t i = 0; i < in.size(); ++i) in[i] = static_cast<float>(std::sin(0.04 * i));
  relay::RateConverter converter(&PullSine, in.data());
  converter.SetInputRate(kRate);
  std::vector<float> out(2 * kBlock);
  const double ratio = 44100.0 / kRate;
  int64_t frames = 0;
  for (auto _ : state) {
    frames += converter.Read(ratio, kBlock, out.data());
    benchmark::DoNotOptimize(out[0]);
  }
  state.SetItemsProcessed(frames);
}

void BM_jack_callback(benchmark::State& state) {
  relay::JackFeed feed;
  const std::vector<float> left = Port(0.05), right = Port(0.03);
  int64_t frames = 0;
  for (auto _ : state) {
    feed.Push(left.data(), right.data(), kPeriod);
    feed.ring().Discard(kPeriod);
    frames += kPeriod;
  }
  state.SetItemsProcessed(frames);
}

void BM_plain_copy(benchmark::State& state) {
  const std::vector<float> left = Port(0.05), right = Port(0.03);
  std::vector<float> out(2 * kPeriod);
  int64_t frames = 0;
  for (auto _ : state) {
    std::memcpy(out.data(), left.data(), kPeriod * sizeof(float));
    std::memcpy(out.data() + kPeriod, right.data(), kPeriod * sizeof(float));
    benchmark::DoNotOptimize(out[0]);
    benchmark::ClobberMemory();
    frames += kPeriod;
  }
  state.SetItemsProcessed(frames);
}

BENCHMARK(BM_capture_path);
BENCHMARK(BM_plain_converter);
BENCHMARK(BM_jack_callback);
BENCHMARK(BM_plain_copy);

// Keeps each benchmark's frames per second for the ratios.
class RateReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const auto items = run.counters.find("items_per_second");
      if (items != run.counters.end()) rates[run.benchmark_name()] = items->second;
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
  const auto ratio = [&](const char* subject, const char* baseline) {
    const double a = reporter.rates[subject], b = reporter.rates[baseline];
    if (a > 0 && b > 0) std::printf("%s / %s speed: %.2f\n", subject, baseline, a / b);
  };
  ratio("BM_capture_path", "BM_plain_converter");
  ratio("BM_jack_callback", "BM_plain_copy");
  return 0;
}
