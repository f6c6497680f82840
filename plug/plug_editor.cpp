// Linkage between the plug-in and its editor.

#include "plug/plug_base.h"

void PlugBase::AttachGraphics(Graphics* pGraphics) {
  if (!pGraphics) return;
  IMutexLock lock(this);
  mGUI = pGraphics;
}

void PlugBase::RedrawParamControls() {}
