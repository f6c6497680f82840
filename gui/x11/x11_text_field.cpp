#include "gui/x11/x11_text_field.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <cstdlib>

#include "gui/graphics.h"
#include "gui/x11/x11_paint.h"
#include "raster/raster.h"

namespace {

constexpr int kPadding = 2;
constexpr int kMinWidth = 64;
// The selection's background: a light blue under the entry's own text colour.
const IColor kSelectionColor(255, 173, 214, 255);

// [start, start + length) moved to lie inside [0, limit) where it fits.
void KeepInside(int* start, int length, int limit) {
  if (*start + length > limit) *start = limit - length;
  if (*start < 0) *start = 0;
}

}  // namespace

IRECT X11TextField::FieldRect(const IRECT& r, int textSize, int w, int h) {
  const int width = r.W() > kMinWidth ? r.W() : kMinWidth;
  const int height = r.H() > textSize + 2 * kPadding ? r.H() : textSize + 2 * kPadding;
  int left = r.L, top = r.T - (height - r.H()) / 2;
  KeepInside(&left, width, w);
  KeepInside(&top, height, h);
  return IRECT(left, top, left + width, top + height);
}

X11TextField::X11TextField(Graphics* pGraphics, Display* pDisplay, IControl* pControl,
                           IParam* pParam, const IText* pText, const IRECT& r, int scale)
    : mGraphics(pGraphics),
      mDisplay(pDisplay),
      mControl(pControl),
      mParam(pParam),
      mStyle(*pText),
      mRect(r),
      mScale(scale),
      mBitmap(r.W() * scale, r.H() * scale) {
  // Drawn at the window's scale: text in a font of scale x the size.
  mStyle.mSize = pText->mSize * scale;
  mStyle.mColor = pText->mTextEntryFGColor;
  mStyle.mCached = nullptr;
}

X11TextField* X11TextField::Open(Graphics* pGraphics, Display* pDisplay, Window parent,
                                 IControl* pControl, const IText* pText, const IRECT& r,
                                 const char* text, IParam* pParam, int scale) {
  if (!pControl || !pText || r.W() <= 0 || r.H() <= 0) return nullptr;
  const IRECT fr = FieldRect(r, pText->mSize, pGraphics->Width(), pGraphics->Height());
  X11TextField* pField = new X11TextField(pGraphics, pDisplay, pControl, pParam, pText, fr, scale);
  pField->mEdit = ITextEntryEdit(text, ITextEntryFormat::For(pControl, pParam));
  XSetWindowAttributes a = {};
  a.event_mask = ExposureMask | KeyPressMask | ButtonPressMask | StructureNotifyMask;
  a.background_pixmap = None;
  pField->mWindow =
      XCreateWindow(pDisplay, parent, fr.L * scale, fr.T * scale, (unsigned)(fr.W() * scale),
                    (unsigned)(fr.H() * scale), 0, CopyFromParent, InputOutput, CopyFromParent,
                    CWEventMask | CWBackPixmap, &a);
  if (!pField->mWindow) {
    delete pField;
    return nullptr;
  }
  XMapRaised(pDisplay, pField->mWindow);
  // The field takes the keys while it is open.
  XSync(pDisplay, False);
  XSetInputFocus(pDisplay, pField->mWindow, RevertToParent, CurrentTime);
  pField->Paint();
  return pField;
}

X11TextField::~X11TextField() {
  if (mWindow) XDestroyWindow(mDisplay, mWindow);
}

bool X11TextField::Insert(const char* text) { return mEdit.Insert(text); }

X11TextField::EResult X11TextField::OnKey(XKeyEvent* pEvent) {
  char chars[16];
  KeySym sym = NoSymbol;
  const int n = XLookupString(pEvent, chars, sizeof chars - 1, &sym, nullptr);
  const bool shift = (pEvent->state & ShiftMask) != 0;
  const bool control = (pEvent->state & ControlMask) != 0;
  switch (sym) {
    case XK_Return:
    case XK_KP_Enter: return kCommit;
    case XK_Escape: return kCancel;
    case XK_BackSpace: mEdit.Backspace(); break;
    case XK_Delete:
    case XK_KP_Delete: mEdit.Delete(); break;
    case XK_Left:
    case XK_KP_Left: mEdit.Left(shift); break;
    case XK_Right:
    case XK_KP_Right: mEdit.Right(shift); break;
    case XK_Home:
    case XK_KP_Home: mEdit.Home(shift); break;
    case XK_End:
    case XK_KP_End: mEdit.End(shift); break;
    default:
      if (control && (sym == XK_a || sym == XK_A)) {
        mEdit.SelectAll();
      } else if (!control && n == 1 && chars[0] >= 0x20 && chars[0] < 0x7F) {
        // Printable ASCII only: the field shows one line of plain characters.
        chars[1] = 0;
        mEdit.Insert(chars);
      }
      break;
  }
  Paint();
  return kEditing;
}

void X11TextField::OnClick(int x) {
  const int target = x - TextX();
  const std::string& text = mEdit.Text();
  size_t best = 0;
  int bestDistance = abs(target);
  for (size_t i = 1; i <= text.size(); ++i) {
    const int distance = abs(TextWidth(i) - target);
    if (distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  mEdit.PlaceCaret(best);
  Paint();
}

int X11TextField::TextWidth(size_t len) const {
  return X11TextWidth(mGraphics, &mStyle, mEdit.Text().c_str(), (int)len);
}

int X11TextField::TextX() const {
  const int w = mRect.W() * mScale, textW = TextWidth(mEdit.Text().size());
  const int padding = kPadding * mScale;
  int x = padding;
  if (mStyle.mAlign == IText::kAlignCenter) x = (w - textW) / 2;
  if (mStyle.mAlign == IText::kAlignFar) x = w - padding - textW;
  return x < padding ? padding : x;
}

void X11TextField::Paint() {
  const int s = mScale, w = mRect.W() * s, h = mRect.H() * s;
  const std::string& text = mEdit.Text();
  PX_FillRect(&mBitmap, 0, 0, w, h, PxColor(&mStyle.mTextEntryBGColor), 1.0f, 0);
  const int x = TextX();
  if (mEdit.HasSelection()) {
    const int from = x + TextWidth(mEdit.SelectionStart());
    const int to = x + TextWidth(mEdit.SelectionEnd());
    PX_FillRect(&mBitmap, from, s, to - from, h - 2 * s, PxColor(&kSelectionColor), 1.0f, 0);
  }
  RECT r = {x, 0, w, h};
  X11DrawText(mGraphics, &mBitmap, &mStyle, text.c_str(), (int)text.size(), &r,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  const int caretX = x + TextWidth(mEdit.Caret());
  if (caretX < w) {
    PX_FillRect(&mBitmap, caretX, 2 * s, s, h - 4 * s > 0 ? h - 4 * s : h, PxColor(&mStyle.mColor),
                1.0f, 0);
  }
  X11PutBitmap(mDisplay, mWindow, &mBitmap, 1);
}
