#include "tests/lv2/lv2_test_host.h"

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/state/state.h>

#include <cstring>

namespace {

constexpr int kMostFrames = 16384;
constexpr char kPluginUri[] = "urn:skylane:lv2:skylane";
constexpr char kStateUri[] = "urn:skylane:test:state";

}  // namespace

LV2TestHost::LV2TestHost(int maxBlock) : mWorld(lilv_world_new()), mMaxBlock(maxBlock) {
  // Only the bundle under test and the specifications it names, never the machine's plug-ins.
  lilv_world_load_specifications(mWorld);
  Node bundle(lilv_new_file_uri(mWorld, nullptr, SKYLANE_LV2_BUNDLE "/"));
  lilv_world_load_bundle(mWorld, bundle.get());
  Node uri(NewUri(kPluginUri));
  mPlugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(mWorld), uri.get());

  mMap = {this, MapUri};
  mUnmap = {this, UnmapUri};
  mSchedule = {this, Schedule};
  const LV2_URID intType = MapUri(this, LV2_ATOM__Int);
  if (mMaxBlock > 0) {
    mOptions.push_back({LV2_OPTIONS_INSTANCE, 0, MapUri(this, LV2_BUF_SIZE__maxBlockLength),
                        sizeof(int32_t), intType, &mMaxBlock});
  }
  mOptions.push_back({LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr});
  mFeatureList = {{LV2_URID__map, &mMap},
                  {LV2_URID__unmap, &mUnmap},
                  {LV2_WORKER__schedule, &mSchedule},
                  {LV2_OPTIONS__options, mOptions.data()}};
  for (const LV2_Feature& f : mFeatureList) mFeatures.push_back(&f);
  mFeatures.push_back(nullptr);
}

LV2TestHost::~LV2TestHost() {
  Free();
  lilv_world_free(mWorld);
}

LV2_URID LV2TestHost::MapUri(LV2_URID_Map_Handle handle, const char* uri) {
  auto* self = static_cast<LV2TestHost*>(handle);
  for (size_t i = 0; i < self->mUris.size(); ++i) {
    if (self->mUris[i] == uri) return (LV2_URID)(i + 1);
  }
  self->mUris.push_back(uri);
  return (LV2_URID)self->mUris.size();
}

const char* LV2TestHost::UnmapUri(LV2_URID_Unmap_Handle handle, LV2_URID urid) {
  auto* self = static_cast<LV2TestHost*>(handle);
  return urid >= 1 && urid <= self->mUris.size() ? self->mUris[urid - 1].c_str() : nullptr;
}

LV2_Worker_Status LV2TestHost::Schedule(LV2_Worker_Schedule_Handle handle, uint32_t, const void*) {
  auto* self = static_cast<LV2TestHost*>(handle);
  self->mWorkRequests.fetch_add(1);
  self->mWorkPending.fetch_add(1);
  return LV2_WORKER_SUCCESS;
}

bool LV2TestHost::Instantiate(double rate) {
  Free();
  if (!mPlugin) return false;
  mInstance = lilv_plugin_instantiate(mPlugin, rate, mFeatures.data());
  if (!mInstance) return false;
  const uint32_t n = lilv_plugin_get_num_ports(mPlugin);
  mControls.assign(n, 0.0f);
  std::vector<float> defaults(n, 0.0f);
  lilv_plugin_get_port_ranges_float(mPlugin, nullptr, nullptr, defaults.data());
  mAudio.assign(4, std::vector<float>(kMostFrames, 0.0f));
  Node audio(NewUri(LV2_CORE__AudioPort));
  int audioPort = 0;
  for (uint32_t i = 0; i < n; ++i) {
    const LilvPort* port = lilv_plugin_get_port_by_index(mPlugin, i);
    if (lilv_port_is_a(mPlugin, port, audio.get()) && audioPort < 4) {
      lilv_instance_connect_port(mInstance, i, mAudio[audioPort++].data());
    } else {
      mControls[i] = defaults[i];
      lilv_instance_connect_port(mInstance, i, &mControls[i]);
    }
  }
  lilv_instance_activate(mInstance);
  return true;
}

void LV2TestHost::Free() {
  if (!mInstance) return;
  lilv_instance_deactivate(mInstance);
  lilv_instance_free(mInstance);
  mInstance = nullptr;
  mWorkPending.store(0);
}

void LV2TestHost::Run(int frames) {
  for (int c = 0; c < 2; ++c) std::fill(mAudio[c].begin(), mAudio[c].end(), inputValue);
  lilv_instance_run(mInstance, (uint32_t)frames);
  RunWorker();
}

void LV2TestHost::RunWorker() {
  const auto* worker = (const LV2_Worker_Interface*)lilv_instance_get_extension_data(
      mInstance, LV2_WORKER__interface);
  while (worker && mWorkPending.load() > 0) {
    mWorkPending.fetch_sub(1);
    worker->work(lilv_instance_get_handle(mInstance), nullptr, nullptr, 0, nullptr);
  }
}

int LV2TestHost::PortIndex(const char* symbol) const {
  LilvNode* sym = lilv_new_string(mWorld, symbol);
  const LilvPort* port = lilv_plugin_get_port_by_symbol(mPlugin, sym);
  lilv_node_free(sym);
  return port ? (int)lilv_port_get_index(mPlugin, port) : -1;
}

float& LV2TestHost::Control(const char* symbol) {
  const int i = PortIndex(symbol);
  return i >= 0 && i < (int)mControls.size() ? mControls[i] : mNoControl;
}

const void* LV2TestHost::PortValue(const char* symbol, void* self, uint32_t* size, uint32_t* type) {
  auto* host = static_cast<LV2TestHost*>(self);
  *size = sizeof(float);
  *type = MapUri(host, LV2_ATOM__Float);
  return &host->Control(symbol);
}

void LV2TestHost::SetPortValue(const char* symbol, void* self, const void* value, uint32_t size,
                               uint32_t type) {
  auto* host = static_cast<LV2TestHost*>(self);
  if (size == sizeof(float) && type == MapUri(host, LV2_ATOM__Float))
    memcpy(&host->Control(symbol), value, sizeof(float));
}

std::string LV2TestHost::SaveState() {
  LilvState* state = lilv_state_new_from_instance(
      mPlugin, mInstance, &mMap, nullptr, nullptr, nullptr, nullptr, PortValue, this,
      LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, mFeatures.data());
  if (!state) return "";
  char* text = lilv_state_to_string(mWorld, &mMap, &mUnmap, state, kStateUri, nullptr);
  std::string out = text ? text : "";
  lilv_free(text);
  lilv_state_free(state);
  return out;
}

bool LV2TestHost::RestoreState(const std::string& text, bool withPorts) {
  LilvState* state = lilv_state_new_from_string(mWorld, &mMap, text.c_str());
  if (!state) return false;
  lilv_state_restore(state, mInstance, withPorts ? SetPortValue : nullptr, this, 0,
                     mFeatures.data());
  lilv_state_free(state);
  return true;
}
