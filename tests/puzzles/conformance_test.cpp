// What every puzzle of the catalogue must do, checked for each type whose family is built.
#include "puzzle_test_util.h"

#include <cordak/urand.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <unistd.h>

namespace {

std::vector<int> BuiltTypes() {
  std::vector<int> ids;
  for (int id = 0; id < kPuzzleTypeCount; ++id)
    if (IsPuzzleBuilt(id)) ids.push_back(id);
  return ids;
}

int FullAngle(CPuzzle& p, int move) { return p.GetMoveStep(move) * p.GetMoveFrames(move); }

// Facelet ids by the edges they share, edges matched by position so that duplicated vertices
// still count.
std::vector<std::set<int>> EdgeNeighbours(const CPuzzle& p) {
  using Key = std::array<long long, 6>;
  auto key = [&](int a, int b) {
    const CFixVector* va = p.GetVertex(a, kModelVertices);
    const CFixVector* vb = p.GetVertex(b, kModelVertices);
    Key ka{va->x, va->y, va->z, vb->x, vb->y, vb->z};
    Key kb{vb->x, vb->y, vb->z, va->x, va->y, va->z};
    return std::min(ka, kb);
  };
  std::map<Key, std::vector<int>> byEdge;
  for (int id = 0; id < p.GetFaceletCount(); ++id) {
    const CFacelet* f = p.GetFaceletById(id);
    for (int i = 0; i < f->GetVertexCount(); ++i)
      byEdge[key(f->GetVertexIndex(i), f->GetVertexIndex((i + 1) % f->GetVertexCount()))].push_back(id);
  }
  std::vector<std::set<int>> neighbours(p.GetFaceletCount());
  for (const auto& [edge, ids] : byEdge)
    for (int a : ids)
      for (int b : ids)
        if (a != b) neighbours[a].insert(b);
  return neighbours;
}

class Conformance : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override { puzzle = MakePuzzle(GetParam()); }
  std::unique_ptr<CPuzzle> puzzle;
};

TEST_P(Conformance, MatchesItsCatalogueRow) {
  const CPuzzleType* row = GetPuzzleType(GetParam());
  ASSERT_NE(row, nullptr);
  CPuzzle& p = *puzzle;
  EXPECT_EQ(p.GetTypeId(), GetParam());
  EXPECT_STREQ(p.GetName(), row->name);
  EXPECT_EQ(p.GetMoveMaskLength(), row->facelets);
  EXPECT_FLOAT_EQ(p.GetModelSize(), row->modelSize);
  const std::vector<COLORREF> palette = GetTypePalette(GetParam());
  ASSERT_EQ(p.GetPaletteCount(), row->paletteCount);
  for (int i = 0; i < p.GetPaletteCount(); ++i) EXPECT_EQ(p.GetPaletteEntry(i), palette[i]) << i;
  // A row of the simple form "F x S = A" names the animation of every turn.
  int frames = 0, step = 0, angle = 0;
  if (std::sscanf(row->turn, "%d x %d = %d", &frames, &step, &angle) == 3) {
    for (int m = 1; m <= p.GetMoveCount(); ++m) {
      EXPECT_EQ(p.GetMoveFrames(m), frames);
      EXPECT_EQ(p.GetMoveStep(m), step);
    }
  }
  EXPECT_EQ(p.GetMode(), row->modes > 0 ? 1 : 0);
  EXPECT_TRUE(p.IsSolved());
}

// Rotating the model as the animation does at the full angle carries every facelet that the
// animation turns onto the facelet the turn gives its colour to.
TEST_P(Conformance, EveryTurnIsWhatItsAnimationShows) {
  CPuzzle& p = *puzzle;
  const double tolerance = 0.02 * ModelRadius(p);
  std::vector<Vec3> centroids;
  for (int id = 0; id < p.GetFaceletCount(); ++id) centroids.push_back(CentroidOf(p, *p.GetFaceletById(id)));
  for (int k = 0; k < p.GetMoveCount(); ++k) {
    const CMove* move = p.GetMove(k);
    if (move->GetLength() == 0) continue;
    CFixMatrix rotation;
    p.GetMoveRotation(rotation, k + 1, FullAngle(p, k + 1));
    const std::uint32_t bit = 1u << CPuzzle::MaskBit(k);
    for (int i = 0; i < move->GetLength(); ++i) {
      if (move->GetEntry(i) != i) {
        EXPECT_TRUE(p.GetMoveMask(i) & bit) << "turn " << k + 1 << " facelet " << i;
      }
      if (!(p.GetMoveMask(i) & bit)) continue;
      const CFixVector c = rotation.Transform(CFixVector(centroids[i][0], centroids[i][1], centroids[i][2]));
      const Vec3 moved = ToVec(c);
      int nearest = -1;
      double best = 1e300;
      for (int j = 0; j < static_cast<int>(centroids.size()); ++j) {
        const double d = Length(Sub(moved, centroids[j]));
        if (d < best) best = d, nearest = j;
      }
      EXPECT_EQ(nearest, move->GetEntry(i)) << "turn " << k + 1 << " facelet " << i;
      EXPECT_LT(best, tolerance) << "turn " << k + 1 << " facelet " << i;
    }
  }
}

