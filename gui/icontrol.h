// IControl: one rectangle of the editor that draws itself, may be bound to a
// plug-in parameter and reacts to the mouse and keys.
//
// Threads: the value, the dirty, redraw, hidden and grayed flags, the clamp
// range and the auxiliary values are written by parameter changes on any
// thread while the GUI thread reads them to draw; each is an atomic. A value
// is stored before the flag that announces it (release), and the GUI reads
// the flag first (acquire), so a control seen dirty draws the latest value.
#pragma once

#include <atomic>

#include "base/ptrlist.h"
#include "base/sky_string.h"
#include "gui/iblend.h"
#include "gui/imouse_mod.h"
#include "gui/irect.h"
#include "gui/itext.h"

class Graphics;
class IParam;
class ITextControl;
class PlugBase;

#define DEFAULT_TEXT_ENTRY_LEN 7

enum EDirection { kVertical = 0, kHorizontal = 1 };

class IControl {
 public:
  // A further parameter the control drives; its value is normalised.
  struct AuxParam {
    std::atomic<double> mValue{0.0};
    int mParamIdx;
    explicit AuxParam(int idx);
  };

  // The drawing and target rectangles start as pR.
  IControl(PlugBase* pPlug, IRECT pR, int paramIdx = -1,
           IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendNormal);
  virtual ~IControl();
  IControl(const IControl&) = delete;
  IControl& operator=(const IControl&) = delete;

  // Right button: PromptUserInput(); otherwise nothing.
  virtual void OnMouseDown(int x, int y, IMouseMod* pMod);
  virtual void OnMouseUp(int, int, IMouseMod*) {}
  virtual void OnMouseDrag(int, int, int, int, IMouseMod*) {}
  // Back to the default value once one is known.
  virtual void OnMouseDblClick(int x, int y, IMouseMod* pMod);
  virtual void OnMouseWheel(int, int, IMouseMod*, int) {}
  virtual bool OnKeyDown(int, int, int) { return false; }
  virtual void OnMouseOver(int, int, IMouseMod*) {}
  virtual void OnMouseOut() {}
  // Paints into the editor's off-screen bitmap.
  virtual bool Draw(Graphics* pGraphics) = 0;
  // The first value ever sent becomes the default; a changed value dirties
  // the control and asks for one more paint.
  virtual void SetValueFromPlug(double value);
  virtual void SetValueFromUserInput(double value);
  virtual void TextFromTextEntry(const char*) {}
  virtual void Hide(bool hide);
  virtual void GrayOut(bool gray);
  virtual bool IsHit(int x, int y) { return mTargetRECT.Contains(x, y); }
  // Clamps the value and marks the control dirty; with pushParamToPlug the
  // value also goes to the plug-in (and to the display controls).
  virtual void SetDirty(bool pushParamToPlug = true);
  virtual void SetClean();
  virtual bool IsDirty() { return mDirty.load(std::memory_order_acquire); }
  virtual void OnGUIIdle() {}
  virtual void SetAuxParamValueFromPlug(int auxParamIdx, double value);

  int ParamIdx() const { return mParamIdx; }
  // The plug-in's parameter, or null when the control has none.
  IParam* GetParam();
  IText* GetText() { return &mText; }
  IRECT* GetRECT() { return &mRECT; }
  IRECT* GetTargetRECT() { return &mTargetRECT; }
  double GetValue() const { return mValue.load(std::memory_order_relaxed); }
  double GetDefaultValue() const { return mDefaultValue.load(std::memory_order_relaxed); }
  void Clamp(double lo, double hi);
  void Redraw() { mRedraw.store(true, std::memory_order_release); }
  void SetTooltip(const char* tooltip) { mTooltip.Set(tooltip); }
  const char* GetTooltip() const { return mTooltip.Get(); }
  bool IsHidden() const { return mHide.load(std::memory_order_relaxed); }
  bool IsGrayed() const { return mGrayed.load(std::memory_order_relaxed); }
  bool MouseDblAsSingleClick() const { return mDblAsSingleClick; }
  void SetMouseDblAsSingleClick(bool single) { mDblAsSingleClick = single; }
  // While disabled (the default for most controls) PromptUserInput does nothing.
  void DisablePrompt(bool disable) { mDisablePrompt = disable; }
  bool GetMOWhenGrayed() const { return mMOWhenGrayed; }
  int GetTextEntryLength() const { return mTextEntryLength; }
  void SetTextEntryLength(int len) { mTextEntryLength = len; }
  // Text controls that show the value and the parameter name after a user change.
  void SetValDisplayControl(ITextControl* pControl) { mValDisplayControl = pControl; }
  void SetNameDisplayControl(ITextControl* pControl) { mNameDisplayControl = pControl; }

  void AddAuxParam(int paramIdx);
  // Stops with an assertion for an index outside the list.
  AuxParam* GetAuxParam(int idx);
  // Position of the first auxiliary parameter with paramIdx, or -1.
  int AuxParamIdx(int paramIdx) const;
  int NAuxParams() const { return mAuxParams.GetSize(); }
  void SetAllAuxParamsFromGUI();

  // Asks the user for a value: a menu for parameters with display texts, a
  // text field otherwise. Nothing happens while prompting is disabled.
  void PromptUserInput();
  void PromptUserInput(IRECT* pTextRect);

 protected:
  // The value as stored; SetDirty clamps it.
  void SetValue(double value) { mValue.store(value, std::memory_order_relaxed); }

  int mTextEntryLength = DEFAULT_TEXT_ENTRY_LEN;
  IText mText;
  PlugBase* mPlug;
  IRECT mRECT, mTargetRECT;
  int mParamIdx;
  SkyPtrList<AuxParam> mAuxParams;
  std::atomic<double> mValue{0.0};
  std::atomic<double> mDefaultValue{-1.0};
  std::atomic<double> mClampLo{0.0}, mClampHi{1.0};
  std::atomic<bool> mDirty{true};
  std::atomic<bool> mHide{false};
  std::atomic<bool> mGrayed{false};
  std::atomic<bool> mRedraw{false};
  bool mDisablePrompt = true;
  bool mDblAsSingleClick = false;
  bool mMOWhenGrayed = false;
  IChannelBlend mBlend;
  ITextControl* mValDisplayControl = nullptr;
  ITextControl* mNameDisplayControl = nullptr;
  SkyString mTooltip;
};
