// The main window's size and place: its smallest size keeps buttons, clock, banner and puzzle
// apart; the first window fits the screen; a restart finds the window where it was left; a
// resize keeps the player's view.
#include "shell_test_util.h"

#include <cmath>
#include <vector>

namespace {

constexpr int kMenuIds[] = {0, 139, 900, 901, 904, 137, 902, 903, 147, 905, 161, 179};

// What shows now: the top-level buttons, or the open menu's column and the command buttons.
std::vector<CRect> VisibleButtonRects(CPuzzleDlg* dlg) {
  std::vector<CRect> rects;
  CMenuButton* open = CMenuButton::GetOpenMenu();
  for (int i = 0; i < dlg->GetTopLevelButtonCount(); ++i) {
    CMenuButton* b = dlg->GetTopLevelButton(i);
    if (!open || !b->HasChildren()) rects.push_back(b->GetRect());
  }
  if (open)
    for (CUNode* n = open->GetChildren().GetHeadNode(); n; n = n->GetNext())
      rects.push_back(static_cast<CMenuButton*>(n->GetObject())->GetRect());
  return rects;
}

// The clock's six digits and two colons, at the bottom-left.
CRect ClockRect(const CRect& client) { return CRect(10, client.bottom - 42, 10 + 6 * 25 + 2 * 10, client.bottom - 10); }

// However the player turns it, the puzzle stays inside the circle through its farthest corner.
double PuzzleRadius(CPuzzle* p) {
  p->UpdateView();
  double most = 0;
  for (int i = 0; i < p->GetVertexCount(); ++i) {
    const CFixVector& v = *p->GetVertex(i, kViewVertices);
    most = std::max(most, std::sqrt(double(v.x) * v.x + double(v.y) * v.y + double(v.z) * v.z) / kFixOne);
  }
  return most;
}

}  // namespace

TEST_F(ShellTest, AtItsSmallestTheWindowKeepsButtonsClockBannerAndPuzzleApart) {
  OpenWindow(100, 100);
  CRect client;
  m_dlg->GetClientRect(&client);
  EXPECT_EQ(client.Size(), CPuzzleDlg::MinimumClientSize());
  const CRect clock = ClockRect(client);
  std::vector<CRect> everyButton;
  for (int menu : kMenuIds) {
    m_dlg->OpenMenuById(menu);
    std::vector<CRect> shown = VisibleButtonRects(m_dlg);
    for (const CRect& r : shown) everyButton.push_back(r);
    shown.push_back(clock);
    for (std::size_t i = 0; i < shown.size(); ++i) {
      CRect inside;
      EXPECT_TRUE(inside.IntersectRect(shown[i], client) && inside == shown[i]) << "menu " << menu << " item " << i;
      for (std::size_t j = i + 1; j < shown.size(); ++j) {
        CRect both;
        EXPECT_FALSE(both.IntersectRect(shown[i], shown[j])) << "menu " << menu << " items " << i << ", " << j;
      }
    }
  }
  // Every puzzle as it first shows leaves every button and the clock uncovered.
  everyButton.push_back(clock);
  for (int type = 0; type < kPuzzleTypeCount; ++type) {
    m_dlg->SelectPuzzle(type);
    CPuzzle* p = m_dlg->GetPuzzle();
    CDib plain, drawn;
    for (CDib* dib : {&plain, &drawn}) {
      ASSERT_TRUE(dib->Create(&CDibWnd::cm_palette, client.Width(), client.Height(), 0));
      CDC* dc = dib->GetMemDC(nullptr);
      dc->FillSolidRect(&client, m_dlg->GetBackgroundColor());
      if (dib == &drawn) p->Draw(dc, dib);
      dib->ReleaseMemDC(dc);
    }
    int covered = 0;
    for (const CRect& r : everyButton)
      for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
          BYTE a = 0, b = 0;
          plain.GetPixel(x, y, a);
          drawn.GetPixel(x, y, b);
          covered += a != b;
        }
    EXPECT_EQ(covered, 0) << p->GetName();
  }
}

