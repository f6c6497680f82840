// Channel configurations, channel records and the buffers of the process path.

#include <cstring>

#include "plug/plug_base.h"
#include "plug/sample_convert_p.h"
#include "plug/trace.h"

namespace {

// One past the last channel of the range idx ... idx + n - 1 within count channels.
int RangeEnd(int idx, int n, int count) {
  if (n <= 0 || idx >= count) return idx;
  return n > count - idx ? count : idx + n;
}

void ZeroDoubles(SkyTypedBuf<double>* pBuf, int n) {
  if (n > pBuf->GetSize()) n = pBuf->GetSize();
  if (n > 0) memset(pBuf->Get(), 0, n * sizeof(double));
}

// Resizes a scratch buffer to blockSize zeroed samples; returns the smaller of
// reached and the samples it now holds.
int ResizeScratch(SkyTypedBuf<double>* pBuf, int blockSize, int reached) {
  pBuf->Resize(blockSize, true);
  ZeroDoubles(pBuf, blockSize);
  return pBuf->GetSize() < reached ? pBuf->GetSize() : reached;
}

}  // namespace

bool PlugBase::LegalIO(int nIn, int nOut) {
  bool legal = false;
  for (int i = 0; i < mChannelIO.GetSize() && !legal; ++i) {
    ChannelIO* pIO = mChannelIO.Get(i);
    legal = (nIn < 0 || nIn == pIO->mIn) && (nOut < 0 || nOut == pIO->mOut);
  }
  Trace(__func__, __LINE__, "%d:%d:%s", nIn, nOut, legal ? "legal" : "illegal");
  return legal;
}

void PlugBase::LimitToStereoIO() {
  int nIn = NInChannels(), nOut = NOutChannels();
  if (nIn > 2) SetInputChannelConnections(2, nIn - 2, false);
  if (nOut > 2) SetOutputChannelConnections(2, nOut - 2, true);
}

void PlugBase::ConnectChannel(bool input, int chIdx, bool connected) {
  // A disconnected channel reads and writes its own zeroed scratch buffer.
  if (input) {
    InChannel* pChannel = mInChannels.Get(chIdx);
    pChannel->mConnected = connected;
    if (connected) return;
    ZeroDoubles(&pChannel->mScratchBuf, pChannel->mScratchBuf.GetSize());
    *pChannel->mSrc = pChannel->mScratchBuf.Get();
  } else {
    OutChannel* pChannel = mOutChannels.Get(chIdx);
    pChannel->mConnected = connected;
    if (connected) return;
    ZeroDoubles(&pChannel->mScratchBuf, pChannel->mScratchBuf.GetSize());
    *pChannel->mDest = pChannel->mScratchBuf.Get();
  }
}

void PlugBase::SetInputChannelConnections(int idx, int n, bool connected) {
  if (idx < 0) return;
  for (int i = idx, end = RangeEnd(idx, n, NInChannels()); i < end; ++i)
    ConnectChannel(true, i, connected);
}

void PlugBase::SetOutputChannelConnections(int idx, int n, bool connected) {
  if (idx < 0) return;
  for (int i = idx, end = RangeEnd(idx, n, NOutChannels()); i < end; ++i)
    ConnectChannel(false, i, connected);
}

bool PlugBase::IsInChannelConnected(int chIdx) const {
  InChannel* pChannel = mInChannels.Get(chIdx);
  return pChannel && pChannel->mConnected;
}

bool PlugBase::IsOutChannelConnected(int chIdx) const {
  OutChannel* pChannel = mOutChannels.Get(chIdx);
  return pChannel && pChannel->mConnected;
}

void PlugBase::SetInputLabel(int chIdx, const char* label) {
  if (InChannel* pChannel = mInChannels.Get(chIdx)) pChannel->mLabel.Set(label);
}

void PlugBase::SetOutputLabel(int chIdx, const char* label) {
  if (OutChannel* pChannel = mOutChannels.Get(chIdx)) pChannel->mLabel.Set(label);
}

const char* PlugBase::GetInputLabel(int chIdx) const {
  InChannel* pChannel = mInChannels.Get(chIdx);
  return pChannel ? static_cast<const SkyString&>(pChannel->mLabel).Get() : "";
}

