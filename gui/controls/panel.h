// IPanelControl: a rectangle filled with one colour.
#pragma once

#include "gui/icontrol.h"

class IPanelControl : public IControl {
 public:
  IPanelControl(PlugBase* pPlug, IRECT pR, const IColor* pColor)
      : IControl(pPlug, pR), mColor(*pColor) {}

  bool Draw(Graphics* pGraphics) override;

 protected:
  IColor mColor;
};
