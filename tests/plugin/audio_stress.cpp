// Runs the stream scenarios at length and prints what each counted:
//   plugin_audio_stress [scale]   (scale 1 is about ten times the tests' runs)
#include <cstdio>
#include <cstdlib>

#include "tests/plugin/stream_scenarios.h"

namespace {

void print(const char* name, const ScenarioResult& result) {
  std::printf("%-22s ran %d  expected %ld  arrived %ld  faults %ld\n", name, result.ran ? 1 : 0,
              result.expected, result.arrived, result.faults);
}

}  // namespace

int main(int argc, char** argv) {
  const int scale = argc > 1 ? std::atoi(argv[1]) : 1;
  if (scale < 1) return 2;
  print("tiny host blocks", TinyHostBlocks(1000 * scale));
  print("tiny relay packets", TinyRelayPackets(3000));
  print("latency changes", LatencyChanges(20000 * scale));
  print("channel changes", ChannelChanges(200 * scale));
  print("relay outpaces host", RelayOutpacesHost(4000 * scale));
  return 0;
}