// A facelet that stays where it is but lies amid turning ones (a face centre) turns in the
// animation too, or it would stand still or vanish while the layer around it turns.
TEST_P(Conformance, FaceletsTurningInPlaceAreAnimated) {
  CPuzzle& p = *puzzle;
  const std::vector<std::set<int>> neighbours = EdgeNeighbours(p);
  for (int k = 0; k < p.GetMoveCount(); ++k) {
    const std::uint32_t bit = 1u << CPuzzle::MaskBit(k);
    for (int id = 0; id < p.GetFaceletCount(); ++id) {
      if ((p.GetMoveMask(id) & bit) || neighbours[id].empty()) continue;
      bool enclosed = true;
      for (int other : neighbours[id]) enclosed = enclosed && (p.GetMoveMask(other) & bit);
      EXPECT_FALSE(enclosed) << "turn " << k + 1 << " leaves facelet " << id << " behind";
    }
  }
}

TEST_P(Conformance, EveryFaceletFacesOutwards) {
  CPuzzle& p = *puzzle;
  for (int id = 0; id < p.GetFaceletCount(); ++id) {
    const CFacelet& f = *p.GetFaceletById(id);
    EXPECT_GT(Dot(NormalOf(p, f), CentroidOf(p, f)), 0) << "facelet " << id;
  }
  // And the drawing's front-facing test agrees with the normal in view space.
  p.ResetView(640, 480);
  p.UpdateView();
  for (int id = 0; id < p.GetFaceletCount(); ++id) {
    CFacelet& f = *p.GetFaceletById(id);
    const Vec3 n = NormalOf(p, f, kViewVertices);
    if (std::abs(n[2]) < 0.2 * Length(n)) continue;  // edge-on: pixel rounding decides
    EXPECT_EQ(f.Project(kViewVertices), n[2] > 0) << "facelet " << id;
  }
}

TEST_P(Conformance, TurnsUndoAndRepeatToTheIdentity) {
  CPuzzle& p = *puzzle;
  ColourById(p);
  const std::vector<int> start = ColoursById(p);
  for (int m = 1; m <= p.GetMoveCount(); ++m) {
    p.DoMove(m, 0);
    if (p.GetMove(m - 1)->GetLength() > 0) {
      EXPECT_NE(ColoursById(p), start) << "turn " << m << " changes nothing";
    }
    p.DoMove(-m, 0);
    EXPECT_EQ(ColoursById(p), start) << "turn " << m << " and its inverse";
    const int angle = FullAngle(p, m);
    if (angle <= 0 || 360 % angle != 0) continue;
    for (int i = 0; i < 360 / angle; ++i) p.DoMove(m, 0);
    EXPECT_EQ(ColoursById(p), start) << "turn " << m << " repeated a full circle";
  }
}

TEST_P(Conformance, SolvedAfterResetNotAfterScramble) {
  CPuzzle& p = *puzzle;
  p.Reset();
  EXPECT_TRUE(p.IsSolved());
  p.UpdateSolved();
  EXPECT_TRUE(p.IsSolved());
  if (p.GetMoveCount() == 0) return;
  Randomize(20261208);
  p.Scramble();
  p.UpdateSolved();
  EXPECT_FALSE(p.IsSolved());
  p.Reset();
  EXPECT_TRUE(p.IsSolved());
}

// Dragging from a turning facelet to the place its colour goes gives that turn, and the
// drag back its inverse. Turns that move everything turn the whole puzzle and have no drag.
TEST_P(Conformance, DraggingAlongALayerTurnsIt) {
  CPuzzle& p = *puzzle;
  for (int k = 0; k < p.GetMoveCount(); ++k) {
    const CMove* move = p.GetMove(k);
    const std::uint32_t bit = 1u << CPuzzle::MaskBit(k);
    bool whole = true;
    for (int id = 0; id < p.GetFaceletCount(); ++id) whole = whole && (p.GetMoveMask(id) & bit);
    if (whole || move->GetLength() == 0) continue;
    int found = 0;
    for (int id = 0; id < move->GetLength(); ++id) {
      const int to = move->GetEntry(id);
      if (to == id || p.MoveFromDrag(id, to) != k + 1) continue;
      ++found;
      EXPECT_EQ(p.MoveFromDrag(to, id), -(k + 1)) << "drag back from " << to << " to " << id;
    }
    EXPECT_GT(found, 0) << "no drag turns turn " << k + 1;
  }
}

TEST_P(Conformance, SaveThenLoadGivesAnEqualPuzzle) {
  CPuzzle& p = *puzzle;
  Randomize(7);
  p.Scramble();
  if (p.GetMoveCount() > 0) {
    p.RecordMove(1, 0);
    p.RecordMove(-p.GetMoveCount(), 0);
  }
  char path[] = "/tmp/gyrix-conformance-XXXXXX";
  const int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  close(fd);
  ASSERT_EQ(p.Save(path), 1);
  std::unique_ptr<CPuzzle> loaded = MakePuzzle(GetParam());
  EXPECT_EQ(loaded->Load(path), 1);
  std::remove(path);
  EXPECT_EQ(StoredForm(*loaded), StoredForm(p));
  EXPECT_EQ(ColoursById(*loaded), ColoursById(p));
}

INSTANTIATE_TEST_SUITE_P(BuiltTypes, Conformance, ::testing::ValuesIn(BuiltTypes()),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return "Type" + std::to_string(info.param);
                         });

}  // namespace
