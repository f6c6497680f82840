// PlugVST construction and the base's requests to the host.

#include "vst2/plug_vst.h"

#include <cstring>

#include "plug/trace.h"

namespace {

const int kHostProductTextSize = 256;
const VstInt32 kTimeInfoAllValid =
    kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstCyclePosValid | kVstTimeSigValid;

VstInt32 VSTSpkrArrType(int nChannels) {
  if (nChannels == 0) return kSpeakerArrEmpty;
  if (nChannels == 1) return kSpeakerArrMono;
  if (nChannels == 2) return kSpeakerArrStereo;
  return kSpeakerArrUserDefined;
}

void SetArrangement(VstSpeakerArrangement* pArr, int nChannels) {
  pArr->numChannels = nChannels;
  pArr->type = VSTSpkrArrType(nChannels);
}

// The framework's version word from a decimal major * 10000 + minor * 100 + revision.
int VersionFromDecimal(VstIntPtr decimal) {
  if (decimal < 0 || decimal > 0x7FFFFFFF) return 0;
  int d = (int)decimal;
  return (d / 10000) * 0x10000 + ((d % 10000) / 100) * 0x100 + d % 100;
}

}  // namespace

PlugVST::PlugVST(PlugInstanceInfo instanceInfo, int nParams, const char* channelIOStr, int nPresets,
                 const char* effectName, const char* productName, const char* mfrName,
                 int vendorVersion, int uniqueID, int mfrID, int latency, bool plugDoesMidi,
                 bool plugDoesChunks, bool plugIsInst, int)
    : PlugBase(nParams, channelIOStr, nPresets, effectName, productName, mfrName, vendorVersion,
               uniqueID, mfrID, latency, plugDoesMidi, plugDoesChunks, plugIsInst, kAPIVST2),
      mEditorRect(),
      mHostCallbackFn(instanceInfo.mVSTHostCallback),
      mHostInitDone(false),
      mHostExtensions(0) {
  Trace(__func__, __LINE__, "%s", effectName ? effectName : "");

  memset(&mEffect, 0, sizeof(mEffect));
  mEffect.magic = kEffectMagic;
  mEffect.dispatcher = VSTDispatcher;
  mEffect.process = VSTProcess;
  mEffect.setParameter = VSTSetParameter;
  mEffect.getParameter = VSTGetParameter;
  mEffect.numPrograms = nPresets;
  mEffect.numParams = nParams;
  mEffect.numInputs = NInChannels();
  mEffect.numOutputs = NOutChannels();
  mEffect.flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing;
  if (plugDoesChunks) mEffect.flags |= effFlagsProgramChunks;
  if (LegalIO(1, -1)) mEffect.flags |= effFlagsCanMono;
  if (plugIsInst) mEffect.flags |= effFlagsIsSynth;
  mEffect.initialDelay = latency;
  mEffect.ioRatio = 1.0f;
  mEffect.object = this;
  mEffect.uniqueID = uniqueID;
  mEffect.version = GetEffectVersion(true);
  mEffect.processReplacing = VSTProcessReplacing;
  mEffect.processDoubleReplacing = VSTProcessDoubleReplacing;

  memset(&mInputArrangement, 0, sizeof(mInputArrangement));
  memset(&mOutputArrangement, 0, sizeof(mOutputArrangement));
  SetArrangement(&mInputArrangement, NInChannels());
  SetArrangement(&mOutputArrangement, NOutChannels());

  SetInputChannelConnections(0, NInChannels(), true);
  SetOutputChannelConnections(0, NOutChannels(), true);
  SetBlockSize(DEFAULT_BLOCK_SIZE);
  mFloatPiece.Resize(NInChannels() + NOutChannels());
  mDoublePiece.Resize(NInChannels() + NOutChannels());
}

PlugVST::~PlugVST() = default;

VstIntPtr PlugVST::HostCall(VstInt32 opCode, VstInt32 idx, VstIntPtr value, void* ptr, float opt) {
  return mHostCallbackFn ? mHostCallbackFn(&mEffect, opCode, idx, value, ptr, opt) : 0;
}

void PlugVST::BeginInformHostOfParamChange(int paramIdx) {
  HostCall(audioMasterBeginEdit, paramIdx);
}

void PlugVST::InformHostOfParamChange(int paramIdx, double normalizedValue) {
  HostCall(audioMasterAutomate, paramIdx, 0, nullptr, (float)normalizedValue);
}

void PlugVST::EndInformHostOfParamChange(int paramIdx) { HostCall(audioMasterEndEdit, paramIdx); }

void PlugVST::InformHostOfProgramChange() { HostCall(audioMasterUpdateDisplay); }

bool PlugVST::IsRenderingOffline() {
  return HostCall(audioMasterGetCurrentProcessLevel) == kVstProcessLevelOffline;
}

VstTimeInfo* PlugVST::GetTimeInfo(audioMasterCallback hostCallback, AEffect* pEffect,
                                  VstInt32 filter) {
  if (!hostCallback) return nullptr;
  VstTimeInfo* pTI =
      (VstTimeInfo*)hostCallback(pEffect, audioMasterGetTime, 0, filter, nullptr, 0.0f);
  if (pTI && (!filter || (pTI->flags & filter))) return pTI;
  return nullptr;
}

