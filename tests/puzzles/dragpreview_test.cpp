// The drag preview on every type: the turn it shows is the one the release makes, its outline
// holds every facelet that turn changes, and what it paints stays on those facelets.
#include "puzzle_test_util.h"

#include <gyrix/engine/dragpreview.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

namespace {

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

std::unique_ptr<CPuzzle> Make(const TypeMode& t) {
  std::unique_ptr<CPuzzle> p = MakePuzzle(t.id);
  if (t.mode > 0) p->SetMode(t.mode);
  p->ResetView(800, 600);
  p->UpdateView();
  return p;
}

// A drag between two facelets that face the viewer, and its turn.
std::pair<int, std::pair<int, int>> VisibleDrag(CPuzzle& p) {
  for (int a = 0; a < p.GetFaceletCount(); ++a)
    for (int b = 0; b < p.GetFaceletCount(); ++b) {
      const int m = p.MoveFromDrag(a, b);
      if (m != 0 && p.GetFaceletById(a)->Project(kViewVertices) && p.GetFaceletById(b)->Project(kViewVertices) &&
          !p.GetTurningFacelets(m).empty())
        return {m, {a, b}};
    }
  return {0, {-1, -1}};
}

// One drag for each turn the drag rule gives (the first pair of facelets found).
std::map<int, std::pair<int, int>> DragForEachTurn(CPuzzle& p) {
  std::map<int, std::pair<int, int>> drags;
  for (int a = 0; a < p.GetFaceletCount(); ++a)
    for (int b = 0; b < p.GetFaceletCount(); ++b) {
      const int m = p.MoveFromDrag(a, b);
      if (m != 0 && !drags.count(m)) drags[m] = {a, b};
    }
  return drags;
}

std::vector<Vec3> CentroidsById(const CPuzzle& p) {
  std::vector<Vec3> c;
  for (int id = 0; id < p.GetFaceletCount(); ++id) c.push_back(CentroidOf(p, *p.GetFaceletById(id)));
  return c;
}

std::string Name(const TypeMode& t) {
  return std::string(CPuzzle::GetTypeName(t.id)) + (t.mode > 0 ? " mode " + std::to_string(t.mode) : "");
}

double DistanceToSegment(double px, double py, POINT a, POINT b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double len = dx * dx + dy * dy;
  double t = len > 0 ? ((px - a.x) * dx + (py - a.y) * dy) / len : 0;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(px - (a.x + t * dx), py - (a.y + t * dy));
}

// The least distance from (x, y) to the outline of a facelet as last projected.
double DistanceToOutline(CFacelet& f, int x, int y) {
  f.Project(kViewVertices);
  const POINT* pts = f.GetPoints();
  double best = 1e9;
  for (int i = 0; i < f.GetVertexCount(); ++i)
    best = std::min(best, DistanceToSegment(x, y, pts[i], pts[(i + 1) % f.GetVertexCount()]));
  return best;
}

}  // namespace

