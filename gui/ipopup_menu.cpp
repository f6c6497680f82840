#include "gui/ipopup_menu.h"

IPopupMenuItem::IPopupMenuItem(const char* text, int flags)
    : mText(text), mSubmenu(nullptr), mFlags(flags) {}

IPopupMenuItem::IPopupMenuItem(const char* text, IPopupMenu* pSubMenu)
    : mText(text), mSubmenu(pSubMenu), mFlags(kNoFlags) {}

void IPopupMenuItem::SetChecked(bool checked) {
  if (checked) {
    mFlags |= kChecked;
  } else {
    mFlags &= ~kChecked;
  }
}

IPopupMenu::IPopupMenu(int prefix, bool multiCheck) : mPrefix(0), mCanMultiCheck(multiCheck) {
  SetPrefix(prefix);
}

IPopupMenu::~IPopupMenu() { mMenuItems.Empty(true); }

IPopupMenuItem* IPopupMenu::AddItem(IPopupMenuItem* pItem, int index) {
  if (index == -1) return mMenuItems.Add(pItem);
  return mMenuItems.Insert(index, pItem);
}

IPopupMenuItem* IPopupMenu::AddItem(const char* text, int index, int flags) {
  return AddItem(new IPopupMenuItem(text, flags), index);
}

IPopupMenuItem* IPopupMenu::AddItem(const char* text, int index, IPopupMenu* pSubMenu) {
  return AddItem(new IPopupMenuItem(text, pSubMenu), index);
}

IPopupMenuItem* IPopupMenu::AddItem(const char* text, IPopupMenu* pSubMenu) {
  return AddItem(text, -1, pSubMenu);
}

IPopupMenuItem* IPopupMenu::AddSeparator(int index) {
  return AddItem("", index, IPopupMenuItem::kSeparator);
}

const char* IPopupMenu::GetItemText(int index) const {
  IPopupMenuItem* pItem = GetItem(index);
  return pItem ? pItem->GetText() : "";
}

void IPopupMenu::SetPrefix(int prefix) {
  if (prefix >= 0 && prefix <= 3) mPrefix = prefix;
}

bool IPopupMenu::CheckItem(int index, bool state) {
  IPopupMenuItem* pItem = GetItem(index);
  if (!pItem) return false;
  pItem->SetChecked(state);
  return true;
}

void IPopupMenu::CheckItemAlone(int index) {
  for (int i = 0; i < GetNItems(); ++i) CheckItem(i, i == index);
}

bool IPopupMenu::IsItemChecked(int index) const {
  IPopupMenuItem* pItem = GetItem(index);
  return pItem && pItem->GetChecked();
}
