// A small JACK program for the tests: plays a 1000 Hz sine at 0.5 on its port
// "out_l" and a 1500 Hz sine at 0.25 on "out_r", as the client "player", on
// the server JACK_DEFAULT_SERVER names. Prints "ready" once playing; ends on
// SIGTERM or when the server goes away.
#include <jack/jack.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <cstdio>

namespace {

constexpr double kPi = 3.141592653589793;

std::atomic<bool> g_done{false};
jack_port_t* g_ports[2];
double g_rate = 48000;
long g_frame = 0;  // process thread only

int Process(jack_nframes_t frames, void*) {
  auto* left = static_cast<float*>(jack_port_get_buffer(g_ports[0], frames));
  auto* right = static_cast<float*>(jack_port_get_buffer(g_ports[1], frames));
  for (jack_nframes_t i = 0; i < frames; ++i, ++g_frame) {
    const double t = g_frame / g_rate;
    left[i] = static_cast<float>(0.5 * std::sin(2 * kPi * 1000 * t));
    right[i] = static_cast<float>(0.25 * std::sin(2 * kPi * 1500 * t));
  }
  return 0;
}

void OnShutdown(void*) { g_done.store(true); }

void OnSignal(int) { g_done.store(true); }

void Quiet(const char*) {}

}  // namespace

int main() {
  signal(SIGTERM, OnSignal);
  jack_set_error_function(Quiet);
  jack_set_info_function(Quiet);
  jack_client_t* client = jack_client_open("player", JackNoStartServer, nullptr);
  if (!client) return 1;
  g_rate = jack_get_sample_rate(client);
  g_ports[0] = jack_port_register(client, "out_l", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
  g_ports[1] = jack_port_register(client, "out_r", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
  jack_on_shutdown(client, OnShutdown, nullptr);
  if (!g_ports[0] || !g_ports[1] || jack_set_process_callback(client, Process, nullptr) != 0 ||
      jack_activate(client) != 0)
    return 1;
  std::printf("ready\n");
  std::fflush(stdout);
  while (!g_done.load()) usleep(20000);
  jack_client_close(client);
  return 0;
}