TEST(DragPreview, EveryTypeShowsTheTurnTheReleaseMakesWithEveryFaceletItChanges) {
  for (const TypeMode& t : EveryTypeAndMode()) {
    std::unique_ptr<CPuzzle> probe = Make(t);
    const auto drags = DragForEachTurn(*probe);
    if (probe->GetMoveCount() > 0) {
      EXPECT_FALSE(drags.empty()) << Name(t);
    }
    for (const auto& [turn, drag] : drags) {
      std::unique_ptr<CPuzzle> p = Make(t);
      CDragPreview preview;
      ASSERT_TRUE(preview.Drag(*p, drag.first, drag.second));
      if (preview.GetShown() == CDragPreview::EShown::NoTurn) {
        // The rule names a turn the position forbids (a light's click that needs it lit):
        // the release makes none, and the preview says so.
        EXPECT_FALSE(p->StartMove(nullptr, turn)) << Name(t) << " turn " << turn;
        continue;
      }
      ASSERT_EQ(preview.GetShown(), CDragPreview::EShown::Turn) << Name(t);
      EXPECT_EQ(preview.GetPreviewTurn(), turn) << Name(t);
      const std::vector<int> outlined = preview.GetTurnFacelets();
      EXPECT_FALSE(outlined.empty()) << Name(t) << " turn " << turn;

      const std::vector<int> colours = ColoursById(*p);
      const std::vector<Vec3> places = CentroidsById(*p);
      ASSERT_TRUE(p->StartMove(nullptr, turn)) << Name(t) << " turn " << turn;
      const std::vector<int> coloursAfter = ColoursById(*p);
      const std::vector<Vec3> placesAfter = CentroidsById(*p);
      int changes = 0;
      for (int id = 0; id < p->GetFaceletCount(); ++id) {
        const bool changed = colours[id] != coloursAfter[id] || Length(Sub(places[id], placesAfter[id])) > 1e-3;
        changes += changed;
        if (changed) {
          EXPECT_TRUE(std::binary_search(outlined.begin(), outlined.end(), id))
              << Name(t) << " turn " << turn << " changes facelet " << id << " but does not outline it";
        }
      }
      // Only a turn that changes every facelet outlines them all; the Diamond's face turns
      // carry the whole of it, though its faces share colours two by two.
      const bool carriesEverything = t.id == 34 && t.mode == 2;
      if (changes < p->GetFaceletCount() && !carriesEverything) {
        EXPECT_LT(outlined.size(), static_cast<size_t>(p->GetFaceletCount())) << Name(t) << " turn " << turn;
      }
    }
  }
}

TEST(DragPreview, AskingDuringARunningTurnLeavesItsMovingPartAlone) {
  // The plane-cut puzzles mark the moving part when a turn starts; a preview asked meanwhile
  // must not re-mark it.
  for (int id = 0; id < kPuzzleTypeCount; ++id) {
    std::unique_ptr<CPuzzle> p = MakePuzzle(id);
    if (!dynamic_cast<CPlaneCutPuzzle*>(p.get())) continue;
    p->ResetView(800, 600);
    const auto drags = DragForEachTurn(*p);
    if (drags.size() < 2) continue;
    const std::vector<int> first = p->GetTurningFacelets(drags.begin()->first);
    std::vector<std::uint32_t> masks;
    for (int f = 0; f < p->GetMoveMaskLength(); ++f) masks.push_back(p->GetMoveMask(f));
    const std::vector<int> other = p->GetTurningFacelets(std::next(drags.begin())->first);
    for (int f = 0; f < p->GetMoveMaskLength(); ++f) EXPECT_EQ(p->GetMoveMask(f), masks[f]) << id << " facelet " << f;
    EXPECT_NE(first, other) << id;
  }
}

TEST(DragPreview, WhatIsShownFollowsThePointerAndChangesOnlyWhenItMoves) {
  std::unique_ptr<CPuzzle> p = Make({1, 0});
  const auto drags = DragForEachTurn(*p);
  ASSERT_FALSE(drags.empty());
  const auto [turn, drag] = *drags.begin();
  CDragPreview preview;
  EXPECT_EQ(preview.GetShown(), CDragPreview::EShown::Nothing);

  // A still pointer asks for no repaint.
  EXPECT_TRUE(preview.Hover(drag.first));
  EXPECT_FALSE(preview.Hover(drag.first));
  EXPECT_EQ(preview.GetShown(), CDragPreview::EShown::Hover);
  EXPECT_EQ(preview.GetHovered(), drag.first);
  EXPECT_TRUE(preview.Hover(-1));
  EXPECT_EQ(preview.GetShown(), CDragPreview::EShown::Nothing);

  // Pressed: the facelet alone until the pointer reaches one that makes a turn.
  EXPECT_TRUE(preview.Drag(*p, drag.first, drag.first));
  EXPECT_EQ(preview.GetShown(), CDragPreview::EShown::NoTurn);
  EXPECT_TRUE(preview.Drag(*p, drag.first, drag.second));
  EXPECT_EQ(preview.GetShown(), CDragPreview::EShown::Turn);
  EXPECT_EQ(preview.GetPreviewTurn(), turn);
  EXPECT_FALSE(preview.Drag(*p, drag.first, drag.second));
  // Off the puzzle: no turn.
  EXPECT_TRUE(preview.Drag(*p, drag.first, -1));
  EXPECT_EQ(preview.GetPreviewTurn(), 0);
  EXPECT_TRUE(preview.GetTurnFacelets().empty());

  // A release that turns nothing leaves the cue on the pressed facelet until it is ended.
  EXPECT_TRUE(preview.Release(false));
  EXPECT_EQ(preview.GetShown(), CDragPreview::EShown::Refused);
  EXPECT_TRUE(preview.EndCue());
  EXPECT_FALSE(preview.EndCue());
  EXPECT_EQ(preview.GetShown(), CDragPreview::EShown::Nothing);
  // A release that turns leaves nothing.
  preview.Drag(*p, drag.first, drag.second);
  EXPECT_TRUE(preview.Release(true));
  EXPECT_EQ(preview.GetShown(), CDragPreview::EShown::Nothing);
  EXPECT_FALSE(preview.Release(true));  // no press to end

  // Forget drops everything, and says whether anything was shown.
  preview.Hover(drag.first);
  EXPECT_TRUE(preview.Forget());
  EXPECT_FALSE(preview.Forget());

  // Switched off: nothing is kept, nothing is shown, nothing asks for a repaint.
  preview.Hover(drag.first);
  preview.SetEnabled(false);
  EXPECT_EQ(preview.GetShown(), CDragPreview::EShown::Nothing);
  EXPECT_FALSE(preview.Hover(drag.second));
  EXPECT_FALSE(preview.Drag(*p, drag.first, drag.second));
  EXPECT_FALSE(preview.Release(false));
  EXPECT_EQ(preview.GetShown(), CDragPreview::EShown::Nothing);
}

