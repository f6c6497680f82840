#include "plugin/relay_stream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// Bytes written into a buffer and read back like a socket that then closes.
class MemorySource : public ByteSource {
 public:
  void Word(int32_t w) { Bytes(&w, 4); }
  void Bytes(const void* data, size_t n) {
    if (n == 0) return;
    const char* c = static_cast<const char*>(data);
    mData.insert(mData.end(), c, c + n);
  }
  void Audio(int frames, float value) {
    Word(frames);
    for (int i = 0; i < 2 * frames; ++i) Bytes(&value, 4);
  }
  // Header 0, size, then a body with the given fields (size bytes, 280 by default).
  void Control(int32_t type, int32_t id, int32_t channel, const std::string& text,
               int32_t size = 280) {
    Word(0);
    Word(size);
    std::vector<char> body(static_cast<size_t>(size), 0);
    const int32_t fields[4] = {type, id, 0, channel};
    if (size > 0) std::memcpy(body.data(), fields, size < 16 ? static_cast<size_t>(size) : 16);
    if (size > 20)
      std::memcpy(body.data() + 20, text.data(),
                  std::min(text.size(), static_cast<size_t>(size - 20)));
    Bytes(body.data(), body.size());
  }
  long Read(void* dest, size_t n) override {
    const size_t count = std::min(n, mData.size() - mPos);
    if (count) std::memcpy(dest, mData.data() + mPos, count);
    mPos += count;
    return static_cast<long>(count);
  }
  size_t Unread() const { return mData.size() - mPos; }

 private:
  std::vector<char> mData;
  size_t mPos = 0;
};

class Recorder : public StreamHandler {
 public:
  void OnAudio(const float* interleaved, int frames) override {
    frameCounts.push_back(frames);
    lastSample = interleaved[2 * frames - 1];
  }
  void OnControl(const ControlMessage& message) override { messages.push_back(message); }
  bool KeepReading() override { return reads++ < readLimit; }

  std::vector<int> frameCounts;
  std::vector<ControlMessage> messages;
  float lastSample = 0;
  int reads = 0;
  int readLimit = 1 << 30;
};

StreamEnd run(MemorySource& source, Recorder& recorder) {
  static float packet[2 * kMaxPacketFrames];
  return ReadRelayStream(source, recorder, packet);
}

TEST(RelayStreamTest, AudioPacketsUpTo4096FramesAreDelivered) {
  MemorySource source;
  source.Audio(1, 0.5f);
  source.Audio(4096, 0.25f);
  Recorder recorder;
  const StreamEnd end = run(source, recorder);
  EXPECT_EQ(end.reason, StreamEnd::kClosed);
  EXPECT_EQ(end.readResult, 0);
  EXPECT_EQ(end.header, 8675);
  EXPECT_EQ(recorder.frameCounts, (std::vector<int>{1, 4096}));
  EXPECT_EQ(recorder.lastSample, 0.25f);
}

TEST(RelayStreamTest, HeadersAbove4096OrNegativeEndTheStream) {
  for (int32_t header : {4097, -1, INT32_MIN}) {
    MemorySource source;
    source.Audio(2, 1.0f);
    source.Word(header);
    source.Audio(2, 1.0f);
    Recorder recorder;
    const StreamEnd end = run(source, recorder);
    EXPECT_EQ(end.reason, StreamEnd::kBadHeader) << header;
    EXPECT_EQ(end.header, header);
    EXPECT_EQ(end.readResult, 4);
    EXPECT_EQ(recorder.frameCounts.size(), 1u) << header;
  }
}

TEST(RelayStreamTest, ShortPayloadOrHeaderEndsTheStream) {
  MemorySource source;
  source.Word(10);
  source.Bytes("abcdefgh", 8);
  Recorder recorder;
  StreamEnd end = run(source, recorder);
  EXPECT_EQ(end.reason, StreamEnd::kShortPayload);
  EXPECT_EQ(end.readResult, 8);
  EXPECT_TRUE(recorder.frameCounts.empty());

  MemorySource half;
  half.Bytes("\1\0", 2);
  end = run(half, recorder);
  EXPECT_EQ(end.reason, StreamEnd::kClosed);
  EXPECT_EQ(end.readResult, 2);
}