TEST_F(ShellTest, TheFirstWindowFitsTheScreenAndALaterOneOpensWhereItWasLeft) {
  const CSize least = CPuzzleDlg::MinimumClientSize();
  // A first start on a large screen: a comfortable share of it, centred.
  const CRect large(0, 0, 1280, 1024);
  const CRect first = CPuzzleDlg::StartPlacement(CRect(), large, least);
  EXPECT_GT(first.Height(), large.Height() / 2);
  EXPECT_LT(first.Height(), large.Height());
  EXPECT_GT(first.Width(), first.Height());
  EXPECT_LE(std::abs(first.CenterPoint().x - large.CenterPoint().x), 1);
  EXPECT_LE(std::abs(first.CenterPoint().y - large.CenterPoint().y), 1);
  // On a screen smaller than the layout needs, the layout wins.
  const CRect tiny(0, 0, 320, 240);
  EXPECT_EQ(CPuzzleDlg::StartPlacement(CRect(), tiny, least).Size(), least);
  // A saved place is kept; one left on a screen no longer there is pulled back onto this one;
  // a size below the minimum or larger than the screen is brought into range.
  const CRect work(0, 30, 1024, 768);
  const CRect saved(100, 120, 700, 620);
  EXPECT_EQ(CPuzzleDlg::StartPlacement(saved, work, least), saved);
  const CRect gone = CPuzzleDlg::StartPlacement(CRect(3000, -900, 3600, -400), work, least);
  CRect seen;
  EXPECT_TRUE(seen.IntersectRect(gone, work));
  EXPECT_GE(seen.Width(), 64);
  EXPECT_GE(gone.top, work.top);
  EXPECT_EQ(CPuzzleDlg::StartPlacement(CRect(10, 40, 20, 50), work, least).Size(), least);
  EXPECT_EQ(CPuzzleDlg::StartPlacement(CRect(0, 30, 5000, 4000), work, least).Size(), work.Size());

  // The place is saved once a move settles, and used at the next start; older files without
  // it still open.
  OpenWindow(700, 560);
  m_dlg->MoveWindow(40, 50, 700, 560);
  AdvanceClock(1500);
  const std::string text = ReadSettings();
  CloseWindow();
  EXPECT_NE(text.find("WindowLeft=40"), std::string::npos) << text;
  EXPECT_NE(text.find("WindowHeight=560"), std::string::npos) << text;
  m_dlg = new CPuzzleDlg(nullptr);
  ASSERT_TRUE(m_dlg->CreateModeless(nullptr));
  CRect placed;
  m_dlg->GetWindowRect(&placed);
  EXPECT_EQ(placed, CRect(40, 50, 740, 610));
  CloseWindow();
  WriteSettings("[Gyrix]\nShowButtons=1\n");
  m_dlg = new CPuzzleDlg(nullptr);
  ASSERT_TRUE(m_dlg->CreateModeless(nullptr));
  m_dlg->GetWindowRect(&placed);
  EXPECT_GE(placed.Width(), least.cx);
  EXPECT_GE(placed.Height(), least.cy);
}

TEST_F(ShellTest, ResizingKeepsThePlayersViewAndCentreKeyResetsIt) {
  OpenWindow(640, 520);
  CPuzzle* p = m_dlg->GetPuzzle();
  const int startX = p->GetViewAngleX();
  p->RotateViewX(40);
  m_dlg->MoveWindow(0, 0, 900, 700);
  EXPECT_EQ(p->GetViewAngleX(), startX + 40);
  EXPECT_EQ(p->GetCentre().x, 450);
  // Taller than wide: the drawing scales with the width, so the puzzle stays inside it even
  // without buttons to keep clear of.
  m_dlg->SetShowButtons(0);
  m_dlg->MoveWindow(0, 0, 600, 900);
  EXPECT_EQ(p->GetViewWidth(), 600);
  EXPECT_EQ(p->GetViewHeight(), 600);
  EXPECT_LT(PuzzleRadius(p), 300);
  Key('C');
  EXPECT_EQ(p->GetViewAngleX(), startX);
  // Execute Move reads the cube's faces where the window draws it, here right of the view's
  // own middle.
  m_dlg->SetShowButtons(1);
  m_dlg->MoveWindow(0, 0, 1500, 600);
  m_dlg->GetPuzzle()->ExecuteMacro("R");
  EXPECT_TRUE(m_services.messages.empty()) << m_services.messages.front();
}
