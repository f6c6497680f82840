// The skylane-relay command line.
#pragma once

#include <string>
#include <vector>

#include "relay/protocol.h"

namespace relay {

struct SourceSpec {
  enum class Kind { kTone, kImpulse, kFile, kStdin, kLoopback };
  Kind kind;
  std::string name;
  std::string path;  // kFile only
};

struct Options {
  int port = kDefaultPort;
  int blockFrames = 512;
  bool stats = false;
  bool help = false;
  std::vector<SourceSpec> sources;  // in device order
};

// Parses argv (argv[0] is the program). On a bad command line returns false
// with a message; files are not opened here.
bool ParseOptions(int argc, const char* const* argv, Options* out, std::string* error);

// The --help text.
const char* UsageText();

}  // namespace relay
