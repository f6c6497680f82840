// A small LV2 host on lilv: it finds the Skylane bundle in the build folder,
// offers URID mapping, a worker, the block-length options and state, keeps one
// buffer per port and runs the worker's requests after each block, as a
// host's worker thread would between blocks.
#pragma once

#include <lilv/lilv.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>
#include <lv2/worker/worker.h>

#include <atomic>
#include <string>
#include <vector>

// A lilv node freed when it goes out of scope.
class Node {
 public:
  explicit Node(LilvNode* node) : mNode(node) {}
  ~Node() { lilv_node_free(mNode); }
  Node(const Node&) = delete;
  Node& operator=(const Node&) = delete;
  const LilvNode* get() const { return mNode; }

 private:
  LilvNode* mNode;
};

class LV2TestHost {
 public:
  // maxBlock: the block length announced to the plug-in (0: none).
  explicit LV2TestHost(int maxBlock = 8192);
  ~LV2TestHost();
  LV2TestHost(const LV2TestHost&) = delete;
  LV2TestHost& operator=(const LV2TestHost&) = delete;

  LilvWorld* World() { return mWorld; }
  // The Skylane plug-in as lilv found it in the bundle; null when missing.
  const LilvPlugin* Plugin() const { return mPlugin; }
  LilvNode* NewUri(const char* uri) { return lilv_new_uri(mWorld, uri); }

  // Instantiates at rate with every port connected to the host's buffers
  // (controls at their defaults) and activates; false when it fails.
  bool Instantiate(double rate);
  // Deactivates and frees the instance (unloading the module).
  void Free();
  LilvInstance* Instance() { return mInstance; }

  // Runs one block with every input sample at inputValue, then the worker.
  void Run(int frames);
  void RunWorker();
  int WorkRequests() const { return mWorkRequests.load(); }
  float& Control(const char* symbol);
  // The control value of port index (a scratch value for any other index).
  float& ControlAt(uint32_t index) {
    return index < mControls.size() ? mControls[index] : mNoControl;
  }
  float* Output(int channel) { return mAudio[2 + channel].data(); }
  float inputValue = 0.25f;

  // The state as lilv's Turtle text, with port values; empty on failure.
  std::string SaveState();
  // Restores a saved text; withPorts: the host's control values too.
  bool RestoreState(const std::string& text, bool withPorts);

  LV2_URID_Map* Map() { return &mMap; }
  const LV2_Feature* const* Features() const { return mFeatures.data(); }

 private:
  static LV2_URID MapUri(LV2_URID_Map_Handle handle, const char* uri);
  static const char* UnmapUri(LV2_URID_Unmap_Handle handle, LV2_URID urid);
  static LV2_Worker_Status Schedule(LV2_Worker_Schedule_Handle handle, uint32_t size,
                                    const void* data);
  static const void* PortValue(const char* symbol, void* self, uint32_t* size, uint32_t* type);
  static void SetPortValue(const char* symbol, void* self, const void* value, uint32_t size,
                           uint32_t type);
  int PortIndex(const char* symbol) const;

  LilvWorld* mWorld;
  const LilvPlugin* mPlugin = nullptr;
  LilvInstance* mInstance = nullptr;
  std::vector<std::string> mUris;
  LV2_URID_Map mMap;
  LV2_URID_Unmap mUnmap;
  LV2_Worker_Schedule mSchedule;
  std::atomic<int> mWorkRequests{0};
  std::atomic<int> mWorkPending{0};
  int32_t mMaxBlock;
  std::vector<LV2_Options_Option> mOptions;
  std::vector<LV2_Feature> mFeatureList;
  std::vector<const LV2_Feature*> mFeatures;
  std::vector<std::vector<float>> mAudio;  // in left, in right, out left, out right
  std::vector<float> mControls;            // by port index
  float mNoControl = 0.0f;
};
