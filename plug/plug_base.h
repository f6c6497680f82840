#pragma once
// PlugBase: the host-neutral base of every plug-in. It owns the parameters, the
// preset slots, the channel records and buffers of the process path, the host
// identification and the plug-in's recursive lock. An API binding derives from it
// and supplies the host-facing operations.

#include "base/heapbuf.h"
#include "base/mutex.h"
#include "base/ptrlist.h"
#include "base/sky_string.h"
#include "plug/byte_chunk.h"
#include "plug/delay_line.h"
#include "plug/editor_link.h"
#include "plug/host.h"
#include "plug/iparam.h"
#include "plug/ipreset.h"
#include "plug/midi.h"
#include "plug/time_info.h"

#define MAX_EFFECT_NAME_LEN 128
#define DEFAULT_BLOCK_SIZE 1024

// Which binding built the plug-in.
enum EAPI { kAPIVST2 = 0, kAPIVST3, kAPIAU, kAPIRTAS, kAPIAAX, kAPISA };

class PlugBase {
 public:
  // channelIOStr lists the legal configurations as "in-out" tokens separated by
  // single spaces, for example "1-1 2-2".
  PlugBase(int nParams, const char* channelIOStr, int nPresets, const char* effectName,
           const char* productName, const char* mfrName, int vendorVersion, int uniqueID, int mfrID,
           int latency, bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst, EAPI plugAPI);
  virtual ~PlugBase();
  PlugBase(const PlugBase&) = delete;
  PlugBase& operator=(const PlugBase&) = delete;

