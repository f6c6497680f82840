// The relay's configuration file: one setting a line in the command line's
// own words ("tone Demo" stands for "--tone Demo"), read when no source is
// given on the command line or when --config names a file.
#pragma once

#include <string>
#include <vector>

#include "relay/options.h"

namespace relay {

constexpr size_t kMaxConfigBytes = 64 * 1024;
constexpr int kMaxConfigSettings = 256;

// $XDG_CONFIG_HOME/skylane/relay.conf, else $HOME/.config/skylane/relay.conf;
// empty when neither variable names a folder.
std::string DefaultConfigPath();

// Turns the text of a configuration file into command-line words, checking
// each line with the option parser. On a bad line returns false with
// "NAME:LINE: what is wrong" in *error.
bool ConfigWords(const std::string& text, const std::string& name, std::vector<std::string>* words,
                 std::string* error);

// Reads the configuration file the parsed command line calls for, if any, and
// parses its words followed by the command line's (whose options then win).
// *readFrom names the file read, or is left empty. False with a message on an
// unreadable or bad file, or a command line that conflicts with the file.
bool ApplyConfig(int argc, const char* const* argv, Options* options, std::string* readFrom,
                 std::string* error);

}  // namespace relay
