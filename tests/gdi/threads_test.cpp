// Fonts and contexts created, measured, drawn and freed on several threads at once.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "gdi/gdi.h"

namespace {

TEST(GdiThreads, ConcurrentFontsAndText) {
  const char* names[] = {"Arial", "Times New Roman", "Courier New", ""};
  std::vector<int> widths(4, 0);
  auto work = [&](int id) {
    int last = -1;
    for (int i = 0; i < 30; ++i) {
      HDC dc = GDI_CreateMemContext(nullptr, 64, 32);
      HFONT f = CreateFont(12 + (i % 3), 0, 0, 0, i % 2 ? FW_BOLD : FW_NORMAL, 0, 0, 0, 0, 0, 0, 0,
                           0, names[(id + i) % 4]);
      SelectObject(dc, f);
      SetTextColor(dc, 0xFFFFFF);
      RECT r{0, 0, 64, 32};
      DrawText(dc, "Hello", -1, &r, 0);
      RECT m{0, 0, 0, 0};
      DrawText(dc, "Hello", -1, &m, DT_CALCRECT);
      last = m.right;
      HFONT shared = CreateFont(12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
      SelectObject(dc, shared);
      DrawText(dc, "World", -1, &r, 0);
      GDI_DeleteGfxContext(dc);
      DeleteObject(shared);
      DeleteObject(f);
    }
    widths[id] = last;
  };
  std::vector<std::thread> threads;
  for (int i = 0; i < 4; ++i) threads.emplace_back(work, i);
  for (std::thread& t : threads) t.join();
  for (int w : widths) EXPECT_GT(w, 10);
}

TEST(GdiThreads, SharedFontMeasuredFromManyThreads) {
  HFONT f = CreateFont(14, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  HDC ref = GDI_CreateMemContext(nullptr, 1, 1);
  SelectObject(ref, f);
  RECT expect{0, 0, 0, 0};
  DrawText(ref, "Shared font", -1, &expect, DT_CALCRECT);
  std::vector<int> bad(4, 0);
  auto work = [&](int id) {
    HDC dc = GDI_CreateMemContext(nullptr, 100, 20);
    SelectObject(dc, f);
    for (int i = 0; i < 200; ++i) {
      RECT r{0, 0, 0, 0};
      DrawText(dc, "Shared font", -1, &r, DT_CALCRECT);
      bad[id] += r.right != expect.right || r.bottom != expect.bottom;
      RECT d{0, 0, 100, 20};
      DrawText(dc, "Shared font", -1, &d, 0);
    }
    GDI_DeleteGfxContext(dc);
  };
  std::vector<std::thread> threads;
  for (int i = 0; i < 4; ++i) threads.emplace_back(work, i);
  for (std::thread& t : threads) t.join();
  for (int b : bad) EXPECT_EQ(b, 0);
  GDI_DeleteGfxContext(ref);
  DeleteObject(f);
}

}  // namespace
