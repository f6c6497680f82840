// A small plug-in written directly against the VST 2.4 records, to drive
// skylane-host end to end. Three parameters (Gain, Bias, Invert), two
// programs, optional program and bank chunks, the same gain in both
// precisions. Variants (TEST_PLUGIN_VARIANT) break one rule each.
// With TEST_PLUGIN_LOG set, every host-visible event is appended to that file.
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "vst2/aeffectx.h"

#define VARIANT_NORMAL 0
#define VARIANT_NULL_EFFECT 1
#define VARIANT_BAD_MAGIC 2
#define VARIANT_NO_ENTRY 3
#define VARIANT_MAIN_ONLY 4
#define VARIANT_ODD 5

namespace {

constexpr int kParams = 3;
constexpr int kPrograms = 2;
constexpr int kNameSize = 24;

struct Program {
  char name[kNameSize];
  float values[kParams];
};

struct TestPlugin {
  AEffect effect{};
  audioMasterCallback host = nullptr;
  Program programs[kPrograms] = {{"Init", {0.5f, 0.5f, 0.0f}}, {"Bright", {1.0f, 0.75f, 0.0f}}};
  int current = 0;
  unsigned char chunk[128] = {};
};

void Log(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Log(const char* format, ...) {
  const char* path = std::getenv("TEST_PLUGIN_LOG");
  if (!path) return;
  FILE* f = std::fopen(path, "a");
  if (!f) return;
  va_list args;
  va_start(args, format);
  std::vfprintf(f, format, args);
  va_end(args);
  std::fputc('\n', f);
  std::fclose(f);
}

TestPlugin* Self(AEffect* e) { return static_cast<TestPlugin*>(e->object); }
float* Values(AEffect* e) { return Self(e)->programs[Self(e)->current].values; }

const char* const kParamNames[kParams] = {"Gain", "Bias", "Invert"};

void Display(float* v, int index, char* out) {
  if (index == 0) std::snprintf(out, kVstParamStrSize, "%.2f", 2.0 * v[0]);
  if (index == 1) std::snprintf(out, kVstParamStrSize, "%+.3f", v[1] - 0.5);
  if (index == 2) std::snprintf(out, kVstParamStrSize, "%s", v[2] >= 0.5f ? "On" : "Off");
}

VstIntPtr TextToParameter(float* v, int index, const char* text) {
  if (index == 2) {
    if (std::strcmp(text, "On") != 0 && std::strcmp(text, "Off") != 0) return 0;
    v[2] = text[1] == 'n' ? 1.0f : 0.0f;
    return 1;
  }
  char* end = nullptr;
  double x = std::strtod(text, &end);
  if (end == text) return 0;
  v[index] = float(index == 0 ? x / 2.0 : x + 0.5);
  v[index] = std::fmin(1.0f, std::fmax(0.0f, v[index]));
  return 1;
}

// Program chunk: "TGpg", the program record. Bank chunk: "TGbk", the
// current index, both records.
VstIntPtr GetChunk(TestPlugin* p, bool bank, void** out) {
  size_t size = 4;
  std::memcpy(p->chunk, bank ? "TGbk" : "TGpg", 4);
  if (bank) {
    std::memcpy(p->chunk + 4, &p->current, 4);
    std::memcpy(p->chunk + 8, p->programs, sizeof p->programs);
    size = 8 + sizeof p->programs;
  } else {
    std::memcpy(p->chunk + 4, &p->programs[p->current], sizeof(Program));
    size = 4 + sizeof(Program);
  }
  *out = p->chunk;
  return VstIntPtr(size);
}

VstIntPtr SetChunk(TestPlugin* p, bool bank, const unsigned char* data, VstIntPtr size) {
  if (bank && size == VstIntPtr(8 + sizeof p->programs) && std::memcmp(data, "TGbk", 4) == 0) {
    int current = 0;
    std::memcpy(&current, data + 4, 4);
    if (current < 0 || current >= kPrograms) return 0;
    std::memcpy(p->programs, data + 8, sizeof p->programs);
    p->current = current;
    return 1;
  }
  if (!bank && size == VstIntPtr(4 + sizeof(Program)) && std::memcmp(data, "TGpg", 4) == 0) {
    std::memcpy(&p->programs[p->current], data + 4, sizeof(Program));
    p->programs[p->current].name[kNameSize - 1] = 0;
    return 1;
  }
  return 0;
}

void LogHost(TestPlugin* p) {
  char product[kVstProductStrSize] = {};
  p->host(&p->effect, audioMasterGetProductString, 0, 0, product, 0.0f);
  Log("host %s %ld %ld rate %ld block %ld", product,
      long(p->host(&p->effect, audioMasterGetVendorVersion, 0, 0, nullptr, 0.0f)),
      long(p->host(&p->effect, audioMasterVersion, 0, 0, nullptr, 0.0f)),
      long(p->host(&p->effect, audioMasterGetSampleRate, 0, 0, nullptr, 0.0f)),
      long(p->host(&p->effect, audioMasterGetBlockSize, 0, 0, nullptr, 0.0f)));
}

VstIntPtr Text(void* ptr, const char* text, size_t size) {
  if (!ptr) return 0;
  std::snprintf(static_cast<char*>(ptr), size, "%s", text);
  return 1;
}

#if TEST_PLUGIN_VARIANT == VARIANT_ODD
// Unterminated, over-long texts with control characters.
VstIntPtr OddText(void* ptr) {
  if (!ptr) return 0;
  std::memset(ptr, 'A', 100);
  static_cast<char*>(ptr)[3] = '\x1b';
  return 1;
}
#endif

VstIntPtr Dispatcher(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                     float opt) {
  TestPlugin* p = Self(e);
  float* v = Values(e);
  bool validParam = index >= 0 && index < kParams;
#if TEST_PLUGIN_VARIANT == VARIANT_ODD
  switch (opcode) {
    case effGetParamName:
    case effGetParamDisplay:
    case effGetParamLabel:
    case effGetEffectName:
    case effGetVendorString:
    case effGetProgramName:
    case effGetProgramNameIndexed: return OddText(ptr);
    case effGetChunk: return 100;  // a size, but no data
    case effGetProgram: return -5;
    default: break;
  }
#endif
  switch (opcode) {
    case effOpen:
      LogHost(p);
      Log("open");
      return 0;
    case effClose:
      Log("close");
      delete p;
      return 0;
    case effSetProgram:
      if (value >= 0 && value < kPrograms) p->current = int(value);
      Log("program %ld", long(value));
      return 0;
    case effGetProgram: return p->current;
    case effSetProgramName:
      if (ptr)
        std::snprintf(p->programs[p->current].name, kNameSize, "%s", static_cast<char*>(ptr));
      return 0;
    case effGetProgramName: return Text(ptr, p->programs[p->current].name, kNameSize);
    case effGetProgramNameIndexed:
      return index >= 0 && index < kPrograms ? Text(ptr, p->programs[index].name, kNameSize) : 0;
    case effGetParamName: return validParam ? Text(ptr, kParamNames[index], kVstParamStrSize) : 0;
    case effGetParamLabel:
      return validParam ? Text(ptr, index == 0 ? "x" : "", kVstParamStrSize) : 0;
    case effGetParamDisplay:
      if (validParam && ptr) Display(v, index, static_cast<char*>(ptr));
      return 0;
    case effString2Parameter:
      return validParam && ptr ? TextToParameter(v, index, static_cast<char*>(ptr)) : 0;
    case effSetSampleRate: Log("rate %g", double(opt)); return 0;
    case effSetBlockSize: Log("block %ld", long(value)); return 0;
    case effMainsChanged: Log("mains %ld", long(value)); return 0;
    case effStartProcess: Log("start"); return 0;
    case effStopProcess: Log("stop"); return 0;
    case effGetChunk: return ptr ? GetChunk(p, index == 0, static_cast<void**>(ptr)) : 0;
    case effSetChunk:
      return ptr ? SetChunk(p, index == 0, static_cast<unsigned char*>(ptr), value) : 0;
    case effGetEffectName: return Text(ptr, "Test Gain", kVstEffectNameSize);
    case effGetVendorString: return Text(ptr, "Skylane Tests", kVstVendorStrSize);
    case effGetProductString: return Text(ptr, "Test Gain Plugin", kVstProductStrSize);
    case effGetVendorVersion: return 1002;
    case effGetPlugCategory: return kPlugCategEffect;
    case effGetVstVersion: return kVstVersion;
    default: return 0;
  }
}

void SetParameter(AEffect* e, VstInt32 index, float value) {
  if (index >= 0 && index < kParams) Values(e)[index] = value;
}

float GetParameter(AEffect* e, VstInt32 index) {
  return index >= 0 && index < kParams ? Values(e)[index] : 0.0f;
}

// Asks the host for its transport and process level and logs them.
void LogBlock(AEffect* e, const char* precision, VstInt32 frames) {
  TestPlugin* p = Self(e);
  auto* time = reinterpret_cast<VstTimeInfo*>(
      p->host(e, audioMasterGetTime, 0, kVstTempoValid, nullptr, 0.0f));
  long level = long(p->host(e, audioMasterGetCurrentProcessLevel, 0, 0, nullptr, 0.0f));
  Log("%s %d pos %.0f playing %d tempo %.0f level %ld", precision, int(frames),
      time ? time->samplePos : -1.0, time ? int((time->flags & kVstTransportPlaying) != 0) : -1,
      time ? time->tempo : -1.0, level);
}

template <typename T>
void Gain(AEffect* e, T** in, T** out, VstInt32 frames, bool accumulate) {
  const float* v = Values(e);
  const T sign = v[2] >= 0.5f ? T(-1) : T(1);
  const T gain = T(2) * T(v[0]), bias = T(v[1]) - T(0.5);
  for (int c = 0; c < 2; ++c) {
    for (VstInt32 i = 0; i < frames; ++i) {
      T y = sign * (in[c][i] * gain + bias);
#if TEST_PLUGIN_VARIANT == VARIANT_ODD
      y = T(NAN);
#endif
      out[c][i] = accumulate ? out[c][i] + y : y;
    }
  }
}

void Process(AEffect* e, float** in, float** out, VstInt32 frames) {
  LogBlock(e, "accumulate", frames);
  Gain(e, in, out, frames, true);
}

void ProcessReplacing(AEffect* e, float** in, float** out, VstInt32 frames) {
  LogBlock(e, "float", frames);
  Gain(e, in, out, frames, false);
}

void ProcessDouble(AEffect* e, double** in, double** out, VstInt32 frames) {
  LogBlock(e, "double", frames);
  Gain(e, in, out, frames, false);
}

AEffect* Create(audioMasterCallback host) {
  Log("create version %ld", long(host(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f)));
  if (TEST_PLUGIN_VARIANT == VARIANT_NULL_EFFECT) return nullptr;
  // A host never closes a record it refused, so that one is not allocated.
  static TestPlugin refused;
  TestPlugin* p = TEST_PLUGIN_VARIANT == VARIANT_BAD_MAGIC ? &refused : new TestPlugin;
  p->host = host;
  AEffect& e = p->effect;
  e.magic = TEST_PLUGIN_VARIANT == VARIANT_BAD_MAGIC ? CCONST('X', 'Y', 'Z', 'W') : kEffectMagic;
  e.dispatcher = Dispatcher;
  e.process = Process;
  e.setParameter = SetParameter;
  e.getParameter = GetParameter;
  e.numPrograms = TEST_PLUGIN_VARIANT == VARIANT_ODD ? 0 : kPrograms;
  e.numParams = kParams;
  e.numInputs = 2;
  e.numOutputs = 2;
  e.flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing |
            (TEST_PLUGIN_CHUNKS ? effFlagsProgramChunks : 0);
  e.ioRatio = 1.0f;
  e.object = p;
  e.uniqueID = CCONST('T', 's', 'G', 'n');
  e.version = 1002;
  e.processReplacing = ProcessReplacing;
  e.processDoubleReplacing = ProcessDouble;
  return &e;
}

}  // namespace

#define EXPORT extern "C" __attribute__((visibility("default")))

#if TEST_PLUGIN_VARIANT == VARIANT_NO_ENTRY
EXPORT AEffect* CreateTestPlugin(audioMasterCallback host) { return Create(host); }
#elif TEST_PLUGIN_VARIANT == VARIANT_MAIN_ONLY
// `main` cannot be declared with this type in C++; the symbol gets the name.
EXPORT AEffect* TestPluginMain(audioMasterCallback host) __asm__("main");
EXPORT AEffect* TestPluginMain(audioMasterCallback host) { return Create(host); }
#else
EXPORT AEffect* VSTPluginMain(audioMasterCallback host) { return Create(host); }
#endif
