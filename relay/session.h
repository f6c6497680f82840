// One connected client: its socket, the request it made, what it sends back
// (effects-loop settings and audio) and the bounded queue of bytes owed to it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "relay/byte_queue.h"
#include "relay/device.h"
#include "relay/frame_ring.h"
#include "relay/inbound.h"
#include "relay/request.h"

namespace relay {

class Session : private InboundSink {
 public:
  enum class State { kAwaitingRequest, kRequested, kStreaming, kClosed };

  // Takes ownership of the non-blocking socket fd; devices must outlive the session.
  Session(int fd, int number, std::string peer, int64_t nowNs, const std::vector<Device>* devices);
  ~Session() override;
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Reads what has arrived (a bounded amount per call) and parses it.
  void ReadInput();
  // Moves a requested session, its announcements queued, to streaming.
  void StartStream();
  // Appends bytes to send; false (nothing queued) when they do not fit.
  bool Queue(const uint8_t* data, size_t size);
  // Sends what the socket takes without blocking.
  void Flush(int64_t nowNs);
  // Sends a whole packet after what is queued: straight from data when nothing
  // waits, the part the socket does not take queued. False (nothing sent or
  // queued) when it does not fit.
  bool Send(const uint8_t* data, size_t size, int64_t nowNs);
  // Marks the session closed; the first reason given is kept.
  void Close(const char* reason);
  // Plays back the effects-loop audio received, silence while too little is buffered.
  void RenderLoopback(float* out, int frames);

  State state() const { return state_; }
  int fd() const { return fd_; }
  int number() const { return number_; }
  const std::string& peer() const { return peer_; }
  const char* closeReason() const { return closeReason_; }
  const StreamRequest& request() const { return requestReader_.request(); }
  // The device requested, -1 when unknown; set once the request is complete.
  int deviceIndex() const { return deviceIndex_; }
  bool effectsLoop() const { return effectsLoop_; }
  int64_t connectedNs() const { return connectedNs_; }
  // Time of the last send that made progress, or of the queue last being empty.
  int64_t lastProgressNs() const { return lastProgressNs_; }
  size_t queued() const { return queue_.size(); }

  uint64_t framesSent = 0;
  uint64_t packetsDropped = 0;
  uint64_t framesReceived = 0;

 private:
  void Consume(const uint8_t* data, size_t size);
  void RequestDone();
  void OnEffectsLoop(bool on) override;
  void OnAudio(const float* samples, int frames) override;

  int fd_;
  int number_;
  std::string peer_;
  const std::vector<Device>* devices_;
  State state_ = State::kAwaitingRequest;
  const char* closeReason_ = "";
  RequestReader requestReader_;
  std::unique_ptr<InboundReader> inbound_;
  std::unique_ptr<FrameRing> loopback_;
  ByteQueue queue_;
  int deviceIndex_ = -1;
  bool effectsLoop_ = false;
  int64_t connectedNs_;
  int64_t lastProgressNs_;
};

}  // namespace relay
