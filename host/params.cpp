#include "host/params.h"

#include <strings.h>

#include <cstdlib>

#include "host/be_bytes_p.h"

namespace {

// Listings of huge counts stop here.
constexpr VstInt32 kMaxListed = 1000;

std::string FlagNames(VstInt32 flags) {
  static const struct {
    VstInt32 bit;
    const char* name;
  } kNames[] = {{effFlagsHasEditor, "editor"},
                {effFlagsCanReplacing, "replacing"},
                {effFlagsCanDoubleReplacing, "double"},
                {effFlagsProgramChunks, "chunks"},
                {effFlagsIsSynth, "synth"}};
  std::string text;
  for (const auto& n : kNames) {
    if (flags & n.bit) text += (text.empty() ? "" : " ") + std::string(n.name);
  }
  return text.empty() ? "none" : text;
}

const char* CategoryName(VstIntPtr category) {
  switch (category) {
    case kPlugCategEffect: return "effect";
    case kPlugCategSynth: return "synth";
    default: return "other";
  }
}

void PrintPrograms(const Plugin& p, FILE* out) {
  const AEffect* e = p.effect();
  std::fprintf(out, "programs:    %d (current %ld)\n", int(e->numPrograms),
               long(p.Dispatch(effGetProgram)));
  for (VstInt32 i = 0; i < e->numPrograms && i < kMaxListed; ++i) {
    std::string name = p.DispatchText(effGetProgramNameIndexed, i);
    std::fprintf(out, "  program %d: %s\n", int(i), Printable(name).c_str());
  }
  if (e->numPrograms > kMaxListed)
    std::fprintf(out, "  ... %d more\n", int(e->numPrograms - kMaxListed));
}

void PrintParameters(const Plugin& p, FILE* out) {
  const AEffect* e = p.effect();
  std::fprintf(out, "parameters:  %d\n", int(e->numParams));
  for (VstInt32 i = 0; i < e->numParams && i < kMaxListed; ++i) {
    std::string name = Printable(p.DispatchText(effGetParamName, i));
    std::string display = Printable(p.DispatchText(effGetParamDisplay, i));
    std::string label = Printable(p.DispatchText(effGetParamLabel, i));
    float value = e->getParameter ? e->getParameter(const_cast<AEffect*>(e), i) : 0.0f;
    std::fprintf(out, "  %d: %s = %s%s%s (%.6f)\n", int(i), name.c_str(), display.c_str(),
                 label.empty() ? "" : " ", label.c_str(), double(value));
  }
  if (e->numParams > kMaxListed)
    std::fprintf(out, "  ... %d more\n", int(e->numParams - kMaxListed));
}

}  // namespace

std::string Printable(const std::string& text) {
  std::string s = text;
  for (char& c : s) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  }
  return s;
}

void PrintPluginInfo(const Plugin& p, FILE* out) {
  const AEffect* e = p.effect();
  std::fprintf(out, "name:        %s\n", Printable(p.DispatchText(effGetEffectName)).c_str());
  std::fprintf(out, "vendor:      %s\n", Printable(p.DispatchText(effGetVendorString)).c_str());
  std::fprintf(out, "product:     %s\n", Printable(p.DispatchText(effGetProductString)).c_str());
  std::fprintf(out, "unique id:   %s\n", FourCCText(uint32_t(e->uniqueID)).c_str());
  std::fprintf(out, "version:     %d\n", int(e->version));
  std::fprintf(out, "vendor ver.: %ld\n", long(p.Dispatch(effGetVendorVersion)));
  std::fprintf(out, "vst version: %ld\n", long(p.Dispatch(effGetVstVersion)));
  std::fprintf(out, "category:    %s\n", CategoryName(p.Dispatch(effGetPlugCategory)));
  std::fprintf(out, "inputs:      %d\n", int(e->numInputs));
  std::fprintf(out, "outputs:     %d\n", int(e->numOutputs));
  std::fprintf(out, "latency:     %d\n", int(e->initialDelay));
  std::fprintf(out, "flags:       %s\n", FlagNames(e->flags).c_str());
  PrintPrograms(p, out);
  PrintParameters(p, out);
}

int FindParameter(const Plugin& p, const std::string& key, std::string* error) {
  const VstInt32 n = p.effect()->numParams;
  if (!key.empty() && key.find_first_not_of("0123456789") == std::string::npos) {
    long index = key.size() <= 9 ? std::strtol(key.c_str(), nullptr, 10) : -1;
    if (index >= 0 && index < n) return int(index);
    *error = "parameter index " + key + " out of range (the plug-in has " + std::to_string(n) + ")";
    return -1;
  }
  int folded = -1, foldedCount = 0;
  for (VstInt32 i = 0; i < n; ++i) {
    std::string name = p.DispatchText(effGetParamName, i);
    if (name == key) return int(i);
    if (strcasecmp(name.c_str(), key.c_str()) == 0 && foldedCount++ == 0) folded = int(i);
  }
  if (foldedCount == 1) return folded;
  *error = foldedCount > 1 ? "parameter name '" + key + "' is ambiguous"
                           : "no parameter named '" + key + "'";
  return -1;
}

bool ApplySetting(const Plugin& p, const ParamSetting& s, std::string* error) {
  int index = FindParameter(p, s.key, error);
  if (index < 0) return false;
  AEffect* e = p.effect();
  if (s.isText) {
    std::string text = s.value;  // the plug-in receives a writable copy
    if (p.Dispatch(effString2Parameter, index, 0, &text[0]) == 0) {
      *error = "the plug-in refused '" + s.value + "' for parameter " + std::to_string(index);
      return false;
    }
    return true;
  }
  if (!e->setParameter) {
    *error = "the plug-in has no setParameter function";
    return false;
  }
  e->setParameter(e, index, std::strtof(s.value.c_str(), nullptr));
  return true;
}
