#include "gui/x11/x11_message_box.h"

#include <poll.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <cstring>
#include <string>
#include <vector>

#include "gdi/gdi.h"
#include "gui/itext.h"
#include "gui/resource_caches.h"
#include "gui/x11/x11_colors.h"
#include "gui/x11/x11_paint.h"
#include "raster/raster.h"
#include "raster/text/text.h"

namespace {

constexpr int kMargin = 16;
constexpr int kWrapWidth = 360;
constexpr int kHeaderGap = 8;
constexpr int kRowGap = 18;
constexpr int kButtonW = 80;
constexpr int kButtonH = 26;
constexpr int kButtonGap = 8;
constexpr size_t kMaxCaptionLines = 3;
constexpr size_t kMaxTextLines = 30;
// Bounds the measuring work of one line, whatever the glyphs' widths.
constexpr size_t kMaxLineBytes = 400;
constexpr size_t kMaxTitleBytes = 255;
constexpr int kMaxOwnerDepth = 64;
constexpr int kWaitMs = 50;
const int kAnswers[] = {1, 7, 2};
const IColor kButtonFace(255, 228, 228, 228);
const IColor kButtonPressed(255, 190, 190, 190);

// One font the box makes for itself: it has no editor's font cache at hand.
// Fonts share state in the raster library, so they are made and freed under
// the text lock. The style's cached font points at it while it lives.
class OwnedFont {
 public:
  explicit OwnedFont(IText* pStyle) : mStyle(pStyle) {
    ResourceUse use;
    if (!use) return;
    TextLock lock;
    HFONT hFont = CreateFont(pStyle->mSize, 0, 0, 0,
                             pStyle->mStyle == IText::kStyleBold ? FW_BOLD : FW_NORMAL, 0, 0, 0, 0,
                             0, 0, 0, 0, pStyle->mFont);
    if (!hFont) return;
    mFont = new PX_CachedFont;
    mFont->SetFromHFont(hFont, PX_FONT_FLAG_OWNS_HFONT);
    pStyle->mCached = mFont;
  }
  ~OwnedFont() {
    mStyle->mCached = nullptr;
    TextLock lock;
    delete mFont;
  }
  OwnedFont(const OwnedFont&) = delete;
  OwnedFont& operator=(const OwnedFont&) = delete;

  int LineHeight() const {
    return mFont && mFont->GetLineHeight() > 0 ? mFont->GetLineHeight() : mStyle->mSize;
  }

 private:
  IText* mStyle;
  PX_CachedFont* mFont = nullptr;
};

// Text measuring and drawing go through the style's own font only: without
// one the box shows no text rather than reach for an editor's cache.
int Width(IText* pStyle, const char* text, size_t len) {
  return pStyle->mCached ? X11TextWidth(nullptr, pStyle, text, (int)len) : 0;
}

void Draw(PX_IBitmap* pBitmap, IText* pStyle, const std::string& text, RECT r, unsigned flags) {
  if (pStyle->mCached) X11DrawText(nullptr, pBitmap, pStyle, text.c_str(), -1, &r, flags);
}

size_t NextChar(const char* text, size_t i, size_t n) {
  ++i;
  while (i < n && (text[i] & 0xC0) == 0x80) ++i;
  return i;
}

bool IsBreak(char c) { return c == '\n' || c == '\r'; }

// Splits text into lines no wider than width: at spaces where it can, inside
// a word only when the word alone is too wide, and at line breaks. At most
// maxLines; the last one ends in "..." when text is left over.
std::vector<std::string> Wrap(IText* pStyle, const char* text, int width, size_t maxLines) {
  std::vector<std::string> lines;
  const size_t n = strlen(text);
  size_t pos = 0;
  while (lines.size() < maxLines) {
    size_t end = pos, space = std::string::npos;
    while (end < n && !IsBreak(text[end]) && end - pos < kMaxLineBytes) {
      const size_t next = NextChar(text, end, n);
      if (end > pos && Width(pStyle, text + pos, next - pos) > width) break;
      if (text[end] == ' ') space = end;
      end = next;
    }
    size_t lineEnd = end;
    if (end < n && !IsBreak(text[end]) && text[end] != ' ' && space != std::string::npos &&
        space > pos) {
      lineEnd = space;
    }
    lines.push_back(std::string(text + pos, lineEnd - pos));
    pos = lineEnd;
    while (pos < n && text[pos] == ' ') ++pos;
    if (pos < n && text[pos] == '\r') ++pos;
    if (pos < n && text[pos] == '\n') ++pos;
    if (pos >= n) return lines;
  }
  lines.back() += "...";
  return lines;
}

int WidestLine(IText* pStyle, const std::vector<std::string>& lines) {
  int w = 0;
  for (const std::string& line : lines) {
    const int lineW = Width(pStyle, line.c_str(), line.size());
    if (lineW > w) w = lineW;
  }
  return w;
}

bool HasProperty(Display* pDisplay, Window window, Atom property) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* pData = nullptr;
  const int status = XGetWindowProperty(pDisplay, window, property, 0, 0, False, AnyPropertyType,
                                        &type, &format, &count, &after, &pData);
  if (pData) XFree(pData);
  return status == Success && type != None;
}

