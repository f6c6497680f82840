#include "gui/draw_clip_p.h"

DrawClip::DrawClip(PX_IBitmap* pBase, const IRECT& r) {
  PX_pixel* bits = pBase ? pBase->getBits() : nullptr;
  if (!bits || pBase->isFlipped()) return;
  const int64_t l = r.L > 0 ? r.L : 0, t = r.T > 0 ? r.T : 0;
  const int64_t rr = r.R < pBase->getWidth() ? r.R : pBase->getWidth();
  const int64_t b = r.B < pBase->getHeight() ? r.B : pBase->getHeight();
  if (rr <= l || b <= t) return;
  OX = static_cast<int>(l);
  OY = static_cast<int>(t);
  mW = static_cast<int>(rr - l);
  mH = static_cast<int>(b - t);
  mSpan = pBase->getRowSpan();
  mBits = bits + t * mSpan + l;
}

bool DrawClip::Meets(double x0, double y0, double x1, double y1) const {
  // Written so that NaN fails every test.
  return x1 >= -1.0 && y1 >= -1.0 && x0 <= mW + 1.0 && y0 <= mH + 1.0;
}
