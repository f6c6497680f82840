#include "relay/options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "relay/device.h"

namespace relay {

namespace {

bool ParseInt(const char* text, int low, int high, int* out) {
  if (!*text) return false;
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(text, &end, 10);
  if (*end || errno || value < low || value > high) return false;
  *out = static_cast<int>(value);
  return true;
}

bool CheckName(const std::string& name, const Options& options, std::string* error) {
  if (name.empty()) {
    *error = "a device name must not be empty";
  } else if (name.size() > kMaxTextLength) {
    *error = "device name longer than " + std::to_string(kMaxTextLength) + " bytes: " + name;
  } else {
    for (const SourceSpec& s : options.sources)
      if (s.name == name) *error = "device name used twice: " + name;
  }
  return error->empty();
}

bool SplitFile(const std::string& argument, SourceSpec* spec, std::string* error) {
  const size_t equals = argument.find('=');
  if (equals == std::string::npos || equals + 1 == argument.size()) {
    *error = "--file wants NAME=PATH, got: " + argument;
    return false;
  }
  spec->name = argument.substr(0, equals);
  spec->path = argument.substr(equals + 1);
  return true;
}

// NAME, NAME=PORT (one port on both sides) or NAME=PORT_L,PORT_R.
bool SplitJack(const std::string& argument, SourceSpec* spec, std::string* error) {
  const size_t equals = argument.find('=');
  if (equals == std::string::npos) return true;
  spec->name = argument.substr(0, equals);
  const std::string ports = argument.substr(equals + 1);
  const size_t comma = ports.find(',');
  spec->ports[0] = ports.substr(0, comma);
  spec->ports[1] = comma == std::string::npos ? spec->ports[0] : ports.substr(comma + 1);
  if (spec->ports[0].empty() || spec->ports[1].empty() ||
      spec->ports[1].find(',') != std::string::npos) {
    *error = "--jack wants NAME, NAME=PORT or NAME=PORT_L,PORT_R, got: " + argument;
    return false;
  }
  return true;
}

// NAME, or NAME=TARGET.
bool SplitPipeWire(const std::string& argument, SourceSpec* spec, std::string* error) {
  const size_t equals = argument.find('=');
  if (equals == std::string::npos) return true;
  spec->name = argument.substr(0, equals);
  spec->path = argument.substr(equals + 1);
  if (spec->path.empty()) *error = "--pipewire wants NAME or NAME=TARGET, got: " + argument;
  return error->empty();
}

// --desktop makes two devices, every other source one (or, --jack-capture, at least one).
size_t DevicesOf(const SourceSpec& spec) { return spec.kind == SourceSpec::Kind::kDesktop ? 2 : 1; }

bool Append(const SourceSpec& spec, Options* options, std::string* error) {
  size_t devices = DevicesOf(spec);
  for (const SourceSpec& s : options->sources) devices += DevicesOf(s);
  if (devices > kMaxDevices) {
    *error = "at most " + std::to_string(kMaxDevices) + " devices";
    return false;
  }
  options->sources.push_back(spec);
  return true;
}

bool AddSource(SourceSpec::Kind kind, const std::string& argument, Options* options,
               std::string* error) {
  SourceSpec spec{kind, argument, "", {}};
  if (kind == SourceSpec::Kind::kFile && !SplitFile(argument, &spec, error)) return false;
  if (kind == SourceSpec::Kind::kJack && !SplitJack(argument, &spec, error)) return false;
  if (kind == SourceSpec::Kind::kPipeWire && !SplitPipeWire(argument, &spec, error)) return false;
  if (kind == SourceSpec::Kind::kStdin)
    for (const SourceSpec& s : options->sources)
      if (s.kind == SourceSpec::Kind::kStdin) *error = "--stdin may be given once";
  if (!error->empty() || !CheckName(spec.name, *options, error)) return false;
  return Append(spec, options, error);
}

struct SourceOption {
  const char* flag;
  SourceSpec::Kind kind;
};

constexpr SourceOption kSourceOptions[] = {
    {"--tone", SourceSpec::Kind::kTone},         {"--impulse", SourceSpec::Kind::kImpulse},
    {"--file", SourceSpec::Kind::kFile},         {"--stdin", SourceSpec::Kind::kStdin},
    {"--loopback", SourceSpec::Kind::kLoopback}, {"--jack", SourceSpec::Kind::kJack},
    {"--pipewire", SourceSpec::Kind::kPipeWire},
};

// --jack-capture and --desktop: given once, they make their devices later.
bool AddOnce(SourceSpec::Kind kind, const std::string& flag, Options* options, std::string* error) {
  for (const SourceSpec& s : options->sources)
    if (s.kind == kind) *error = flag + " may be given once";
  if (!error->empty()) return false;
  return Append(SourceSpec{kind, "", "", {}}, options, error);
}

}  // namespace

bool ParseOptions(int argc, const char* const* argv, Options* out, std::string* error) {
  *out = Options();
  error->clear();
  for (int i = 1; i < argc; ++i) {
    const std::string flag = argv[i];
    if (flag == "--help" || flag == "-h") {
      out->help = true;
      continue;
    }
    if (flag == "--stats" || flag == "--list-jack" || flag == "--list-pipewire") {
      (flag == "--stats"       ? out->stats
       : flag == "--list-jack" ? out->listJack
                               : out->listPipeWire) = true;
      continue;
    }
    if (flag == "--version") {
      out->version = true;
      continue;
    }
    if (flag == "--jack-capture" || flag == "--desktop") {
      const auto kind =
          flag == "--desktop" ? SourceSpec::Kind::kDesktop : SourceSpec::Kind::kJackCapture;
      if (!AddOnce(kind, flag, out, error)) return false;
      continue;
    }
    const SourceOption* source = nullptr;
    for (const SourceOption& option : kSourceOptions)
      if (flag == option.flag) source = &option;
    if (!source && flag != "--port" && flag != "--block" && flag != "--jack-reserve" &&
        flag != "--config") {
      *error = (flag.rfind('-', 0) == 0 ? "unknown option: " : "unexpected argument: ") + flag;
      return false;
    }
    if (i + 1 >= argc) {
      *error = flag + " wants a value";
      return false;
    }
    const char* value = argv[++i];
    if (source) AddSource(source->kind, value, out, error);
    else if (flag == "--port" && !ParseInt(value, 0, 65535, &out->port))
      *error = std::string("bad port: ") + value;
    else if (flag == "--block" && !ParseInt(value, 8, 512, &out->blockFrames))
      *error = std::string("--block wants 8-512 frames, got: ") + value;
    else if (flag == "--jack-reserve" && !ParseInt(value, 0, 1000, &out->jackReserveMs))
      *error = std::string("--jack-reserve wants 0-1000 ms, got: ") + value;
    else if (flag == "--config" && !*value) *error = "--config wants a file name";
    else if (flag == "--config") out->configPath = value;
    if (!error->empty()) return false;
  }
  return true;
}

const char* UsageText() {
  return "Usage: skylane-relay [options] [sources]\n"
         "Serves audio devices to Skylane plug-ins on 127.0.0.1 (TCP).\n"
         "\n"
         "Sources (each makes one device, in the order given; at most 16):\n"
         "  --tone NAME         test tone: 440 Hz left, 660 Hz right, -12 dBFS\n"
         "  --impulse NAME      latency marker: one full-scale sample (1.0 on both\n"
         "                      sides) every 44100 frames, silence between\n"
         "  --file NAME=PATH    a sound file (any format libsndfile reads), converted\n"
         "                      to 44100 Hz when needed, played in a loop\n"
         "  --stdin NAME        raw interleaved float32 stereo at 44100 Hz from\n"
         "                      standard input (native byte order)\n"
         "  --loopback NAME     returns the audio a plug-in sends in its effects loop\n"
         "  --desktop           two PipeWire devices: \"Desktop Input\" (the default\n"
         "                      input device) and \"Desktop Output\" (what the default\n"
         "                      output device plays), following the default's changes\n"
         "  --pipewire NAME=TARGET\n"
         "                      a PipeWire node by name, description or serial: an\n"
         "                      input device, an output device (what it plays) or an\n"
         "                      application's output; see --list-pipewire\n"
         "  --pipewire NAME     a PipeWire input node \"NAME\" for any program or\n"
         "                      patchbay to connect to\n"
         "  --jack NAME         two JACK input ports, \"NAME left\" and \"NAME right\", of\n"
         "                      the client skylane-relay, for any program to connect to\n"
         "  --jack NAME=PORT_L,PORT_R\n"
         "                      the same, connected to those JACK output ports (one\n"
         "                      PORT alone feeds both sides); see --list-jack\n"
         "  --jack-capture      one device for every pair of physical capture ports of\n"
         "                      the JACK server running at start\n"
         "With no source, sources and options are read from the configuration file\n"
         "$XDG_CONFIG_HOME/skylane/relay.conf (~/.config/skylane/relay.conf); without\n"
         "it, one tone device named \"Skylane Demo Tone\" is served.\n"
         "\n"
         "Configuration file: one setting a line, in the words of the command line\n"
         "without the leading \"--\" (tone Demo, file Drums=/path/loop.flac,\n"
         "port 53669, stats); blank lines and lines starting with # are skipped.\n"
         "Options on the command line come after the file's and take precedence.\n"
         "\n"
         "Each device has four channels: Stereo, Left (on both sides), Right (on both\n"
         "sides), Mono (the mix); a JACK device names Left and Right after its ports.\n"
         "Device IDs are derived from the names, so they stay the same from one run to\n"
         "the next.\n"
         "\n"
         "PipeWire devices convert the graph's rate to 44100 Hz. A target that goes\n"
         "plays silence until it is back; while PipeWire is away they play silence and\n"
         "the relay tries again every second.\n"
         "\n"
         "JACK devices work with jackd and with PipeWire's JACK library (run the relay\n"
         "through pw-jack where that is not the system's libjack). The server's rate is\n"
         "converted to 44100 Hz. While no server runs, JACK devices play silence and\n"
         "the relay tries again every 2 s. JACK_DEFAULT_SERVER picks a named server.\n"
         "\n"
         "Options:\n"
         "  --port N     TCP port (default 53669; 0 picks a free one, printed at start)\n"
         "  --block N    frames per audio packet, 8-512 (default 512, about 11.6 ms)\n"
         "  --stats      print a line of statistics every second\n"
         "  --list-jack  print the JACK ports a device can connect to, then exit\n"
         "  --list-pipewire\n"
         "               print the PipeWire nodes a device can capture, then exit\n"
         "  --jack-reserve MS\n"
         "               audio kept queued for JACK and PipeWire devices against delays,\n"
         "               0-1000 ms (default 30); raise it when --stats counts underruns\n"
         "  --config FILE\n"
         "               read this configuration file (also when sources are given)\n"
         "  --version    print the version\n"
         "  -h, --help   print this text\n"
         "\n"
         "Exit status: 0 after SIGINT or SIGTERM, 1 when the port cannot be opened (or\n"
         "no JACK server answers --list-jack, no PipeWire --list-pipewire, or\n"
         "--jack-capture alone), 2 for a bad command line or configuration file, or an\n"
         "unreadable file.\n";
}

}  // namespace relay
