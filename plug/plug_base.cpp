#include "plug/plug_base.h"

#include <cassert>
#include <cstdio>
#include <cstring>

#include "plug/text_util_p.h"
#include "plug/trace.h"

PlugBase::PlugBase(int nParams, const char* channelIOStr, int nPresets, const char* effectName,
                   const char* productName, const char* mfrName, int vendorVersion, int uniqueID,
                   int mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst,
                   EAPI plugAPI)
    : mChannelIO(4096),
      mUniqueID(uniqueID),
      mMfrID(mfrID),
      mVersion(vendorVersion),
      mAPI(plugAPI),
      mHost(kHostUninit),
      mHostVersion(0),
      mStateChunks(plugDoesChunks),
      mIsInst(plugIsInst),
      mDoesMIDI(plugDoesMidi),
      mCurrentPresetIdx(0),
      mSampleRate(44100.0),
      mBlockSize(0),
      mLatency(latency),
      mTailSize(0),
      mDelay(nullptr),
      mEditor(nullptr),
      mGUI(nullptr),
      mParams(4096),
      mPresets(4096),
      mInData(4096),
      mOutData(4096),
      mInChannels(4096),
      mOutChannels(4096) {
  Trace(__func__, __LINE__, "%s:%s", CurrentTime(), effectName ? effectName : "");
  CopyText(mEffectName, effectName, MAX_EFFECT_NAME_LEN);
  CopyText(mProductName, productName, MAX_EFFECT_NAME_LEN);
  CopyText(mMfrName, mfrName, MAX_EFFECT_NAME_LEN);

  for (int i = 0; i < nParams; ++i) mParams.Add(new IParam);
  for (int i = 0; i < nPresets; ++i) mPresets.Add(new IPreset);

  int maxIn = 0, maxOut = 0;
  ParseChannelIO(channelIOStr, &maxIn, &maxOut);
  mInData.Resize(maxIn);
  mOutData.Resize(maxOut);
  for (int i = 0; i < maxIn; ++i) {
    InChannel* pChannel = mInChannels.Add(new InChannel);
    pChannel->mSrc = mInData.Get() + i;
    *pChannel->mSrc = nullptr;
  }
  for (int i = 0; i < maxOut; ++i) {
    OutChannel* pChannel = mOutChannels.Add(new OutChannel);
    pChannel->mDest = mOutData.Get() + i;
    *pChannel->mDest = nullptr;
  }
}

PlugBase::~PlugBase() {
  delete mEditor;
  mParams.Empty(true);
  mPresets.Empty(true);
  mInChannels.Empty(true);
  mOutChannels.Empty(true);
  mChannelIO.Empty(true);
  delete mDelay;
}

void PlugBase::ParseChannelIO(const char* channelIOStr, int* pMaxIn, int* pMaxOut) {
  bool channelIOStrValid = channelIOStr != nullptr;
  assert(channelIOStrValid);
  for (const char* p = channelIOStr; p;) {
    int nIn = -1, nOut = -1;
    channelIOStrValid = sscanf(p, "%d-%d", &nIn, &nOut) == 2 && nIn >= 0 && nOut >= 0;
    assert(channelIOStrValid);
    ChannelIO* pIO = new ChannelIO;
    pIO->mIn = nIn;
    pIO->mOut = nOut;
    mChannelIO.Add(pIO);
    if (nIn > *pMaxIn) *pMaxIn = nIn;
    if (nOut > *pMaxOut) *pMaxOut = nOut;
    p = strchr(p, ' ');
    if (p) ++p;
  }
}

void PlugBase::Reset() { IMutexLock lock(this); }

void PlugBase::OnParamChange(int) { IMutexLock lock(this); }

void PlugBase::OnActivate(bool) { IMutexLock lock(this); }

void PlugBase::ProcessMidiMsg(IMidiMsg* pMsg) { SendMidiMsg(pMsg); }

bool PlugBase::MidiNoteName(int, char* rName) {
  if (rName) *rName = 0;
  return false;
}

void PlugBase::SetParameterFromGUI(int paramIdx, double normalizedValue) {
  Trace(__func__, __LINE__, "%d:%f", paramIdx, normalizedValue);
  IMutexLock lock(this);
  IParam* pParam = GetParam(paramIdx);
  if (!pParam) return;
  pParam->SetNormalized(normalizedValue);
  InformHostOfParamChange(paramIdx, normalizedValue);
  OnParamChange(paramIdx);
}

void PlugBase::SetLatency(int samples) {
  mLatency = samples;
  if (mDelay) mDelay->SetDelayTime(samples);
}

void PlugBase::CreateDelayLine() {
  delete mDelay;
  mDelay = new NChanDelayLine(NInChannels(), NOutChannels());
  mDelay->SetDelayTime(mLatency);
}

int PlugBase::GetEffectVersion(bool decimal) const {
  return decimal ? GetDecimalVersion(mVersion) : mVersion;
}

void PlugBase::GetEffectVersionStr(char* rStr) const {
  GetVersionStr(mVersion, rStr);
  size_t len = strlen(rStr);
  if (len + 1 < MAX_VERSION_STR_LEN) strcpy(rStr + len, "D");
}

int PlugBase::GetHostVersion(bool decimal) {
  GetHost();
  return decimal ? GetDecimalVersion(mHostVersion) : mHostVersion;
}

void PlugBase::GetHostVersionStr(char* rStr) {
  GetHost();
  GetVersionStr(mHostVersion, rStr);
}

void PlugBase::SetHost(const char* host, int version) {
  mHost = LookUpHost(host);
  mHostVersion = version;
  char versionStr[MAX_VERSION_STR_LEN];
  GetVersionStr(version, versionStr);
  Trace(__func__, __LINE__, "host_%sknown:%s:%s", mHost == kHostUnknown ? "un" : "",
        host ? host : "", versionStr);
}

const char* PlugBase::GetAPIString() {
  switch (GetAPI()) {
    case kAPIVST2: return "VST2";
    case kAPIVST3: return "VST3";
    case kAPIAU: return "AU";
    case kAPIRTAS: return "RTAS";
    case kAPIAAX: return "AAX";
    case kAPISA: return "Standalone";
  }
  return "";
}

double PlugBase::GetSamplesPerBeat() {
  double tempo = GetTempo();
  return tempo > 0.0 ? mSampleRate * 60.0 / tempo : 0.0;
}

void PlugBase::OnParamReset() {
  for (int i = 0; i < NParams(); ++i) OnParamChange(i);
}

void PlugBase::DirtyParameters() {
  IMutexLock lock(this);
  for (int i = 0; i < NParams(); ++i) InformHostOfParamChange(i, GetParam(i)->GetNormalized());
}

bool PlugBase::SendMidiMsgs(SkyTypedBuf<IMidiMsg>* pMsgs) {
  bool ok = true;
  for (int i = 0, n = pMsgs->GetSize(); i < n; ++i) ok &= SendMidiMsg(pMsgs->Get() + i);
  return ok;
}
