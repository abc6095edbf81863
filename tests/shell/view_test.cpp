// What the main window shows of the puzzle: where it sits after a mode switch, the zoom,
// and the paused screen.
#include "shell_test_util.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <map>
#include <vector>

namespace {

// The box of what the puzzle paints: its front-facing facelets as last drawn.
CRect DrawnBox(CPuzzleDlg* dlg) {
  dlg->Invalidate(FALSE);
  dlg->UpdateWindow();
  CPuzzle* p = dlg->GetPuzzle();
  CRect box(INT_MAX, INT_MAX, INT_MIN, INT_MIN);
  for (int i = 0; i < p->GetFaceletCount(); ++i) {
    CFacelet* f = p->GetFacelet(i);
    if (!f->Project(kViewVertices)) continue;
    for (int v = 0; v < f->GetVertexCount(); ++v) {
      const POINT q = f->GetPoints()[v];
      box.left = std::min<LONG>(box.left, q.x);
      box.top = std::min<LONG>(box.top, q.y);
      box.right = std::max<LONG>(box.right, q.x);
      box.bottom = std::max<LONG>(box.bottom, q.y);
    }
  }
  return box;
}

}  // namespace

TEST_F(ShellTest, EveryModeSwitchKeepsThePuzzleWhereItOpens) {
  OpenWindow(760, 560);
  int withModes = 0;
  for (int type = 0; type < kPuzzleTypeCount; ++type) {
    m_dlg->SelectPuzzle(type);
    // Whatever mode it opened in, the box of each mode as a freshly opened puzzle shows it.
    for (int mode = 1; mode <= 4; ++mode) {
      Key('0' + mode);
      if (m_dlg->GetPuzzle()->GetMode() != mode) continue;
      if (mode == 1) ++withModes;
      const CRect switched = DrawnBox(m_dlg);
      Key('C');
      const CRect fitted = DrawnBox(m_dlg);
      EXPECT_EQ(switched, fitted) << m_dlg->GetPuzzle()->GetName() << " mode " << mode;
      // And fitted means centred in the window, as when the puzzle opens.
      EXPECT_EQ(CPoint(m_dlg->GetPuzzle()->GetCentre()), CPoint(380, 280)) << m_dlg->GetPuzzle()->GetName();
    }
  }
  EXPECT_GE(withModes, 5);  // the octahedra, the Orbix family and the Slider
}

TEST_F(ShellTest, PauseShowsTheTileAndThePanelButNotThePuzzle) {
  OpenWindow();
  CPuzzle* p = m_dlg->GetPuzzle();
  Key('M');
  m_dlg->UpdateWindow();
  // Where each facelet in sight shows its colour now.
  std::vector<std::pair<CPoint, BYTE>> shown;
  for (int id = 0; id < p->GetMoveMaskLength(); ++id) {
    const CPoint c = FaceletCentre(id);
    if (c.x < 0) continue;
    const COLORREF colour = p->GetPaletteEntry(p->GetFaceletColour(id));
    shown.push_back({c, static_cast<BYTE>(CDibWnd::cm_palette.GetNearestPaletteIndex(colour))});
  }
  ASSERT_GT(shown.size(), 9u);
  ASSERT_TRUE(DragTurn(1));  // a turn under way when the pause comes
  Key(VK_PAUSE);
  ASSERT_TRUE(m_dlg->IsMessageShown());
  const int frame = p->GetFrame();
  AdvanceClock(2000);
  EXPECT_EQ(p->GetFrame(), frame);  // the turn waits for the pause to end
  CDib paused;
  Compose(paused);
  for (const auto& [at, index] : shown) {
    BYTE here = 0;
    paused.GetPixel(at.x, at.y, here);
    EXPECT_NE(here, index) << at.x << "," << at.y;
  }
  // The next key ends the pause: the puzzle and its turn come back.
  Key(VK_SHIFT);
  EXPECT_FALSE(m_dlg->IsMessageShown());
  Settle();
  EXPECT_EQ(p->GetHistorySize(), 1);
  CDib again;
  Compose(again);
  int back = 0;
  for (const auto& [at, index] : shown) {
    BYTE here = 0;
    again.GetPixel(at.x, at.y, here);
    back += here != paused.GetPixelAddress(at.x, at.y)[0];
  }
  EXPECT_GT(back, 0);
}

