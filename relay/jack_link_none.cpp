// The JACK link of a relay built where libjack was not found: every attempt
// fails with a message, and the JACK devices stay silent.
#include "relay/jack_link.h"

namespace relay {

namespace {

constexpr const char* kNoJack = "this relay was built without JACK support";

}  // namespace

struct JackLink::Impl {};

JackLink::JackLink(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

std::unique_ptr<JackLink> JackLink::Open(const std::string&, const std::vector<JackDeviceSpec>&,
                                         const std::vector<std::shared_ptr<JackFeed>>&,
                                         std::function<void()>, std::string* error) {
  *error = kNoJack;
  return nullptr;
}

JackLink::~JackLink() = default;

JackLink::ConnectResult JackLink::Connect(const std::string&, size_t, int) {
  return ConnectResult::kFailed;
}

bool JackLink::lost() const { return true; }

std::string JackLink::clientName() const { return std::string(); }

int JackLink::sampleRate() const { return 0; }

int JackLink::period() const { return 0; }

bool ListJackOutputs(std::vector<JackPortInfo>* ports, std::string* error) {
  ports->clear();
  *error = kNoJack;
  return false;
}

}  // namespace relay