// The owner's top-level window: the nearest ancestor the window manager
// manages (it carries WM_STATE), else the ancestor just below the root.
Window TopLevelOf(Display* pDisplay, Window window) {
  const Atom wmState = XInternAtom(pDisplay, "WM_STATE", True);
  for (int depth = 0; depth < kMaxOwnerDepth; ++depth) {
    if (wmState != None && HasProperty(pDisplay, window, wmState)) return window;
    Window root = 0, parent = 0, *pChildren = nullptr;
    unsigned n = 0;
    if (!XQueryTree(pDisplay, window, &root, &parent, &pChildren, &n)) return window;
    if (pChildren) XFree(pChildren);
    if (!parent || parent == root) return window;
    window = parent;
  }
  return window;
}

// The caption cut to a title's length at a character boundary.
std::string Title(const char* caption) {
  const size_t n = strlen(caption);
  size_t end = 0;
  while (end < n) {
    const size_t next = NextChar(caption, end, n);
    if (next > kMaxTitleBytes) break;
    end = next;
  }
  return std::string(caption, end);
}

void SetAtomProperty(Display* pDisplay, Window window, const char* property, const char* value) {
  const Atom atom = XInternAtom(pDisplay, value, False);
  XChangeProperty(pDisplay, window, XInternAtom(pDisplay, property, False), XA_ATOM, 32,
                  PropModeReplace, (const unsigned char*)&atom, 1);
}

Bool MatchesWindow(Display*, XEvent* pEvent, XPointer window) {
  return pEvent->xany.window == (Window)window ? True : False;
}

bool IsInput(int type) {
  return type == KeyPress || type == KeyRelease || type == ButtonPress || type == ButtonRelease ||
         type == MotionNotify || type == EnterNotify || type == LeaveNotify;
}

class MessageBox {
 public:
  MessageBox(Display* pDisplay, X11MenuOwner* pOwner, int type);
  ~MessageBox();
  MessageBox(const MessageBox&) = delete;
  MessageBox& operator=(const MessageBox&) = delete;

  // Lays the box out and shows it; false when its window cannot be made.
  bool Open(Window owner, const char* text, const char* caption);
  // The chosen button's index once the loop ends.
  int Run();
  int EscapeButton() const { return (int)mLabels.size() - 1; }

 private:
  void Layout(const char* text, const char* caption);
  void SetProperties(Window owner, const char* caption, int x, int y);
  void Paint();
  int ButtonAt(int x, int y) const;
  void Handle(XEvent* pEvent);
  void HandleOwn(XEvent* pEvent);

  Display* mDisplay;
  X11MenuOwner* mOwner;
  std::vector<const char*> mLabels;
  IText mHeaderStyle, mTextStyle;
  OwnedFont mHeaderFont, mTextFont;
  std::vector<std::string> mHeader, mLines;
  int mW = 0, mH = 0;
  Window mWindow = 0;
  Atom mProtocols = None, mDeleteWindow = None;
  int mPressed = -1;
  int mChosen = -1;
};

MessageBox::MessageBox(Display* pDisplay, X11MenuOwner* pOwner, int type)
    : mDisplay(pDisplay),
      mOwner(pOwner),
      mHeaderStyle(14, &kX11WindowText, "sans-serif", IText::kStyleBold, IText::kAlignNear),
      mTextStyle(13, &kX11WindowText, "sans-serif", IText::kStyleNormal, IText::kAlignNear),
      mHeaderFont(&mHeaderStyle),
      mTextFont(&mTextStyle) {
  if (type == 3 || type == 4) {
    mLabels = {"Yes", "No"};
    if (type == 3) mLabels.push_back("Cancel");
  } else {
    mLabels = {"OK"};
    if (type == 1) mLabels.push_back("Cancel");
  }
}

MessageBox::~MessageBox() {
  if (!mWindow) return;
  XDestroyWindow(mDisplay, mWindow);
  XSync(mDisplay, False);
  // What the window still had queued concerns nobody else.
  XEvent event;
  while (XCheckIfEvent(mDisplay, &event, &MatchesWindow, (XPointer)mWindow)) {
  }
}

