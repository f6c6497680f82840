// The skylane-relay command line.
#pragma once

#include <string>
#include <vector>

#include "relay/protocol.h"

namespace relay {

struct SourceSpec {
  enum class Kind {
    kTone,
    kImpulse,
    kFile,
    kStdin,
    kLoopback,
    kJack,
    kJackCapture,
    kPipeWire,
    kDesktop
  };
  Kind kind;
  std::string name;      // empty for kJackCapture and kDesktop, which make their devices
  std::string path;      // kFile: the file; kPipeWire: the target, empty for none
  std::string ports[2];  // kJack: source ports of the left and right side, or none
};

struct Options {
  int port = kDefaultPort;
  int blockFrames = 512;
  int jackReserveMs = 30;
  bool stats = false;
  bool help = false;
  bool listJack = false;
  bool listPipeWire = false;
  bool version = false;
  std::string configPath;  // --config FILE; empty: the default file, when no source is given
  std::vector<SourceSpec> sources;  // in device order
};

// Parses argv (argv[0] is the program). On a bad command line returns false
// with a message; files are not opened here.
bool ParseOptions(int argc, const char* const* argv, Options* out, std::string* error);

// The --help text.
const char* UsageText();

}  // namespace relay
