// resample_stereo against peer resampling libraries doing the same streaming
// conversion, 44100 to 48000 Hz in 512-frame blocks, per output frame.
#include <benchmark/benchmark.h>
#include <samplerate.h>
#include <soxr.h>
#include <speex/speex_resampler.h>

#include <cmath>
#include <vector>

#include "bench/plugin/ratio_report.h"
#include "plugin/resampler.h"

namespace {

constexpr int kFrames = 512;
constexpr int kOutFrames = 4096;

std::vector<float> inputBlock() {
  std::vector<float> in(2 * kFrames);
  for (int i = 0; i < kFrames; ++i) {
    in[2 * i] = static_cast<float>(std::sin(0.05 * i));
    in[2 * i + 1] = static_cast<float>(std::cos(0.031 * i));
  }
  return in;
}

void BM_resample_stereo(benchmark::State& state) {
  const auto in = inputBlock();
  Resampler r;
  resample_init(&r, 0x4000, static_cast<float>(44100.0 / 48000.0));
  int64_t frames = 0;
  for (auto _ : state) {
    frames += resample_stereo(&r, in.data(), 2 * kFrames) / 2;
    benchmark::DoNotOptimize(r.output[0]);
  }
  state.SetItemsProcessed(frames);
  resample_release(&r);
}

void BM_soxr(benchmark::State& state, unsigned long recipe) {
  const auto in = inputBlock();
  std::vector<float> out(2 * kOutFrames);
  const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
  const soxr_quality_spec_t quality = soxr_quality_spec(recipe, 0);
  const soxr_runtime_spec_t runtime = soxr_runtime_spec(1);
  soxr_error_t error = nullptr;
  soxr_t soxr = soxr_create(44100, 48000, 2, &error, &io, &quality, &runtime);
  if (error) {
    state.SkipWithError(error);
    return;
  }
  int64_t frames = 0;
  for (auto _ : state) {
    size_t used = 0, made = 0;
    soxr_process(soxr, in.data(), kFrames, &used, out.data(), kOutFrames, &made);
    frames += static_cast<int64_t>(made);
    benchmark::DoNotOptimize(out[0]);
  }
  state.SetItemsProcessed(frames);
  soxr_delete(soxr);
}

void BM_libsamplerate(benchmark::State& state, int converter) {
  const auto in = inputBlock();
  std::vector<float> out(2 * kOutFrames);
  int error = 0;
  SRC_STATE* src = src_new(converter, 2, &error);
  if (!src) {
    state.SkipWithError(src_strerror(error));
    return;
  }
  int64_t frames = 0;
  for (auto _ : state) {
    SRC_DATA data{};
    data.data_in = in.data();
    data.data_out = out.data();
    data.input_frames = kFrames;
    data.output_frames = kOutFrames;
    data.src_ratio = 48000.0 / 44100.0;
    src_process(src, &data);
    frames += data.output_frames_gen;
    benchmark::DoNotOptimize(out[0]);
  }
  state.SetItemsProcessed(frames);
  src_delete(src);
}

void BM_speexdsp(benchmark::State& state, int quality) {
  const auto in = inputBlock();
  std::vector<float> out(2 * kOutFrames);
  int error = 0;
  SpeexResamplerState* speex = speex_resampler_init(2, 44100, 48000, quality, &error);
  if (!speex) {
    state.SkipWithError(speex_resampler_strerror(error));
    return;
  }
  int64_t frames = 0;
  for (auto _ : state) {
    spx_uint32_t used = kFrames, made = kOutFrames;
    speex_resampler_process_interleaved_float(speex, in.data(), &used, out.data(), &made);
    frames += made;
    benchmark::DoNotOptimize(out[0]);
  }
  state.SetItemsProcessed(frames);
  speex_resampler_destroy(speex);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::RegisterBenchmark("resample_stereo", BM_resample_stereo);
  benchmark::RegisterBenchmark("soxr_QQ", BM_soxr, SOXR_QQ);
  benchmark::RegisterBenchmark("soxr_LQ", BM_soxr, SOXR_LQ);
  benchmark::RegisterBenchmark("src_LINEAR", BM_libsamplerate, SRC_LINEAR);
  benchmark::RegisterBenchmark("src_SINC_FASTEST", BM_libsamplerate, SRC_SINC_FASTEST);
  benchmark::RegisterBenchmark("speexdsp_q0", BM_speexdsp, 0);
  benchmark::RegisterBenchmark("speexdsp_q3", BM_speexdsp, 3);
  const std::vector<std::string> peers = {"soxr_QQ",          "soxr_LQ",     "src_LINEAR",
                                          "src_SINC_FASTEST", "speexdsp_q0", "speexdsp_q3"};
  std::vector<skylane_bench::Comparison> comparisons;
  for (const std::string& peer : peers) comparisons.push_back({"resample_stereo", {peer}, 0.0});
  comparisons.push_back({"resample_stereo", peers, 3.0});
  return skylane_bench::runAndCompare(argc, argv, comparisons);
}
