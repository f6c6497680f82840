#include "plug/iparam.h"

#include <cmath>
#include <cstdio>

#include "plug/text_util_p.h"

namespace {

const int kMaxDecimalPrecision = 6;
const double kDBToAmpFactor = 0.1151292546497;  // ln 10 / 20

}  // namespace

double ToNormalizedParam(double nonNormalizedValue, double min, double max, double shape) {
  if (max == min) return 0.0;
  return std::pow((nonNormalizedValue - min) / (max - min), 1.0 / shape);
}

double FromNormalizedParam(double normalizedValue, double min, double max, double shape) {
  return min + std::pow(normalizedValue, shape) * (max - min);
}

double DBToAmp(double dB) { return std::exp(dB * kDBToAmpFactor); }

IParam::IParam()
    : mType(kTypeNone),
      mValue(0.0),
      mMin(0.0),
      mMax(1.0),
      mStep(1.0),
      mShape(1.0),
      mDefault(0.0),
      mDisplayPrecision(0),
      mNegateDisplay(false),
      mDisplayTexts(4096) {
  mName[0] = mLabel[0] = mParamGroup[0] = 0;
}

void IParam::InitBool(const char* name, bool defaultVal, const char* label, const char* group) {
  if (mType == kTypeNone) mType = kTypeBool;
  InitEnum(name, defaultVal ? 1 : 0, 2, label, group);
  SetDisplayText(0, "off");
  SetDisplayText(1, "on");
}

void IParam::InitEnum(const char* name, int defaultVal, int nEnums, const char* label,
                      const char* group) {
  if (mType == kTypeNone) mType = kTypeEnum;
  InitInt(name, defaultVal, 0, nEnums - 1, label, group);
}

void IParam::InitInt(const char* name, int defaultVal, int minVal, int maxVal, const char* label,
                     const char* group) {
  if (mType == kTypeNone) mType = kTypeInt;
  InitDouble(name, defaultVal, minVal, maxVal, 1.0, label, group, 1.0);
}

void IParam::InitDouble(const char* name, double defaultVal, double minVal, double maxVal,
                        double step, const char* label, const char* group, double shape) {
  if (mType == kTypeNone) mType = kTypeDouble;
  CopyText(mName, name, MAX_PARAM_NAME_LEN);
  CopyText(mLabel, label, MAX_PARAM_NAME_LEN);
  CopyText(mParamGroup, group, MAX_PARAM_NAME_LEN);
  mValue = mDefault = defaultVal;
  mMin = minVal;
  mMax = maxVal < minVal + step ? minVal + step : maxVal;
  mStep = step;
  // Count the decimals the step needs, up to a fixed maximum.
  mDisplayPrecision = 0;
  for (double s = step; mDisplayPrecision < kMaxDecimalPrecision && s != std::floor(s); s *= 10.0)
    ++mDisplayPrecision;
  SetShape(shape);
}

void IParam::Set(double value) {
  if (std::isnan(value)) value = mMin;
  mValue = value < mMin ? mMin : (value > mMax ? mMax : value);
}

void IParam::SetNormalized(double normalizedValue) {
  double value = FromNormalizedParam(normalizedValue, mMin, mMax, mShape);
  if (mType != kTypeDouble) value = std::floor(0.5 + value / mStep) * mStep;
  // Out-of-range and malformed host values never leave the range.
  Set(value);
}

int IParam::Int() const { return TruncToInt(mValue); }

double IParam::DBToAmp() const { return ::DBToAmp(mValue); }

double IParam::GetNormalized() const { return GetNormalized(mValue); }

double IParam::GetNormalized(double nonNormalizedValue) const {
  double v = nonNormalizedValue;
  v = v < mMin ? mMin : (v > mMax ? mMax : v);
  return ToNormalizedParam(v, mMin, mMax, mShape);
}

void IParam::GetBounds(double* pMin, double* pMax) const {
  if (pMin) *pMin = mMin;
  if (pMax) *pMax = mMax;
}

void IParam::SetShape(double shape) {
  if (shape != 0.0) mShape = shape;
}

void IParam::SetDisplayText(int value, const char* text) {
  DisplayText entry;
  entry.mValue = value;
  CopyText(entry.mText, text, MAX_PARAM_NAME_LEN);
  mDisplayTexts.Add(entry);
}

const char* IParam::GetDisplayText(int value) const {
  const DisplayText* pEntry = mDisplayTexts.Get();
  for (int i = 0, n = mDisplayTexts.GetSize(); i < n; ++i)
    if (pEntry[i].mValue == value) return pEntry[i].mText;
  return "";
}

const char* IParam::GetDisplayTextAtIdx(int idx, double* pValue) const {
  if (idx < 0 || idx >= mDisplayTexts.GetSize()) return "";
  const DisplayText& entry = mDisplayTexts.Get()[idx];
  if (pValue) *pValue = entry.mValue;
  return entry.mText;
}

bool IParam::MapDisplayText(const char* text, double* pValue) const {
  if (!text) return false;
  const DisplayText* pEntry = mDisplayTexts.Get();
  for (int i = 0, n = mDisplayTexts.GetSize(); i < n; ++i) {
    if (!strcmp(pEntry[i].mText, text)) {
      if (pValue) *pValue = pEntry[i].mValue;
      return true;
    }
  }
  return false;
}

const char* IParam::GetLabelForHost() const { return *GetDisplayText(Int()) ? "" : mLabel; }

void IParam::GetDisplayForHost(double value, bool normalized, char* rDisplay,
                               bool withDisplayText) const {
  if (normalized) value = FromNormalizedParam(value, mMin, mMax, mShape);
  if (withDisplayText) {
    const char* text = GetDisplayText(TruncToInt(value));
    if (*text) {
      CopyText(rDisplay, text, MAX_PARAM_DISPLAY_LEN);
      return;
    }
  }
  double displayValue = mNegateDisplay ? -value : value;
  if (mDisplayPrecision == 0)
    snprintf(rDisplay, MAX_PARAM_DISPLAY_LEN, "%d", TruncToInt(displayValue));
  else snprintf(rDisplay, MAX_PARAM_DISPLAY_LEN, "%.*f", mDisplayPrecision, displayValue);
}
