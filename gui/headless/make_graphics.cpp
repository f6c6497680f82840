#include "gui/make_graphics.h"

#include "gui/headless/graphics_headless.h"

Graphics* MakeGraphics(PlugBase* pPlug, int w, int h, int fps) {
  return new GraphicsHeadless(pPlug, w, h, fps);
}
