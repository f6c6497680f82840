// Feeds arbitrary text through the relay's configuration file parser: it either
// turns it into words the option parser accepts, or names the bad line.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "relay/options.h"
#include "relay/relay_config.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> words;
  std::string error;
  const bool ok = relay::ConfigWords(text, "f.conf", &words, &error);
  if (ok != error.empty()) __builtin_trap();
  if (!ok) {
    // "f.conf:LINE: ...", with a line that exists.
    size_t lines = 1;
    for (char c : text) lines += c == '\n';
    const size_t colon = error.find(':', 7);
    if (error.rfind("f.conf:", 0) != 0 || colon == std::string::npos || !words.empty())
      __builtin_trap();
    const std::string number = error.substr(7, colon - 7);
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos ||
        number.size() > 6 || std::stoul(number) < 1 || std::stoul(number) > lines)
      __builtin_trap();
    return 0;
  }
  std::vector<const char*> argv = {"skylane-relay"};
  for (const std::string& w : words) argv.push_back(w.c_str());
  relay::Options options;
  if (!relay::ParseOptions(static_cast<int>(argv.size()), argv.data(), &options, &error))
    __builtin_trap();
  if (!options.configPath.empty() || options.help || options.version || options.listJack)
    __builtin_trap();
  return 0;
}
