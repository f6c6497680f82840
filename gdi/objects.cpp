// Pens, brushes, stock objects, selection into contexts and deletion.
#include <cstdint>

#include "gdi/font_p.h"
#include "gdi/image_p.h"
#include "gdi/gdi_p.h"

namespace {

// The stock null pen and null brush: static, never freed.
HGDIOBJ__ global_objs[2] = {
    {TYPE_PEN, 0, {0, 0, 0, 0.0f}, -1, nullptr, nullptr, 0.0f, 0, 0},
    {TYPE_BRUSH, 0, {0, 0, 0, 0.0f}, -1, nullptr, nullptr, 0.0f, 0, 0},
};

bool IsStock(const HGDIOBJ__* p) { return p == &global_objs[0] || p == &global_objs[1]; }

HGDIOBJ__* NewColorObject(int type, int width, int color, float alpha) {
  HGDIOBJ__* p = GDP_OBJECT_NEW();
  if (!p) return nullptr;
  p->type = type;
  p->wid = width;
  p->color = CreateColor(color, alpha);
  return p;
}

HGDIOBJ__** SlotFor(HDC__* ct, int type) {
  switch (type) {
    case TYPE_PEN: return &ct->curpen;
    case TYPE_BRUSH: return &ct->curbrush;
    case TYPE_FONT: return &ct->curfont;
    default: return nullptr;
  }
}

}  // namespace

HPEN CreatePen(int style, int width, int color) {
  return CreatePenAlpha(style, width, color, 1.0f);
}

HPEN CreatePenAlpha(int, int width, int color, float alpha) {
  return NewColorObject(TYPE_PEN, width > 0 ? width : 0, color, alpha);
}

HBRUSH CreateSolidBrush(int color) { return CreateSolidBrushAlpha(color, 1.0f); }

HBRUSH CreateSolidBrushAlpha(int color, float alpha) {
  return NewColorObject(TYPE_BRUSH, 0, color, alpha);
}

HGDIOBJ GetStockObject(int id) {
  if (id == NULL_PEN) return &global_objs[0];
  if (id == NULL_BRUSH) return &global_objs[1];
  return nullptr;
}

HGDIOBJ SelectObject(HDC ctx, HGDIOBJ obj) {
  if (!HDC_VALID(ctx) || !obj) return nullptr;
  const uintptr_t v = reinterpret_cast<uintptr_t>(obj);
  const bool placeholder = v >= TYPE_PEN && v <= TYPE_FONT;
  if (!placeholder && !HGDIOBJ_VALID(obj)) return nullptr;
  const int type = placeholder ? static_cast<int>(v) : obj->type;
  HGDIOBJ__** slot = SlotFor(ctx, type);
  if (!slot) return nullptr;
  HGDIOBJ__* prev = *slot;
  *slot = placeholder ? nullptr : obj;
  if (HGDIOBJ_VALID(prev)) return prev;
  return reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(type));
}

void DeleteObject(HGDIOBJ obj) {
  if (IsStock(obj) || !HGDIOBJ_VALID(obj)) return;
  if (--obj->additional_refcnt >= 0) return;
  if (obj->type < TYPE_PEN || obj->type > TYPE_BITMAP) return;
  if (obj->type == TYPE_FONT) GdiFontRelease(obj->font);
  if (obj->type == TYPE_BITMAP && obj->wid) GdiImageFree(obj->image);
  GDP_OBJECT_DELETE(obj);
}

HGDIOBJ GDI_CloneGDIObject(HGDIOBJ obj) {
  if (IsStock(obj) || !HGDIOBJ_VALID(obj)) return obj;
  ++obj->additional_refcnt;
  return obj;
}
