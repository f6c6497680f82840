#include "host/options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

const char kUsage[] =
    "Usage: skylane-host --plugin PATH [options]\n"
    "Loads a VST 2.4 plug-in, shows and sets its parameters, loads and saves its\n"
    "programs and banks, and runs audio through it.\n"
    "\n"
    "Plug-in:\n"
    "  --plugin PATH        the plug-in library (.so) to load; a name without a\n"
    "                       slash is a file in the current folder\n"
    "  --list               print the plug-in's identity, programs and parameters\n"
    "  --set KEY=VALUE      set parameter KEY (index or name) to the normalised\n"
    "                       VALUE (0 to 1); may be repeated\n"
    "  --set-text KEY=TEXT  let the plug-in set parameter KEY from TEXT\n"
    "  --program N          select program N first\n"
    "  --load-fxp PATH      load a program file into the current program\n"
    "  --load-fxb PATH      load a bank file\n"
    "  --save-fxp PATH      save the current program (after loads and sets)\n"
    "  --save-fxb PATH      save all programs\n"
    "\n"
    "Audio (any of these options runs audio, with the defaults for the others):\n"
    "  --seconds S          run S seconds of audio (default: the input's length,\n"
    "                       else 5)\n"
    "  --rate HZ            sample rate (default: the input's rate, else 44100)\n"
    "  --block N            frames per process call (default 512)\n"
    "  --fast               render offline as fast as possible (default: paced in\n"
    "                       real time); a plug-in that streams live audio, such\n"
    "                       as Skylane, renders silence this way\n"
    "  --double             process in double precision\n"
    "  --input PATH         sound file fed to the inputs (default: silence)\n"
    "  --output PATH        write the outputs to a sound file (.wav, .flac, .aiff)\n"
    "\n"
    "Other options:\n"
    "  --editor             show the plug-in's editor in a window of its own while\n"
    "                       the audio runs (or, without a run, until it is closed)\n"
    "  --render-editor PNG  write the editor's picture to a PNG file at the end\n"
    "                       of the run, before the plug-in is turned off (with\n"
    "                       --editor: once the window is closed; needs no display)\n"
    "  --quiet              no progress lines\n"
    "  --verbose            trace the plug-in's requests to the host on stderr\n"
    "  --version            print the version\n"
    "  -h, --help           print this text\n"
    "\n"
    "Parameters are set after program and file loads; --list shows the result.\n"
    "Ctrl-C or SIGTERM stops a run after the current block and closes the output\n"
    "file whole; a second one ends the program at once.\n"
    "Exit status: 0 success, 1 failure, 2 bad usage, 3 the plug-in cannot be loaded,\n"
    "130 or 143 a run stopped by SIGINT or SIGTERM.\n";

bool ParseNumber(const char* text, double lo, double hi, double* out) {
  if (!text || !*text) return false;
  errno = 0;
  char* end = nullptr;
  double v = std::strtod(text, &end);
  if (errno != 0 || *end != 0 || !std::isfinite(v) || v < lo || v > hi) return false;
  *out = v;
  return true;
}

bool ParseInt(const char* text, int lo, int hi, int* out) {
  double v = 0.0;
  if (!ParseNumber(text, lo, hi, &v) || v != std::floor(v)) return false;
  *out = int(v);
  return true;
}

bool ParseSetting(const char* text, bool isText, ParamSetting* out) {
  const char* eq = std::strchr(text, '=');
  if (!eq || eq == text) return false;
  out->key.assign(text, eq);
  out->value = eq + 1;
  out->isText = isText;
  return true;
}

bool IsRunOption(const std::string& flag) {
  return flag == "--seconds" || flag == "--rate" || flag == "--block" || flag == "--input" ||
         flag == "--output";
}

// Options taking a value, and where it goes.
bool TakeValue(const std::string& flag, const char* v, HostOptions* o, std::string* error) {
  auto bad = [&](const char* what) {
    *error = flag + ": " + what + " (got '" + v + "')";
    return false;
  };
  if (flag == "--plugin") o->pluginPath = v;
  else if (flag == "--load-fxp") o->loadFxp = v;
  else if (flag == "--load-fxb") o->loadFxb = v;
  else if (flag == "--save-fxp") o->saveFxp = v;
  else if (flag == "--save-fxb") o->saveFxb = v;
  else if (flag == "--input") o->input = v;
  else if (flag == "--output") o->output = v;
  else if (flag == "--render-editor") o->renderEditor = v;
  else if (flag == "--seconds") {
    if (!ParseNumber(v, 0.0, 86400.0, &o->seconds)) return bad("expects seconds from 0 to 86400");
  } else if (flag == "--rate") {
    if (!ParseNumber(v, 1000.0, 1536000.0, &o->rate))
      return bad("expects a rate from 1000 to 1536000");
  } else if (flag == "--block") {
    if (!ParseInt(v, 1, 65536, &o->block)) return bad("expects a whole number from 1 to 65536");
  } else if (flag == "--program") {
    if (!ParseInt(v, 0, 1 << 20, &o->program)) return bad("expects a program index");
  } else if (flag == "--set" || flag == "--set-text") {
    ParamSetting s;
    if (!ParseSetting(v, flag == "--set-text", &s)) return bad("expects KEY=VALUE");
    if (!s.isText) {
      double value = 0.0;
      if (!ParseNumber(s.value.c_str(), 0.0, 1.0, &value))
        return bad("expects a value from 0 to 1");
    }
    o->settings.push_back(s);
  }
  if (IsRunOption(flag)) o->runAsked = true;
  return true;
}

bool TakeFlag(const std::string& flag, HostOptions* o) {
  if (flag == "--help" || flag == "-h") o->help = true;
  else if (flag == "--list") o->list = true;
  else if (flag == "--fast") o->fast = o->runAsked = true;
  else if (flag == "--double") o->useDouble = o->runAsked = true;
  else if (flag == "--quiet") o->quiet = true;
  else if (flag == "--verbose") o->verbose = true;
  else if (flag == "--editor") o->editor = true;
  else if (flag == "--version") o->version = true;
  else return false;
  return true;
}

bool TakesValue(const std::string& flag) {
  static const char* const kValueFlags[] = {
      "--plugin",  "--load-fxp", "--load-fxb", "--save-fxp",     "--save-fxb",
      "--input",   "--output",   "--seconds",  "--rate",         "--block",
      "--program", "--set",      "--set-text", "--render-editor"};
  for (const char* f : kValueFlags) {
    if (flag == f) return true;
  }
  return false;
}

}  // namespace

bool ParseOptions(int argc, const char* const* argv, HostOptions* o, std::string* error) {
  for (int i = 1; i < argc; ++i) {
    std::string flag = argv[i];
    if (TakeFlag(flag, o)) continue;
    if (!TakesValue(flag)) {
      *error = flag.compare(0, 1, "-") == 0 ? "unknown option " + flag
                                            : "unexpected argument '" + flag + "'";
      return false;
    }
    if (i + 1 >= argc) {
      *error = flag + " needs a value";
      return false;
    }
    if (!TakeValue(flag, argv[++i], o, error)) return false;
  }
  if (!o->help && !o->version && o->pluginPath.empty()) {
    *error = "no plug-in given (--plugin PATH)";
    return false;
  }
  return true;
}

const char* UsageText() { return kUsage; }
