// Linkage between the plug-in and its editor.

#include "plug/iplug_base.h"

void IPlugBase::AttachGraphics(IGraphics* pGraphics)
{
  if (!pGraphics) return;
  IMutexLock lock(this);
  mGUI = pGraphics;
}

void IPlugBase::RedrawParamControls()
{
}
