// Block copies out of a window's drawing context read only that window's part of the shared
// back buffer, whether they copy every pixel or skip a transparent colour.
#include "window_test_util.h"

namespace {

// Copies a 20-pixel block that starts 10 pixels before the right edge of `from` into a white
// bitmap, with either copy.
std::vector<COLORREF> CopyAcrossTheEdge(CWnd& from, bool transparent) {
  CBitmap bmp;
  EXPECT_TRUE(bmp.CreateDIBSection(20, 4, 24));
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  dc.SelectObject(&bmp);
  dc.FillSolidRect(0, 0, 20, 4, RGB(255, 255, 255));
  CRect r;
  from.GetClientRect(&r);
  CClientDC source(&from);
  if (transparent) dc.TransparentBlt(0, 0, 20, 4, &source, r.right - 10, 0, RGB(0, 0, 255));
  else dc.BitBlt(0, 0, 20, 4, &source, r.right - 10, 0, SRCCOPY);
  std::vector<COLORREF> row;
  for (int x = 0; x < 20; ++x) row.push_back(bmp.PixelColor(x, 2));
  return row;
}

}  // namespace

TEST(Blit, BothCopiesStopAtTheSourceWindowsEdge) {
  EnsureDesktop();
  CRecordingWnd top, left, right;
  ASSERT_TRUE(top.CreateEx(0, nullptr, "blit", WS_POPUP | WS_VISIBLE, ScreenRect(10, 10, 100, 40), nullptr, 0));
  left.fill = RGB(255, 0, 0);
  right.fill = RGB(0, 255, 0);
  ASSERT_TRUE(left.CreateEx(0, nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 40), &top, 1));
  ASSERT_TRUE(right.CreateEx(0, nullptr, "", WS_CHILD | WS_VISIBLE, CRect(50, 0, 100, 40), &top, 2));
  top.UpdateWindow();
  for (bool transparent : {false, true}) {
    const std::vector<COLORREF> row = CopyAcrossTheEdge(left, transparent);
    for (int x = 0; x < 20; ++x)
      EXPECT_EQ(row[x], x < 10 ? RGB(255, 0, 0) : RGB(255, 255, 255)) << "transparent " << transparent << " x " << x;
  }
  top.DestroyWindow();
}
