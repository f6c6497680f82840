// PlugLV2 construction, the host's features, the port table and the base's
// requests to the host.

#include "lv2/plug_lv2.h"

#include <cctype>
#include <cmath>
#include <cstring>

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/options/options.h>

#include "lv2/lv2_uris.h"

namespace {

// Announced block lengths beyond this are not turned into scratch buffers:
// longer blocks are rendered in pieces.
constexpr int kMaxScratchFrames = 16384;

const void* FeatureData(const LV2_Feature* const* features, const char* uri) {
  for (int i = 0; features && features[i]; ++i) {
    if (!strcmp(features[i]->URI, uri)) return features[i]->data;
  }
  return nullptr;
}

// The host's announced maximum block length, or 0.
int MaxBlockLength(const LV2_Options_Option* options, LV2_URID_Map* map) {
  if (!options || !map) return 0;
  const LV2_URID maxKey = map->map(map->handle, LV2_BUF_SIZE__maxBlockLength);
  const LV2_URID intType = map->map(map->handle, LV2_ATOM__Int);
  for (; options->key; ++options) {
    if (options->key == maxKey && options->type == intType && options->size == sizeof(int32_t) &&
        options->value)
      return *(const int32_t*)options->value;
  }
  return 0;
}

std::string SymbolOf(const char* name) {
  std::string symbol;
  for (const char* p = name; *p; ++p) {
    const unsigned char c = (unsigned char)*p;
    symbol += isalnum(c) ? (char)tolower(c) : '_';
  }
  if (symbol.empty() || isdigit((unsigned char)symbol[0])) symbol.insert(0, "p");
  return symbol;
}

}  // namespace

PlugLV2::PlugLV2(PlugInstanceInfo instanceInfo, int nParams, const char* channelIOStr, int nPresets,
                 const char* effectName, const char* productName, const char* mfrName,
                 int vendorVersion, int uniqueID, int mfrID, int latency, bool plugDoesMidi,
                 bool plugDoesChunks, bool plugIsInst, int)
    : PlugBase(nParams, channelIOStr, nPresets, effectName, productName, mfrName, vendorVersion,
               uniqueID, mfrID, latency, plugDoesMidi, plugDoesChunks, plugIsInst, kAPISA),
      mAudioIn(NInChannels(), nullptr),
      mAudioOut(NOutChannels(), nullptr),
      mInPiece(NInChannels(), nullptr),
      mOutPiece(NOutChannels(), nullptr) {
  if (instanceInfo.mSampleRate > 0.0 && std::isfinite(instanceInfo.mSampleRate))
    SetSampleRate(instanceInfo.mSampleRate);
  SetInputChannelConnections(0, NInChannels(), true);
  SetOutputChannelConnections(0, NOutChannels(), true);
  ReadHostFeatures(instanceInfo.mFeatures);
  mEvents.reserve(64);
}

PlugLV2::~PlugLV2() = default;

void PlugLV2::ReadHostFeatures(const LV2_Feature* const* features) {
  mMap = (LV2_URID_Map*)FeatureData(features, LV2_URID__map);
  mSchedule = (LV2_Worker_Schedule*)FeatureData(features, LV2_WORKER__schedule);
  int blockSize = DEFAULT_BLOCK_SIZE;
  if (mMap) {
    mStateKey = mMap->map(mMap->handle, SKY_LV2_STATE_KEY_URI);
    mChunkType = mMap->map(mMap->handle, LV2_ATOM__Chunk);
    const int announced = MaxBlockLength(
        (const LV2_Options_Option*)FeatureData(features, LV2_OPTIONS__options), mMap);
    if (announced > blockSize)
      blockSize = announced < kMaxScratchFrames ? announced : kMaxScratchFrames;
  }
  SetBlockSize(blockSize);
}

