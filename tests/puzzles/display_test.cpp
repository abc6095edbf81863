// The display models: what the shared checks cannot know. The polygons follow their palette
// rule and counts for every n, every model's solved colouring uses all its side colours, and
// "Ultimate", which has nothing to show, survives every command a player can give.
#include "puzzle_test_util.h"

#include <gyrix/engine/canvas.h>
#include <gyrix/puzzles/display.h>

#include <cordak/urand.h>

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(DisplayModels, PolygonsFollowTheirSideCount) {
  const int sides[] = {3, 5, 6, 8};
  const int ids[] = {30, 31, 32, 33};
  const COLORREF tail[] = {0x808080, 0x000080, 0xFFFFFF, 0x800080, 0xFF00FF, 0xFFFF00,
                           0x00FF00, 0xFF0000, 0x0000FF, 0x0080FF, 0x00FFFF};
  for (int i = 0; i < 4; ++i) {
    CPolygonPuzzle p(sides[i]);
    const int n = sides[i];
    EXPECT_EQ(p.GetTypeId(), ids[i]);
    EXPECT_EQ(p.GetSize(), n);
    EXPECT_EQ(p.GetFaceletCount(), 13 * n + 2);
    ASSERT_EQ(p.GetPaletteCount(), n + 3);
    EXPECT_EQ(p.GetPaletteEntry(0), 0x808080u);
    for (int k = 1; k < n + 3; ++k) EXPECT_EQ(p.GetPaletteEntry(k), tail[11 - (n + 2) + k - 1]) << n << " " << k;
  }
  // A side count the catalogue does not know makes the triangle.
  CPolygonPuzzle odd(4);
  EXPECT_EQ(odd.GetTypeId(), 30);
  EXPECT_EQ(odd.GetFaceletCount(), 41);
}

TEST(DisplayModels, SolvedColouringUsesEverySideColour) {
  std::vector<std::unique_ptr<CPuzzle>> models;
  models.push_back(std::make_unique<COctaStarPuzzle>());
  models.push_back(std::make_unique<CTricosaPuzzle>());
  models.push_back(std::make_unique<CBarrelPuzzle>());
  models.push_back(std::make_unique<CDiagonalCubePuzzle>());
  models.push_back(std::make_unique<CTetraPuzzle>());
  models.push_back(std::make_unique<CTetOctaPuzzle>());
  models.push_back(std::make_unique<CSuperXPuzzle>());
  models.push_back(std::make_unique<CTetraStarPuzzle>());
  models.push_back(std::make_unique<CCrystalPuzzle>());
  for (int n : {3, 5, 6, 8}) models.push_back(std::make_unique<CPolygonPuzzle>(n));
  for (auto& p : models) {
    std::set<int> used;
    for (int id = 0; id < p->GetFaceletCount(); ++id) used.insert(p->GetFaceletColour(id));
    EXPECT_EQ(static_cast<int>(used.size()), p->GetPaletteCount() - 1) << p->GetName();
    EXPECT_EQ(used.count(0), 0u) << p->GetName();
    // Nothing to scramble: no clock starts that no solution could stop.
    p->Scramble();
    EXPECT_TRUE(p->IsSolved()) << p->GetName();
    EXPECT_FALSE(p->IsClockRunning()) << p->GetName();
    // Recolouring and Reset bring the solved colours back.
    for (int id = 0; id < p->GetFaceletCount(); ++id) p->SetFaceletColour(id, 1);
    p->Reset();
    std::set<int> again;
    for (int id = 0; id < p->GetFaceletCount(); ++id) again.insert(p->GetFaceletColour(id));
    EXPECT_EQ(again, used) << p->GetName();
  }
}

TEST(DisplayModels, UltimateSurvivesEveryCommand) {
  CUltimatePuzzle p;
  EXPECT_EQ(p.GetTypeId(), 35);
  EXPECT_EQ(p.GetFaceletCount(), 0);
  EXPECT_EQ(p.GetVertexCount(), 0);
  EXPECT_EQ(p.GetMoveMaskLength(), 28);
  EXPECT_EQ(p.GetPaletteCount(), 5);
  EXPECT_TRUE(p.IsSolved());

  CPuzzleCanvas canvas(p, 64, 48);
  p.ResetView(64, 48);
  p.RotateViewX(30);
  canvas.Clear();
  p.Draw(canvas.dc, &canvas.dib);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) ASSERT_TRUE(canvas.IsBackground(x, y));
  EXPECT_EQ(p.GetFaceletAt(POINT{32, 24}), -1);
  EXPECT_EQ(p.MoveFromDrag(0, 0), 0);
  EXPECT_EQ(p.MoveFromDrag(-1, 5), 0);
  EXPECT_FALSE(p.StartMove(nullptr, 1));

  Randomize(3);
  p.Scramble();
  EXPECT_TRUE(p.IsSolved());
  EXPECT_FALSE(p.IsClockRunning());
  EXPECT_FALSE(p.UndoMove(nullptr));
  p.UpdateSolved();

  CUBuffer file;
  p.Write(file);
  file.SeekToBegin();
  CUltimatePuzzle loaded;
  EXPECT_EQ(loaded.LoadFromBuffer(file), 1);
  EXPECT_EQ(loaded.GetFaceletCount(), 0);

  p.Reset();
  EXPECT_TRUE(p.IsSolved());
  canvas.Clear();
  p.Draw(canvas.dc, &canvas.dib);
  EXPECT_TRUE(canvas.IsBackground(32, 24));
}

}  // namespace
