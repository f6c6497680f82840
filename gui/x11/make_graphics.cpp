#include "gui/make_graphics.h"

#include "gui/x11/graphics_x11.h"

Graphics* MakeGraphics(PlugBase* pPlug, int w, int h, int fps) {
  return new GraphicsX11(pPlug, w, h, fps);
}