TEST(RelayStreamTest, ControlMessageFieldsAndText) {
  MemorySource source;
  source.Control(1, 0xab, 3, "Desk");
  source.Control(2, 0xab, 1, "Synth");
  Recorder recorder;
  run(source, recorder);
  ASSERT_EQ(recorder.messages.size(), 2u);
  EXPECT_EQ(recorder.messages[0].type, 1);
  EXPECT_EQ(recorder.messages[0].deviceId, 0xab);
  EXPECT_STREQ(recorder.messages[0].text, "Desk");
  EXPECT_EQ(recorder.messages[1].channel, 1);
  EXPECT_STREQ(recorder.messages[1].text, "Synth");
}

TEST(RelayStreamTest, TextWithoutTerminatorIsCutAt259) {
  MemorySource source;
  source.Control(0, 0, 0, std::string(260, 'z'));
  Recorder recorder;
  run(source, recorder);
  ASSERT_EQ(recorder.messages.size(), 1u);
  EXPECT_EQ(std::string(recorder.messages[0].text), std::string(259, 'z'));
}

TEST(RelayStreamTest, ShortBodiesReadMissingFieldsAsZero) {
  MemorySource source;
  source.Control(1, 0x55, 0, "", 280);
  source.Control(2, 0, 0, "", 8);  // type and id only
  source.Control(0, 0, 0, "", 0);
  Recorder recorder;
  run(source, recorder);
  ASSERT_EQ(recorder.messages.size(), 3u);
  EXPECT_EQ(recorder.messages[1].type, 2);
  EXPECT_EQ(recorder.messages[1].channel, 0);
  EXPECT_STREQ(recorder.messages[1].text, "");
  EXPECT_EQ(recorder.messages[2].type, 0);
  EXPECT_EQ(recorder.messages[2].deviceId, 0);
}

TEST(RelayStreamTest, OversizedControlBodyIsSkippedAndTheStreamGoesOn) {
  MemorySource source;
  source.Control(1, 9, 0, std::string(5000, 'n'), 5000);
  source.Audio(3, 0.75f);
  Recorder recorder;
  const StreamEnd end = run(source, recorder);
  EXPECT_EQ(end.reason, StreamEnd::kClosed);
  ASSERT_EQ(recorder.messages.size(), 1u);
  EXPECT_EQ(std::string(recorder.messages[0].text), std::string(259, 'n'));
  EXPECT_EQ(recorder.frameCounts, std::vector<int>{3});
}

TEST(RelayStreamTest, NegativeOrTruncatedControlSizeEndsTheStream) {
  MemorySource negative;
  negative.Word(0);
  negative.Word(-5);
  negative.Audio(3, 0.75f);
  Recorder recorder;
  StreamEnd end = run(negative, recorder);
  EXPECT_EQ(end.reason, StreamEnd::kBadControl);
  EXPECT_EQ(end.readResult, -5);
  EXPECT_TRUE(recorder.frameCounts.empty());

  MemorySource truncated;
  truncated.Word(0);
  truncated.Word(280);
  truncated.Bytes("\1\0\0\0", 4);
  end = run(truncated, recorder);
  EXPECT_EQ(end.reason, StreamEnd::kBadControl);
  EXPECT_TRUE(recorder.messages.empty());

  MemorySource noSize;
  noSize.Word(0);
  end = run(noSize, recorder);
  EXPECT_EQ(end.reason, StreamEnd::kClosed);
}

TEST(RelayStreamTest, HandlerCanStopBeforeDelivery) {
  MemorySource source;
  source.Audio(5, 1.0f);
  source.Audio(5, 1.0f);
  Recorder recorder;
  recorder.readLimit = 2;  // header check, payload check, then stop at the next header
  const StreamEnd end = run(source, recorder);
  EXPECT_EQ(end.reason, StreamEnd::kStopped);
  EXPECT_EQ(recorder.frameCounts.size(), 1u);
  EXPECT_GT(source.Unread(), 0u);
}

}  // namespace
