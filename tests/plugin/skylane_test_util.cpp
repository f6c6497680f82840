#include "tests/plugin/skylane_test_util.h"

std::string TextOf(const StatusText& line) {
  char buffer[StatusText::kCapacity];
  line.Copy(buffer, sizeof buffer);
  return buffer;
}

std::unique_ptr<Skylane> OpenSkylane() {
  auto plug = std::make_unique<Skylane>(PlugInstanceInfo{nullptr});
  plug->OnParamReset();
  return plug;
}

void QueueAudio(Skylane& plug, const float* samples, int count) {
  PlayQueue& queue = plug.Queue();
  queue.Acknowledge(queue.Requests());
  queue.Insert(samples, count);
}

void SetParam(Skylane& plug, int index, double value) {
  plug.GetParam(index)->Set(value);
  plug.OnParamChange(index);
}

Block::Block(int frames, double fill)
    : inLeft(static_cast<size_t>(frames), fill),
      inRight(static_cast<size_t>(frames), -fill),
      outLeft(static_cast<size_t>(frames), 9.0),
      outRight(static_cast<size_t>(frames), 9.0),
      inputs{inLeft.data(), inRight.data()},
      outputs{outLeft.data(), outRight.data()} {}

void Block::Process(Skylane& plug, int frames) {
  plug.ProcessDoubleReplacing(inputs, outputs, frames);
}
