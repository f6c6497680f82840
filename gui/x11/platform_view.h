// IPlatformView: what a plug-in binding asks of an editor's window beyond
// the Graphics slots. Editors with a window on screen implement it; the
// window-less platform does not.
#pragma once

class IPlatformView {
 public:
  virtual ~IPlatformView() {}
  // One turn of the window's run loop on the host's GUI thread: handles
  // pending window-system events and repaints when a frame is due.
  virtual void Idle() = 0;
  // The screen's scale factor; the window's pixel scale becomes the nearer
  // of 1 and 2 (anything not above 0 gives 1). An open window takes the new size.
  virtual void SetScale(double factor) = 0;
  virtual int Scale() const = 0;
};
