// The dispatcher: every opcode the host sends through AEffect::dispatcher.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "plug/trace.h"
#include "vst2/plug_vst.h"
#include "vst2/vst_text_p.h"

namespace {

const VstInt32 kLastOpcode = effGetSpeakerArrangement;
const VstIntPtr kVendorSpecificAnswer = 0xBEEF;
const VstIntPtr kVendorCanDoAnswer = 0xBEEF0000;
// Block sizes beyond this are refused rather than turned into huge scratch buffers.
const VstIntPtr kMaxBlockSize = 1 << 20;
// Longest text accepted from the host for a parameter value.
const int kHostValueTextSize = 256;

PlugVST* Instance(AEffect* pEffect) { return pEffect ? (PlugVST*)pEffect->object : nullptr; }

bool ParamIdxValid(PlugBase* pPlug, VstIntPtr idx) { return idx >= 0 && idx < pPlug->NParams(); }

int ClampChannels(int n, int nChannels) { return n < 0 ? 0 : n > nChannels ? nChannels : n; }

}  // namespace

VstIntPtr PlugVST::VSTDispatcher(AEffect* pEffect, VstInt32 opCode, VstInt32 idx, VstIntPtr value,
                                 void* ptr, float opt) {
  PlugVST* pPlug = Instance(pEffect);
  if (!pPlug) return 0;
  if (IsEditorOpcode(opCode)) return pPlug->DispatchEditor(opCode, ptr);
  // The window goes before the instance, and without waiting for the lock.
  if (opCode == effClose) pPlug->CloseEditor();
  IMutexLock lock(pPlug);
  if (opCode == effIdle) return 0;
  Trace(__func__, __LINE__, "%d(%s):%d:%d", opCode, VSTOpcodeStr(opCode), idx, (int)value);
  if (opCode == effClose) {
    // The mutex lives inside the instance: release it before the instance goes.
    lock.Destroy();
    delete pPlug;
    return 0;
  }
  if (opCode < 0 || opCode > kLastOpcode) return 0;
  return pPlug->Dispatch(opCode, idx, value, ptr, opt);
}

VstIntPtr PlugVST::Dispatch(VstInt32 opCode, VstInt32 idx, VstIntPtr value, void* ptr, float opt) {
  char* text = (char*)ptr;
  switch (opCode) {
    case effOpen:
      HostSpecificInit();
      OnParamReset();
      return 0;
    case effSetProgram:
      if (!DoesStateChunks()) ModifyCurrentPreset();
      if (value >= 0 && value < NPresets()) RestorePreset((int)value);
      return 0;
    case effGetProgram: return GetCurrentPresetIdx();
    case effSetProgramName:
      if (text) {
        char name[kVstProgNameTextSize];
        CopyToHost(name, text, kVstProgNameTextSize);
        ModifyCurrentPreset(name);
        PresetsChangedByHost();
      }
      return 0;
    case effGetProgramName:
      CopyToHost(text, GetPresetName(GetCurrentPresetIdx()), kVstProgNameTextSize);
      return 0;
    case effGetParamLabel:
      if (ParamIdxValid(this, idx))
        CopyToHost(text, GetParam(idx)->GetLabelForHost(), kVstParamTextSize);
      return 0;
    case effGetParamDisplay:
      if (ParamIdxValid(this, idx) && text) {
        char display[MAX_PARAM_DISPLAY_LEN];
        GetParam(idx)->GetDisplayForHost(display);
        CopyToHost(text, display, kVstParamTextSize);
      }
      return 0;
    case effGetParamName:
      if (ParamIdxValid(this, idx))
        CopyToHost(text, GetParam(idx)->GetNameForHost(), kVstParamTextSize);
      return 0;
    case effSetSampleRate:
      // Hosts have sent 0 before any real rate; a plug-in must never divide by it.
      if (std::isfinite(opt) && opt > 0.0f) SetSampleRate(opt);
      Reset();
      return 0;
    case effSetBlockSize:
      // A size of 0 would leave no scratch room to render pieces in: it is ignored.
      if (value > 0 && value <= kMaxBlockSize) SetBlockSize((int)value);
      Reset();
      return 0;
    case effMainsChanged:
      OnActivate(value != 0);
      if (!value) Reset();
      return 0;
    case effIdentify: return kEffectIdentify;
    case effGetChunk: return GetChunk(idx == 0, ptr);
    case effSetChunk: return SetChunk(idx == 0, value, ptr);
    case effProcessEvents: return ProcessEvents((const VstEvents*)ptr);
    case effCanBeAutomated: return 1;
    case effString2Parameter: return StringToParameter(idx, text);
    case effGetProgramNameIndexed:
      CopyToHost(text, GetPresetName(idx), kVstProgNameTextSize);
      return text && *text ? 1 : 0;
    case effGetInputProperties:
    case effGetOutputProperties:
      return GetPinProperties(opCode == effGetInputProperties, idx, (VstPinProperties*)ptr);
    case effGetPlugCategory: return IsInst() ? kPlugCategSynth : kPlugCategEffect;
    case effSetSpeakerArrangement:
      return SetSpeakerArrangement((const VstSpeakerArrangement*)value,
                                   (const VstSpeakerArrangement*)ptr);
    case effGetEffectName:
      CopyToHost(text, GetEffectName(), kVstEffectNameTextSize);
      return text ? 1 : 0;
    case effGetVendorString:
      CopyToHost(text, GetMfrName(), kVstVendorTextSize);
      return text ? 1 : 0;
    case effGetProductString:
      CopyToHost(text, GetProductName(), kVstVendorTextSize);
      return text ? 1 : 0;
    case effVendorSpecific: return VendorSpecific(idx, value, ptr, opt);
    case effCanDo: return CanDo(text);
    case effGetTailSize: return GetTailSize();
    case effGetVstVersion: return kVstVersion;
    case effGetMidiKeyName: return GetMidiKeyName((MidiKeyName*)ptr);
    case effGetSpeakerArrangement:
      if (value) *(VstSpeakerArrangement**)value = &mInputArrangement;
      if (ptr) *(VstSpeakerArrangement**)ptr = &mOutputArrangement;
      return 1;
    default: return 0;
  }
}

