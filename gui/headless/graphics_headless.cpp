#include "gui/headless/graphics_headless.h"

#include "gui/embedded_images.h"
#include "gui/icontrol.h"
#include "gui/ipopup_menu.h"
#include "gui/platform_paths.h"

// The plug-in is being destroyed around its editor: nothing may reach it now,
// so the window goes without the notices CloseWindow sends.
GraphicsHeadless::~GraphicsHeadless() {
  ForceEndUserEdit();
  mWindowOpen = false;
}

void GraphicsHeadless::SetClipboardText(const char* text) {
  mHasClipboard = text != nullptr;
  mClipboard = text ? text : "";
}

bool GraphicsHeadless::DrawScreen(IRECT* pR) {
  mLastScreenRECT = pR ? *pR : IRECT();
  ++mNScreenUpdates;
  return true;
}

int GraphicsHeadless::ShowMessageBox(const char* str, const char*, int) {
  mLastMessageBoxText = str ? str : "";
  if (mMessageBoxResults.empty()) return 0;
  const int result = mMessageBoxResults.front();
  mMessageBoxResults.pop_front();
  return result;
}

IPopupMenu* GraphicsHeadless::CreateIPopupMenu(IPopupMenu* pMenu, IRECT* pAreaRect) {
  ReleaseMouseCapture();
  if (!pMenu) return nullptr;
  std::vector<std::string> texts;
  for (int i = 0; i < pMenu->GetNItems(); ++i) texts.push_back(pMenu->GetItemText(i));
  mMenusShown.push_back(texts);
  mLastMenuRECT = pAreaRect ? *pAreaRect : IRECT();
  if (mMenuChoices.empty()) return nullptr;
  const int choice = mMenuChoices.front();
  mMenuChoices.pop_front();
  const IPopupMenuItem* pItem = pMenu->GetItem(choice);
  if (!pItem || !pItem->GetEnabled() || pItem->GetIsTitle() || pItem->GetIsSeparator()) {
    return nullptr;
  }
  pMenu->SetChosenItemIdx(choice);
  return pMenu;
}

void GraphicsHeadless::CreateTextEntry(IControl* pControl, IText*, IRECT* pTextRect,
                                       const char* str, IParam* pParam) {
  if (!pControl || mEntryControl) return;
  mEntryControl = pControl;
  mEntryParam = pParam;
  mLastEntryRECT = pTextRect ? *pTextRect : IRECT();
  mLastEntryText = str ? str : "";
  mEntry = ITextEntryEdit(mLastEntryText.c_str(), ITextEntryFormat::For(pControl, pParam));
  if (mTextEntries.empty()) return;
  const std::string text = mTextEntries.front();
  mTextEntries.pop_front();
  EndTextEntry(text.c_str(), true);
}

void GraphicsHeadless::CommitTextEntry(const char* text) {
  const std::string held = mEntry.Text();
  EndTextEntry(text ? text : held.c_str(), true);
}

bool GraphicsHeadless::TypeIntoTextEntry(const char* keys) {
  if (!mEntryControl || !keys) return false;
  for (; *keys; ++keys) {
    const char key[2] = {*keys, 0};
    mEntry.Insert(key);
  }
  return true;
}

void GraphicsHeadless::ForceEndUserEdit() { EndTextEntry(nullptr, false); }

void GraphicsHeadless::EndTextEntry(const char* text, bool commit) {
  IControl* pControl = mEntryControl;
  IParam* pParam = mEntryParam;
  mEntryControl = nullptr;
  mEntryParam = nullptr;
  if (!pControl || !commit) return;
  if (pParam) {
    SetFromStringAfterPrompt(pControl, pParam, text);
  } else {
    pControl->TextFromTextEntry(text ? text : "");
  }
}

void GraphicsHeadless::HostPath(SkyString* pPath) { GetHostPath(pPath); }

void GraphicsHeadless::PluginPath(SkyString* pPath) { GetModuleFolder(pPath); }

void GraphicsHeadless::DesktopPath(SkyString* pPath) { GetDesktopPath(pPath); }

void GraphicsHeadless::AppSupportPath(SkyString* pPath, bool isSystem) {
  GetAppSupportPath(pPath, isSystem);
}

void GraphicsHeadless::SandboxSafeAppSupportPath(SkyString* pPath) {
  GetSandboxSafeAppSupportPath(pPath);
}

void GraphicsHeadless::PromptForFile(SkyString* pFilename, EFileAction, SkyString* pDir,
                                     const char*) {
  if (!pFilename) return;
  pFilename->Set("");
  if (mFileChoices.empty()) return;
  const std::string path = mFileChoices.front();
  mFileChoices.pop_front();
  pFilename->Set(path.c_str());
  const size_t slash = path.rfind('/');
  if (pDir && slash != std::string::npos) pDir->Set(path.c_str(), static_cast<int>(slash) + 1);
}

bool GraphicsHeadless::OpenURL(const char* url, const char*, const char*, const char*) {
  mURLs.push_back(url ? url : "");
  return mOpenURLResult;
}

void* GraphicsHeadless::OpenWindow(void*) {
  CloseWindow();
  mWindowOpen = true;
  return this;
}

void GraphicsHeadless::CloseWindow() {
  ForceEndUserEdit();
  InterruptMouseGesture();
  mWindowOpen = false;
}

bool GraphicsHeadless::GetTextFromClipboard(SkyString* pStr) {
  if (!pStr) return false;
  pStr->Set(mClipboard.c_str());
  return mHasClipboard;
}

PX_IBitmap* GraphicsHeadless::OSLoadBitmap(int, const char* name) {
  return LoadEmbeddedBitmap(name);
}
