#include "gui/controls/files_links.h"

#include <cstring>

#include "plug/plug_base.h"

namespace {

// Copies text when it fits the field with its terminator; otherwise leaves
// the field empty.
template <size_t N>
void CopyIfFits(char (&field)[N], const char* text) {
  if (text && strnlen(text, N) < N) memcpy(field, text, strlen(text) + 1);
}

}  // namespace

IURLControl::IURLControl(PlugBase* pPlug, IRECT pR, const char* url, const char* backupURL,
                         const char* errMsgOnFailure)
    : IControl(pPlug, pR) {
  CopyIfFits(mURL, url);
  CopyIfFits(mBackupURL, backupURL);
  CopyIfFits(mErrMsg, errMsgOnFailure);
}

void IURLControl::OnMouseDown(int, int, IMouseMod*) {
  Graphics* pGraphics = mPlug ? mPlug->GetGUI() : nullptr;
  if (!pGraphics) return;
  bool opened = false;
  if (mURL[0]) opened = pGraphics->OpenURL(mURL, mErrMsg, nullptr, nullptr);
  if (!opened && mBackupURL[0]) pGraphics->OpenURL(mBackupURL, mErrMsg, nullptr, nullptr);
}

IFileSelectorControl::IFileSelectorControl(PlugBase* pPlug, IRECT pR, int paramIdx,
                                           IBitmap* pBitmap, EFileAction action, const char* dir,
                                           const char* extensions)
    : IControl(pPlug, pR, paramIdx),
      mBitmap(*pBitmap),
      mDir(dir),
      mExtensions(extensions),
      mFileAction(action) {}

void IFileSelectorControl::OnMouseDown(int, int, IMouseMod*) {
  Graphics* pGraphics = mPlug ? mPlug->GetGUI() : nullptr;
  if (!pGraphics) return;
  mState = kFSSelecting;
  SetDirty(false);
  pGraphics->PromptForFile(&mFile, mFileAction, &mDir, mExtensions.Get());
  const double value = GetValue() + 1.0;
  SetValue(value > 1.0 ? 0.0 : value);
  mState = kFSDone;
  SetDirty(true);
}

bool IFileSelectorControl::Draw(Graphics* pGraphics) {
  if (mState == kFSSelecting) pGraphics->DrawBitmap(&mBitmap, &mRECT, 0, 0, nullptr);
  return true;
}

bool IFileSelectorControl::IsDirty() {
  if (IControl::IsDirty()) return true;
  if (mState != kFSDone) return false;
  mState = kFSNone;
  return true;
}
