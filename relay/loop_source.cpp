#include <algorithm>
#include <cstring>
#include <utility>

#include "relay/source.h"

namespace relay {

namespace {

class LoopSource : public Source {
 public:
  explicit LoopSource(std::vector<float> stereo) : data_(std::move(stereo)) {
    data_.resize(data_.size() / 2 * 2);
  }

  void Render(float* out, int frames) override {
    const size_t total = data_.size() / 2;
    if (total == 0) {
      std::fill(out, out + 2 * frames, 0.0f);
      return;
    }
    size_t done = 0;
    while (done < static_cast<size_t>(frames)) {
      const size_t take = std::min(static_cast<size_t>(frames) - done, total - position_);
      std::memcpy(out + 2 * done, &data_[2 * position_], take * 2 * sizeof(float));
      done += take;
      position_ = (position_ + take) % total;
    }
  }

 private:
  std::vector<float> data_;
  size_t position_ = 0;
};

}  // namespace

std::unique_ptr<Source> MakeLoopSource(std::vector<float> stereo) {
  return std::make_unique<LoopSource>(std::move(stereo));
}

}  // namespace relay
