// Helpers for tests that drive a Skylane instance directly.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "plugin/skylane.h"

std::string TextOf(const StatusText& line);

// Creates an instance and applies every parameter, as a host's open does.
std::unique_ptr<Skylane> OpenSkylane();

// Queues count samples as the receive thread does, acknowledging any emptying.
void QueueAudio(Skylane& plug, const float* samples, int count);

// Sets a parameter to a plain value and reacts, as a host's set-parameter call does.
void SetParam(Skylane& plug, int index, double value);

// Stereo buffers for one ProcessDoubleReplacing call.
struct Block {
  explicit Block(int frames, double fill = 0.25);
  std::vector<double> inLeft, inRight, outLeft, outRight;
  double* inputs[2];
  double* outputs[2];
  void Process(Skylane& plug, int frames);
};
