// Developer aids: write the current state as source text for a plug-in's constructor.

#include <cstdio>

#include "plug/base64.h"
#include "plug/plug_base.h"

bool PlugBase::DumpPresetSrcCode(const char* filename, const char* paramEnumNames[]) {
  FILE* fp = filename ? fopen(filename, "w") : nullptr;
  if (!fp) return false;
  int n = NParams();
  fprintf(fp, "  MakePresetFromNamedParams(\"name\", %d", n);
  for (int i = 0; i < n; ++i) {
    IParam* pParam = GetParam(i);
    char paramVal[MAX_PARAM_DISPLAY_LEN];
    switch (pParam->Type()) {
      case IParam::kTypeBool:
        snprintf(paramVal, sizeof(paramVal), "%s", pParam->Bool() ? "true" : "false");
        break;
      case IParam::kTypeInt:
      case IParam::kTypeEnum: snprintf(paramVal, sizeof(paramVal), "%d", pParam->Int()); break;
      default: snprintf(paramVal, sizeof(paramVal), "%.6f", pParam->Value()); break;
    }
    fprintf(fp, ",\n    %s, %s", paramEnumNames[i], paramVal);
  }
  fprintf(fp, ");\n");
  return fclose(fp) == 0;
}

bool PlugBase::DumpPresetBlob(const char* filename) {
  IPreset* pPreset = mPresets.Get(mCurrentPresetIdx);
  if (!pPreset || !filename) return false;
  ByteChunk* pChunk = &pPreset->mChunk;
  SkyTypedBuf<char> text(4096);
  if (!text.ResizeOK(Base64EncodedSize(pChunk->Size()))) return false;
  Base64Encode(pChunk->GetBytes(), pChunk->Size(), text.Get());
  FILE* fp = fopen(filename, "w");
  if (!fp) return false;
  fprintf(fp, "MakePresetFromBlob(\"name\", \"%s\", %d);\n", text.Get(), pChunk->Size());
  return fclose(fp) == 0;
}
