// GraphicsHeadless: the editor without a window. Drawing still happens into
// the off-screen bitmap, which tests read and tools can save. DrawScreen
// only records the region handed over. Popup menus, text entry and message
// boxes answer from a script set beforehand (first in, first out).
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "gui/graphics.h"
#include "gui/text_entry_edit.h"

class GraphicsHeadless : public Graphics {
 public:
  GraphicsHeadless(PlugBase* pPlug, int w, int h, int fps = 0) : Graphics(pPlug, w, h, fps) {}
  ~GraphicsHeadless() override;

  // --- The script ------------------------------------------------------------

  // The next menu picks item index of the menu shown (-1: dismissed). A
  // disabled, title or separator item, an index outside the menu, or an
  // empty script dismisses it.
  void ScriptMenuChoice(int index) { mMenuChoices.push_back(index); }
  // The next text field is committed with text at once; with an empty script
  // the field stays open until CommitTextEntry or ForceEndUserEdit.
  void ScriptTextEntry(const char* text) { mTextEntries.push_back(text ? text : ""); }
  // The next message box answers result; with an empty script, 0.
  void ScriptMessageBoxResult(int result) { mMessageBoxResults.push_back(result); }
  // The next file prompt chooses path; with an empty script it is cancelled.
  void ScriptFileChoice(const char* path) { mFileChoices.push_back(path ? path : ""); }
  // What the clipboard holds; null: nothing.
  void SetClipboardText(const char* text);
  // Ends the open text field as if the user had typed text (null: what the
  // field holds).
  void CommitTextEntry(const char* text = nullptr);
  // Types keys into the open field one by one, as the X11 field does: the
  // field opens with its text selected, so the first key replaces it; a key
  // that the field's rules refuse is dropped. False when no field is open.
  bool TypeIntoTextEntry(const char* keys);
  // What the open field holds.
  const std::string& TextEntryText() const { return mEntry.Text(); }
  // The open field's editing (caret, selection, keys), or null.
  ITextEntryEdit* TextEntryEdit() { return mEntryControl ? &mEntry : nullptr; }

  // --- What happened ---------------------------------------------------------

  // The last region DrawScreen received, and how many times it ran.
  const IRECT& LastScreenRECT() const { return mLastScreenRECT; }
  int NScreenUpdates() const { return mNScreenUpdates; }
  // The menus shown: the texts of their items, one list per menu.
  const std::vector<std::vector<std::string>>& MenusShown() const { return mMenusShown; }
  const IRECT& LastMenuRECT() const { return mLastMenuRECT; }
  // The open text field (null when none), its rectangle and the text it showed.
  IControl* TextEntryControl() const { return mEntryControl; }
  const IRECT& LastTextEntryRECT() const { return mLastEntryRECT; }
  const std::string& LastTextEntryText() const { return mLastEntryText; }
  // Addresses given to OpenURL, in order.
  const std::vector<std::string>& URLsOpened() const { return mURLs; }
  // Whether OpenURL reports success (default false: nothing can be shown).
  void SetOpenURLResult(bool result) { mOpenURLResult = result; }
  const std::string& LastMessageBoxText() const { return mLastMessageBoxText; }

  // --- Platform slots --------------------------------------------------------

  bool DrawScreen(IRECT* pR) override;
  void ForceEndUserEdit() override;
  const char* GetGUIAPI() override { return "Headless"; }
  int ShowMessageBox(const char* str, const char* caption, int type) override;
  IPopupMenu* CreateIPopupMenu(IPopupMenu* pMenu, IRECT* pAreaRect) override;
  void CreateTextEntry(IControl* pControl, IText* pText, IRECT* pTextRect, const char* str,
                       IParam* pParam) override;
  void HostPath(SkyString* pPath) override;
  void PluginPath(SkyString* pPath) override;
  void DesktopPath(SkyString* pPath) override;
  void AppSupportPath(SkyString* pPath, bool isSystem = false) override;
  void SandboxSafeAppSupportPath(SkyString* pPath) override;
  void PromptForFile(SkyString* pFilename, EFileAction action = kFileOpen,
                     SkyString* pDir = nullptr, const char* extensions = nullptr) override;
  bool PromptForColor(IColor*, const char* = nullptr) override { return false; }
  bool OpenURL(const char* url, const char* msgWindowTitle = nullptr,
               const char* confirmMsg = nullptr, const char* errMsgOnFailure = nullptr) override;
  // A window without a screen: opening always works (any parent) and
  // GetWindow returns a token for this editor until CloseWindow.
  void* OpenWindow(void* pParentWnd) override;
  void* OpenWindow(void* pWindow, void*, short = 0, short = 0) override {
    return OpenWindow(pWindow);
  }
  void CloseWindow() override;
  void* GetWindow() override { return mWindowOpen ? this : nullptr; }
  bool GetTextFromClipboard(SkyString* pStr) override;
  void UpdateTooltips() override {}
  // The embedded image of that name.
  PX_IBitmap* OSLoadBitmap(int ID, const char* name) override;

 private:
  void EndTextEntry(const char* text, bool commit);

  std::deque<int> mMenuChoices;
  std::deque<std::string> mTextEntries;
  std::deque<int> mMessageBoxResults;
  std::deque<std::string> mFileChoices;
  bool mHasClipboard = false;
  std::string mClipboard;

  IRECT mLastScreenRECT;
  int mNScreenUpdates = 0;
  std::vector<std::vector<std::string>> mMenusShown;
  IRECT mLastMenuRECT;
  IControl* mEntryControl = nullptr;
  IParam* mEntryParam = nullptr;
  ITextEntryEdit mEntry;
  IRECT mLastEntryRECT;
  std::string mLastEntryText;
  std::vector<std::string> mURLs;
  bool mOpenURLResult = false;
  std::string mLastMessageBoxText;
  bool mWindowOpen = false;
};
