// The sphere: what the conformance suite cannot know about its turns, drags and solved test.
#include "puzzle_test_util.h"

#include <gyrix/puzzles/sphere.h>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::vector<int> Turned(CSpherePuzzle& p, std::initializer_list<int> moves) {
  for (int m : moves) p.DoMove(m, 1);
  return ColoursById(p);
}

// The turn tables are the source; each turn must be the rotation its animation shows.
TEST(Sphere, TurnTablesAreTheirRotations) {
  CSpherePuzzle p;
  ASSERT_EQ(p.GetMoveCount(), 12);
  for (int m = 1; m <= 12; ++m) {
    const CRotationTurn r = TurnFromRotation(p, m, CTurnPart::Facelets([&] {
      std::vector<int> ids;
      for (int f = 0; f < p.GetFaceletCount(); ++f)
        if (p.GetMove(m - 1)->GetEntry(f) != f) ids.push_back(f);
      return ids;
    }()), 0.05);
    ASSERT_TRUE(r.valid) << m << ": " << r.error;
    for (int f = 0; f < p.GetFaceletCount(); ++f) EXPECT_EQ(r.permutation[f], p.GetMove(m - 1)->GetEntry(f)) << m;
  }
}

TEST(Sphere, LayerTurnsComeRoundAndHalfTurnsUndoThemselves) {
  CSpherePuzzle p;
  ColourById(p);
  const std::vector<int> start = ColoursById(p);
  for (int layer = 1; layer <= 4; ++layer) {
    EXPECT_NE(Turned(p, {layer}), start);
    EXPECT_EQ(Turned(p, {layer, layer, layer, layer, layer, layer, layer}), start) << layer;
  }
  for (int half = 5; half <= 12; ++half) {
    // Each half turn moves four whole sectors of every layer and nothing else.
    EXPECT_NE(Turned(p, {half}), start);
    int moved = 0;
    for (int f = 0; f < 128; ++f) moved += p.GetFaceletColour(f) != start[f];
    EXPECT_EQ(moved, 64) << half;
    EXPECT_EQ(Turned(p, {half}), start) << half;
  }
}

TEST(Sphere, DragsAcrossAndAlongLayers) {
  CSpherePuzzle p;
  // Sector 2 of layer 0 (facelet 4) down to sector 2 of layer 3 (facelet 100), and back.
  EXPECT_EQ(p.MoveFromDrag(4, 100), 7);
  EXPECT_EQ(p.MoveFromDrag(100, 4), -7);
  EXPECT_EQ(p.MoveFromDrag(4, 102), 0);  // across layers and sectors
  // Within layer 0 from sector 0: one sector on turns the layer, four or none do nothing.
  EXPECT_EQ(p.MoveFromDrag(0, 2), 1);
  EXPECT_EQ(p.MoveFromDrag(2, 0), -1);
  EXPECT_EQ(p.MoveFromDrag(0, 8), 0);
  EXPECT_EQ(p.MoveFromDrag(0, 17), 0);
  // Three sectors round flip the half that holds both ends, the other way below the equator.
  EXPECT_EQ(p.MoveFromDrag(0, 6), -5);
  EXPECT_EQ(p.MoveFromDrag(6, 0), 5);
  EXPECT_EQ(p.MoveFromDrag(96, 102), 5);
}

TEST(Sphere, UniformSectorsInAnyOrderAreSolved) {
  CSpherePuzzle p;
  p.DoMove(5, 1);  // sectors 0..3 flipped: each still one colour, in reverse order
  EXPECT_TRUE(p.IsSolved());
  EXPECT_NE(p.GetFaceletColour(0), 1);
  p.DoMove(1, 1);
  EXPECT_FALSE(p.IsSolved());
}

// Files written without the cut faces (an empty list of inner facelets) still load, and the
// sphere gets its cut faces back.
TEST(Sphere, FilesWithoutCutFacesLoadAndGetThemBack) {
  CSpherePuzzle p;
  ASSERT_EQ(p.GetInnerFaceletCount(), 7);
  p.DoMove(6, 1);
  std::vector<unsigned char> bytes = StoredForm(p);
  // The inner list: a count of 7, then the first cut face of 16 corners from vertex 17 on.
  const int head[4] = {7, 16, 17, 18};
  const auto at = std::search(bytes.begin(), bytes.end(), reinterpret_cast<const unsigned char*>(head),
                              reinterpret_cast<const unsigned char*>(head) + sizeof head);
  ASSERT_NE(at, bytes.end());
  int length = 4;
  for (int i = 0; i < 7; ++i) length += 12 + 4 * p.GetInnerFaceletAt(i)->GetVertexCount();
  const auto end = bytes.erase(at, at + length);
  const int none = 0;
  bytes.insert(end, reinterpret_cast<const unsigned char*>(&none), reinterpret_cast<const unsigned char*>(&none) + 4);

  CSpherePuzzle q;
  CUBuffer file;
  file.Write(bytes.data(), static_cast<int>(bytes.size()));
  file.SeekToBegin();
  ASSERT_EQ(q.LoadFromBuffer(file), 1);
  EXPECT_EQ(ColoursById(q), ColoursById(p));
  EXPECT_EQ(StoredForm(q), StoredForm(p));
}

}  // namespace

