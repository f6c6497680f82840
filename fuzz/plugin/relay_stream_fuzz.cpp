// Runs the plug-in's receive path (protocol reader, device table, resampler,
// FIFO) over arbitrary relay byte streams. The first byte picks the host rate.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "plugin/received_stream.h"
#include "plugin/relay_stream.h"

namespace {

class FuzzSource : public ByteSource {
 public:
  FuzzSource(const uint8_t* data, size_t size) : mData(data), mSize(size) {}
  long Read(void* dest, size_t n) override {
    const size_t count = n < mSize - mPos ? n : mSize - mPos;
    if (count) std::memcpy(dest, mData + mPos, count);
    mPos += count;
    return static_cast<long>(count);
  }

 private:
  const uint8_t* mData;
  size_t mSize;
  size_t mPos = 0;
};

void checkTable(const DeviceTable& table) {
  if (table.Count() < 0 || table.Count() > kMaxDevices) abort();
  DeviceEntry entry;
  for (int i = 0; i < kMaxDevices; ++i) {
    table.Get(i, &entry);
    if (strnlen(entry.name, kDeviceTextSize) >= kDeviceTextSize) abort();
    for (const char* channel : entry.channelNames)
      if (strnlen(channel, kDeviceTextSize) >= kDeviceTextSize) abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static SampleFifo fifo;
  static Resampler resampler;
  static float packet[2 * kMaxPacketFrames];
  static bool ready = cbf_init(&fifo, 0x8000) == 0 && resample_init(&resampler, 0x4000, 1.0f) == 0;
  if (!ready || size < 1) return 0;
  static const float kRates[4] = {44100.0f, 48000.0f, 192000.0f, 384000.0f};
  resampler.ratio.store(44100.0f / kRates[data[0] & 3]);
  cbf_empty(&fifo);
  DeviceTable table;
  StatusText relayMessage;
  PlayQueue queue(fifo);
  ReceivedStream stream(table, queue, resampler, relayMessage);
  FuzzSource source(data + 1, size - 1);
  const StreamEnd end = ReadRelayStream(source, stream, packet);
  if (end.reason == StreamEnd::kStopped) abort();  // this handler never stops
  checkTable(table);
  char text[StatusText::kCapacity];
  relayMessage.Copy(text, sizeof text);
  if (strlen(text) > 255) abort();
  float out[512];
  cbf_extract(&fifo, 512, 0, out);
  return 0;
}
