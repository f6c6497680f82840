#include "tests/gui/x11/x11_test_support.h"

#include <X11/Xutil.h>
#include <dirent.h>

#include <cstdlib>
#include <thread>

#include "gui/x11/x11_pixels.h"
#include "raster/pixels/bitmap.h"
#include "tests/gui/x11/xvfb_server.h"

namespace {

XvfbServer* s_server = nullptr;

// The test clients look at windows that other clients may destroy meanwhile;
// their errors are expected and ignored.
int IgnoreError(Display*, XErrorEvent*) { return 0; }

// Starts Xvfb before the first test and stops it after the last.
class XvfbEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    s_server = new XvfbServer;
    ASSERT_TRUE(s_server->Start()) << s_server->Error();
    setenv("DISPLAY", s_server->DisplayName().c_str(), 1);
    XSetErrorHandler(&IgnoreError);
  }
  void TearDown() override {
    delete s_server;
    s_server = nullptr;
  }
};

const ::testing::Environment* const s_environment =
    ::testing::AddGlobalTestEnvironment(new XvfbEnvironment);

}  // namespace

const char* TestDisplayName() { return s_server ? s_server->DisplayName().c_str() : ""; }

FakeHostWindow::FakeHostWindow(int w, int h, const char* pDisplayName)
    : mDisplay(XOpenDisplay(pDisplayName ? pDisplayName : TestDisplayName())) {
  if (!mDisplay) return;
  mWindow = XCreateSimpleWindow(mDisplay, DefaultRootWindow(mDisplay), 0, 0, w, h, 0, 0, 0);
  XMapWindow(mDisplay, mWindow);
  XSync(mDisplay, False);
}

FakeHostWindow::~FakeHostWindow() {
  if (!mDisplay) return;
  Destroy();
  XCloseDisplay(mDisplay);
}

void FakeHostWindow::Destroy() {
  if (!mWindow) return;
  XDestroyWindow(mDisplay, mWindow);
  XSync(mDisplay, False);
  mWindow = 0;
}

int FakeHostWindow::CountChildren() {
  Window root, parent, *pChildren = nullptr;
  unsigned n = 0;
  if (!XQueryTree(mDisplay, mWindow, &root, &parent, &pChildren, &n)) return -1;
  if (pChildren) XFree(pChildren);
  return (int)n;
}

bool WaitFor(const std::function<bool()>& done, const std::function<void()>& step, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    step();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

int CountWindowDifferences(Display* pDisplay, Window window, Graphics* pGraphics, int scale) {
  PX_IBitmap* pBitmap = pGraphics->GetDrawBitmap();
  const int w = pBitmap->getWidth(), h = pBitmap->getHeight();
  // The bitmap is drawn at the editor's scale; what remains is pixel doubling.
  scale = scale / pGraphics->DrawScale();
  if (scale < 1) return -1;
  XImage* pImage = XGetImage(pDisplay, window, 0, 0, (unsigned)(w * scale), (unsigned)(h * scale),
                             AllPlanes, ZPixmap);
  if (!pImage) return -1;
  int differences = 0;
  for (int y = 0; y < h * scale; ++y) {
    for (int x = 0; x < w * scale; ++x) {
      const PX_pixel p = pBitmap->getBits()[(y / scale) * pBitmap->getRowSpan() + x / scale];
      if ((XGetPixel(pImage, x, y) & 0xFFFFFF) != (X11PixelWord(p) & 0xFFFFFF)) ++differences;
    }
  }
  XDestroyImage(pImage);
  return differences;
}

int CountOpenDescriptors() {
  DIR* pDir = opendir("/proc/self/fd");
  if (!pDir) return -1;
  int n = 0;
  while (readdir(pDir)) ++n;
  closedir(pDir);
  return n;
}
