// Drives a FIFO and a resampler with arbitrary operations, counts, ratios and
// positions; every call must stay inside its buffers and keep the indexes valid.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "plugin/resampler.h"
#include "plugin/sample_fifo.h"

namespace {

struct Reader {
  const uint8_t* data;
  size_t size;
  template <typename T>
  T take() {
    T value{};
    const size_t n = size < sizeof value ? size : sizeof value;
    std::memcpy(&value, data, n);
    data += n;
    size -= n;
    return value;
  }
};

void check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static std::vector<float> samples(4096, 0.25f), out(4096);
  Reader in{data, size};
  SampleFifo fifo;
  cbf_init(&fifo, 1 + in.take<uint16_t>() % 4096);
  Resampler resampler;
  resample_init(&resampler, in.take<int16_t>(), 0.91875f);
  while (in.size > 0) {
    const int count = in.take<int16_t>() % 4097;
    switch (in.take<uint8_t>() % 7) {
      case 0: cbf_insert(&fifo, count, samples.data()); break;
      case 1: cbf_extract(&fifo, count, 0, out.data()); break;
      case 2: cbf_empty(&fifo); break;
      case 3: fifo.target = in.take<int8_t>(); break;
      case 4: resampler.ratio = in.take<float>(); break;
      case 5:
        check(resample_stereo(&resampler, samples.data(), count) <= 2 * kResamplerMaxOutputFrames);
        break;
      case 6:
        check(resample_mono(&resampler, samples.data(), count) <= 2 * kResamplerMaxOutputFrames);
        break;
    }
    check(fifo.writeIndex >= 0 && fifo.writeIndex < fifo.capacity);
    check(fifo.readIndex >= 0 && fifo.readIndex < fifo.capacity);
  }
  cbf_release(&fifo);
  resample_release(&resampler);
  return 0;
}
