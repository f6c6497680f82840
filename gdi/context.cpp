// Device contexts: memory contexts, wrapped surfaces, clip state and colours.
#include <cstdint>
#include <cstdlib>

#include "gdi/gdi_p.h"

namespace {

// Largest memory context: each side and the byte count stay well inside int.
const int kMaxSide = 65536;
const int64_t kMaxBytes = int64_t(1) << 30;

HDC__* NewContext() {
  HDC__* ct = GDI_GDP_CTX_NEW();
  if (!ct) return nullptr;
  ct->curtextcol = 0;
  ct->curtextcol_color = CreateColor(0, 1.0f);
  return ct;
}

RECT Intersect(RECT a, const RECT& b) {
  if (b.left > a.left) a.left = b.left;
  if (b.top > a.top) a.top = b.top;
  if (b.right < a.right) a.right = b.right;
  if (b.bottom < a.bottom) a.bottom = b.bottom;
  return a;
}

}  // namespace

GdiColor CreateColor(int color, float alpha) {
  GdiColor c;
  c.r = static_cast<unsigned char>((color >> 16) & 0xff);
  c.g = static_cast<unsigned char>((color >> 8) & 0xff);
  c.b = static_cast<unsigned char>(color & 0xff);
  c.a = !(alpha > 0.0f) ? 0.0f : alpha > 1.0f ? 1.0f : alpha;  // NaN counts as 0
  return c;
}

void GdiInitContext(GdiContext* c, unsigned char* bits, int w, int h, int rowspan) {
  c->bits = bits;
  c->width = w;
  c->height = h;
  c->rowspan = rowspan;
  c->state.clip = RECT{0, 0, w, h};
  c->state.antialias = true;
  c->nsaved = 0;
}

RECT GdiDeviceClip(const GdiContext* c) {
  return Intersect(c->state.clip, RECT{0, 0, c->width, c->height});
}

HDC GDI_CreateMemContext(HDC, int w, int h) {
  if (w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide) return nullptr;
  const int64_t bytes = int64_t(w) * h * 4;
  if (bytes > kMaxBytes) return nullptr;
  void* raw = calloc(static_cast<size_t>(bytes) + 63, 1);
  if (!raw) return nullptr;
  HDC__* ct = NewContext();
  if (!ct) {
    free(raw);
    return nullptr;
  }
  const uintptr_t aligned = (reinterpret_cast<uintptr_t>(raw) + 63) & ~uintptr_t(63);
  ct->ownedData = raw;
  GdiInitContext(&ct->ctx, reinterpret_cast<unsigned char*>(aligned), w, h, w);
  return ct;
}

HDC GDI_CreateGfxContext(void* bits, int w, int h, int rowspan) {
  if (!bits || w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide || rowspan < w) return nullptr;
  HDC__* ct = NewContext();
  if (!ct) return nullptr;
  GdiInitContext(&ct->ctx, static_cast<unsigned char*>(bits), w, h, rowspan);
  return ct;
}

void* GDI_GetCtxFrameBuffer(HDC ctx) {
  if (!HDC_VALID(ctx) || !ctx->ownedData) return nullptr;
  return ctx->ctx.bits;
}

void GDI_DeleteGfxContext(HDC ctx) {
  if (!HDC_VALID(ctx)) return;
  free(ctx->ownedData);
  GDI_GDP_CTX_DELETE(ctx);
}

void GDI_PushClipRegion(HDC ctx) {
  if (!HDC_VALID(ctx)) return;
  GdiContext& c = ctx->ctx;
  if (c.nsaved < kGdiMaxSavedStates) c.saved[c.nsaved] = c.state;
  if (c.nsaved < 0x7fffffff) ++c.nsaved;
}

void GDI_PopClipRegion(HDC ctx) {
  if (!HDC_VALID(ctx)) return;
  GdiContext& c = ctx->ctx;
  if (c.nsaved <= 0) return;
  --c.nsaved;
  if (c.nsaved < kGdiMaxSavedStates) c.state = c.saved[c.nsaved];
}

void GDI_SetClipRegion(HDC ctx, const RECT* r) {
  if (!HDC_VALID(ctx) || !r) return;
  ctx->ctx.state.clip = Intersect(ctx->ctx.state.clip, *r);
}

// Surfaces here are addressed in device pixels: one unit is always one pixel.
bool GDI_IsRetinaDC(HDC ctx) {
  HDC_VALID(ctx);
  return false;
}

int SetTextColor(HDC ctx, int color) {
  if (!HDC_VALID(ctx)) return 0;
  const int prev = ctx->curtextcol;
  ctx->curtextcol = color;
  ctx->curtextcol_color = CreateColor(color, 1.0f);
  return prev;
}

int GetTextColor(HDC ctx) { return HDC_VALID(ctx) ? ctx->curtextcol : 0; }

int SetBkColor(HDC ctx, int color) {
  if (!HDC_VALID(ctx)) return 0;
  const int prev = ctx->curbkcol;
  ctx->curbkcol = color;
  return prev;
}

int SetBkMode(HDC ctx, int mode) {
  if (!HDC_VALID(ctx)) return 0;
  const int prev = ctx->curbkmode;
  ctx->curbkmode = mode;
  return prev;
}

int GetSysColor(int idx) {
  switch (idx) {
    case 0: return 0x606060;
    case 1: return 0xE0E0E0;
    case 2:
    case 4:
    case 7: return 0xC0C0C0;
    case 5: return 0x202020;
    case 6: return 0x303030;
    case 8: return 0xFFF0C8;
    default: return 0;
  }
}
