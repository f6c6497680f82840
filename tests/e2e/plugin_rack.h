// Plug-in instances hosted in this process through the host library, all at
// one rate and block size, fed silence and processed together block by block
// in real time, as a host's audio thread would. One rack per process (the
// host callback answers from one state).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/host_callback.h"
#include "host/loader.h"

class PluginRack {
 public:
  PluginRack(double rate, int block);
  ~PluginRack();
  PluginRack(const PluginRack&) = delete;
  PluginRack& operator=(const PluginRack&) = delete;

  // Loads, opens and starts one more instance; its number, or -1 with *error.
  int Add(const std::string& path, std::string* error);
  // Sets a parameter of one instance to a normalised value.
  void SetParameter(int instance, int index, float value);
  // Waits until the next block is due, then processes it in every instance.
  void ProcessBlock();

  int size() const { return int(plugins_.size()); }
  int block() const { return block_; }
  double rate() const { return state_.sampleRate; }
  // Blocks processed so far.
  long blocks() const { return blocks_; }
  // Monotonic time (seconds) at which the last block was processed.
  double blockTime() const { return blockTime_; }
  // Outputs 0 and 1 of an instance for the last block.
  const std::vector<float>& Left(int instance) const { return outputs_[size_t(instance)][0]; }
  const std::vector<float>& Right(int instance) const { return outputs_[size_t(instance)][1]; }
  // True when the last block of the instance holds only zeros.
  bool Silent(int instance) const;

 private:
  HostState state_;
  int block_;
  long blocks_ = 0;
  double start_ = 0.0;
  double blockTime_ = 0.0;
  std::vector<std::unique_ptr<Plugin>> plugins_;
  std::vector<std::vector<std::vector<float>>> outputs_;
  std::vector<std::vector<float>> silence_;
};

// Seconds on the monotonic clock.
double MonotonicSeconds();
// Sleeps until the monotonic clock reaches seconds.
void SleepUntil(double seconds);
// The normalised value that sets an integer parameter of range [low, high] to value.
float NormalizedInt(long value, long low, long high);
