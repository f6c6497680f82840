// The colours of the editor's own windows: popup menus and message boxes.
#pragma once

#include "gui/icolor.h"

const IColor kX11WindowBackground(255, 242, 242, 242);
const IColor kX11WindowText(255, 0, 0, 0);
const IColor kX11WindowBorder(255, 128, 128, 128);
const IColor kX11WindowHighlight(255, 59, 110, 165);
