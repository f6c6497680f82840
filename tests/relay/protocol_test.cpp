#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "relay/inbound.h"
#include "relay/protocol.h"
#include "relay/request.h"

namespace relay {
namespace {

bool Parse(const std::string& line, StreamRequest* out) {
  return ParseRequestLine(line.data(), line.size(), out);
}

TEST(RequestLine, AcceptsWhatThePluginSends) {
  StreamRequest r;
  ASSERT_TRUE(Parse("GET /.streamab_2\r\n", &r));
  EXPECT_EQ(r.deviceId, 0xabu);
  EXPECT_EQ(r.channel, 2);
  ASSERT_TRUE(Parse("GET /.stream0_0\r\n", &r));
  EXPECT_EQ(r.deviceId, 0u);
  ASSERT_TRUE(Parse("GET /.streamffffff_3\r\n", &r));
  EXPECT_EQ(r.deviceId, 0xffffffu);
  ASSERT_TRUE(Parse("GET /.streamDEADBEEF_1\r\n", &r));
  EXPECT_EQ(r.deviceId, 0xdeadbeefu);
}

TEST(RequestLine, RejectsEverythingElse) {
  StreamRequest r;
  for (const char* bad :
       {"GET /.stream_2\r\n", "GET /.streamab2\r\n", "GET /.streamab_4\r\n",
        "GET /.streamab_-1\r\n", "GET /.streamab_2\n", "GET /.streamab_2\r\n\r\n",
        "GET /.streamab_23\r\n", "get /.streamab_2\r\n", "GET /.stream123456789_0\r\n",
        "GET /.streamxy_0\r\n", "GET /stream1_0\r\n", "GET /.streamab_ 2\r\n", ""})
    EXPECT_FALSE(Parse(bad, &r)) << bad;
}

TEST(RequestReader, CollectsALineArrivingByteByByteAndLeavesTheRest) {
  const std::string bytes =
      std::string("GET /.stream1f_1\r\n") + std::string("\0\0\0\0\1\0\0\0", 8);
  RequestReader reader;
  size_t used = 0;
  for (size_t i = 0; i < bytes.size() && reader.status() == RequestReader::Status::kIncomplete; ++i)
    used += reader.Feed(reinterpret_cast<const uint8_t*>(&bytes[i]), 1);
  ASSERT_EQ(reader.status(), RequestReader::Status::kComplete);
  EXPECT_EQ(used, 18u);
  EXPECT_EQ(reader.request().deviceId, 0x1fu);
  EXPECT_EQ(reader.request().channel, 1);
  RequestReader whole;
  EXPECT_EQ(whole.Feed(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), 18u);
}

TEST(RequestReader, GivesUpOnALineWithoutEnd) {
  const std::string junk(kMaxRequestLine + 10, 'G');
  RequestReader reader;
  reader.Feed(reinterpret_cast<const uint8_t*>(junk.data()), junk.size());
  EXPECT_EQ(reader.status(), RequestReader::Status::kMalformed);
  RequestReader http;
  const std::string get = "GET / HTTP/1.1\r\n";
  http.Feed(reinterpret_cast<const uint8_t*>(get.data()), get.size());
  EXPECT_EQ(http.status(), RequestReader::Status::kMalformed);
}

TEST(ControlRecord, LayoutByteForByte) {
  uint8_t record[kControlRecordSize];
  EncodeControl(kControlChannelName, 0x123456, 3, "Left", record);
  std::vector<uint8_t> expected(8 + 280, 0);
  const int32_t words[] = {0, 280, 2, 0x123456, 0, 3, 0};
  std::memcpy(expected.data(), words, sizeof words);
  std::memcpy(&expected[28], "Left", 4);
  EXPECT_EQ(std::vector<uint8_t>(record, record + sizeof record), expected);
}

TEST(ControlRecord, LongTextIsCutAndStaysTerminated) {
  uint8_t record[kControlRecordSize];
  const std::string text(400, 'x');
  EncodeControl(kControlText, 0, 0, text.c_str(), record);
  EXPECT_EQ(strnlen(reinterpret_cast<const char*>(record + 28), 260), 259u);
  EncodeControl(kControlText, 0, 0, nullptr, record);
  EXPECT_EQ(record[28], 0);
}

struct Collected : InboundSink {
  std::vector<bool> loops;
  std::vector<std::vector<float>> packets;
  void OnEffectsLoop(bool on) override { loops.push_back(on); }
  void OnAudio(const float* s, int frames) override { packets.emplace_back(s, s + 2 * frames); }
};

std::vector<uint8_t> Ints(std::initializer_list<int32_t> words) {
  std::vector<uint8_t> out(words.size() * 4);
  std::memcpy(out.data(), words.begin(), out.size());
  return out;
}

void Append(std::vector<uint8_t>* out, const std::vector<uint8_t>& more) {
  out->insert(out->end(), more.begin(), more.end());
}

TEST(InboundReader, SplitsSettingsAndPacketsInAnyPieces) {
  std::vector<uint8_t> stream = Ints({0, 1});
  Append(&stream, Ints({2}));
  const float audio[4] = {0.5f, -0.5f, 0.25f, -0.25f};
  Append(&stream, std::vector<uint8_t>(reinterpret_cast<const uint8_t*>(audio),
                                       reinterpret_cast<const uint8_t*>(audio + 4)));
  Append(&stream, Ints({0, 0}));
  for (size_t piece : {size_t{1}, size_t{3}, size_t{7}, stream.size()}) {
    InboundReader reader;
    Collected sink;
    for (size_t at = 0; at < stream.size(); at += piece)
      ASSERT_TRUE(reader.Feed(&stream[at], std::min(piece, stream.size() - at), &sink));
    EXPECT_EQ(sink.loops, (std::vector<bool>{true, false})) << piece;
    ASSERT_EQ(sink.packets.size(), 1u);
    EXPECT_EQ(sink.packets[0], std::vector<float>(audio, audio + 4));
  }
}

TEST(InboundReader, AcceptsTheLargestPacketAndRejectsBadHeaders) {
  InboundReader reader;
  Collected sink;
  std::vector<uint8_t> big = Ints({4096});
  big.resize(4 + 4096 * 8, 0);
  ASSERT_TRUE(reader.Feed(big.data(), big.size(), &sink));
  ASSERT_EQ(sink.packets.size(), 1u);
  EXPECT_EQ(sink.packets[0].size(), 8192u);

  const std::vector<uint8_t> oversized = Ints({4097});
  EXPECT_FALSE(reader.Feed(oversized.data(), oversized.size(), &sink));
  EXPECT_EQ(reader.error(), InboundReader::Error::kOversized);
  EXPECT_FALSE(reader.Feed(big.data(), big.size(), &sink)) << "stays failed";

  InboundReader negative;
  const std::vector<uint8_t> minus = Ints({-1});
  EXPECT_FALSE(negative.Feed(minus.data(), minus.size(), &sink));
  EXPECT_EQ(negative.error(), InboundReader::Error::kBadHeader);
}

}  // namespace
}  // namespace relay
