#pragma once
// One automatable plug-in parameter: plain value, range, shape and display texts.

#include "base/heapbuf.h"

#define MAX_PARAM_NAME_LEN 32
// Size of the text buffers that GetDisplayForHost fills.
#define MAX_PARAM_DISPLAY_LEN 32

class IParam {
 public:
  enum EParamType { kTypeNone, kTypeBool, kTypeInt, kTypeEnum, kTypeDouble };

  struct DisplayText {
    int mValue;
    char mText[MAX_PARAM_NAME_LEN];
  };

  IParam();

  // Initialisers: call at most one per parameter; the most specific kind wins.
  void InitBool(const char* name, bool defaultVal, const char* label = "", const char* group = "");
  void InitEnum(const char* name, int defaultVal, int nEnums, const char* label = "",
                const char* group = "");
  void InitInt(const char* name, int defaultVal, int minVal, int maxVal, const char* label = "",
               const char* group = "");
  void InitDouble(const char* name, double defaultVal, double minVal, double maxVal, double step,
                  const char* label = "", const char* group = "", double shape = 1.0);

  // Stores value clamped to the range.
  void Set(double value);
  // Maps a 0..1 value through range and shape; non-real kinds snap to the step grid.
  void SetNormalized(double normalizedValue);
  double Value() const { return mValue; }
  int Int() const;
  bool Bool() const { return mValue >= 0.5; }
  double DBToAmp() const;
  double GetNormalized() const;
  double GetNormalized(double nonNormalizedValue) const;
  void GetBounds(double* pMin, double* pMax) const;
  EParamType Type() const { return mType; }
  // A zero shape is refused; the old shape stays.
  void SetShape(double shape);

  // Appends a value-to-text entry (an existing entry with the same value is kept).
  void SetDisplayText(int value, const char* text);
  // Text of the first entry with value, or an empty text.
  const char* GetDisplayText(int value) const;
  int GetNDisplayTexts() const { return mDisplayTexts.GetSize(); }
  // Text of entry idx (value stored when pValue is non-null); empty for a bad index.
  const char* GetDisplayTextAtIdx(int idx, double* pValue = nullptr) const;
  // Exact, case-sensitive search; stores the first matching entry's value.
  bool MapDisplayText(const char* text, double* pValue) const;

  const char* GetNameForHost() const { return mName; }
  // Empty when the current value has a display text, so switches show no unit.
  const char* GetLabelForHost() const;
  const char* GetParamGroupForHost() const { return mParamGroup; }
  // Writes the current value as text (display texts first); rDisplay holds MAX_PARAM_DISPLAY_LEN.
  void GetDisplayForHost(char* rDisplay) const { GetDisplayForHost(mValue, false, rDisplay); }
  void GetDisplayForHostNoDisplayText(char* rDisplay) const {
    GetDisplayForHost(mValue, false, rDisplay, false);
  }
  void GetDisplayForHost(double value, bool normalized, char* rDisplay,
                         bool withDisplayText = true) const;
  bool DisplayIsNegated() const { return mNegateDisplay; }

 private:
  EParamType mType;
  double mValue, mMin, mMax, mStep, mShape, mDefault;
  int mDisplayPrecision;
  char mName[MAX_PARAM_NAME_LEN];
  char mLabel[MAX_PARAM_NAME_LEN];
  char mParamGroup[MAX_PARAM_NAME_LEN];
  bool mNegateDisplay;
  SkyTypedBuf<DisplayText> mDisplayTexts;
};

// Maps a plain value in min..max to 0..1 through the inverse of the shape curve.
double ToNormalizedParam(double nonNormalizedValue, double min, double max, double shape);
// min + normalizedValue^shape * (max - min).
double FromNormalizedParam(double normalizedValue, double min, double max, double shape);
// Decibels to linear amplitude.
double DBToAmp(double dB);