  // Operations a plug-in class or a binding overrides.
  virtual void Reset();
  virtual void OnParamChange(int paramIdx);
  // Default: outputs below the input count copy their input, the others are zeroed.
  virtual void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames);
  virtual void ProcessSingleReplacing(float** inputs, float** outputs, int nFrames);
  virtual void OnGUIOpen() {}
  virtual void OnGUIClose() {}
  virtual void OnIdle() {}
  virtual void OnActivate(bool active);
  // Default: sends the message straight back to the host.
  virtual void ProcessMidiMsg(IMidiMsg* pMsg);
  virtual void ProcessSysEx(ISysEx*) {}
  virtual bool MidiNoteName(int noteNumber, char* rName);
  // Default state: every parameter's value as a double.
  virtual bool SerializeState(ByteChunk* pChunk);
  // Returns the position after the state, or -1.
  virtual int UnserializeState(ByteChunk* pChunk, int startPos);
  // Whether the parameters equal the doubles at data + startPos doubles (to 1e-5 in float).
  virtual bool CompareState(const unsigned char* data, int startPos);
  // A name for one value of an integer parameter (null: none), for hosts that
  // list a parameter's values by name.
  virtual const char* GetParamValueName(int, int) { return nullptr; }
  virtual void OnWindowResize() {}
  virtual bool HostRequestingAboutBox() { return false; }
  virtual void OnHostIdentified() {}
  virtual void PopupHostContextMenuForParam(int, int, int) {}
  // Under the lock: sets the parameter, informs the host, calls OnParamChange.
  virtual void SetParameterFromGUI(int paramIdx, double normalizedValue);
  virtual void BeginInformHostOfParamChange(int paramIdx) = 0;
  virtual void InformHostOfParamChange(int paramIdx, double normalizedValue) = 0;
  virtual void EndInformHostOfParamChange(int paramIdx) = 0;
  virtual void InformHostOfProgramChange() = 0;
  virtual bool IsRenderingOffline() { return false; }
  virtual int GetSamplePos() = 0;
  virtual double GetTempo() = 0;
  virtual void GetTimeSig(int* pNum, int* pDenom) = 0;
  virtual void GetTime(ITimeInfo* pTimeInfo) = 0;
  virtual EHost GetHost() { return mHost; }
  virtual EAPI GetAPI() { return mAPI; }
  virtual void ResizeGraphics(int w, int h) = 0;
  virtual void HostSpecificInit() {}
  // Takes ownership of the editor (replacing and deleting an earlier one); null
  // is ignored. Under the lock, sets every control from the parameters and
  // has the editor make its drawing surfaces.
  virtual void AttachGraphics(IEditorLink* pGraphics);
  // Stores the latency and re-times the delay line if there is one.
  virtual void SetLatency(int samples);
  virtual bool SendMidiMsg(IMidiMsg* pMsg) = 0;
  virtual bool SendSysEx(ISysEx*) { return false; }
  // Moves the attached editor's controls to the current parameter values.
  virtual void RedrawParamControls();
  virtual void DirtyPTCompareState() {}
  virtual void PresetsChangedByHost() {}
  // Resizes and zeroes every scratch buffer when the size changes.
  virtual void SetBlockSize(int blockSize);

  // Queries.
  double GetSampleRate() const { return mSampleRate; }
  // Null outside 0 ... NParams() - 1.
  IParam* GetParam(int paramIdx) { return mParams.Get(paramIdx); }
  int NParams() const { return mParams.GetSize(); }
  int NPresets() const { return mPresets.GetSize(); }
  int GetCurrentPresetIdx() const { return mCurrentPresetIdx; }
  int GetUniqueID() const { return mUniqueID; }
  int GetMfrID() const { return mMfrID; }
  const char* GetEffectName() const { return mEffectName; }
  const char* GetProductName() const { return mProductName; }
  const char* GetMfrName() const { return mMfrName; }
  int GetEffectVersion(bool decimal) const;
  // The version text followed by the build mark "D"; rStr holds MAX_VERSION_STR_LEN.
  void GetEffectVersionStr(char* rStr) const;
  // Both identify the host first (GetHost) when the binding does that on demand.
  int GetHostVersion(bool decimal);
  void GetHostVersionStr(char* rStr);
  const char* GetAPIString();
  const char* GetArchString() const { return "x86"; }
  bool IsInst() const { return mIsInst; }
  bool DoesMIDI() const { return mDoesMIDI; }
  bool DoesStateChunks() const { return mStateChunks; }
  int GetTailSize() const { return mTailSize; }
  int GetLatency() const { return mLatency; }
  int GetBlockSize() const { return mBlockSize; }
  // Samples per beat at the host's tempo; 0 while the tempo is unknown.
  double GetSamplesPerBeat();
  // The attached editor, or null.
  Graphics* GetGUI() { return mGUI; }
  int NInChannels() const { return mInChannels.GetSize(); }
  int NOutChannels() const { return mOutChannels.GetSize(); }
  bool IsInChannelConnected(int chIdx) const;
  bool IsOutChannelConnected(int chIdx) const;
  // Label of a channel; an empty text for an index outside the channels.
  const char* GetInputLabel(int chIdx) const;
  const char* GetOutputLabel(int chIdx) const;

  // Channels and buffers, called by the binding.
  // Whether a configuration matches; a negative count matches any.
  bool LegalIO(int nIn, int nOut);
  void LimitToStereoIO();
  void SetInputChannelConnections(int idx, int n, bool connected);
  void SetOutputChannelConnections(int idx, int n, bool connected);
  // Each connected channel from idx on takes the next host buffer; float input is
  // converted into the channel's scratch buffer.
  void AttachInputBuffers(int idx, int n, double** ppData, int nFrames);
  void AttachInputBuffers(int idx, int n, float** ppData, int nFrames);
  void AttachOutputBuffers(int idx, int n, double** ppData);
  void AttachOutputBuffers(int idx, int n, float** ppData);
  // Renders a block with ProcessDoubleReplacing; the float form converts the
  // connected outputs into the host's float buffers afterwards. A block longer
  // than the block size is silenced (the binding hands longer host blocks over
  // in pieces); the process path never resizes a buffer.
  void ProcessBuffers(double sampleType, int nFrames);
  void ProcessBuffers(float sampleType, int nFrames);
  // Like ProcessBuffers (float) but adds onto what the host's buffers hold.
  void ProcessBuffersAccumulating(float sampleType, int nFrames);
  // Copies inputs to outputs (through the delay line when there is latency).
  void PassThroughBuffers(double sampleType, int nFrames);
  void PassThroughBuffers(float sampleType, int nFrames);
  void ZeroScratchBuffers();
  void SetSampleRate(double sampleRate) { mSampleRate = sampleRate; }
  void SetInputLabel(int chIdx, const char* label);
  void SetOutputLabel(int chIdx, const char* label);

  // Calls OnParamChange for every parameter in index order.
  void OnParamReset();
  // Informs the host of every parameter's value.
  void DirtyParameters();
  // Sends each message; true only if all were accepted.
  bool SendMidiMsgs(SkyTypedBuf<IMidiMsg>* pMsgs);
  // Identifies the host from its product text and stores its version word.
  void SetHost(const char* host, int version);

  // State chunks.
  bool SerializeParams(ByteChunk* pChunk);
  int UnserializeParams(ByteChunk* pChunk, int startPos);
  // Clears the chunk and writes the "tffp" header with the framework version.
  static void InitChunkWithPlugVer(ByteChunk* pChunk);
  // Reads the header at *pPos and moves past it; 0 (position kept) without one.
  static int GetPlugVerFromChunk(ByteChunk* pChunk, int* pPos);
  bool SerializePresets(ByteChunk* pChunk);
  int UnserializePresets(ByteChunk* pChunk, int startPos);

  // Presets.
  void MakeDefaultPreset(const char* name = nullptr, int nPresets = 1);
  void EnsureDefaultPreset();
  // One value per parameter: int for bool, int and enum parameters, double otherwise.
  bool MakePreset(const char* name, ...);
  // nParamsNamed pairs of (int parameter index, value); others keep their current value.
  bool MakePresetFromNamedParams(const char* name, int nParamsNamed, ...);
  bool MakePresetFromChunk(const char* name, ByteChunk* pChunk);
  // blob is the base64 text of a state of sizeOfChunk bytes.
  bool MakePresetFromBlob(const char* name, const char* blob, int sizeOfChunk);
  bool RestorePreset(int idx);
  bool RestorePreset(const char* name);
  // Name of slot idx, or an empty text.
  const char* GetPresetName(int idx);
  // Stores the current state into the current slot; a non-empty name renames it.
  void ModifyCurrentPreset(const char* name = nullptr);
  void PruneUninitializedPresets();
  // Writes a MakePresetFromNamedParams call with the current values as source text.
  bool DumpPresetSrcCode(const char* filename, const char* paramEnumNames[]);
  // Writes a MakePresetFromBlob call with the current slot's state as source text.
  bool DumpPresetBlob(const char* filename);

  // Program (FXP) and bank (FXB) files; each returns true on success.
  bool SaveProgramAsFXP(const SkyString& path);
  bool SaveBankAsFXB(const SkyString& path);
  bool LoadProgramFromFXP(const SkyString& path);
  bool LoadBankFromFXB(const SkyString& path);

  // A scoped lock on the plug-in's mutex; Destroy releases it early.
  class IMutexLock {
   public:
    explicit IMutexLock(PlugBase* pPlug) : mpMutex(pPlug ? &pPlug->mMutex : nullptr) {
      if (mpMutex) mpMutex->Enter();
    }
    ~IMutexLock() { Destroy(); }
    IMutexLock(const IMutexLock&) = delete;
    IMutexLock& operator=(const IMutexLock&) = delete;
    void Destroy() {
      if (mpMutex) mpMutex->Leave();
      mpMutex = nullptr;
    }

   private:
    SkyMutex* mpMutex;
  };

  struct ChannelIO {
    int mIn, mOut;
  };

  struct InChannel {
    bool mConnected = false;
    double** mSrc = nullptr;  // this channel's entry in mInData
    SkyTypedBuf<double> mScratchBuf{4096};
    SkyString mLabel;
  };

  struct OutChannel {
    bool mConnected = false;
    double** mDest = nullptr;  // this channel's entry in mOutData
    float* mFDest = nullptr;   // the host's float output of the current block
    SkyTypedBuf<double> mScratchBuf{4096};
    SkyString mLabel;
  };

 protected:
  // Creates the pass-through delay line for the current channel counts and latency.
  void CreateDelayLine();

  SkyPtrList<ChannelIO> mChannelIO;
  SkyMutex mMutex;
  char mEffectName[MAX_EFFECT_NAME_LEN];
  char mProductName[MAX_EFFECT_NAME_LEN];
  char mMfrName[MAX_EFFECT_NAME_LEN];
  int mUniqueID, mMfrID, mVersion;
  EAPI mAPI;
  EHost mHost;
  int mHostVersion;
  bool mStateChunks, mIsInst, mDoesMIDI;
  int mCurrentPresetIdx;
  double mSampleRate;
  int mBlockSize, mLatency, mTailSize;
  NChanDelayLine* mDelay;
  IEditorLink* mEditor;
  Graphics* mGUI;  // the editor behind mEditor
  SkyPtrList<IParam> mParams;
  SkyPtrList<IPreset> mPresets;
  SkyTypedBuf<double*> mInData, mOutData;
  SkyPtrList<InChannel> mInChannels;
  SkyPtrList<OutChannel> mOutChannels;

 private:
  void ParseChannelIO(const char* channelIOStr, int* pMaxIn, int* pMaxOut);
  void ConnectChannel(bool input, int chIdx, bool connected);
  void ConvertOutputs(bool accumulate, int nFrames);
  IPreset* ClaimPreset(const char* name);
  void MakeDefaultUserPresetName(char* pName);
};
