// MakeGraphics: the one factory that creates the editor's platform object.
#pragma once

class Graphics;
class PlugBase;

// An editor of w x h pixels for the plug-in, redrawn fps times a second (0: 25).
Graphics* MakeGraphics(PlugBase* pPlug, int w, int h, int fps = 0);
