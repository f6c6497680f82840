#pragma once
// PlugVST: the VST 2.4 binding of PlugBase. It fills the AEffect record the
// host sees, turns the host's dispatcher, process and parameter calls into calls
// on the base, and answers the base's requests through the host callback.
//
// Text copied into host buffers is always terminated and bounded (terminator
// not counted): parameter names, labels and displays 31 characters, the effect
// name 31, vendor and product strings 63, program names 23, pin labels and MIDI
// key names 63. Program names taken from the host are read up to 23 characters.
// A null host callback is tolerated: every host call then answers 0.

#include "plug/plug_base.h"
#include "vst2/aeffectx.h"

struct SkyEditorPicture;

// What the entry point hands to a plug-in's constructor.
struct PlugInstanceInfo {
  audioMasterCallback mVSTHostCallback;
};

class PlugVST : public PlugBase {
 public:
  // sideChainChannels is accepted for source compatibility and ignored.
  PlugVST(PlugInstanceInfo instanceInfo, int nParams, const char* channelIOStr, int nPresets,
          const char* effectName, const char* productName, const char* mfrName, int vendorVersion,
          int uniqueID, int mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks,
          bool plugIsInst, int sideChainChannels = 0);
  ~PlugVST() override;

  // Host-facing operations of the base.
  void BeginInformHostOfParamChange(int paramIdx) override;
  void InformHostOfParamChange(int paramIdx, double normalizedValue) override;
  void EndInformHostOfParamChange(int paramIdx) override;
  void InformHostOfProgramChange() override;
  bool IsRenderingOffline() override;
  int GetSamplePos() override;
  double GetTempo() override;
  void GetTimeSig(int* pNum, int* pDenom) override;
  void GetTime(ITimeInfo* pTimeInfo) override;
  // Asks the host for its product text and version once, then answers from the base.
  EHost GetHost() override;
  // The editor rectangle follows the GUI's size (not the arguments) times its
  // screen scale; then OnWindowResize.
  void ResizeGraphics(int w, int h) override;
  // Attaches the editor (null is ignored), announces it to the host and sets
  // the editor rectangle.
  void AttachGraphics(IEditorLink* pGraphics) override;
  // Runs once: identifies the host, limits some hosts to stereo, publishes the channel counts.
  void HostSpecificInit() override;
  void SetLatency(int samples) override;
  bool SendMidiMsg(IMidiMsg* pMsg) override;
  bool SendSysEx(ISysEx* pSysEx) override;

  // Sends one event to the host in a one-entry list; true when the host accepts it.
  bool SendVSTEvent(VstEvent* pEvent);
  audioMasterCallback GetHostCallback() const { return mHostCallbackFn; }
  // The record the entry point returns to the host.
  AEffect* GetAEffect() { return &mEffect; }

  // The host's time record if it exists and, for a non-zero filter, shares a
  // flag with it; otherwise null.
  static VstTimeInfo* GetTimeInfo(audioMasterCallback hostCallback, AEffect* pEffect,
                                  VstInt32 filter);

  // The functions placed in the AEffect record.
  static VstIntPtr VSTDispatcher(AEffect* pEffect, VstInt32 opCode, VstInt32 idx, VstIntPtr value,
                                 void* ptr, float opt);
  static void VSTProcess(AEffect* pEffect, float** inputs, float** outputs, VstInt32 nFrames);
  static void VSTProcessReplacing(AEffect* pEffect, float** inputs, float** outputs,
                                  VstInt32 nFrames);
  static void VSTProcessDoubleReplacing(AEffect* pEffect, double** inputs, double** outputs,
                                        VstInt32 nFrames);
  static float VSTGetParameter(AEffect* pEffect, VstInt32 idx);
  static void VSTSetParameter(AEffect* pEffect, VstInt32 idx, float value);

  // mHostExtensions bits.
  enum {
    kHostExtVendor = 1,      // the host asked "hasVendorExtensions"
    kHostExtVendorView = 2,  // the host asked "hasVendorViewAsConfig"
  };

 private:
  VstIntPtr Dispatch(VstInt32 opCode, VstInt32 idx, VstIntPtr value, void* ptr, float opt);

  // The editor opcodes (get rect, open, close, idle) run outside the lock.
  static bool IsEditorOpcode(VstInt32 opCode);
  VstIntPtr DispatchEditor(VstInt32 opCode, void* ptr);
  // OnGUIClose and the window's close, when the editor's window is open.
  void CloseEditor();
  void UpdateEditorRect();
  // effVendorSpecific requests about the editor: the host's screen scale and
  // the off-screen picture; -1 for any other request.
  VstIntPtr EditorVendorRequest(int idx, VstIntPtr value, void* ptr, float opt);
  VstIntPtr SetEditorScale(VstIntPtr value, float factor);
  VstIntPtr RenderEditorPicture(SkyEditorPicture* pPicture);
  VstIntPtr HostCall(VstInt32 opCode, VstInt32 idx = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f);
  // Attaches the host's buffers and renders, in pieces no longer than the block
  // size the scratch buffers hold (sized outside the audio thread).
  template <class T, class Render>
  void VSTProcessInPieces(T** inputs, T** outputs, VstInt32 nFrames, Render render);
  // The host's buffer pointers of connected channels, advanced by offset frames.
  template <class T>
  T** PieceOf(T** buffers, bool inputs, int offset, T** piece);
  void PublishChannelCounts();

  // Dispatcher opcodes with more than a line of work.
  VstIntPtr GetChunk(bool isBank, void* ptr);
  VstIntPtr SetChunk(bool isBank, VstIntPtr size, void* ptr);
  VstIntPtr ProcessEvents(const VstEvents* pEvents);
  VstIntPtr StringToParameter(int idx, const char* text);
  VstIntPtr GetPinProperties(bool input, int idx, VstPinProperties* pPin);
  VstIntPtr SetSpeakerArrangement(const VstSpeakerArrangement* pIn,
                                  const VstSpeakerArrangement* pOut);
  VstIntPtr VendorSpecific(int idx, VstIntPtr value, void* ptr, float opt);
  VstIntPtr CanDo(const char* text);
  VstIntPtr GetMidiKeyName(MidiKeyName* pKey);

  ERect mEditorRect;
  audioMasterCallback mHostCallbackFn;
  VstSpeakerArrangement mInputArrangement;
  VstSpeakerArrangement mOutputArrangement;
  bool mHostInitDone;
  int mHostExtensions;
  // Room for the pointers of one piece: inputs, then outputs.
  SkyTypedBuf<float*> mFloatPiece;
  SkyTypedBuf<double*> mDoublePiece;
  ByteChunk mStateChunk;
  ByteChunk mBankChunk;
  AEffect mEffect;
};
