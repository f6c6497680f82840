// X11TextField: the one-line field the editor opens over a control to ask
// for a value. A child window of the editor's window that takes the keyboard
// focus; Return commits, Escape cancels. It opens with its whole text
// selected, so the first key typed replaces the value; the arrows (with
// Shift to select), Home, End, Backspace, Delete, Control+A and a click that
// places the caret edit as in any text field. It is at least as wide as its
// control or 64 pixels and uses the control's text size. With a parameter,
// typing is limited to the characters of its kind (digits and signs, plus '.'
// for doubles) and to the control's text-entry length; a refused keystroke
// changes nothing.
#pragma once

#include <X11/Xlib.h>

#include <string>

#include "gui/irect.h"
#include "gui/itext.h"
#include "gui/text_entry_edit.h"
#include "raster/pixels/bitmap.h"

class Graphics;
class IControl;
class IParam;

class X11TextField {
 public:
  enum EResult { kEditing, kCommit, kCancel };

  // The field over r (editor pixels, widened and kept inside the editor) at
  // the scale, showing text; null when the window cannot be made. Call
  // inside an error trap of the display.
  static X11TextField* Open(Graphics* pGraphics, Display* pDisplay, Window parent,
                            IControl* pControl, const IText* pText, const IRECT& r,
                            const char* text, IParam* pParam, int scale);
  ~X11TextField();
  X11TextField(const X11TextField&) = delete;
  X11TextField& operator=(const X11TextField&) = delete;

  Window GetWindow() const { return mWindow; }
  IControl* Control() const { return mControl; }
  IParam* Param() const { return mParam; }
  const std::string& Text() const { return mEdit.Text(); }
  const ITextEntryEdit& Edit() const { return mEdit; }
  // The field's place in the editor (editor pixels).
  const IRECT& Rect() const { return mRect; }

  // Edits for one key press; tells whether editing goes on.
  EResult OnKey(XKeyEvent* pEvent);
  // A press at x (window pixels) puts the caret at the nearest character edge.
  void OnClick(int x);
  // Replaces the selection or inserts at the caret if the result is
  // acceptable; false otherwise.
  bool Insert(const char* text);
  void Paint();

  // The field's rectangle for a control's text rectangle r: at least 64
  // pixels or r's width wide, tall enough for the text size, inside the
  // editor (w x h).
  static IRECT FieldRect(const IRECT& r, int textSize, int w, int h);

 private:
  // Where the text starts in the field (window pixels, at the scale).
  int TextX() const;
  int TextWidth(size_t len) const;

  X11TextField(Graphics* pGraphics, Display* pDisplay, IControl* pControl, IParam* pParam,
               const IText* pText, const IRECT& r, int scale);

  Graphics* mGraphics;
  Display* mDisplay;
  Window mWindow = 0;
  IControl* mControl;
  IParam* mParam;
  mutable IText mStyle;  // its cached font is set on first use
  IRECT mRect;
  int mScale;
  ITextEntryEdit mEdit;
  PX_MemBitmap mBitmap;
};
