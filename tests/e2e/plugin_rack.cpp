#include "tests/e2e/plugin_rack.h"

#include <time.h>

#include <algorithm>
#include <cerrno>
#include <cmath>

double MonotonicSeconds() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

void SleepUntil(double seconds) {
  timespec t{};
  t.tv_sec = time_t(std::floor(seconds));
  t.tv_nsec = long((seconds - std::floor(seconds)) * 1e9);
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr) == EINTR) {
  }
}

float NormalizedInt(long value, long low, long high) {
  return float(double(value - low) / double(high - low));
}

PluginRack::PluginRack(double rate, int block) : block_(block) {
  state_.sampleRate = rate;
  state_.blockSize = block;
  state_.playing = true;
  state_.processLevel = kVstProcessLevelRealtime;
  HostInstallState(&state_);
}

PluginRack::~PluginRack() {
  for (auto& plugin : plugins_) {
    plugin->Dispatch(effStopProcess);
    plugin->Dispatch(effMainsChanged, 0, 0);
    plugin->Close();
  }
  HostInstallState(nullptr);
}

int PluginRack::Add(const std::string& path, std::string* error) {
  auto plugin = std::make_unique<Plugin>();
  if (plugin->Load(path, HostCallback, error) != LoadError::kNone) return -1;
  AEffect* e = plugin->effect();
  if (e->numOutputs < 2 || !e->processReplacing) {
    *error = path + ": not a stereo plug-in with processReplacing";
    return -1;
  }
  plugin->Dispatch(effOpen);
  plugin->Dispatch(effSetSampleRate, 0, 0, nullptr, float(state_.sampleRate));
  plugin->Dispatch(effSetBlockSize, 0, block_);
  plugin->Dispatch(effMainsChanged, 0, 1);
  plugin->Dispatch(effStartProcess);
  const size_t inputs = size_t(std::max(e->numInputs, 1));
  if (silence_.size() < inputs) silence_.resize(inputs, std::vector<float>(size_t(block_), 0.0f));
  outputs_.emplace_back(size_t(e->numOutputs), std::vector<float>(size_t(block_), 0.0f));
  plugins_.push_back(std::move(plugin));
  return int(plugins_.size()) - 1;
}

void PluginRack::SetParameter(int instance, int index, float value) {
  AEffect* e = plugins_[size_t(instance)]->effect();
  e->setParameter(e, index, value);
}

void PluginRack::ProcessBlock() {
  if (blocks_ == 0) start_ = MonotonicSeconds();
  SleepUntil(start_ + double(blocks_) * block_ / state_.sampleRate);
  blockTime_ = MonotonicSeconds();
  state_.samplePos = double(blocks_) * block_;
  std::vector<float*> ins;
  for (auto& channel : silence_) ins.push_back(channel.data());
  for (size_t i = 0; i < plugins_.size(); ++i) {
    std::vector<float*> outs;
    for (auto& channel : outputs_[i]) {
      std::fill(channel.begin(), channel.end(), 0.0f);
      outs.push_back(channel.data());
    }
    AEffect* e = plugins_[i]->effect();
    e->processReplacing(e, ins.data(), outs.data(), block_);
  }
  ++blocks_;
}

bool PluginRack::Silent(int instance) const {
  for (const auto& channel : outputs_[size_t(instance)])
    for (float v : channel)
      if (v != 0.0f) return false;
  return true;
}
