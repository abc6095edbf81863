// The speedcubing layout's moves on the cubes: each turns the layers the player sees on that
// side, in several views, as the drag on those layers does; wide, middle and whole-cube moves
// and the inner layers of the big cubes turn what their names say.
#include <gyrix/session/speedcube.h>

#include <gyrix/engine/canvas.h>
#include <gyrix/puzzles.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <vector>

namespace {

constexpr int kWidth = 640, kHeight = 480;

std::vector<int> Colours(const CPuzzle& p) {
  std::vector<int> c;
  for (int id = 0; id < p.GetMoveMaskLength(); ++id) c.push_back(p.GetFaceletColour(id));
  return c;
}

// With unique, every facelet gets a colour of its own, so that every facelet a turn carries
// shows it.
std::unique_ptr<CPuzzle> Cube(int size, int tilt, int yaw, bool unique = false) {
  std::unique_ptr<CPuzzle> p(CreatePuzzle(size - 2));
  p->ResetView(kWidth, kHeight);
  p->RotateViewX(tilt);
  p->RotateViewY(yaw);
  p->UpdateView();
  CPuzzleCanvas canvas(*p, kWidth, kHeight);
  p->Draw(canvas.dc, &canvas.dib);
  if (unique)
    for (int id = 0; id < p->GetMoveMaskLength(); ++id) p->SetFaceletColour(id, id);
  return p;
}

// The facelets whose colour the text's turns change, from solved.
std::set<int> Moved(CPuzzle& p, const std::string& text) {
  const std::vector<int> before = Colours(p);
  if (!p.ExecuteMacro(text.c_str())) return {-1};
  while (p.IsPlaying()) p.PlayNextMove(nullptr);
  const std::vector<int> after = Colours(p);
  std::set<int> moved;
  for (size_t i = 0; i < after.size(); ++i)
    if (after[i] != before[i]) moved.insert(static_cast<int>(i));
  return moved;
}

// The facelet facing the viewer whose middle lies farthest along (dx, dy) on screen.
int Extreme(CPuzzle& p, int dx, int dy) {
  int best = -1;
  double most = -1e9;
  for (int i = 0; i < p.GetFaceletCount(); ++i) {
    CFacelet* f = p.GetFacelet(i);
    if (!f->Project(kViewVertices)) continue;
    double x = 0, y = 0;
    for (int k = 0; k < f->GetVertexCount(); ++k) x += f->GetPoints()[k].x, y += f->GetPoints()[k].y;
    const double along = (x * dx + y * dy) / f->GetVertexCount();
    if (along > most) most = along, best = f->GetId();
  }
  return best;
}

struct View {
  int tilt, yaw;
};
const View kViews[] = {{0, 0}, {0, 90}, {0, 180}, {15, 270}, {-15, 30}};

TEST(SpeedcubeMoves, FaceMovesTurnTheLayerOnThatSideOfThePictureAsADragDoes) {
  struct Side {
    ECubeMove move;
    int dx, dy;
  };
  const Side sides[] = {{ECubeMove::R, 1, 0}, {ECubeMove::L, -1, 0}, {ECubeMove::U, 0, -1}, {ECubeMove::D, 0, 1}};
  for (int size = 2; size <= 5; ++size) {
    int seen = 0;
    for (const View& v : kViews) {
      for (const Side& s : sides) {
        std::unique_ptr<CPuzzle> p = Cube(size, v.tilt, v.yaw, true);
        const std::vector<int> start = Colours(*p);
        const int near = Extreme(*p, s.dx, s.dy), far = Extreme(*p, -s.dx, -s.dy);
        const std::string text = CubeMoveText(s.move, false, size);
        const std::set<int> moved = Moved(*p, text);
        // A view in which the notation cannot tell the faces apart (as Execute Move says).
        if (moved.count(-1)) continue;
        ++seen;
        EXPECT_TRUE(moved.count(near)) << size << " " << text << " view " << v.yaw;
        EXPECT_FALSE(moved.count(far)) << size << " " << text << " view " << v.yaw;
        // One turn of the puzzle's own, the one some drag makes.
        std::unique_ptr<CPuzzle> q = Cube(size, v.tilt, v.yaw, true);
        std::set<int> turnsOfDrags;
        for (int a = 0; a < q->GetFaceletCount(); ++a)
          for (int b = 0; b < q->GetFaceletCount(); ++b)
            if (const int m = q->MoveFromDrag(a, b)) turnsOfDrags.insert(m);
        bool matched = false;
        for (int m : turnsOfDrags) {
          std::unique_ptr<CPuzzle> r = Cube(size, v.tilt, v.yaw, true);
          r->DoMove(m, 0);
          if (Colours(*r) == Colours(*p)) matched = true;
        }
        EXPECT_TRUE(matched) << size << " " << text;
        // Its prime takes it back.
        Moved(*p, CubeMoveText(s.move, true, size));
        EXPECT_EQ(Colours(*p), start) << size << " " << text;
      }
    }
    EXPECT_GE(seen, 8) << size;  // at least two of the views
  }
}

TEST(SpeedcubeMoves, WideMiddleWholeAndInnerMovesTurnTheLayersTheirNamesSay) {
  for (int size = 2; size <= 5; ++size) {
    std::unique_ptr<CPuzzle> p = Cube(size, 0, 0);
    const size_t face = Moved(*p, CubeMoveText(ECubeMove::R, false, size)).size();
    p = Cube(size, 0, 0);
    const size_t slice = size > 2 ? Moved(*p, CubeMoveText(ECubeMove::R, false, size, 2, true)).size() : 0;
    // x turns everything: nothing is left where it was (the solved cube shows it turned).
    p = Cube(size, 0, 0);
    // x carries the four faces round its axis: each shows another's colour now.
    EXPECT_EQ(Moved(*p, CubeMoveText(ECubeMove::X, false, size)).size(), static_cast<size_t>(4 * size * size)) << size;
    EXPECT_TRUE(p->IsSolved());  // a whole-cube turn leaves it solved
    // The wide move is the face and the slice beside it.
    p = Cube(size, 0, 0);
    if (size > 2) {
      EXPECT_EQ(Moved(*p, CubeMoveText(ECubeMove::WideR, false, size)).size(), face + slice) << size;
    }
    // M leaves both faces of its axis alone.
    p = Cube(size, 0, 0);
    const int right = Extreme(*p, 1, 0), left = Extreme(*p, -1, 0);
    const std::set<int> middle = Moved(*p, CubeMoveText(ECubeMove::M, false, size));
    EXPECT_FALSE(middle.count(right) || middle.count(left)) << size;
    EXPECT_EQ(middle.empty(), size == 2);
  }
  // The big cubes: three layers from R, and the third alone.
  std::unique_ptr<CPuzzle> p = Cube(5, 0, 0);
  const std::set<int> three = Moved(*p, CubeMoveText(ECubeMove::R, false, 5, 3));
  p = Cube(5, 0, 0);
  const std::set<int> third = Moved(*p, CubeMoveText(ECubeMove::R, false, 5, 3, true));
  EXPECT_TRUE(std::includes(three.begin(), three.end(), third.begin(), third.end()));
  EXPECT_LT(third.size(), three.size());
  EXPECT_TRUE(CubeMoveText(ECubeMove::R, false, 3, 4).empty());  // no fourth layer on a 3x3x3
}

}  // namespace
