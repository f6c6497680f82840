#pragma once
// PlugLV2: the LV2 binding of PlugBase. Its ports are the audio inputs, the
// audio outputs, then one control input per named parameter, in parameter
// order. run() never takes the instance's lock and never allocates: it notes
// control values that changed in atomic slots and asks the host's worker
// thread to apply them under the lock. The editor is the instance's own; the
// UI wrapper reaches it through the host's instance access and hands the
// editor's parameter changes to the host as port writes.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>
#include <lv2/worker/worker.h>

#include "lv2/port_table.h"
#include "plug/plug_base.h"

// What the descriptor hands to a plug-in's constructor.
struct PlugInstanceInfo {
  double mSampleRate;
  const LV2_Feature* const* mFeatures;
};

class PlugLV2 : public PlugBase {
 public:
  // sideChainChannels is accepted for source compatibility and ignored.
  PlugLV2(PlugInstanceInfo instanceInfo, int nParams, const char* channelIOStr, int nPresets,
          const char* effectName, const char* productName, const char* mfrName, int vendorVersion,
          int uniqueID, int mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks,
          bool plugIsInst, int sideChainChannels = 0);
  ~PlugLV2() override;

  // Whether the host offered what the binding needs: URID mapping and a worker.
  bool HasHostFeatures() const { return mMap && mSchedule; }

  // Host-facing operations of the base. Parameter changes made in the editor
  // go to the host as port writes when the UI next idles.
  void BeginInformHostOfParamChange(int paramIdx) override;
  void InformHostOfParamChange(int paramIdx, double normalizedValue) override;
  void EndInformHostOfParamChange(int paramIdx) override;
  void InformHostOfProgramChange() override {}
  int GetSamplePos() override { return 0; }
  double GetTempo() override { return 0.0; }
  void GetTimeSig(int* pNum, int* pDenom) override { *pNum = *pDenom = 0; }
  void GetTime(ITimeInfo*) override {}
  void ResizeGraphics(int, int) override {}
  bool SendMidiMsg(IMidiMsg*) override { return false; }

  // The plug-in's LV2 calls.
  void ConnectPort(uint32_t port, void* data);
  void Activate();
  void Deactivate() { OnActivate(false); }
  // Any frame count, 0 and more than the host announced included.
  void Run(uint32_t nFrames);
  // Worker thread: applies the control values run() noted, under the lock.
  void ApplyPendingControls();
  LV2_State_Status SaveState(LV2_State_Store_Function store, LV2_State_Handle handle);
  LV2_State_Status RestoreState(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);

  // Lists the control ports from the parameter table; called once the
  // plug-in's constructor has filled it.
  void ListControlPorts();

  // The port table the bundle's description is written from.
  uint32_t NPorts() const { return (uint32_t)(NAudioPorts() + mControlParams.size()); }
  bool DescribePort(uint32_t index, SkyPortInfo* pInfo);
  const char* PortValueName(uint32_t index, int value);

  // A parameter change the editor made, for the host.
  struct HostEvent {
    enum Kind { kGrab, kValue, kRelease } kind;
    uint32_t port;
    float value;
  };

  // The editor, for the UI wrapper on the host's GUI thread. One UI at a time
  // shows it; OpenEditor returns the editor's window, or null.
  void* OpenEditor(void* pParent, double scale);
  void IdleEditor();
  void CloseEditor();
  // The window's size in pixels.
  void EditorSize(int* pWidth, int* pHeight);
  // Moves the editor's changes since the last call into *pEvents.
  void TakeHostEvents(std::vector<HostEvent>* pEvents);

 private:
  struct Control {
    const float* mPort = nullptr;
    float mLastSeen = 0.0f;  // run()'s own
    std::atomic<float> mPending{0.0f};
    std::atomic<bool> mHasPending{false};
  };

  int NAudioPorts() const { return NInChannels() + NOutChannels(); }
  int ControlPortOfParam(int paramIdx) const;
  void ReadHostFeatures(const LV2_Feature* const* features);
  void NoteControlChanges();
  void RenderInPieces(int nFrames);
  void QueueHostEvent(HostEvent::Kind kind, int paramIdx);

  LV2_URID_Map* mMap = nullptr;
  LV2_Worker_Schedule* mSchedule = nullptr;
  LV2_URID mStateKey = 0, mChunkType = 0;
  std::vector<const float*> mAudioIn;
  std::vector<float*> mAudioOut;
  std::vector<const float*> mInPiece;
  std::vector<float*> mOutPiece;
  std::vector<int> mControlParams;  // parameter index of each control port
  std::vector<std::string> mSymbols, mNames;
  std::unique_ptr<Control[]> mControls;
  std::atomic<bool> mWorkScheduled{false};
  std::mutex mEventMutex;
  std::vector<HostEvent> mEvents;
  bool mEditorOpen = false;
};