TEST_F(ShellTest, TheWheelAndPlusMinusZoomWithinLimitsAndCFitsAgain) {
  OpenWindow();
  const CRect fitted = DrawnBox(m_dlg);
  const CPoint middle = fitted.CenterPoint();
  CEventLoop::InjectMouseWheel(m_dlg, middle, 1);
  EXPECT_EQ(m_dlg->GetZoom(), 100 + CPuzzleDlg::kZoomStep);
  const CRect nearer = DrawnBox(m_dlg);
  EXPECT_GT(nearer.Width(), fitted.Width());
  EXPECT_NEAR(nearer.CenterPoint().x, middle.x, 2);  // zooming keeps the puzzle in its place
  // Far past either limit, the zoom stops there.
  for (int i = 0; i < 40; ++i) Key(VK_OEM_PLUS);
  EXPECT_EQ(m_dlg->GetZoom(), CPuzzleDlg::kMaxZoom);
  CEventLoop::InjectMouseWheel(m_dlg, middle, -100);
  EXPECT_EQ(m_dlg->GetZoom(), CPuzzleDlg::kMinZoom);
  const CRect farther = DrawnBox(m_dlg);
  EXPECT_LT(farther.Width(), fitted.Width() * 6 / 10);
  Key(VK_ADD);
  Key(VK_SUBTRACT);
  Key(VK_OEM_MINUS);
  EXPECT_EQ(m_dlg->GetZoom(), CPuzzleDlg::kMinZoom);
  // The zoom keeps the player's view turn, and the drags still find what is under them.
  m_dlg->GetPuzzle()->RotateViewY(30);
  const int turned = m_dlg->GetPuzzle()->GetViewAngleY();
  Key(VK_OEM_PLUS);
  EXPECT_EQ(m_dlg->GetPuzzle()->GetViewAngleY(), turned);
  ASSERT_TRUE(DragTurn(1));
  Settle();
  EXPECT_EQ(m_dlg->GetPuzzle()->GetHistorySize(), 1);
  Key('C');
  EXPECT_EQ(m_dlg->GetZoom(), 100);
  EXPECT_EQ(DrawnBox(m_dlg), fitted);
  // A shown message takes the wheel as no input.
  m_dlg->TogglePause();
  Key('M');
  Key(VK_PAUSE);
  ASSERT_TRUE(m_dlg->IsMessageShown());
  CEventLoop::InjectMouseWheel(m_dlg, middle, 1);
  EXPECT_EQ(m_dlg->GetZoom(), 100);
}

TEST_F(ShellTest, TheTurnCounterBesideTheClockCountsTheTurnsSinceTheScramble) {
  OpenWindow();
  m_dlg->SetTimerColor(0x00FF00);
  const BYTE ink = static_cast<BYTE>(CDibWnd::cm_palette.GetNearestPaletteIndex(0x00FF00));
  // The counter's pixels: ink right of the clock, along the clock's rows.
  auto counter = [&] {
    CDib screen;
    Compose(screen);
    std::vector<int> found;
    for (int y = 520 - 45; y < 520 - 8; ++y)
      for (int x = 180; x < 330; ++x) {
        BYTE here = 0;
        screen.GetPixel(x, y, here);
        if (here == ink) found.push_back(y * 1000 + x);
      }
    return found;
  };
  Key('M');
  CPuzzle* p = m_dlg->GetPuzzle();
  EXPECT_EQ(p->GetTurnsMade(), 0);
  const auto none = counter();
  EXPECT_FALSE(none.empty());
  ASSERT_TRUE(DragTurn(1));
  Settle();
  ASSERT_TRUE(DragTurn(2));
  Settle();
  EXPECT_EQ(p->GetTurnsMade(), 2);
  Key(VK_BACK);  // an undo is a turn the player makes
  Settle();
  EXPECT_EQ(p->GetTurnsMade(), 3);
  EXPECT_NE(counter(), none);
  // A new scramble counts from nothing again.
  Key('M');
  EXPECT_EQ(p->GetTurnsMade(), 0);
  EXPECT_EQ(counter(), none);
  // Without the clock, no counter.
  m_dlg->SetShowTimer(0);
  EXPECT_TRUE(counter().empty());
}