void PlugLV2::ListControlPorts() {
  // The plug-in's own threads may already set parameters.
  IMutexLock lock(this);
  if (mControls) return;
  for (int i = 0; i < NParams(); ++i) {
    IParam* pParam = GetParam(i);
    if (pParam->Type() == IParam::kTypeNone || !*pParam->GetNameForHost()) continue;
    mControlParams.push_back(i);
    mSymbols.push_back(SymbolOf(pParam->GetNameForHost()));
    mNames.push_back(pParam->GetNameForHost());
  }
  mControls.reset(new Control[mControlParams.size()]);
  for (size_t k = 0; k < mControlParams.size(); ++k) {
    mControls[k].mLastSeen = (float)GetParam(mControlParams[k])->Value();
  }
}

void PlugLV2::Activate() {
  OnActivate(true);
  Reset();
}

int PlugLV2::ControlPortOfParam(int paramIdx) const {
  for (size_t k = 0; k < mControlParams.size(); ++k) {
    if (mControlParams[k] == paramIdx) return NAudioPorts() + (int)k;
  }
  return -1;
}

bool PlugLV2::DescribePort(uint32_t index, SkyPortInfo* pInfo) {
  static const char* const kSides[2][2] = {{"in_left", "in_right"}, {"out_left", "out_right"}};
  static const char* const kSideNames[2][2] = {{"In Left", "In Right"}, {"Out Left", "Out Right"}};
  memset(pInfo, 0, sizeof(*pInfo));
  if (index < (uint32_t)NAudioPorts()) {
    const bool input = index < (uint32_t)NInChannels();
    const int ch = input ? (int)index : (int)index - NInChannels();
    const int n = input ? NInChannels() : NOutChannels();
    pInfo->kind = input ? kSkyAudioInput : kSkyAudioOutput;
    if (n != 2) return false;  // the table names stereo pairs only
    pInfo->symbol = kSides[input ? 0 : 1][ch];
    pInfo->name = kSideNames[input ? 0 : 1][ch];
    return true;
  }
  const uint32_t k = index - NAudioPorts();
  if (k >= mControlParams.size()) return false;
  IMutexLock lock(this);
  IParam* pParam = GetParam(mControlParams[k]);
  double lo = 0.0, hi = 1.0;
  pParam->GetBounds(&lo, &hi);
  pInfo->kind = kSkyControlInput;
  pInfo->symbol = mSymbols[k].c_str();
  pInfo->name = mNames[k].c_str();
  pInfo->minimum = (float)lo;
  pInfo->maximum = (float)hi;
  pInfo->deflt = (float)pParam->Value();
  pInfo->toggled = pParam->Type() == IParam::kTypeBool;
  pInfo->integer = pParam->Type() != IParam::kTypeDouble;
  pInfo->enumeration = !pInfo->toggled && pInfo->integer;
  for (int v = (int)lo; pInfo->enumeration && v <= (int)hi; ++v) {
    if (!GetParamValueName(mControlParams[k], v)) pInfo->enumeration = false;
  }
  return true;
}

const char* PlugLV2::PortValueName(uint32_t index, int value) {
  const uint32_t k = index - NAudioPorts();
  if (index < (uint32_t)NAudioPorts() || k >= mControlParams.size()) return nullptr;
  return GetParamValueName(mControlParams[k], value);
}

void PlugLV2::QueueHostEvent(HostEvent::Kind kind, int paramIdx) {
  const int port = ControlPortOfParam(paramIdx);
  if (port < 0) return;
  std::lock_guard<std::mutex> lock(mEventMutex);
  if (!mEditorOpen) return;
  mEvents.push_back({kind, (uint32_t)port, (float)GetParam(paramIdx)->Value()});
}

void PlugLV2::BeginInformHostOfParamChange(int paramIdx) {
  QueueHostEvent(HostEvent::kGrab, paramIdx);
}

void PlugLV2::InformHostOfParamChange(int paramIdx, double) {
  QueueHostEvent(HostEvent::kValue, paramIdx);
}

void PlugLV2::EndInformHostOfParamChange(int paramIdx) {
  QueueHostEvent(HostEvent::kRelease, paramIdx);
}

void PlugLV2::TakeHostEvents(std::vector<HostEvent>* pEvents) {
  pEvents->clear();
  std::lock_guard<std::mutex> lock(mEventMutex);
  pEvents->swap(mEvents);
}
