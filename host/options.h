// The command line of skylane-host.
#pragma once

#include <string>
#include <vector>

// One --set (normalised value) or --set-text (text the plug-in converts).
struct ParamSetting {
  std::string key;  // parameter index or name
  std::string value;
  bool isText = false;
};

struct HostOptions {
  std::string pluginPath;
  bool help = false;
  bool version = false;
  bool list = false;
  bool verbose = false;
  bool quiet = false;
  std::vector<ParamSetting> settings;
  int program = -1;  // -1: leave the plug-in's current program
  std::string loadFxp, loadFxb, saveFxp, saveFxb;
  // Audio run: happens when any of the options below is given.
  bool runAsked = false;
  double seconds = -1.0;  // -1: the input's length, or kDefaultSeconds
  double rate = 0.0;      // 0: the input's rate, or kDefaultRate
  int block = 512;
  bool fast = false;
  bool useDouble = false;
  std::string input, output;
  bool editor = false;       // show the editor in a window while running
  std::string renderEditor;  // PNG of the editor's picture, written at the end

  bool WantsRun() const { return runAsked; }
};

constexpr double kDefaultSeconds = 5.0;
constexpr double kDefaultRate = 44100.0;

// Parses argv; false with a one-line message in *error on bad usage.
bool ParseOptions(int argc, const char* const* argv, HostOptions* options, std::string* error);

// The --help text.
const char* UsageText();