int PlugVST::GetSamplePos() {
  VstTimeInfo* pTI = GetTimeInfo(mHostCallbackFn, &mEffect, 0);
  if (!pTI || !(pTI->samplePos >= 0.0)) return 0;
  double pos = pTI->samplePos + 0.5;
  return pos < 2147483647.0 ? (int)pos : 2147483647;
}

double PlugVST::GetTempo() {
  if (!mHostCallbackFn) return 0.0;
  VstTimeInfo* pTI = GetTimeInfo(mHostCallbackFn, &mEffect, kVstTempoValid);
  return pTI && pTI->tempo >= 0.0 ? pTI->tempo : 0.0;
}

void PlugVST::GetTimeSig(int* pNum, int* pDenom) {
  *pNum = *pDenom = 0;
  VstTimeInfo* pTI = GetTimeInfo(mHostCallbackFn, &mEffect, kVstTimeSigValid);
  if (pTI && pTI->timeSigNumerator >= 0 && pTI->timeSigDenominator >= 0) {
    *pNum = pTI->timeSigNumerator;
    *pDenom = pTI->timeSigDenominator;
  }
}

void PlugVST::GetTime(ITimeInfo* pTimeInfo) {
  VstTimeInfo* pTI = GetTimeInfo(mHostCallbackFn, &mEffect, kTimeInfoAllValid);
  if (!pTI) return;
  int flags = pTI->flags;
  pTimeInfo->mSamplePos = pTI->samplePos;
  if ((flags & kVstPpqPosValid) && pTI->ppqPos >= 0.0) pTimeInfo->mPPQPos = pTI->ppqPos;
  if ((flags & kVstTempoValid) && pTI->tempo > 0.0) pTimeInfo->mTempo = pTI->tempo;
  if ((flags & kVstBarsValid) && pTI->barStartPos >= 0.0) pTimeInfo->mLastBar = pTI->barStartPos;
  if ((flags & kVstCyclePosValid) && pTI->cycleStartPos >= 0.0 && pTI->cycleEndPos >= 0.0) {
    pTimeInfo->mCycleStart = pTI->cycleStartPos;
    pTimeInfo->mCycleEnd = pTI->cycleEndPos;
  }
  if ((flags & kVstTimeSigValid) && pTI->timeSigNumerator > 0 && pTI->timeSigDenominator > 0) {
    pTimeInfo->mNumerator = pTI->timeSigNumerator;
    pTimeInfo->mDenominator = pTI->timeSigDenominator;
  }
  pTimeInfo->mTransportIsRunning = (flags & kVstTransportPlaying) != 0;
  pTimeInfo->mTransportLoopEnabled = (flags & kVstTransportCycleActive) != 0;
}

EHost PlugVST::GetHost() {
  EHost host = PlugBase::GetHost();
  if (host != kHostUninit) return host;
  char productStr[kHostProductTextSize];
  memset(productStr, 0, sizeof(productStr));
  HostCall(audioMasterGetProductString, 0, 0, productStr);
  // A host that fills the whole buffer gets its text cut, never overread.
  productStr[kHostProductTextSize - 1] = 0;
  if (!productStr[0]) return host;
  SetHost(productStr, VersionFromDecimal(HostCall(audioMasterGetVendorVersion)));
  return PlugBase::GetHost();
}

void PlugVST::HostSpecificInit() {
  if (mHostInitDone) return;
  mHostInitDone = true;
  EHost host = GetHost();
  if (host == kHostForte || host == kHostAudition || host == kHostOrion || host == kHostSAWStudio)
    LimitToStereoIO();
  PublishChannelCounts();
  OnHostIdentified();
}

void PlugVST::PublishChannelCounts() {
  SetArrangement(&mInputArrangement, NInChannels());
  SetArrangement(&mOutputArrangement, NOutChannels());
  mEffect.numInputs = NInChannels();
  mEffect.numOutputs = NOutChannels();
}

void PlugVST::SetLatency(int samples) {
  mEffect.initialDelay = samples;
  PlugBase::SetLatency(samples);
}

bool PlugVST::SendVSTEvent(VstEvent* pEvent) {
  VstEvents events;
  memset(&events, 0, sizeof(events));
  events.numEvents = 1;
  events.events[0] = pEvent;
  return HostCall(audioMasterProcessEvents, 0, 0, &events) == 1;
}

bool PlugVST::SendMidiMsg(IMidiMsg* pMsg) {
  VstMidiEvent midiEvent;
  memset(&midiEvent, 0, sizeof(midiEvent));
  midiEvent.type = kVstMidiType;
  midiEvent.byteSize = sizeof(VstMidiEvent);
  midiEvent.deltaFrames = pMsg->mOffset;
  midiEvent.midiData[0] = (char)pMsg->mStatus;
  midiEvent.midiData[1] = (char)pMsg->mData1;
  midiEvent.midiData[2] = (char)pMsg->mData2;
  return SendVSTEvent((VstEvent*)&midiEvent);
}

bool PlugVST::SendSysEx(ISysEx* pSysEx) {
  VstMidiSysexEvent sysexEvent;
  memset(&sysexEvent, 0, sizeof(sysexEvent));
  sysexEvent.type = kVstSysExType;
  sysexEvent.byteSize = sizeof(VstMidiSysexEvent);
  sysexEvent.deltaFrames = pSysEx->mOffset;
  sysexEvent.dumpBytes = pSysEx->mSize;
  sysexEvent.sysexDump = (char*)pSysEx->mData;
  return SendVSTEvent((VstEvent*)&sysexEvent);
}
