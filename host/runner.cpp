#include "host/runner.h"

#include <signal.h>
#include <time.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "host/progress.h"

namespace {

using Channels = std::vector<std::vector<double>>;

double Seconds(const timespec& t) { return double(t.tv_sec) + double(t.tv_nsec) * 1e-9; }

timespec Now() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t;
}

bool StopAsked(const RunSettings& s) {
  return s.stop && s.stop->load(std::memory_order_relaxed) != 0;
}

// Longest single wait while pacing: a stop signal may be handled on another
// thread and then does not interrupt the sleep.
constexpr double kLongestWait = 0.05;

// Sleeps until `start` + `offset` seconds on the monotonic clock, or until a
// stop is asked.
void SleepUntil(const timespec& start, double offset, const RunSettings& s) {
  const double target = Seconds(start) + offset;
  for (double now = Seconds(Now()); now < target && !StopAsked(s); now = Seconds(Now())) {
    const double until = std::min(target, now + kLongestWait);
    timespec t{};
    t.tv_sec = time_t(std::floor(until));
    t.tv_nsec = long((until - std::floor(until)) * 1e9);
    clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr);
  }
}

const char* SignalName(int signal) {
  switch (signal) {
    case SIGINT: return "SIGINT";
    case SIGTERM: return "SIGTERM";
    default: return "a signal";
  }
}

void Summarise(const RunSettings& s, const Progress& progress, const RunResult& r, double took) {
  if (progress.nonFinite() > 0) {
    std::fprintf(stderr, "warning: %ld non-finite output samples\n", progress.nonFinite());
  }
  if (s.fast && r.frames > 0 && progress.silent()) {
    std::fprintf(stderr,
                 "warning: the output is silent throughout; a plug-in that waits for live audio "
                 "(as Skylane waits for its relay) stays silent in a --fast render\n");
  }
  if (s.quiet) return;
  std::printf("rendered %.3f s (%ld frames) in %.3f s", double(r.frames) / s.rate, r.frames, took);
  if (r.stopSignal) std::printf(", stopped by %s", SignalName(r.stopSignal));
  std::printf("\n");
}

// The plug-in's buffers for one precision and the calls into it.
class Processor {
 public:
  // `in` and `out` hold the plug-in's channel counts and keep their size.
  Processor(AEffect* effect, Channels* in, Channels* out, int block, bool useDouble)
      : effect_(effect),
        useDouble_(useDouble),
        in_(in),
        out_(out),
        inF_(in->size(), std::vector<float>(size_t(block))),
        outF_(out->size(), std::vector<float>(size_t(block))),
        ins_(Pointers(in)),
        outs_(Pointers(out)),
        insF_(Pointers(&inF_)),
        outsF_(Pointers(&outF_)) {}

  // Why this plug-in cannot process in the asked precision, or empty.
  std::string Problem() const {
    const VstInt32 flags = effect_->flags;
    if (useDouble_) {
      return (flags & effFlagsCanDoubleReplacing) && effect_->processDoubleReplacing
                 ? ""
                 : "the plug-in cannot process in double precision";
    }
    return effect_->processReplacing || effect_->process ? ""
                                                         : "the plug-in has no process function";
  }

  // Processes `frames` frames of the input channels into the output channels.
  void Run(int frames) {
    for (auto& channel : *out_) std::fill(channel.begin(), channel.begin() + frames, 0.0);
    if (useDouble_) {
      effect_->processDoubleReplacing(effect_, ins_.data(), outs_.data(), frames);
      return;
    }
    for (size_t c = 0; c < inF_.size(); ++c) {
      std::copy((*in_)[c].begin(), (*in_)[c].begin() + frames, inF_[c].begin());
    }
    for (auto& channel : outF_) std::fill(channel.begin(), channel.begin() + frames, 0.0f);
    bool replacing = (effect_->flags & effFlagsCanReplacing) && effect_->processReplacing;
    // The old accumulating call adds to the zeroed outputs.
    (replacing ? effect_->processReplacing : effect_->process)(effect_, insF_.data(), outsF_.data(),
                                                               frames);
    for (size_t c = 0; c < outF_.size(); ++c) {
      std::copy(outF_[c].begin(), outF_[c].begin() + frames, (*out_)[c].begin());
    }
  }

 private:
  template <typename T>
  static std::vector<T*> Pointers(std::vector<std::vector<T>>* channels) {
    std::vector<T*> p(std::max<size_t>(channels->size(), 1), nullptr);
    for (size_t c = 0; c < channels->size(); ++c) p[c] = (*channels)[c].data();
    return p;
  }

  AEffect* effect_;
  bool useDouble_;
  Channels* in_;
  Channels* out_;
  std::vector<std::vector<float>> inF_, outF_;
  std::vector<double*> ins_, outs_;
  std::vector<float*> insF_, outsF_;
};

void Start(const Plugin& p, HostState* state, bool fast) {
  p.Dispatch(effMainsChanged, 0, 1);
  p.Dispatch(effStartProcess);
  state->samplePos = 0.0;
  state->playing = true;
  state->processLevel = fast ? kVstProcessLevelOffline : kVstProcessLevelRealtime;
}

void Stop(const Plugin& p, HostState* state) {
  state->playing = false;
  state->processLevel = kVstProcessLevelUser;
  p.Dispatch(effStopProcess);
  p.Dispatch(effMainsChanged, 0, 0);
}

}  // namespace

bool RunAudio(const Plugin& p, HostState* state, const RunSettings& s, SoundReader* input,
              RunResult* result, std::string* error) {
  AEffect* e = p.effect();
  Channels in(size_t(e->numInputs), std::vector<double>(size_t(s.block)));
  Channels out(size_t(e->numOutputs), std::vector<double>(size_t(s.block)));
  Processor processor(e, &in, &out, s.block, s.useDouble);
  *error = processor.Problem();
  if (!error->empty()) return false;
  SoundWriter writer;
  if (!s.output.empty() && !writer.Open(s.output, e->numOutputs, s.rate, error)) return false;
  const long total = std::lround(s.seconds * s.rate);
  Progress progress(e->numOutputs, s.rate, s.quiet);
  long done = 0;
  bool written = true;
  Start(p, state, s.fast);
  const timespec start = Now();
  // A stop is looked at between blocks only: the block under way is
  // processed and written whole.
  while (done < total && written && !StopAsked(s)) {
    const int n = int(std::min<long>(s.block, total - done));
    if (input) input->Read(&in, n);
    state->samplePos = double(done);
    processor.Run(n);
    written = s.output.empty() || writer.Write(out, n);
    progress.Add(out, n);
    done += n;
    if (!s.fast) SleepUntil(start, double(done) / s.rate, s);
  }
  progress.Finish();
  const bool ended = !s.atEnd || s.atEnd(error);
  Stop(p, state);
  const double took = Seconds(Now()) - Seconds(start);
  result->frames = done;
  result->stopSignal =
      done < total && written && s.stop ? s.stop->load(std::memory_order_relaxed) : 0;
  if (!written) *error = s.output + ": write error";
  if (!writer.Close(error) || !written || !ended) return false;
  Summarise(s, progress, *result, took);
  return true;
}
