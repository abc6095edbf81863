// Smooth edges in the window: the 8-bit screen stays the classic one, the puzzle is presented
// over it with coverage, the overlays stay on top, and Smooth=0 presents the 8-bit screen alone.
#include "shell_test_util.h"

#include <platform/image32.h>

#include <gtest/gtest.h>

namespace {

std::vector<COLORREF> ColoursOf(CDib& dib) {
  std::vector<COLORREF> out;
  for (int y = 0; y < dib.Height(); ++y)
    for (int x = 0; x < dib.Width(); ++x) out.push_back(dib.PixelColor(x, y));
  return out;
}

// The back buffer as presented in its colours, pixel by pixel, against the presented picture.
int CountDifferences(const CWnd& wnd, const CImage32& presented) {
  const CBitmap* buffer = wnd.GetBackBuffer();
  if (!buffer || buffer->Width() != presented.Width() || buffer->Height() != presented.Height()) return -1;
  int differing = 0;
  for (int y = 0; y < presented.Height(); ++y)
    for (int x = 0; x < presented.Width(); ++x) differing += buffer->PixelColor(x, y) != presented.ColorAt(x, y);
  return differing;
}

}  // namespace

TEST_F(ShellTest, SmoothEdgesAreTheDefaultAndLeaveTheEightBitScreenAsItWas) {
  OpenWindow();
  EXPECT_TRUE(m_dlg->IsSmooth());
  m_dlg->Invalidate(FALSE);
  CEventLoop::ProcessPending();
  const CRect shownRect = m_dlg->GetSmoothFrameRect();
  EXPECT_FALSE(shownRect.IsRectEmpty());
  CImage32 presented;
  m_dlg->GetPresentedImage(presented);
  const int smoothDifferences = CountDifferences(*m_dlg, presented);
  EXPECT_GT(smoothDifferences, 100);  // the edges, shaded
  // Outside the puzzle's part the back buffer shows unchanged.
  const CBitmap* buffer = m_dlg->GetBackBuffer();
  ASSERT_NE(buffer, nullptr);
  for (int y = 0; y < presented.Height(); ++y)
    for (int x = 0; x < presented.Width(); ++x)
      if (!shownRect.PtInRect(CPoint(x, y))) {
        ASSERT_EQ(buffer->PixelColor(x, y), presented.ColorAt(x, y)) << x << "," << y;
      }

  CDib smoothScreen, classicScreen;
  Compose(smoothScreen);
  m_dlg->SetSmooth(false);
  Compose(classicScreen);
  EXPECT_EQ(ColoursOf(smoothScreen), ColoursOf(classicScreen));
  CEventLoop::ProcessPending();
  EXPECT_TRUE(m_dlg->GetSmoothFrameRect().IsRectEmpty());
  m_dlg->GetPresentedImage(presented);
  EXPECT_EQ(CountDifferences(*m_dlg, presented), 0);

  // The setting is kept, and a file that says 0 starts classic.
  m_dlg->SaveSettings();
  std::string ini = ReadSettings();
  EXPECT_NE(ini.find("Smooth=0"), std::string::npos) << ini;
  CloseWindow();
  OpenWindow();
  EXPECT_FALSE(m_dlg->IsSmooth());
  m_dlg->SetSmooth(true);
  m_dlg->SaveSettings();
  EXPECT_NE(ReadSettings().find("Smooth=1"), std::string::npos);
}

TEST_F(ShellTest, ButtonsStayOverTheSmoothPuzzle) {
  OpenWindow();
  // Near enough that the puzzle reaches under the buttons.
  m_dlg->Zoom(10);
  ASSERT_EQ(m_dlg->GetZoom(), CPuzzleDlg::kMaxZoom);
  m_dlg->Invalidate(FALSE);
  CEventLoop::ProcessPending();
  const CRect shownRect = m_dlg->GetSmoothFrameRect();
  CImage32 presented;
  m_dlg->GetPresentedImage(presented);
  const CBitmap* buffer = m_dlg->GetBackBuffer();
  ASSERT_NE(buffer, nullptr);
  // The stand-in buttons are grey squares.
  int overPuzzle = 0;
  ASSERT_GT(m_dlg->GetTopLevelButtonCount(), 3);
  for (int i = 0; i < m_dlg->GetTopLevelButtonCount(); ++i) {
    CRect r = m_dlg->GetTopLevelButton(i)->GetRect();
    r.DeflateRect(1, 1);
    for (int y = r.top; y < r.bottom && y < presented.Height(); ++y)
      for (int x = r.left; x < r.right && x < presented.Width(); ++x) {
        // The stand-ins' grey, which no facelet at rest shows.
        if (buffer->PixelColor(x, y) != RGB(128, 128, 128)) continue;
        overPuzzle += shownRect.PtInRect(CPoint(x, y));
        ASSERT_EQ(presented.ColorAt(x, y), RGB(128, 128, 128)) << x << "," << y;
      }
  }
  EXPECT_GT(overPuzzle, 100);
}
