// Bitmap on a GDI memory context, so the GUI can hand it to the screen.
#include <cstdint>

#include "gdi/gdi.h"
#include "raster/pixels/bitmap.h"

PX_SysBitmap::PX_SysBitmap(int w, int h) { resize(w, h); }

PX_SysBitmap::~PX_SysBitmap() {
  if (m_dc) GDI_DeleteGfxContext(m_dc);
}

bool PX_SysBitmap::resize(int w, int h) {
  if (w == m_width && h == m_height) return false;
  m_width = w;
  m_height = h;
  if (w > 0 && h > 0 && m_allocw >= w && m_alloch >= h && m_bits) {
    if (isFlipped())
      m_bits = (PX_pixel*)GDI_GetCtxFrameBuffer(m_dc) + (ptrdiff_t)m_allocw * (m_alloch - h);
    return true;
  }
  m_allocw = w > 0 && w <= INT32_MAX - 3 ? (w + 3) & ~3 : 0;
  m_alloch = h;
  if (m_dc) GDI_DeleteGfxContext(m_dc);
  m_dc = nullptr;
  m_bits = nullptr;
  if (w <= 0 || h <= 0 || m_allocw <= 0) {
    m_width = m_height = m_allocw = m_alloch = 0;
    return true;
  }
  m_dc = GDI_CreateMemContext(nullptr, m_allocw, h);
  m_bits = m_dc ? (PX_pixel*)GDI_GetCtxFrameBuffer(m_dc) : nullptr;
  if (!m_bits) {
    if (m_dc) GDI_DeleteGfxContext(m_dc);
    m_dc = nullptr;
    m_width = m_height = m_allocw = m_alloch = 0;
  }
  return true;
}