TEST(DragPreview, PaintingMarksOnlyTheOutlinesOfWhatIsShown) {
  for (int id : {1, 4, 13, 17, 29}) {  // a cube, the pyramid, the lights, a plane-cut puzzle, the slider
    std::unique_ptr<CPuzzle> p = Make({id, GetPuzzleType(id)->modes > 0 ? 1 : 0});
    const auto [turn, drag] = VisibleDrag(*p);
    ASSERT_NE(turn, 0) << id;
    CPuzzleCanvas plain(*p, 800, 600);
    p->Draw(plain.dc, &plain.dib);

    auto paintedWith = [&](CDragPreview& preview) {
      CPuzzleCanvas marked(*p, 800, 600);
      p->Draw(marked.dc, &marked.dib);
      preview.Paint(marked.dc, *p);
      std::vector<std::pair<int, int>> changed;
      for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x)
          if (marked.At(x, y) != plain.At(x, y)) changed.push_back({x, y});
      return changed;
    };
    auto nearOneOf = [&](const std::vector<int>& ids, int x, int y) {
      for (int f : ids)
        if (CFacelet* facelet = p->GetFaceletById(f); facelet && DistanceToOutline(*facelet, x, y) <= 2.5) return true;
      return false;
    };

    CDragPreview nothing;
    EXPECT_TRUE(paintedWith(nothing).empty()) << id;

    CDragPreview hover;
    hover.Hover(drag.first);
    const auto hovered = paintedWith(hover);
    EXPECT_FALSE(hovered.empty()) << id;
    for (auto [x, y] : hovered) ASSERT_TRUE(nearOneOf({drag.first}, x, y)) << id << " at " << x << "," << y;

    CDragPreview dragging;
    dragging.Drag(*p, drag.first, drag.second);
    const std::vector<int>& outlined = dragging.GetTurnFacelets();
    const auto turning = paintedWith(dragging);
    EXPECT_FALSE(turning.empty()) << id;
    for (auto [x, y] : turning) ASSERT_TRUE(nearOneOf(outlined, x, y)) << id << " at " << x << "," << y;

    CDragPreview refused;
    refused.Drag(*p, drag.first, -1);
    refused.Release(false);
    const auto cue = paintedWith(refused);
    ASSERT_FALSE(cue.empty()) << id;
    CPuzzleCanvas marked(*p, 800, 600);
    p->Draw(marked.dc, &marked.dib);
    refused.Paint(marked.dc, *p);
    int red = 0;
    for (auto [x, y] : cue) red += marked.At(x, y) == 0x0000FFu;
    EXPECT_GT(red, 0) << id;
  }
}
