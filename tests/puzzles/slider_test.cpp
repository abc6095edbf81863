// The slider: ring turns beyond the move list, slides into the empty place, the dealt
// scramble, and undo and files over both kinds of move.
#include "puzzle_test_util.h"

#include <gyrix/puzzles/slider.h>

#include <cordak/urand.h>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Slider = CSliderPuzzle;

int Facelet(int row, int column, int j = 0) { return Slider::FirstFacelet(row * 8 + column) + j; }

bool Make(Slider& p, int move) {
  if (!p.StartMove(nullptr, move)) return false;
  p.CompleteAllMoves(nullptr);
  return p.RecordMove(move, 0) != 0;
}

TEST(Slider, SlideNumbersFitTheHistoryAndDecodeBack) {
  std::vector<int> seen;
  for (int c = 0; c < 8; ++c)
    for (int from = 0; from < 4; ++from)
      for (int to = 0; to < 4; ++to) {
        const int m = Slider::SlideNumber(c, from, to);
        if (from == to) {
          EXPECT_EQ(m, 0);
          continue;
        }
        EXPECT_GT(std::abs(m), Slider::kRingTurns);
        EXPECT_LE(std::abs(m), CPuzzle::kMaxRecordableMove);
        EXPECT_EQ(Slider::SlideNumber(c, to, from), -m);
        int column = -1, f = -1, t = -1;
        ASSERT_TRUE(Slider::DecodeSlide(m, column, f, t));
        EXPECT_EQ(column, c);
        EXPECT_EQ(f, from);
        EXPECT_EQ(t, to);
        seen.push_back(m);
      }
  std::sort(seen.begin(), seen.end());
  EXPECT_EQ(std::unique(seen.begin(), seen.end()), seen.end());
}

TEST(Slider, RingTurnsAreTheirBandTurnRepeated) {
  Slider p;
  ColourById(p);
  for (int m = 5; m <= 16; ++m) {
    Slider q;
    ColourById(q);
    ASSERT_TRUE(q.StartMove(nullptr, -m));
    q.CompleteAllMoves(nullptr);
    Slider r;
    ColourById(r);
    for (int i = 0; i < (m - 1) / 4 + 1; ++i) r.DoMove(-((m - 1) % 4 + 1), 1);
    EXPECT_EQ(ColoursById(q), ColoursById(r)) << m;
    EXPECT_EQ(q.GetMoveFrames(m), 4 * ((m - 1) / 4 + 1));
    EXPECT_EQ(q.GetAnimatedMove(m), (m - 1) % 4);
  }
  EXPECT_FALSE(p.StartMove(nullptr, 17 + 48));
  EXPECT_FALSE(p.StartMove(nullptr, 0));
}

TEST(Slider, DragsRingAndSlide) {
  Slider p;  // empty place: row 3, column 7
  EXPECT_EQ(p.MoveFromDrag(Facelet(1, 2), Facelet(1, 4)), 2 + 4);      // two tiles on
  EXPECT_EQ(p.MoveFromDrag(Facelet(1, 4), Facelet(1, 2)), -(2 + 4));
  EXPECT_EQ(p.MoveFromDrag(Facelet(0, 0, 3), Facelet(0, 7, 3)), -1);  // separators ring too
  EXPECT_EQ(p.MoveFromDrag(Facelet(2, 1), Facelet(2, 5)), 0);          // half way round
  EXPECT_EQ(p.MoveFromDrag(Facelet(0, 7), Facelet(2, 7)), 0);          // onto a tile that is not empty
  EXPECT_EQ(p.MoveFromDrag(Facelet(0, 7), Facelet(3, 7, 3)), 0);       // onto the empty place's separator
  EXPECT_EQ(p.MoveFromDrag(Facelet(0, 6), Facelet(3, 7)), 0);          // another column
  EXPECT_EQ(p.MoveFromDrag(Facelet(3, 7, 0), Facelet(3, 7, 1)), 0);    // within the empty place
  EXPECT_EQ(p.MoveFromDrag(Facelet(0, 7, 1), Facelet(3, 7, 2)), Slider::SlideNumber(7, 0, 3));
  // A slide whose destination is not empty is refused, also when it comes from elsewhere.
  EXPECT_FALSE(p.StartMove(nullptr, Slider::SlideNumber(7, 3, 0)));
  EXPECT_FALSE(p.StartMove(nullptr, Slider::SlideNumber(2, 0, 1)));
}

TEST(Slider, ModeTwoTurnsOnlyTheOuterBandsButSlidesEverywhere) {
  Slider p;
  ASSERT_TRUE(p.SetMode(2));
  ASSERT_TRUE(Make(p, Slider::SlideNumber(7, 1, 3)));  // the empty place moves up to row 1
  EXPECT_EQ(p.GetEmptyTile(), 1 * 8 + 7);
  EXPECT_EQ(p.MoveFromDrag(Facelet(1, 0), Facelet(1, 1)), 0);
  EXPECT_EQ(p.MoveFromDrag(Facelet(2, 3), Facelet(2, 2)), 0);
  EXPECT_EQ(p.MoveFromDrag(Facelet(0, 0), Facelet(0, 1)), 1);
  EXPECT_EQ(p.MoveFromDrag(Facelet(3, 0), Facelet(3, 7)), -4);
  const int slide = p.MoveFromDrag(Facelet(0, 7), Facelet(1, 7));
  EXPECT_EQ(slide, Slider::SlideNumber(7, 0, 1));
  ASSERT_TRUE(Make(p, slide));
  EXPECT_EQ(p.GetEmptyTile(), 7);
  EXPECT_EQ(p.GetTileColour(1 * 8 + 7), 8);
  EXPECT_FALSE(p.SetMode(3));
  EXPECT_EQ(p.GetMode(), 2);
}

