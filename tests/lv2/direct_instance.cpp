#include "tests/lv2/direct_instance.h"

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>

extern "C" const LV2_Descriptor* lv2_descriptor(uint32_t index);

LV2_URID DirectInstance::Map(LV2_URID_Map_Handle handle, const char* uri) {
  auto* self = static_cast<DirectInstance*>(handle);
  for (size_t i = 0; i < self->mUris.size(); ++i) {
    if (self->mUris[i] == uri) return (LV2_URID)(i + 1);
  }
  self->mUris.push_back(uri);
  return (LV2_URID)self->mUris.size();
}

LV2_Worker_Status DirectInstance::Schedule(LV2_Worker_Schedule_Handle handle, uint32_t,
                                           const void*) {
  static_cast<DirectInstance*>(handle)->mRequests.fetch_add(1);
  return LV2_WORKER_SUCCESS;
}

DirectInstance::DirectInstance(double rate, int maxBlock)
    : mDescriptor(lv2_descriptor(0)),
      mMaxBlock(maxBlock),
      mMap{this, Map},
      mSchedule{this, Schedule} {
  const LV2_Options_Option options[] = {
      {LV2_OPTIONS_INSTANCE, 0, Map(this, LV2_BUF_SIZE__maxBlockLength), sizeof(int32_t),
       Map(this, LV2_ATOM__Int), &mMaxBlock},
      {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
  const LV2_Feature mapFeature = {LV2_URID__map, &mMap};
  const LV2_Feature workFeature = {LV2_WORKER__schedule, &mSchedule};
  const LV2_Feature optionsFeature = {LV2_OPTIONS__options, (void*)options};
  const LV2_Feature* features[] = {&mapFeature, &workFeature,
                                   maxBlock > 0 ? &optionsFeature : nullptr, nullptr};
  mHandle = mDescriptor->instantiate(mDescriptor, rate, "", features);
  mPlug = static_cast<Skylane*>(static_cast<PlugLV2*>(mHandle));
  for (auto& buffer : audio) buffer.assign(16384, 0.25f);
  for (uint32_t p = 0; p < 4; ++p) mDescriptor->connect_port(mHandle, p, audio[p].data());
  for (uint32_t p = 0; p < 4; ++p) mDescriptor->connect_port(mHandle, 4 + p, &controls[p]);
  mDescriptor->activate(mHandle);
}

DirectInstance::~DirectInstance() {
  mDescriptor->deactivate(mHandle);
  mDescriptor->cleanup(mHandle);
}

int DirectInstance::RunWorker() {
  const auto* worker =
      (const LV2_Worker_Interface*)mDescriptor->extension_data(LV2_WORKER__interface);
  int n = 0;
  for (; mDone.load() < mRequests.load(); ++n) {
    mDone.fetch_add(1);
    worker->work(mHandle, nullptr, nullptr, 0, nullptr);
  }
  return n;
}
