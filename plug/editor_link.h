#pragma once
// IEditorLink: what the plug-in base tells an attached editor. The editor class
// (Graphics) implements it; the base never needs more of the editor than this.

class Graphics;

class IEditorLink {
 public:
  virtual ~IEditorLink() {}
  // The editor behind this link.
  virtual Graphics* GetGraphics() = 0;
  // A parameter changed; value is normalised unless normalized is false.
  virtual void SetParameterFromPlug(int paramIdx, double value, bool normalized) = 0;
  // Everything must be repainted.
  virtual void SetAllControlsDirty() = 0;
  // Creates the drawing surfaces; called once the controls are attached.
  virtual void PrepDraw() = 0;
  // The window closes; the editor itself stays.
  virtual void CloseWindow() = 0;
};