TEST(Slider, ScrambleDealsEveryTileOnceBySeed) {
  Slider p;
  Randomize(99);
  p.Scramble();
  EXPECT_FALSE(p.IsSolved());
  EXPECT_TRUE(p.IsScramblePending());
  std::vector<int> counts(9, 0);
  for (int t = 0; t < 32; ++t) {
    const int c = p.GetTileColour(t);
    ASSERT_TRUE(c >= 0 && c <= 8);
    ++counts[c];
    for (int j = 1; j < 3; ++j) EXPECT_EQ(p.GetFaceletColour(Slider::FirstFacelet(t) + j), c);
    EXPECT_EQ(p.GetFaceletColour(Slider::FirstFacelet(t) + 3), 0);
  }
  EXPECT_EQ(counts, (std::vector<int>{1, 4, 4, 4, 4, 4, 4, 4, 3}));
  for (int f : {0, 63, 192, 255}) EXPECT_EQ(p.GetFaceletColour(f), 0);
  Slider q;
  Randomize(99);
  q.Scramble();
  EXPECT_EQ(ColoursById(q), ColoursById(p));
  Randomize(100);
  q.Scramble();
  EXPECT_NE(ColoursById(q), ColoursById(p));
}

TEST(Slider, SolvedWhenEveryColumnIsOneColour) {
  Slider p;
  ASSERT_TRUE(Make(p, Slider::SlideNumber(7, 0, 3)));
  EXPECT_TRUE(p.IsSolved());  // column 7 still shows colour 8 alone
  ASSERT_TRUE(Make(p, 1));
  EXPECT_FALSE(p.IsSolved());
  ASSERT_TRUE(Make(p, 9));  // three tiles more: half way round
  EXPECT_FALSE(p.IsSolved());
  ASSERT_TRUE(Make(p, 13));  // four more: all the way round
  EXPECT_TRUE(p.IsSolved());
}

// Ring turns and slides mixed, undone one by one back to the start, also after a file.
TEST(Slider, UndoAndFilesCoverSlides) {
  Slider p;
  const std::vector<int> start = ColoursById(p);
  const int moves[] = {Slider::SlideNumber(7, 1, 3), 3, -10, Slider::SlideNumber(4, 0, 1), 16, 4};
  for (int m : moves) ASSERT_TRUE(Make(p, m)) << m;
  ASSERT_EQ(p.GetHistorySize(), 6);
  EXPECT_EQ(p.GetHistoryMove(3), Slider::SlideNumber(4, 0, 1));
  const std::vector<int> played = ColoursById(p);
  const int empty = p.GetEmptyTile();

  CUBuffer file;
  p.Write(file);
  file.SeekToBegin();
  Slider loaded;
  ASSERT_EQ(loaded.LoadFromBuffer(file), 1);
  EXPECT_EQ(ColoursById(loaded), played);
  EXPECT_EQ(loaded.GetEmptyTile(), empty);
  EXPECT_EQ(StoredForm(loaded), StoredForm(p));

  for (Slider* q : {&p, &loaded}) {
    for (int i = 0; i < 6; ++i) {
      ASSERT_TRUE(q->UndoMove(nullptr));
      q->CompleteAllMoves(nullptr);
    }
    EXPECT_EQ(ColoursById(*q), start);
    EXPECT_EQ(q->GetHistorySize(), 0);
  }
}

// A slide and its reverse cancel in the history, as a turn and its inverse do.
TEST(Slider, SlidingBackCancels) {
  Slider p;
  ASSERT_TRUE(Make(p, Slider::SlideNumber(7, 2, 3)));
  ASSERT_TRUE(Make(p, Slider::SlideNumber(7, 3, 2)));
  EXPECT_EQ(p.GetHistorySize(), 0);
  EXPECT_EQ(ColoursById(p), ColoursById(Slider()));
}

// A slide shows its tile moving into the empty place: a third of a row after one frame, all of
// it after the last, with the place it left black.
TEST(Slider, SlideFramesMoveTheTile) {
  Slider p;
  CPuzzleCanvas canvas(p, 200, 200);
  p.ResetView(200, 200);
  p.RotateViewX(60);  // column 7 towards the viewer
  const int slide = Slider::SlideNumber(7, 2, 3);
  auto colourAt = [&](int facelet) {
    const Vec3 c = CentroidOf(p, *p.GetFaceletById(facelet), kViewVertices);
    return canvas.At(int(c[0]) + p.GetCentre().x, int(c[1]) + p.GetCentre().y);
  };
  const COLORREF white = p.GetPaletteEntry(8), black = p.GetPaletteEntry(0);
  canvas.Clear();
  p.DrawMoveFrame(canvas.dc, &canvas.dib, slide, 11);
  EXPECT_EQ(colourAt(Facelet(3, 7, 1)), black);
  EXPECT_EQ(colourAt(Facelet(2, 7, 1)), white);
  canvas.Clear();
  p.DrawMoveFrame(canvas.dc, &canvas.dib, slide, 33);
  EXPECT_EQ(colourAt(Facelet(3, 7, 1)), white);
  EXPECT_EQ(colourAt(Facelet(2, 7, 1)), black);
  EXPECT_EQ(p.GetEmptyTile(), 31);  // painting changes nothing
}

}  // namespace