VstIntPtr PlugVST::GetChunk(bool isBank, void* ptr) {
  if (!ptr) return 0;
  ByteChunk* pChunk = isBank ? &mBankChunk : &mStateChunk;
  InitChunkWithPlugVer(pChunk);
  bool savedOK;
  if (isBank) {
    ModifyCurrentPreset();
    savedOK = SerializePresets(pChunk);
  } else {
    savedOK = SerializeState(pChunk);
  }
  if (!savedOK || !pChunk->Size()) return 0;
  *(void**)ptr = pChunk->GetBytes();
  return pChunk->Size();
}

VstIntPtr PlugVST::SetChunk(bool isBank, VstIntPtr size, void* ptr) {
  if (!ptr || size < 0 || size > 0x7FFFFFFF) return 0;
  ByteChunk* pChunk = isBank ? &mBankChunk : &mStateChunk;
  const uint8_t* pSrc = (const uint8_t*)ptr;
  int n = (int)size;
  // A host may hand back the very buffer it got from GetChunk: move the bytes
  // into place before resizing, which may move the buffer.
  uintptr_t start = (uintptr_t)pChunk->GetBytes(), src = (uintptr_t)pSrc;
  if (start && src >= start && src < start + (uintptr_t)pChunk->Size()) {
    if ((uintptr_t)n > start + (uintptr_t)pChunk->Size() - src) return 0;
    memmove(pChunk->GetBytes(), pSrc, n);
    pChunk->Resize(n);
  } else {
    pChunk->Resize(n);
    if (pChunk->Size() != n) return 0;
    if (n) memcpy(pChunk->GetBytes(), pSrc, n);
  }

  int pos = 0;
  int plugVer = GetPlugVerFromChunk(pChunk, &pos);
  if (isBank && plugVer >= 0x10000) {
    pos = UnserializePresets(pChunk, pos);
  } else {
    pos = UnserializeState(pChunk, pos);
    ModifyCurrentPreset();
  }
  if (pos < 0) return 0;
  RedrawParamControls();
  return 1;
}

VstIntPtr PlugVST::ProcessEvents(const VstEvents* pEvents) {
  if (!pEvents) return 0;
  // The list is declared with two slots but allocated as long as the host needs.
  VstEvent* const* list = pEvents->events;
  for (int i = 0; i < pEvents->numEvents; ++i) {
    const VstEvent* pEvent = list[i];
    if (!pEvent) continue;
    if (pEvent->type == kVstMidiType) {
      const VstMidiEvent* pMidi = (const VstMidiEvent*)pEvent;
      IMidiMsg msg(pMidi->deltaFrames, (uint8_t)pMidi->midiData[0], (uint8_t)pMidi->midiData[1],
                   (uint8_t)pMidi->midiData[2]);
      ProcessMidiMsg(&msg);
    } else if (pEvent->type == kVstSysExType) {
      const VstMidiSysexEvent* pSysEx = (const VstMidiSysexEvent*)pEvent;
      // A negative size, or bytes without a dump, describe no message.
      if (pSysEx->dumpBytes < 0 || (pSysEx->dumpBytes > 0 && !pSysEx->sysexDump)) continue;
      ISysEx sysEx(pSysEx->deltaFrames, (const uint8_t*)pSysEx->sysexDump, pSysEx->dumpBytes);
      ProcessSysEx(&sysEx);
    }
  }
  return 1;
}

