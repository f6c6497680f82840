// The audio packets of one tick: each device's block encoded once per channel
// view, on first use, and shared by every client streaming that view.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace relay {

class AudioPackets {
 public:
  // Room for sources blocks of frames each (one stereo block per source).
  AudioPackets(size_t sources, int frames);

  // Forgets the packets of the previous tick.
  void Clear();
  // Where source's block for this tick is written before any Get.
  float* Block(size_t source);
  // The packet (header and samples) of source's block seen through channel;
  // encoded on the first call of the tick.
  const uint8_t* Get(size_t source, int channel);
  // Encodes a block that belongs to one client alone into a scratch packet.
  const uint8_t* EncodeOnce(const float* block, int channel);

  size_t packetSize() const { return packetSize_; }

 private:
  void Encode(const float* block, int channel, uint8_t* out);

  int frames_;
  size_t packetSize_;
  std::vector<float> blocks_;
  std::vector<uint8_t> packets_;  // one per source and channel
  std::vector<bool> ready_;
  std::vector<uint8_t> scratch_;
  std::vector<float> mapped_;
};

}  // namespace relay