const char* PlugBase::GetOutputLabel(int chIdx) const {
  OutChannel* pChannel = mOutChannels.Get(chIdx);
  return pChannel ? static_cast<const SkyString&>(pChannel->mLabel).Get() : "";
}

void PlugBase::SetBlockSize(int blockSize) {
  if (blockSize < 0) blockSize = 0;
  if (blockSize == mBlockSize) return;
  // Entries that designate a scratch buffer follow it to its new storage. The
  // stored size is what every buffer holds, so a failed growth is never overrun.
  int reached = blockSize;
  for (int i = 0; i < NInChannels(); ++i) {
    InChannel* pChannel = mInChannels.Get(i);
    bool onScratch = !pChannel->mConnected || *pChannel->mSrc == pChannel->mScratchBuf.Get();
    reached = ResizeScratch(&pChannel->mScratchBuf, blockSize, reached);
    if (onScratch) *pChannel->mSrc = pChannel->mScratchBuf.Get();
  }
  for (int i = 0; i < NOutChannels(); ++i) {
    OutChannel* pChannel = mOutChannels.Get(i);
    bool onScratch = !pChannel->mConnected || *pChannel->mDest == pChannel->mScratchBuf.Get();
    reached = ResizeScratch(&pChannel->mScratchBuf, blockSize, reached);
    if (onScratch) *pChannel->mDest = pChannel->mScratchBuf.Get();
  }
  mBlockSize = reached;
}

void PlugBase::ZeroScratchBuffers() {
  for (int i = 0; i < NInChannels(); ++i) ZeroDoubles(&mInChannels.Get(i)->mScratchBuf, mBlockSize);
  for (int i = 0; i < NOutChannels(); ++i)
    ZeroDoubles(&mOutChannels.Get(i)->mScratchBuf, mBlockSize);
}

void PlugBase::AttachInputBuffers(int idx, int n, double** ppData, int nFrames) {
  if (idx < 0) return;
  for (int i = idx, j = 0, end = RangeEnd(idx, n, NInChannels()); i < end; ++i) {
    InChannel* pChannel = mInChannels.Get(i);
    if (!pChannel->mConnected) continue;
    double* pHost = ppData ? ppData[j++] : nullptr;
    if (!pHost) {
      ZeroDoubles(&pChannel->mScratchBuf, nFrames);
      pHost = pChannel->mScratchBuf.Get();
    }
    *pChannel->mSrc = pHost;
  }
}

void PlugBase::AttachInputBuffers(int idx, int n, float** ppData, int nFrames) {
  if (idx < 0) return;
  for (int i = idx, j = 0, end = RangeEnd(idx, n, NInChannels()); i < end; ++i) {
    InChannel* pChannel = mInChannels.Get(i);
    if (!pChannel->mConnected) continue;
    const float* pHost = ppData ? ppData[j++] : nullptr;
    double* pScratch = pChannel->mScratchBuf.Get();
    int count =
        nFrames < pChannel->mScratchBuf.GetSize() ? nFrames : pChannel->mScratchBuf.GetSize();
    if (pHost) sample_convert::FloatsToDoubles(pScratch, pHost, count);
    else ZeroDoubles(&pChannel->mScratchBuf, count);
    *pChannel->mSrc = pScratch;
  }
}

void PlugBase::AttachOutputBuffers(int idx, int n, double** ppData) {
  if (idx < 0) return;
  for (int i = idx, j = 0, end = RangeEnd(idx, n, NOutChannels()); i < end; ++i) {
    OutChannel* pChannel = mOutChannels.Get(i);
    if (!pChannel->mConnected) continue;
    double* pHost = ppData ? ppData[j++] : nullptr;
    *pChannel->mDest = pHost ? pHost : pChannel->mScratchBuf.Get();
    pChannel->mFDest = nullptr;
  }
}

void PlugBase::AttachOutputBuffers(int idx, int n, float** ppData) {
  if (idx < 0) return;
  for (int i = idx, j = 0, end = RangeEnd(idx, n, NOutChannels()); i < end; ++i) {
    OutChannel* pChannel = mOutChannels.Get(i);
    if (!pChannel->mConnected) continue;
    *pChannel->mDest = pChannel->mScratchBuf.Get();
    pChannel->mFDest = ppData ? ppData[j++] : nullptr;
  }
}