VstIntPtr PlugVST::StringToParameter(int idx, const char* text) {
  if (!ParamIdxValid(this, idx)) return 0;
  if (!text) return 1;
  char valueText[kHostValueTextSize];
  CopyToHost(valueText, text, kHostValueTextSize);
  IParam* pParam = GetParam(idx);
  double v;
  if (pParam->GetNDisplayTexts()) {
    if (!pParam->MapDisplayText(valueText, &v)) return 0;
  } else {
    v = atof(valueText);
    if (pParam->DisplayIsNegated()) v = -v;
  }
  if (mEditor) mEditor->SetParameterFromPlug(idx, v, false);
  pParam->Set(v);
  OnParamChange(idx);
  return 1;
}

VstIntPtr PlugVST::GetPinProperties(bool input, int idx, VstPinProperties* pPin) {
  int nChannels = input ? NInChannels() : NOutChannels();
  if (!pPin || idx < 0 || idx >= nChannels) return 0;
  pPin->flags = kVstPinIsActive;
  if (idx % 2 == 0 && idx < nChannels - 1) pPin->flags |= kVstPinIsStereo;
  const char* label = input ? GetInputLabel(idx) : GetOutputLabel(idx);
  if (*label) snprintf(pPin->label, kVstPinLabelTextSize, "%s", label);
  else snprintf(pPin->label, kVstPinLabelTextSize, "%s %d", input ? "Input" : "Output", idx + 1);
  return 1;
}

VstIntPtr PlugVST::SetSpeakerArrangement(const VstSpeakerArrangement* pIn,
                                         const VstSpeakerArrangement* pOut) {
  if (pIn) {
    int n = ClampChannels(pIn->numChannels, NInChannels());
    SetInputChannelConnections(0, n, true);
    SetInputChannelConnections(n, NInChannels() - n, false);
  }
  if (pOut) {
    int n = ClampChannels(pOut->numChannels, NOutChannels());
    SetOutputChannelConnections(0, n, true);
    SetOutputChannelConnections(n, NOutChannels() - n, false);
  }
  return 1;
}

VstIntPtr PlugVST::VendorSpecific(int idx, VstIntPtr value, void* ptr, float opt) {
  const VstIntPtr editorAnswer = EditorVendorRequest(idx, value, ptr, opt);
  if (editorAnswer >= 0) return editorAnswer;
  if (idx == 7 && ptr) {
    if (ParamIdxValid(this, value)) {
      char display[MAX_PARAM_DISPLAY_LEN];
      GetParam((int)value)->GetDisplayForHost(opt, true, display, true);
      CopyToHost((char*)ptr, display, kVstParamTextSize);
    }
    return kVendorSpecificAnswer;
  }
  if (idx == 8) {
    bool stepped =
        ParamIdxValid(this, value) && GetParam((int)value)->Type() != IParam::kTypeDouble;
    return stepped ? kVendorSpecificAnswer : 0;
  }
  return 0;
}

VstIntPtr PlugVST::CanDo(const char* text) {
  if (!text) return 0;
  Trace(__func__, __LINE__, "VSTCanDo(%.64s)", text);
  if (!strcmp(text, "receiveVstTimeInfo")) return 1;
  if (DoesMIDI()) {
    if (!strcmp(text, "sendVstEvents") || !strcmp(text, "sendVstMidiEvent") ||
        !strcmp(text, "receiveVstEvents") || !strcmp(text, "receiveVstMidiEvent"))
      return 1;
  }
  if (!strcmp(text, "hasVendorExtensions")) {
    mHostExtensions |= kHostExtVendor;
    return kVendorCanDoAnswer;
  }
  if (!strcmp(text, "hasVendorViewAsConfig")) {
    mHostExtensions |= kHostExtVendorView;
    return kVendorCanDoAnswer;
  }
  return 0;
}

VstIntPtr PlugVST::GetMidiKeyName(MidiKeyName* pKey) {
  if (!pKey) return 0;
  // The plug-in writes into a roomy buffer; the host's field gets a bounded copy.
  char name[256];
  memset(name, 0, sizeof(name));
  pKey->keyName[0] = 0;
  bool named = MidiNoteName(pKey->thisKeyNumber, name);
  name[sizeof(name) - 1] = 0;
  CopyToHost(pKey->keyName, name, kVstPinLabelTextSize);
  return named ? 1 : 0;
}