void MessageBox::Layout(const char* text, const char* caption) {
  if (*caption) mHeader = Wrap(&mHeaderStyle, caption, kWrapWidth, kMaxCaptionLines);
  if (*text) mLines = Wrap(&mTextStyle, text, kWrapWidth, kMaxTextLines);
  const int count = (int)mLabels.size();
  int w = count * kButtonW + (count - 1) * kButtonGap;
  const int headerW = WidestLine(&mHeaderStyle, mHeader), textW = WidestLine(&mTextStyle, mLines);
  if (headerW > w) w = headerW;
  if (textW > w) w = textW;
  mW = w + 2 * kMargin;
  mH = kMargin + (int)mHeader.size() * mHeaderFont.LineHeight();
  if (!mHeader.empty() && !mLines.empty()) mH += kHeaderGap;
  mH += (int)mLines.size() * mTextFont.LineHeight() + kRowGap + kButtonH + kMargin;
}

bool MessageBox::Open(Window owner, const char* text, const char* caption) {
  XWindowAttributes ownerAttributes;
  if (!XGetWindowAttributes(mDisplay, owner, &ownerAttributes)) return false;
  Layout(text, caption);
  // Centred on the owner, kept on the screen.
  Window child;
  int ownerX = 0, ownerY = 0;
  XTranslateCoordinates(mDisplay, owner, DefaultRootWindow(mDisplay), 0, 0, &ownerX, &ownerY,
                        &child);
  const int screen = DefaultScreen(mDisplay);
  const int sw = DisplayWidth(mDisplay, screen), sh = DisplayHeight(mDisplay, screen);
  int x = ownerX + (ownerAttributes.width - mW) / 2, y = ownerY + (ownerAttributes.height - mH) / 2;
  if (x + mW > sw) x = sw - mW;
  if (y + mH > sh) y = sh - mH;
  if (x < 0) x = 0;
  if (y < 0) y = 0;
  XSetWindowAttributes a = {};
  a.event_mask =
      ExposureMask | ButtonPressMask | ButtonReleaseMask | KeyPressMask | StructureNotifyMask;
  a.background_pixmap = None;
  mWindow =
      XCreateWindow(mDisplay, DefaultRootWindow(mDisplay), x, y, (unsigned)mW, (unsigned)mH, 0,
                    CopyFromParent, InputOutput, CopyFromParent, CWEventMask | CWBackPixmap, &a);
  if (!mWindow) return false;
  SetProperties(owner, caption, x, y);
  XMapRaised(mDisplay, mWindow);
  return true;
}

