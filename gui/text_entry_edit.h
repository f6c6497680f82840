// ITextEntryEdit: the editing of a one-line text field, without a window.
// The field opens with its whole text selected, so the first key typed
// replaces it. A selection runs between the anchor and the caret; typing,
// Backspace and Delete act on it when there is one. Every edit passes the
// field's format first: a refused edit leaves text, caret and selection as
// they were. Positions are byte offsets (the field holds plain ASCII).
#pragma once

#include <string>

#include "gui/text_entry_format.h"

class ITextEntryEdit {
 public:
  ITextEntryEdit() = default;
  ITextEntryEdit(const char* text, const ITextEntryFormat& format);

  const std::string& Text() const { return mText; }
  size_t Caret() const { return mCaret; }
  bool HasSelection() const { return mAnchor != mCaret; }
  size_t SelectionStart() const { return mAnchor < mCaret ? mAnchor : mCaret; }
  size_t SelectionEnd() const { return mAnchor < mCaret ? mCaret : mAnchor; }

  // Replaces the selection (or inserts at the caret); false when refused.
  bool Insert(const char* text);
  void Backspace();
  void Delete();
  // Moves the caret one character; with extend the selection follows it,
  // without it a selection collapses to its near end first.
  void Left(bool extend);
  void Right(bool extend);
  void Home(bool extend);
  void End(bool extend);
  void SelectAll();
  // Puts the caret at position (clamped to the text) and drops the selection.
  void PlaceCaret(size_t position);

 private:
  // Replaces [from, to) with text if the format accepts the result.
  bool Replace(size_t from, size_t to, const std::string& text);
  void MoveTo(size_t position, bool extend);

  ITextEntryFormat mFormat;
  std::string mText;
  size_t mAnchor = 0, mCaret = 0;
};
