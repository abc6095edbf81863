// The facelet cursor on every type: every turn a drag makes can be made from the keyboard,
// from the default view and views the keyboard reaches; the cursor only stands on facelets
// that show, comes back the way it went, keeps its place through a turn, and paints only
// about its facelet.
#include "puzzle_test_util.h"

#include <gyrix/engine/canvas.h>
#include <gyrix/engine/faceletcursor.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <set>
#include <string>

namespace {

using EDirection = CFaceletCursor::EDirection;
constexpr EDirection kDirections[] = {EDirection::Left, EDirection::Right, EDirection::Up, EDirection::Down};
constexpr int kWidth = 800, kHeight = 600;
constexpr int kViewStep = 15;  // degrees, as the keyboard turns the view

struct TypeMode {
  int id;
  int mode;
};

std::vector<TypeMode> EveryTypeAndMode() {
  std::vector<TypeMode> all;
  for (int id = 0; id < kPuzzleTypeCount; ++id) {
    if (!IsPuzzleBuilt(id)) continue;
    const int modes = GetPuzzleType(id)->modes;
    for (int mode = modes > 0 ? 1 : 0; mode <= modes; ++mode) all.push_back({id, mode});
  }
  return all;
}

std::string Name(const TypeMode& t) {
  return std::string(CPuzzle::GetTypeName(t.id)) + (t.mode > 0 ? " mode " + std::to_string(t.mode) : "");
}

// Draws the puzzle as the window does, so that the painting order is the window's.
void Paint(CPuzzle& p) {
  CPuzzleCanvas canvas(p, kWidth, kHeight);
  p.Draw(canvas.dc, &canvas.dib);
}

std::unique_ptr<CPuzzle> Make(const TypeMode& t) {
  std::unique_ptr<CPuzzle> p = MakePuzzle(t.id);
  if (t.mode > 0) p->SetMode(t.mode);
  p->ResetView(kWidth, kHeight);
  p->UpdateView();
  Paint(*p);
  return p;
}

// The turns a mouse drag makes that change something and leave some facelet where it is
// (a turn that carries every facelet is a turn of the whole puzzle).
std::set<int> DragTurns(CPuzzle& p) {
  std::set<int> turns, tried;
  for (int a = 0; a < p.GetFaceletCount(); ++a)
    for (int b = 0; b < p.GetFaceletCount(); ++b) {
      const int m = p.MoveFromDrag(a, b);
      if (m == 0 || !tried.insert(m).second) continue;
      const size_t carried = p.GetTurningFacelets(m).size();
      if (carried > 0 && carried < static_cast<size_t>(p.GetFaceletCount())) turns.insert(m);
    }
  return turns;
}

// The turns the keyboard makes in the view as painted: a drag from each facelet that shows
// to its neighbour in each direction, and a click where one does something.
void KeyboardTurns(CPuzzle& p, std::set<int>& out) {
  const std::vector<CFaceletCursor::Spot> spots = CFaceletCursor::VisibleSpots(p);
  for (const CFaceletCursor::Spot& s : spots) {
    for (EDirection d : kDirections) {
      const int to = CFaceletCursor::TurnNeighbour(p, spots, s.id, d);
      if (to >= 0)
        if (const int m = p.MoveFromDrag(s.id, to)) out.insert(m);
    }
    if (const int m = p.MoveFromDrag(s.id, s.id)) out.insert(m);
  }
}

TEST(FaceletCursor, EveryTurnADragMakesTheKeyboardMakesFromTheViewsItReaches) {
  for (const TypeMode& t : EveryTypeAndMode()) {
    std::unique_ptr<CPuzzle> p = Make(t);
    const std::set<int> wanted = DragTurns(*p);
    if (wanted.empty()) continue;
    std::set<int> made;
    // Views reached with Ctrl+Up/Down a few steps, then Ctrl+Left/Right round.
    for (int pitch = 0; pitch <= 12 && !std::includes(made.begin(), made.end(), wanted.begin(), wanted.end());
         ++pitch) {
      const int tilt = (pitch % 2 ? 1 : -1) * ((pitch + 1) / 2) * kViewStep;
      for (int yaw = 0; yaw < 360 / kViewStep; ++yaw) {
        p->ResetView(kWidth, kHeight);
        p->RotateViewX(tilt);
        p->RotateViewY(yaw * kViewStep);
        p->UpdateView();
        Paint(*p);
        KeyboardTurns(*p, made);
      }
    }
    std::vector<int> missing;
    std::set_difference(wanted.begin(), wanted.end(), made.begin(), made.end(), std::back_inserter(missing));
    std::string list;
    for (int m : missing) list += " " + std::to_string(m);
    EXPECT_TRUE(missing.empty()) << Name(t) << ": turns no key makes:" << list;
  }
}

TEST(FaceletCursor, ItStandsOnlyOnFaceletsThatShowAndComesBackTheWayItWent) {
  for (const TypeMode& t : EveryTypeAndMode()) {
    std::unique_ptr<CPuzzle> p = Make(t);
    if (p->GetMoveCount() == 0) continue;  // nothing to play
    const std::vector<CFaceletCursor::Spot> spots = CFaceletCursor::VisibleSpots(*p);
    ASSERT_FALSE(spots.empty()) << Name(t);
    std::set<int> shown;
    for (const auto& s : spots) {
      shown.insert(s.id);
      // A facelet that shows is the one the pointer finds at its middle.
      EXPECT_EQ(p->GetFaceletAt(POINT{std::lround(s.x), std::lround(s.y)}), s.id) << Name(t);
    }
    CFaceletCursor cursor;
    EXPECT_FALSE(cursor.Move(*p, EDirection::Left) && !cursor.IsShown());
    ASSERT_TRUE(cursor.IsShown()) << Name(t);
    // A walk in every direction from each of the first facelets it reaches.
    for (int step = 0; step < 12; ++step) {
      const EDirection d = kDirections[step % 4];
      const int before = cursor.GetFacelet();
      EXPECT_TRUE(shown.count(before)) << Name(t);
      if (!cursor.Move(*p, d)) continue;
      EXPECT_TRUE(shown.count(cursor.GetFacelet())) << Name(t);
      EXPECT_NE(cursor.GetFacelet(), before);
      ASSERT_TRUE(cursor.Move(*p, CFaceletCursor::Opposite(d))) << Name(t);
      EXPECT_EQ(cursor.GetFacelet(), before) << Name(t);
      cursor.Move(*p, d);
    }
    EXPECT_TRUE(cursor.Hide());
    EXPECT_FALSE(cursor.Hide());
    EXPECT_EQ(cursor.GetFacelet(), -1);
  }
}

TEST(FaceletCursor, AfterATurnItStandsOnTheFaceletNowAtItsPlace) {
  for (int id : {1, 4, 6, 17, 29}) {
    const int mode = GetPuzzleType(id)->modes > 0 ? 1 : 0;
    std::unique_ptr<CPuzzle> p = Make({id, mode});
    CFaceletCursor cursor;
    cursor.Show(*p);
    const std::vector<CFaceletCursor::Spot> spots = CFaceletCursor::VisibleSpots(*p);
    int turn = 0;
    for (EDirection d : kDirections) {
      const int to = cursor.Target(*p, d);
      if (to >= 0 && (turn = p->MoveFromDrag(cursor.GetFacelet(), to)) != 0) break;
    }
    ASSERT_NE(turn, 0) << id;
    const auto here = std::find_if(spots.begin(), spots.end(), [&](const auto& s) { return s.id == cursor.GetFacelet(); });
    const POINT place{static_cast<LONG>(here->x), static_cast<LONG>(here->y)};
    p->DoMove(turn, 1);
    p->UpdateView();
    Paint(*p);
    cursor.Follow(*p);
    const int under = p->GetFaceletAt(place);
    if (under >= 0) EXPECT_EQ(cursor.GetFacelet(), under) << id;
    else EXPECT_GE(cursor.GetFacelet(), 0) << id;
  }
}

TEST(FaceletCursor, ThePaintedMarkStaysAboutItsFacelet) {
  for (int id : {1, 8, 13, 19}) {
    std::unique_ptr<CPuzzle> p = Make({id, GetPuzzleType(id)->modes > 0 ? 1 : 0});
    CFaceletCursor cursor;
    cursor.Show(*p);
    CPuzzleCanvas plain(*p, kWidth, kHeight), marked(*p, kWidth, kHeight);
    p->Draw(plain.dc, &plain.dib);
    p->Draw(marked.dc, &marked.dib);
    cursor.Paint(marked.dc, *p);
    CFacelet* f = p->GetFaceletById(cursor.GetFacelet());
    ASSERT_TRUE(f && f->Project(kViewVertices));
    LONG left = kWidth, top = kHeight, right = 0, bottom = 0;
    for (int i = 0; i < f->GetVertexCount(); ++i) {
      left = std::min(left, f->GetPoints()[i].x), right = std::max(right, f->GetPoints()[i].x);
      top = std::min(top, f->GetPoints()[i].y), bottom = std::max(bottom, f->GetPoints()[i].y);
    }
    int changed = 0, outside = 0;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x)
        if (marked.At(x, y) != plain.At(x, y)) {
          ++changed;
          outside += x < left - 2 || x > right + 2 || y < top - 2 || y > bottom + 2;
        }
    EXPECT_GT(changed, 20) << id;
    EXPECT_EQ(outside, 0) << id;
  }
}

}  // namespace
