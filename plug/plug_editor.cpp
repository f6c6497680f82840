// Linkage between the plug-in and its editor.

#include "plug/plug_base.h"

void PlugBase::AttachGraphics(IEditorLink* pGraphics) {
  if (!pGraphics) return;
  IMutexLock lock(this);
  for (int i = 0; i < NParams(); ++i) {
    pGraphics->SetParameterFromPlug(i, GetParam(i)->GetNormalized(), true);
  }
  pGraphics->PrepDraw();
  if (mEditor != pGraphics) delete mEditor;
  mEditor = pGraphics;
  mGUI = pGraphics->GetGraphics();
}

void PlugBase::RedrawParamControls() {
  if (!mEditor) return;
  for (int i = 0; i < NParams(); ++i) {
    mEditor->SetParameterFromPlug(i, GetParam(i)->Value(), false);
  }
}