// Both octahedra in face-turn mode, switched to as a player would: a drag from one corner
// triangle of a face to another turns that face, wherever the face is seen.
TEST_F(ShellTest, OctahedraInModeTwoTurnAFaceByItsCornerTriangles) {
  OpenWindow(760, 560);
  for (int type : {9, 10}) {
    m_dlg->SelectPuzzle(type);
    Key('1');
    Key('2');
    CPuzzle* p = m_dlg->GetPuzzle();
    ASSERT_EQ(p->GetMode(), 2);
    // The corner triangles of each face: the facelets of its colour that reach a corner of the
    // octahedron, the vertices farthest out along an axis.
    int farthest = 0;
    for (int v = 0; v < p->GetVertexCount(); ++v) {
      const CFixVector* q = p->GetVertex(v, kModelVertices);
      farthest = std::max({farthest, std::abs(q->x), std::abs(q->y), std::abs(q->z)});
    }
    std::map<int, std::vector<int>> corners;  // by face colour
    std::map<int, std::vector<int>> others;
    for (int id = 0; id < p->GetMoveMaskLength(); ++id) {
      CFacelet* f = p->GetFaceletById(id);
      for (int i = 0; i < f->GetVertexCount(); ++i) {
        const CFixVector* q = p->GetVertex(f->GetVertexIndex(i), kModelVertices);
        if (std::max({std::abs(q->x), std::abs(q->y), std::abs(q->z)}) == farthest) {
          corners[f->GetColour()].push_back(id);
          break;
        }
        if (i + 1 == f->GetVertexCount()) others[f->GetColour()].push_back(id);
      }
    }
    // On size 3 the rim's other triangles sit between the corners, one vertex shared with each.
    auto shared = [p](int a, int b) {
      int n = 0;
      for (int i = 0; i < p->GetFaceletById(a)->GetVertexCount(); ++i)
        for (int j = 0; j < p->GetFaceletById(b)->GetVertexCount(); ++j)
          n += p->GetFaceletById(a)->GetVertexIndex(i) == p->GetFaceletById(b)->GetVertexIndex(j);
      return n;
    };
    ASSERT_EQ(corners.size(), 8u);
    m_dlg->UpdateWindow();
    int dragged = 0;
    for (const auto& [colour, ids] : corners) {
      ASSERT_EQ(ids.size(), 3u);
      std::vector<std::pair<int, int>> drags;
      for (int a : ids) {
        for (int b : ids)
          if (a != b) drags.push_back({a, b});
        for (int e : others[colour])
          if (shared(a, e) == 1) {
            drags.push_back({a, e});
            drags.push_back({e, a});
          }
      }
      for (const auto& [a, b] : drags) {
          if (FaceletCentre(a).x < 0 || FaceletCentre(b).x < 0) continue;
          ASSERT_TRUE(DragFacelets(a, b));
          Settle();
          ASSERT_EQ(p->GetHistorySize(), 1) << p->GetName() << " " << a << " to " << b;
          // The turn made is the face's own: it moves all three of its corners.
          const int k = CPuzzle::TurnIndex(p->GetHistoryMove(0));
          for (int c : ids) EXPECT_TRUE(p->GetMoveMask(c) & (1u << CPuzzle::MaskBit(k))) << p->GetName() << " " << a << " to " << b;
          Key(VK_BACK);
          Settle();
          ASSERT_TRUE(p->IsSolved());
          ++dragged;
        }
    }
    // Every face in sight was tried: at least the three faces seen square on.
    EXPECT_GE(dragged, 3 * 6) << p->GetName();
  }
}
