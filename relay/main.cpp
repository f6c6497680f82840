// skylane-relay: serves test, file, pipe, JACK and PipeWire sources to Skylane plug-ins.
#include <signal.h>

#include <cstdio>
#include <string>
#include <vector>

#include "relay/device_setup.h"
#include "relay/options.h"
#include "relay/relay_config.h"
#include "relay/server.h"
#include "skylane/version.h"

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

int List(bool (*print)(FILE*, std::string*)) {
  std::string error;
  if (print(stdout, &error)) return 0;
  std::fprintf(stderr, "skylane-relay: %s\n", error.c_str());
  return kExitRuntime;
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
  if (options.version) {
    std::printf("skylane-relay %s\n", kSkylaneVersion);
    return 0;
  }
  if (options.listJack) return List(relay::PrintJackPorts);
  if (options.listPipeWire) return List(relay::PrintPipeWireNodes);
  std::string configFile;
  if (!relay::ApplyConfig(argc, argv, &options, &configFile, &error)) {
    std::fprintf(stderr, "skylane-relay: %s\n", error.c_str());
    return kExitUsage;
  }
  relay::DeviceSetup setup;
  if (!relay::MakeDevices(options, stdout, &setup, &error)) {
    if (!configFile.empty()) error += " (settings from " + configFile + ")";
    std::fprintf(stderr, "skylane-relay: %s\n", error.c_str());
    return kExitUsage;
  }
  for (const std::string& note : setup.notes) std::printf("%s\n", note.c_str());
  if (setup.devices.empty()) {
    std::fprintf(stderr, "skylane-relay: no device to serve\n");
    return kExitRuntime;
  }
  relay::ServerConfig config;
  config.port = options.port;
  config.blockFrames = options.blockFrames;
  config.stats = options.stats;
  relay::Server server(config, std::move(setup.devices));
  if (!server.Open(&error)) {
    std::fprintf(stderr, "skylane-relay: %s\n", error.c_str());
    return kExitRuntime;
  }
  // Handlers first: whoever reads the lines below may stop the relay at once.
  g_server = &server;
  InstallSignals();
  std::printf("skylane-relay listening on 127.0.0.1:%d with %zu device(s)\n", server.port(),
              setup.listing.size());
  for (const std::string& line : setup.listing) std::printf("%s\n", line.c_str());
  if (!configFile.empty()) std::printf("settings from %s\n", configFile.c_str());
  if (setup.jack) setup.jack->Start();
  if (setup.pipewire) setup.pipewire->Start();
  server.Run();
  g_server = nullptr;
  std::printf("skylane-relay stopped\n");
  return 0;
}
