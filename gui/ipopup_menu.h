// IPopupMenu: the items of a context menu that the platform shows, and the
// item the user chose.
#pragma once

#include "base/ptrlist.h"
#include "base/sky_string.h"

class IPopupMenu;

class IPopupMenuItem {
 public:
  enum Flags {
    kNoFlags = 0,
    kDisabled = 1 << 0,
    kTitle = 1 << 1,
    kChecked = 1 << 2,
    kSeparator = 1 << 3
  };

  explicit IPopupMenuItem(const char* text, int flags = kNoFlags);
  // The submenu is not deleted with the item.
  IPopupMenuItem(const char* text, IPopupMenu* pSubMenu);

  void SetText(const char* text) { mText.Set(text); }
  const char* GetText() const { return mText.Get(); }
  void SetChecked(bool checked);
  bool GetChecked() const { return (mFlags & kChecked) != 0; }
  bool GetEnabled() const { return !(mFlags & kDisabled); }
  bool GetIsTitle() const { return (mFlags & kTitle) != 0; }
  bool GetIsSeparator() const { return (mFlags & kSeparator) != 0; }
  IPopupMenu* GetSubmenu() const { return mSubmenu; }
  int GetFlags() const { return mFlags; }

 private:
  SkyString mText;
  IPopupMenu* mSubmenu;
  int mFlags;
};

class IPopupMenu {
 public:
  // prefix 1, 2 or 3 puts the item's position ("%1d: ", "%02d: ", "%03d: ") in front of its text.
  explicit IPopupMenu(int prefix = 0, bool multiCheck = false);
  ~IPopupMenu();
  IPopupMenu(const IPopupMenu&) = delete;
  IPopupMenu& operator=(const IPopupMenu&) = delete;

  // index -1 appends; any other index inserts there. The menu owns the item.
  IPopupMenuItem* AddItem(IPopupMenuItem* pItem, int index = -1);
  IPopupMenuItem* AddItem(const char* text, int index = -1, int flags = IPopupMenuItem::kNoFlags);
  IPopupMenuItem* AddItem(const char* text, int index, IPopupMenu* pSubMenu);
  IPopupMenuItem* AddItem(const char* text, IPopupMenu* pSubMenu);
  IPopupMenuItem* AddSeparator(int index = -1);

  // Null outside 0 ... count - 1.
  IPopupMenuItem* GetItem(int index) const { return mMenuItems.Get(index); }
  // Empty for a missing item.
  const char* GetItemText(int index) const;
  int GetNItems() const { return mMenuItems.GetSize(); }
  // Values outside 0-3 are ignored.
  void SetPrefix(int prefix);
  int GetPrefix() const { return mPrefix; }
  bool GetCanMultiCheck() const { return mCanMultiCheck; }
  // False when there is no such item.
  bool CheckItem(int index, bool state);
  // Checks that item and unchecks every other.
  void CheckItemAlone(int index);
  bool IsItemChecked(int index) const;
  void SetChosenItemIdx(int index) { mChosenItemIdx = index; }
  int GetChosenItemIdx() const { return mChosenItemIdx; }

 private:
  int mPrefix;
  int mChosenItemIdx = -1;
  bool mCanMultiCheck;
  SkyPtrList<IPopupMenuItem> mMenuItems;
};