void MessageBox::SetProperties(Window owner, const char* caption, int x, int y) {
  XSizeHints* pHints = XAllocSizeHints();
  if (pHints) {
    pHints->flags = PPosition | PMinSize | PMaxSize;
    pHints->x = x;
    pHints->y = y;
    pHints->min_width = pHints->max_width = mW;
    pHints->min_height = pHints->max_height = mH;
    XSetWMNormalHints(mDisplay, mWindow, pHints);
    XFree(pHints);
  }
  XSetTransientForHint(mDisplay, mWindow, TopLevelOf(mDisplay, owner));
  const std::string title = Title(caption);
  XStoreName(mDisplay, mWindow, title.c_str());
  XChangeProperty(mDisplay, mWindow, XInternAtom(mDisplay, "_NET_WM_NAME", False),
                  XInternAtom(mDisplay, "UTF8_STRING", False), 8, PropModeReplace,
                  (const unsigned char*)title.data(), (int)title.size());
  SetAtomProperty(mDisplay, mWindow, "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_DIALOG");
  SetAtomProperty(mDisplay, mWindow, "_NET_WM_STATE", "_NET_WM_STATE_MODAL");
  mProtocols = XInternAtom(mDisplay, "WM_PROTOCOLS", False);
  mDeleteWindow = XInternAtom(mDisplay, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(mDisplay, mWindow, &mDeleteWindow, 1);
}

void MessageBox::Paint() {
  PX_MemBitmap bitmap(mW, mH);
  PX_FillRect(&bitmap, 0, 0, mW, mH, PxColor(&kX11WindowBackground), 1.0f, 0);
  int y = kMargin;
  for (const std::string& line : mHeader) {
    const int h = mHeaderFont.LineHeight();
    Draw(&bitmap, &mHeaderStyle, line, RECT{kMargin, y, mW - kMargin, y + h}, DT_LEFT | DT_NOCLIP);
    y += h;
  }
  if (!mHeader.empty()) y += kHeaderGap;
  for (const std::string& line : mLines) {
    const int h = mTextFont.LineHeight();
    Draw(&bitmap, &mTextStyle, line, RECT{kMargin, y, mW - kMargin, y + h}, DT_LEFT | DT_NOCLIP);
    y += h;
  }
  for (int i = 0; i < (int)mLabels.size(); ++i) {
    const IRECT r = X11MessageBoxButtonRect(mW, mH, (int)mLabels.size(), i);
    // The default button wears a wider border of the highlight colour.
    const int border = i == 0 ? 2 : 1;
    PX_FillRect(&bitmap, r.L, r.T, r.W(), r.H(),
                PxColor(i == 0 ? &kX11WindowHighlight : &kX11WindowBorder), 1.0f, 0);
    PX_FillRect(&bitmap, r.L + border, r.T + border, r.W() - 2 * border, r.H() - 2 * border,
                PxColor(i == mPressed ? &kButtonPressed : &kButtonFace), 1.0f, 0);
    Draw(&bitmap, &mTextStyle, mLabels[i], RECT{r.L, r.T, r.R, r.B},
         DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  X11PutBitmap(mDisplay, mWindow, &bitmap, 1);
}

int MessageBox::ButtonAt(int x, int y) const {
  for (int i = 0; i < (int)mLabels.size(); ++i) {
    if (X11MessageBoxButtonRect(mW, mH, (int)mLabels.size(), i).Contains(x, y)) return i;
  }
  return -1;
}

void MessageBox::HandleOwn(XEvent* pEvent) {
  switch (pEvent->type) {
    case Expose:
      if (pEvent->xexpose.count == 0) Paint();
      break;
    case MapNotify: XSetInputFocus(mDisplay, mWindow, RevertToParent, CurrentTime); break;
    case DestroyNotify:
      mWindow = 0;
      mChosen = EscapeButton();
      break;
    case ButtonPress:
      if (pEvent->xbutton.button != Button1) break;
      mPressed = ButtonAt(pEvent->xbutton.x, pEvent->xbutton.y);
      Paint();
      break;
    case ButtonRelease: {
      if (pEvent->xbutton.button != Button1) break;
      const int button = ButtonAt(pEvent->xbutton.x, pEvent->xbutton.y);
      if (button >= 0 && button == mPressed) {
        mChosen = button;
        break;
      }
      mPressed = -1;
      Paint();
      break;
    }
    case KeyPress: {
      const KeySym sym = XLookupKeysym(&pEvent->xkey, 0);
      if (sym == XK_Return || sym == XK_KP_Enter) mChosen = 0;
      if (sym == XK_Escape) mChosen = EscapeButton();
      break;
    }
    case ClientMessage:
      if (pEvent->xclient.message_type == mProtocols && pEvent->xclient.format == 32 &&
          (Atom)pEvent->xclient.data.l[0] == mDeleteWindow) {
        mChosen = EscapeButton();
      }
      break;
    default: break;
  }
}

// Input for other windows is dropped while the box is up; the rest (the
// editor's exposes among it) goes to the owner.
void MessageBox::Handle(XEvent* pEvent) {
  if (pEvent->xany.window == mWindow) {
    HandleOwn(pEvent);
  } else if (!IsInput(pEvent->type)) {
    mOwner->MenuPassEvent(pEvent);
  }
}

int MessageBox::Run() {
  while (mChosen < 0) {
    if (mOwner->MenuShouldClose()) return EscapeButton();
    if (!XPending(mDisplay)) {
      pollfd p = {ConnectionNumber(mDisplay), POLLIN, 0};
      poll(&p, 1, kWaitMs);
      continue;
    }
    XEvent event;
    XNextEvent(mDisplay, &event);
    Handle(&event);
  }
  return mChosen;
}

}  // namespace

IRECT X11MessageBoxButtonRect(int w, int h, int count, int index) {
  if (count <= 0 || index < 0 || index >= count) return IRECT();
  const int rowW = count * kButtonW + (count - 1) * kButtonGap;
  const int left = w - kMargin - rowW + index * (kButtonW + kButtonGap);
  const int top = h - kMargin - kButtonH;
  return IRECT(left, top, left + kButtonW, top + kButtonH);
}

int X11ShowMessageBox(Display* pDisplay, Window owner, const char* text, const char* caption,
                      int type, X11MenuOwner* pOwner) {
  if (!pDisplay || !owner || !pOwner) return 0;
  MessageBox box(pDisplay, pOwner, type);
  int button = box.EscapeButton();
  if (!pOwner->MenuShouldClose() && box.Open(owner, text ? text : "", caption ? caption : "")) {
    button = box.Run();
  }
  return kAnswers[button];
}
