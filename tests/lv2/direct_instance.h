// The Skylane LV2 plug-in linked into the test program and driven through its
// descriptor, for tests that reach into the instance (its lock, its
// parameters) while calling it as a host does. The worker only counts
// requests until the test runs them.
#pragma once

#include <lv2/core/lv2.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>
#include <lv2/worker/worker.h>

#include <atomic>
#include <string>
#include <vector>

#include "plugin/skylane.h"

class DirectInstance {
 public:
  // maxBlock: the block length announced (0: none).
  DirectInstance(double rate, int maxBlock);
  ~DirectInstance();
  DirectInstance(const DirectInstance&) = delete;
  DirectInstance& operator=(const DirectInstance&) = delete;

  Skylane* Plug() { return mPlug; }
  LV2_Handle Handle() { return mHandle; }
  const void* ExtensionData(const char* uri) { return mDescriptor->extension_data(uri); }
  LV2_URID Urid(const char* uri) { return Map(this, uri); }
  void Run(int frames) { mDescriptor->run(mHandle, (uint32_t)frames); }
  // Runs the worker requests made so far; returns how many.
  int RunWorker();
  int Requests() const { return mRequests.load(); }
  // The control ports in parameter order: Channel, Latency, Device ID, Loop.
  float controls[4] = {0, 1, 0, 0};
  std::vector<float> audio[4];

 private:
  static LV2_URID Map(LV2_URID_Map_Handle handle, const char* uri);
  static LV2_Worker_Status Schedule(LV2_Worker_Schedule_Handle handle, uint32_t, const void*);

  const LV2_Descriptor* mDescriptor;
  LV2_Handle mHandle = nullptr;
  Skylane* mPlug = nullptr;
  std::vector<std::string> mUris;
  std::atomic<int> mRequests{0}, mDone{0};
  int32_t mMaxBlock;
  LV2_URID_Map mMap;  // the instance keeps these two for its lifetime
  LV2_Worker_Schedule mSchedule;
};
