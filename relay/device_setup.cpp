#include "relay/device_setup.h"

#include <unistd.h>

#include <algorithm>
#include <utility>

#include "relay/sound_file.h"
#include "relay/stream_source.h"

namespace relay {

namespace {

using Kind = SourceSpec::Kind;

// A device the command line asks for: a plain source, JACK device k or
// PipeWire device k.
struct Planned {
  const SourceSpec* spec = nullptr;
  size_t jack = 0;
  bool pipewire = false;
};

std::unique_ptr<Source> MakePlainSource(const SourceSpec& spec, FILE* log, std::string* error) {
  switch (spec.kind) {
    case Kind::kTone: return MakeToneSource();
    case Kind::kImpulse: return MakeImpulseSource();
    case Kind::kStdin: return std::make_unique<StreamSource>(STDIN_FILENO, spec.name, log);
    case Kind::kFile: {
      std::vector<float> stereo;
      if (!LoadSoundFile(spec.path, &stereo, error)) return nullptr;
      return MakeLoopSource(std::move(stereo));
    }
    case Kind::kLoopback:
    case Kind::kJack:
    case Kind::kJackCapture:
    case Kind::kPipeWire:
    case Kind::kDesktop: break;
  }
  return nullptr;
}

bool NameTaken(const std::string& name, const Options& options,
               const std::vector<JackDeviceSpec>& jack) {
  for (const SourceSpec& s : options.sources)
    if (s.name == name) return true;
  for (const JackDeviceSpec& j : jack)
    if (j.name == name) return true;
  return false;
}

// Capture devices take names no other device has, within the device limit.
void AddCaptureDevices(const Options& options, std::vector<JackDeviceSpec>* jack,
                       std::vector<Planned>* plan, std::vector<std::string>* notes) {
  std::vector<JackPortInfo> ports;
  std::string error;
  if (!ListJackOutputs(&ports, &error)) {
    notes->push_back("JACK: --jack-capture makes no device: " + error);
    return;
  }
  const std::vector<JackDeviceSpec> found = CaptureDevices(ports);
  if (found.empty()) notes->push_back("JACK: --jack-capture: the server has no capture ports");
  // Every other source on the command line makes one device, --desktop two.
  size_t others = 0;
  for (const SourceSpec& s : options.sources)
    if (s.kind != Kind::kJackCapture) others += s.kind == Kind::kDesktop ? 2 : 1;
  const size_t room = kMaxDevices - others;
  size_t made = 0;
  for (JackDeviceSpec device : found) {
    if (made++ == room) {
      notes->push_back("JACK: at most " + std::to_string(kMaxDevices) +
                       " devices; --jack-capture makes no more");
      break;
    }
    const std::string base = device.name;
    for (int n = 2; NameTaken(device.name, options, *jack); ++n)
      device.name = base + " (" + std::to_string(n) + ")";
    plan->push_back(Planned{nullptr, jack->size()});
    jack->push_back(std::move(device));
  }
}

void SetSideNames(const JackDeviceSpec& spec, Device* device) {
  if (!spec.connects()) return;
  for (int side = 0; side < 2; ++side)
    device->sideNames[side] = PortChannelName(spec.sources[side]);
}

void AddJackDevice(const JackDeviceSpec& spec, std::unique_ptr<Source> source, DeviceSetup* out) {
  Device& device = AddDevice(&out->devices, spec.name, std::move(source));
  SetSideNames(spec, &device);
  const std::string detail = !spec.connects() ? std::string(" (ports not connected)")
                             : spec.sources[0] == spec.sources[1]
                                 ? " <- " + spec.sources[0]
                                 : " <- " + spec.sources[0] + ", " + spec.sources[1];
  out->listing.push_back(DeviceLine(device, "(JACK) ", detail));
}

void AddPipeWireDevice(const PwDeviceSpec& spec, std::unique_ptr<Source> source, DeviceSetup* out) {
  Device& device = AddDevice(&out->devices, spec.name, std::move(source));
  const std::string detail = spec.mode == PwMode::kTarget         ? " <- " + spec.target
                             : spec.mode == PwMode::kDefaultInput ? " <- the default input"
                             : spec.mode == PwMode::kDefaultOutput
                                 ? " <- what the default output plays"
                                 : " (not connected)";
  out->listing.push_back(DeviceLine(device, "(PipeWire) ", detail));
}

void PlanPipeWire(const SourceSpec& spec, std::vector<PwDeviceSpec>* pipewire,
                  std::vector<Planned>* plan) {
  if (spec.kind == Kind::kDesktop) {
    pipewire->push_back(PwDeviceSpec{"Desktop Input", PwMode::kDefaultInput, ""});
    pipewire->push_back(PwDeviceSpec{"Desktop Output", PwMode::kDefaultOutput, ""});
  } else {
    pipewire->push_back(
        PwDeviceSpec{spec.name, spec.path.empty() ? PwMode::kOpen : PwMode::kTarget, spec.path});
  }
  for (size_t k = pipewire->size() - (spec.kind == Kind::kDesktop ? 2 : 1); k < pipewire->size();
       ++k)
    plan->push_back(Planned{nullptr, k, true});
}

}  // namespace

std::string DeviceLine(const Device& device, const char* kind, const std::string& detail) {
  char head[64];
  std::snprintf(head, sizeof head, "device %u (0x%x): %s", device.id, device.id, kind);
  return head + device.name + detail;
}

bool MakeDevices(const Options& options, FILE* log, DeviceSetup* out, std::string* error) {
  if (options.sources.empty()) {
    out->listing.push_back(
        DeviceLine(AddDevice(&out->devices, "Skylane Demo Tone", MakeToneSource()), "", ""));
    return true;
  }
  std::vector<JackDeviceSpec> jack;
  std::vector<PwDeviceSpec> pipewire;
  std::vector<Planned> plan;
  for (const SourceSpec& spec : options.sources) {
    if (spec.kind == Kind::kJackCapture) {
      AddCaptureDevices(options, &jack, &plan, &out->notes);
    } else if (spec.kind == Kind::kPipeWire || spec.kind == Kind::kDesktop) {
      PlanPipeWire(spec, &pipewire, &plan);
    } else if (spec.kind == Kind::kJack) {
      plan.push_back(Planned{nullptr, jack.size()});
      jack.push_back(JackDeviceSpec{spec.name, {spec.ports[0], spec.ports[1]}});
    } else {
      plan.push_back(Planned{&spec, 0});
    }
  }
  if (!jack.empty()) {
    JackHostConfig config;
    config.log = log;
    config.reserveSeconds = options.jackReserveMs / 1000.0;
    out->jack = std::make_unique<JackHost>(config, jack);
  }
  if (!pipewire.empty()) {
    PipeWireHostConfig config;
    config.log = log;
    config.reserveSeconds = options.jackReserveMs / 1000.0;
    out->pipewire = std::make_unique<PipeWireHost>(config, pipewire);
  }
  for (const Planned& p : plan) {
    if (p.pipewire) {
      AddPipeWireDevice(pipewire[p.jack], out->pipewire->MakeSource(p.jack), out);
      continue;
    }
    if (!p.spec) {
      AddJackDevice(jack[p.jack], out->jack->MakeSource(p.jack), out);
      continue;
    }
    auto source = MakePlainSource(*p.spec, log, error);
    if (!error->empty()) return false;
    const char* kind = source ? "" : "(loopback) ";
    out->listing.push_back(
        DeviceLine(AddDevice(&out->devices, p.spec->name, std::move(source)), kind, ""));
  }
  return true;
}

bool PrintJackPorts(FILE* out, std::string* error) {
  std::vector<JackPortInfo> ports;
  if (!ListJackOutputs(&ports, error)) return false;
  std::fprintf(out, "JACK output ports (--jack NAME=PORT_L,PORT_R connects a device to two):\n");
  for (const JackPortInfo& port : ports) {
    std::fprintf(out, "  %s%s", port.name.c_str(), port.physical ? "  (physical)" : "");
    for (const std::string& alias : port.aliases) std::fprintf(out, "  alias %s", alias.c_str());
    std::fputc('\n', out);
  }
  if (ports.empty()) std::fprintf(out, "  none\n");
  const std::vector<JackDeviceSpec> capture = CaptureDevices(ports);
  std::fprintf(out, "--jack-capture makes %zu device(s)%s\n", capture.size(),
               capture.empty() ? "" : ":");
  for (const JackDeviceSpec& device : capture)
    std::fprintf(out, "  \"%s\": %s, %s\n", device.name.c_str(), device.sources[0].c_str(),
                 device.sources[1].c_str());
  return true;
}

// The option is quoted for a shell: names often hold spaces.
bool PrintPipeWireNodes(FILE* out, std::string* error) {
  std::vector<PwNode> nodes;
  if (!ListPipeWireNodes(&nodes, error)) return false;
  std::fprintf(out, "PipeWire nodes a device can capture:\n");
  for (const PwNode& node : nodes)
    std::fprintf(out, "  %-14s %s\n      --pipewire \"%s=%s\"   (serial %llu)\n",
                 CapturableKind(node.mediaClass),
                 node.description.empty() ? node.name.c_str() : node.description.c_str(),
                 node.description.empty() ? node.name.c_str() : node.description.c_str(),
                 node.name.c_str(), static_cast<unsigned long long>(node.serial));
  if (nodes.empty()) std::fprintf(out, "  none\n");
  std::fprintf(out,
               "--desktop makes \"Desktop Input\" (the default input device) and \"Desktop "
               "Output\" (what the default output device plays).\n");
  return true;
}

}  // namespace relay
