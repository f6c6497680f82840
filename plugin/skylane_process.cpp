// The audio callback: keeps the rate current, counts the call, sends the input
// to the relay when the effects loop is on and plays the FIFO. Blocks of any
// length are sent and rendered in pieces. It never allocates and never blocks.

#include "plugin/sample_rate.h"
#include "plugin/skylane.h"

void Skylane::UpdateRatios(float rate) {
  if (!(rate > 0.0f)) return;
  sampleRate.store(rate, std::memory_order_relaxed);
  mSendResampler.ratio.store(static_cast<float>(rate / 44100.0), std::memory_order_relaxed);
  mReceiveResampler.ratio.store(static_cast<float>(44100.0 / rate), std::memory_order_relaxed);
}

void Skylane::RenderFifo(double** outputs, int nFrames) {
  double* left = outputs[0];
  double* right = outputs[1];
  for (int remaining = nFrames; remaining > 0;) {
    const int k = remaining < kMaxPacketFrames ? remaining : kMaxPacketFrames;
    mQueue.Extract(mExtraction, 2 * k);
    for (int i = 0; i < k; ++i) {
      left[i] = mExtraction[2 * i];
      right[i] = mExtraction[2 * i + 1];
    }
    left += k;
    right += k;
    remaining -= k;
  }
}

void Skylane::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) {
  UpdateRatios(static_cast<float>(GetSampleRate()));
  mProcessCalls.fetch_add(1, std::memory_order_relaxed);
  if (nFrames < 1) return;
  if (mEffectsLoop.load(std::memory_order_relaxed) && mSocket.IsOpen())
    mEffectsSender.Send(mSocket, mSendResampler, inputs[0], inputs[1], nFrames);
  else mEffectsSender.Forget();
  RenderFifo(outputs, nFrames);
}
