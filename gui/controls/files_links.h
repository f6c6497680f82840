// Links and file selectors: controls that hand a click to the desktop.
#pragma once

#include "gui/controls/bitmaps.h"
#include "gui/graphics.h"

// An invisible area that opens a web address when clicked, or the backup
// address when the first cannot be opened.
class IURLControl : public IControl {
 public:
  // Addresses of 256 characters or more (messages of 1024 or more) are
  // refused: the field stays empty rather than holding a cut address.
  IURLControl(PlugBase* pPlug, IRECT pR, const char* url, const char* backupURL = nullptr,
              const char* errMsgOnFailure = nullptr);

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  bool Draw(Graphics*) override { return true; }

 private:
  char mURL[256] = {};
  char mBackupURL[256] = {};
  char mErrMsg[1024] = {};
};

// Asks the user for a file when clicked. Its value toggles between 0 and 1
// on every choice so that the plug-in sees a change, and the bitmap shows
// while the dialog is open.
class IFileSelectorControl : public IControl {
 public:
  enum EFileSelectorState { kFSNone = 0, kFSSelecting, kFSDone };

  // extensions: space-separated, as the platform's dialog takes them.
  IFileSelectorControl(PlugBase* pPlug, IRECT pR, int paramIdx, IBitmap* pBitmap,
                       EFileAction action, const char* dir = "", const char* extensions = "");

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  bool Draw(Graphics* pGraphics) override;
  // Once more after a choice, so that the plug-in's display follows.
  bool IsDirty() override;

  void GetLastSelectedFileForPlug(SkyString* pStr) const { pStr->Set(mFile.Get()); }
  void SetLastSelectedFileFromPlug(const char* file) { mFile.Set(file); }

 private:
  IBitmap mBitmap;
  SkyString mDir, mFile, mExtensions;
  EFileAction mFileAction;
  EFileSelectorState mState = kFSNone;
};
