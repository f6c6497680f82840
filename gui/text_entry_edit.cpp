#include "gui/text_entry_edit.h"

ITextEntryEdit::ITextEntryEdit(const char* text, const ITextEntryFormat& format)
    : mFormat(format), mText(text ? text : ""), mAnchor(0), mCaret(mText.size()) {}

bool ITextEntryEdit::Replace(size_t from, size_t to, const std::string& text) {
  std::string edited = mText;
  edited.replace(from, to - from, text);
  if (!mFormat.Accepts(edited.c_str())) return false;
  mText = edited;
  mCaret = mAnchor = from + text.size();
  return true;
}

bool ITextEntryEdit::Insert(const char* text) {
  return text && Replace(SelectionStart(), SelectionEnd(), text);
}

void ITextEntryEdit::Backspace() {
  if (HasSelection()) {
    Replace(SelectionStart(), SelectionEnd(), "");
  } else if (mCaret > 0) {
    Replace(mCaret - 1, mCaret, "");
  }
}

void ITextEntryEdit::Delete() {
  if (HasSelection()) {
    Replace(SelectionStart(), SelectionEnd(), "");
  } else if (mCaret < mText.size()) {
    Replace(mCaret, mCaret + 1, "");
  }
}

void ITextEntryEdit::MoveTo(size_t position, bool extend) {
  mCaret = position < mText.size() ? position : mText.size();
  if (!extend) mAnchor = mCaret;
}

void ITextEntryEdit::Left(bool extend) {
  if (!extend && HasSelection()) return MoveTo(SelectionStart(), false);
  MoveTo(mCaret > 0 ? mCaret - 1 : 0, extend);
}

void ITextEntryEdit::Right(bool extend) {
  if (!extend && HasSelection()) return MoveTo(SelectionEnd(), false);
  MoveTo(mCaret + 1, extend);
}

void ITextEntryEdit::Home(bool extend) { MoveTo(0, extend); }

void ITextEntryEdit::End(bool extend) { MoveTo(mText.size(), extend); }

void ITextEntryEdit::SelectAll() {
  mAnchor = 0;
  mCaret = mText.size();
}

void ITextEntryEdit::PlaceCaret(size_t position) { MoveTo(position, false); }
