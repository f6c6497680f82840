#include "relay/relay_config.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace relay {

namespace {

constexpr char kBlanks[] = " \t\r\v\f";

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// A setting name is lower-case words joined by '-', as the options are.
bool IsSettingName(const std::string& word) {
  if (word.empty() || word[0] < 'a' || word[0] > 'z') return false;
  for (char c : word)
    if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-')) return false;
  return true;
}

// Options that act once from a terminal rather than configure a running relay.
bool IsCommandLineOnly(const std::string& word) {
  return word == "help" || word == "version" || word == "config" || word.rfind("list-", 0) == 0;
}

bool Parse(const std::vector<std::string>& words, Options* options, std::string* error) {
  std::vector<const char*> argv = {"skylane-relay"};
  for (const std::string& w : words) argv.push_back(w.c_str());
  return ParseOptions(static_cast<int>(argv.size()), argv.data(), options, error);
}

// The parser's message for one line, in the file's words.
std::string LineError(const std::string& error, const std::string& key) {
  const std::string flag = "--" + key;
  if (error == "unknown option: " + flag) return "unknown setting: " + key;
  if (error.rfind("unexpected argument: ", 0) == 0) return key + " takes no value";
  if (error.rfind(flag + " ", 0) == 0) return key + error.substr(flag.size());
  return error;
}

// Checks one non-blank, non-comment line and appends its words.
bool AddLine(const std::string& line, std::vector<std::string>* words, std::string* error) {
  const size_t space = line.find_first_of(kBlanks);
  const std::string key = line.substr(0, space);
  const std::string value = space == std::string::npos ? "" : Trim(line.substr(space));
  if (key.rfind("--", 0) == 0 && IsSettingName(key.substr(2))) {
    *error = "write the setting without \"--\": " + key.substr(2);
  } else if (!IsSettingName(key)) {
    *error = "not a setting: " + key;
  } else if (IsCommandLineOnly(key)) {
    *error = key + " belongs on the command line, not in this file";
  }
  if (!error->empty()) return false;
  std::vector<std::string> next = *words;
  next.push_back("--" + key);
  if (!value.empty()) next.push_back(value);
  Options parsed;
  if (!Parse(next, &parsed, error)) {
    *error = LineError(*error, key);
    return false;
  }
  *words = std::move(next);
  return true;
}

bool ReadFile(const std::string& path, bool mayBeMissing, std::string* text, bool* found,
              std::string* error) {
  *found = false;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    if (mayBeMissing && errno == ENOENT) return true;
    *error = "cannot read " + path + ": " + std::strerror(errno);
    return false;
  }
  std::string data(kMaxConfigBytes + 1, '\0');
  const size_t size = std::fread(&data[0], 1, data.size(), file);
  const int readError = std::ferror(file) ? errno : 0;
  std::fclose(file);
  if (readError) {
    *error = "cannot read " + path + ": " + std::strerror(readError);
    return false;
  }
  if (size > kMaxConfigBytes) {
    *error = path + ": larger than " + std::to_string(kMaxConfigBytes) + " bytes";
    return false;
  }
  data.resize(size);
  *text = std::move(data);
  *found = true;
  return true;
}

}  // namespace

std::string DefaultConfigPath() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config && config[0] == '/') return std::string(config) + "/skylane/relay.conf";
  const char* home = std::getenv("HOME");
  if (home && home[0]) return std::string(home) + "/.config/skylane/relay.conf";
  return "";
}

bool ConfigWords(const std::string& text, const std::string& name, std::vector<std::string>* words,
                 std::string* error) {
  words->clear();
  error->clear();
  int settings = 0;
  size_t start = 0;
  for (int number = 1; start <= text.size(); ++number) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string raw = text.substr(start, end - start);
    start = end + 1;
    const std::string line = Trim(raw);
    if (raw.find('\0') != std::string::npos) {
      *error = "a NUL byte";
    } else if (line.empty() || line[0] == '#') {
      continue;
    } else if (++settings > kMaxConfigSettings) {
      *error = "more than " + std::to_string(kMaxConfigSettings) + " settings";
    } else {
      AddLine(line, words, error);
    }
    if (!error->empty()) {
      *error = name + ":" + std::to_string(number) + ": " + *error;
      words->clear();
      return false;
    }
  }
  return true;
}

bool ApplyConfig(int argc, const char* const* argv, Options* options, std::string* readFrom,
                 std::string* error) {
  readFrom->clear();
  const bool named = !options->configPath.empty();
  if (!named && !options->sources.empty()) return true;
  const std::string path = named ? options->configPath : DefaultConfigPath();
  if (path.empty()) return true;
  std::string text;
  bool found = false;
  if (!ReadFile(path, !named, &text, &found, error)) return false;
  if (!found) return true;
  std::vector<std::string> words;
  if (!ConfigWords(text, path, &words, error)) return false;
  for (int i = 1; i < argc; ++i) words.push_back(argv[i]);
  if (!Parse(words, options, error)) return false;
  *readFrom = path;
  return true;
}

}  // namespace relay
