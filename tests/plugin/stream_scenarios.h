// Scenarios that drive an instance against a scripted relay and count what
// went wrong. The tests run them briefly; plugin_audio_stress runs them long.
#pragma once

struct ScenarioResult {
  bool ran = false;   // the relay connection was made
  long expected = 0;  // frames that should have arrived
  long arrived = 0;   // frames (or blocks) that did
  long faults = 0;    // frames or blocks that broke the stream's order
};

// Host blocks of 1 to 64 frames at 48 kHz with the effects loop on: frames
// expected and arrived at the relay (44.1 kHz); faults = frames out of order.
ScenarioResult TinyHostBlocks(int rounds);
// The relay sends packets of 4 frames to a host at 48 kHz: frames expected and
// queued at the host rate; faults = played frames out of order.
ScenarioResult TinyRelayPackets(int packets);
// Latency changes (each empties the FIFO) while the relay streams numbered
// packets and the host plays: arrived = blocks played, faults = those holding
// audio queued before the latest emptying.
ScenarioResult LatencyChanges(int changes);
// Channel changes while the relay streams (audio of connection k has the value
// k) and the host plays: arrived = blocks played once the next connection is
// made, faults = those that hold audio of an earlier connection.
ScenarioResult ChannelChanges(int changes);
// The relay sends a numbered stream far faster than the host plays, for ms
// milliseconds: arrived = blocks played, faults = blocks out of stream order.
ScenarioResult RelayOutpacesHost(int ms);
