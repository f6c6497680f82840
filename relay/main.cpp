// skylane-relay: serves test and file sources to Skylane plug-ins.
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "relay/device.h"
#include "relay/options.h"
#include "relay/server.h"
#include "relay/sound_file.h"
#include "relay/source.h"
#include "relay/stream_source.h"

namespace {

constexpr int kExitRuntime = 1;
constexpr int kExitUsage = 2;

relay::Server* g_server = nullptr;

void OnSignal(int) {
  if (g_server) g_server->RequestStop();
}

void InstallSignals() {
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  signal(SIGPIPE, SIG_IGN);
}

std::unique_ptr<relay::Source> MakeSource(const relay::SourceSpec& spec, std::string* error) {
  using Kind = relay::SourceSpec::Kind;
  switch (spec.kind) {
    case Kind::kTone: return relay::MakeToneSource();
    case Kind::kImpulse: return relay::MakeImpulseSource();
    case Kind::kStdin: return std::make_unique<relay::StreamSource>(STDIN_FILENO);
    case Kind::kLoopback: return nullptr;
    case Kind::kFile: {
      std::vector<float> stereo;
      if (!relay::LoadSoundFile(spec.path, &stereo, error)) return nullptr;
      return relay::MakeLoopSource(std::move(stereo));
    }
  }
  return nullptr;
}

bool MakeDevices(const relay::Options& options, std::vector<relay::Device>* devices,
                 std::string* error) {
  if (options.sources.empty()) {
    relay::AddDevice(devices, "Skylane Demo Tone", relay::MakeToneSource());
    return true;
  }
  for (const relay::SourceSpec& spec : options.sources) {
    auto source = MakeSource(spec, error);
    if (!error->empty()) return false;
    relay::AddDevice(devices, spec.name, std::move(source));
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  setvbuf(stdout, nullptr, _IOLBF, 0);
  relay::Options options;
  std::string error;
  if (!relay::ParseOptions(argc, argv, &options, &error)) {
    std::fprintf(stderr, "skylane-relay: %s\nTry 'skylane-relay --help'.\n", error.c_str());
    return kExitUsage;
  }
  if (options.help) {
    std::fputs(relay::UsageText(), stdout);
    return 0;
  }
  std::vector<relay::Device> devices;
  if (!MakeDevices(options, &devices, &error)) {
    std::fprintf(stderr, "skylane-relay: %s\n", error.c_str());
    return kExitUsage;
  }
  relay::ServerConfig config;
  config.port = options.port;
  config.blockFrames = options.blockFrames;
  config.stats = options.stats;
  const size_t deviceCount = devices.size();
  std::vector<std::string> listing;
  for (const relay::Device& d : devices) {
    char line[64];
    std::snprintf(line, sizeof line, "device %x: %s", d.id, d.source ? "" : "(loopback) ");
    listing.push_back(line + d.name);
  }
  relay::Server server(config, std::move(devices));
  if (!server.Open(&error)) {
    std::fprintf(stderr, "skylane-relay: %s\n", error.c_str());
    return kExitRuntime;
  }
  std::printf("skylane-relay listening on 127.0.0.1:%d with %zu device(s)\n", server.port(),
              deviceCount);
  for (const std::string& line : listing) std::printf("%s\n", line.c_str());
  g_server = &server;
  InstallSignals();
  server.Run();
  g_server = nullptr;
  std::printf("skylane-relay stopped\n");
  return 0;
}
