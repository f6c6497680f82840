// Feeds arbitrary command lines (arguments separated by NUL bytes) through the
// relay's option parser: it either accepts them within its limits or says why.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "relay/device.h"
#include "relay/options.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> args = {"skylane-relay"};
  std::string current;
  for (size_t i = 0; i < size; ++i) {
    if (data[i]) {
      current += static_cast<char>(data[i]);
      continue;
    }
    args.push_back(current);
    current.clear();
  }
  args.push_back(current);
  std::vector<const char*> argv;
  for (const auto& a : args) argv.push_back(a.c_str());
  relay::Options options;
  std::string error;
  const bool ok = relay::ParseOptions(static_cast<int>(argv.size()), argv.data(), &options, &error);
  if (ok != error.empty()) __builtin_trap();
  if (!ok) return 0;
  size_t devices = 0;
  for (const auto& source : options.sources)
    devices += source.kind == relay::SourceSpec::Kind::kDesktop ? 2 : 1;
  if (devices > relay::kMaxDevices) __builtin_trap();
  for (const auto& source : options.sources) {
    if (source.name.size() > relay::kMaxTextLength) __builtin_trap();
    if (source.kind == relay::SourceSpec::Kind::kJack &&
        source.ports[0].empty() != source.ports[1].empty())
      __builtin_trap();
  }
  return 0;
}
