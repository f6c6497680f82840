#include "gui/x11/x11_clipboard.h"

#include <X11/Xatom.h>
#include <poll.h>

#include <chrono>

namespace {

constexpr long kMaxBytes = 1 << 20;

using Clock = std::chrono::steady_clock;

// The owner's answer to our conversion request, or false at the deadline.
bool AwaitNotify(Display* pDisplay, Window requestor, Clock::time_point deadline, XEvent* pEvent) {
  for (;;) {
    if (XCheckTypedWindowEvent(pDisplay, requestor, SelectionNotify, pEvent)) return true;
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    pollfd p = {ConnectionNumber(pDisplay), POLLIN, 0};
    poll(&p, 1, static_cast<int>(left < 10 ? left : 10));
  }
}

void AppendLatin1AsUtf8(const unsigned char* pText, unsigned long n, std::string* pOut) {
  for (unsigned long i = 0; i < n; ++i) {
    const unsigned char c = pText[i];
    if (c < 0x80) {
      *pOut += static_cast<char>(c);
    } else {
      *pOut += static_cast<char>(0xC0 | (c >> 6));
      *pOut += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
}

// Takes the converted text out of the property (and deletes it).
bool TakeProperty(Display* pDisplay, Window requestor, Atom property, Atom target,
                  std::string* pText) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* pData = nullptr;
  if (XGetWindowProperty(pDisplay, requestor, property, 0, kMaxBytes / 4, True, AnyPropertyType,
                         &type, &format, &count, &after, &pData) != Success) {
    return false;
  }
  const bool whole = pData && format == 8 && after == 0 && type == target;
  if (whole) {
    pText->clear();
    if (target == XA_STRING) {
      AppendLatin1AsUtf8(pData, count, pText);
    } else {
      pText->assign(reinterpret_cast<const char*>(pData), count);
    }
  }
  if (pData) XFree(pData);
  return whole;
}

}  // namespace

bool X11ReadClipboardText(Display* pDisplay, Window requestor, std::string* pText, int timeoutMs) {
  if (!pDisplay || !requestor || !pText) return false;
  const Atom clipboard = XInternAtom(pDisplay, "CLIPBOARD", False);
  if (XGetSelectionOwner(pDisplay, clipboard) == None) return false;
  const Atom property = XInternAtom(pDisplay, "SKYLANE_CLIPBOARD", False);
  const Atom targets[] = {XInternAtom(pDisplay, "UTF8_STRING", False), XA_STRING};
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (const Atom target : targets) {
    XDeleteProperty(pDisplay, requestor, property);
    XConvertSelection(pDisplay, clipboard, target, property, requestor, CurrentTime);
    XFlush(pDisplay);
    XEvent event;
    if (!AwaitNotify(pDisplay, requestor, deadline, &event)) return false;
    if (event.xselection.property == None) continue;  // not offered in this form
    return TakeProperty(pDisplay, requestor, property, target, pText);
  }
  return false;
}
