// Every type painted smooth next to its classic painting: the classic pixels do not change
// when a painter listens, and the smooth picture shows the same facelets in the same places.
#include "puzzle_test_util.h"

#include <gyrix/engine/canvas.h>
#include <gyrix/engine/planecut.h>
#include <lumex/coverage.h>
#include <platform/image32.h>

#include <gtest/gtest.h>

namespace {

constexpr int kSize = 240;

// Paints at rest (turn 0) or half way through a turn.
void Paint(CPuzzle& p, CPuzzleCanvas& canvas, int turn) {
  if (turn != 0)
    p.DrawMoveFrame(canvas.dc, &canvas.dib, turn, p.GetMoveStep(turn) * p.GetMoveFrames(turn) / 2);
  else
    p.Draw(canvas.dc, &canvas.dib);
}

bool CanShowTurn(CPuzzle& p, int turn) {
  if (p.GetMoveCount() == 0 || p.GetAnimatedMove(turn) < 0) return false;
  auto* planeCut = dynamic_cast<CPlaneCutPuzzle*>(&p);
  return !planeCut || planeCut->CanMove(turn);
}

// Pixels whose neighbourhood of radius 2 is one colour in the classic picture lie well inside
// a facelet (or the background); the smooth picture must show that colour there.
int CountWrongInsides(const CImage32& classic, const CImage32& smooth, int& insides) {
  int wrong = 0;
  insides = 0;
  for (int y = 2; y < classic.Height() - 2; ++y)
    for (int x = 2; x < classic.Width() - 2; ++x) {
      const std::uint32_t c = classic.At(x, y);
      bool uniform = true;
      for (int dy = -2; dy <= 2 && uniform; ++dy)
        for (int dx = -2; dx <= 2 && uniform; ++dx) uniform = classic.At(x + dx, y + dy) == c;
      if (!uniform) continue;
      ++insides;
      wrong += smooth.At(x, y) != c;
    }
  return wrong;
}

}  // namespace

TEST(SmoothDrawing, EveryTypeAtRestAndMidTurnMatchesItsClassicPaintingInsideItsFacelets) {
  for (int id = 0; id < kPuzzleTypeCount; ++id) {
    if (!IsPuzzleBuilt(id)) continue;
    std::unique_ptr<CPuzzle> p(CreatePuzzle(id));
    ASSERT_TRUE(p) << id;
    for (int turn : {0, 1}) {
      if (turn != 0 && !CanShowTurn(*p, turn)) continue;
      const std::string what = std::string(p->GetName()) + (turn ? " mid-turn" : " at rest");
      p->ResetView(kSize, kSize);
      CPuzzleCanvas plain(*p, kSize, kSize);
      Paint(*p, plain, turn);

      // Listening to the painting changes no classic pixel...
      CPuzzleCanvas both(*p, kSize, kSize);
      CCoveragePainter painter;
      painter.Begin(RECT{0, 0, kSize, kSize});
      p->SetSmoothPainter(&painter, true);
      Paint(*p, both, turn);
      p->SetSmoothPainter(nullptr, false);
      int changed = 0;
      for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) changed += plain.At(x, y) != both.At(x, y);
      EXPECT_EQ(changed, 0) << what;

      // ...and without the classic painting the 8-bit image is left alone.
      CPuzzleCanvas untouched(*p, kSize, kSize);
      CCoveragePainter only;
      only.Begin(RECT{0, 0, kSize, kSize});
      p->SetSmoothPainter(&only, false);
      Paint(*p, untouched, turn);
      p->SetSmoothPainter(nullptr, false);
      int painted = 0;
      for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) painted += !untouched.IsBackground(x, y);
      EXPECT_EQ(painted, 0) << what;
      EXPECT_EQ(only.GetShapeCount(), painter.GetShapeCount()) << what;

      CImage32 classic(kSize, kSize), smooth(kSize, kSize);
      classic.CopyFrom(plain.dib, RECT{0, 0, kSize, kSize});
      smooth.CopyFrom(untouched.dib, RECT{0, 0, kSize, kSize});
      only.Paint(smooth);
      int insides = 0;
      const int wrong = CountWrongInsides(classic, smooth, insides);
      EXPECT_GT(insides, kSize * kSize / 4) << what;
      EXPECT_LE(wrong, insides / 100) << what << ": " << wrong << " of " << insides;
      // The edges are shaded: colours the classic palette does not hold appear (unless the
      // type shows nothing at all).
      int shaded = 0, shown = 0;
      for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
          shaded += smooth.At(x, y) != classic.At(x, y);
          shown += !plain.IsBackground(x, y);
        }
      if (shown > 0) EXPECT_GT(shaded, 50) << what;
      else EXPECT_EQ(shaded, 0) << what;
    }
  }
}
