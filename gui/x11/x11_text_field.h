// X11TextField: the one-line field the editor opens over a control to ask
// for a value. A child window of the editor's window that takes the keyboard
// focus; Return commits, Escape cancels. With a parameter, typing is limited
// to the characters of its kind (digits and signs, plus '.' for doubles) and
// to the control's text-entry length; a refused keystroke changes nothing.
#pragma once

#include <X11/Xlib.h>

#include <string>

#include "gui/irect.h"
#include "gui/itext.h"
#include "gui/text_entry_format.h"
#include "raster/pixels/bitmap.h"

class Graphics;
class IControl;
class IParam;

class X11TextField {
 public:
  enum EResult { kEditing, kCommit, kCancel };

  // The field over r (editor pixels) at the scale, showing text; null when
  // the window cannot be made. Call inside an error trap of the display.
  static X11TextField* Open(Graphics* pGraphics, Display* pDisplay, Window parent,
                            IControl* pControl, const IText* pText, const IRECT& r,
                            const char* text, IParam* pParam, int scale);
  ~X11TextField();
  X11TextField(const X11TextField&) = delete;
  X11TextField& operator=(const X11TextField&) = delete;

  Window GetWindow() const { return mWindow; }
  IControl* Control() const { return mControl; }
  IParam* Param() const { return mParam; }
  const std::string& Text() const { return mText; }

  // Edits for one key press; tells whether editing goes on.
  EResult OnKey(XKeyEvent* pEvent);
  // Inserts text at the caret if the result is acceptable; false otherwise.
  bool Insert(const char* text);
  void Paint();

 private:
  X11TextField(Graphics* pGraphics, Display* pDisplay, IControl* pControl, IParam* pParam,
               const IText* pText, const IRECT& r, int scale);

  Graphics* mGraphics;
  Display* mDisplay;
  Window mWindow = 0;
  IControl* mControl;
  IParam* mParam;
  IText mStyle;
  IRECT mRect;
  int mScale;
  ITextEntryFormat mFormat;
  std::string mText;
  size_t mCaret = 0;
  PX_MemBitmap mBitmap;
};
