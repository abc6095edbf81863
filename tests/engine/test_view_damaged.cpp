// Whatever a damaged puzzle file still gets accepted with must paint, animate and answer the
// pointer without reading outside its lists.
#include "test_view_puzzles.h"

#include <cordak/buffer.h>

#include <gtest/gtest.h>

TEST(DamagedFiles, AcceptedOnesStillPaintAnimateAndHitTest) {
  CTowerPuzzle original;
  original.DoMove(1, 1);
  original.RecordMove(1, 0);
  CUBuffer stored;
  original.Write(stored);
  const int size = stored.GetSize();
  int accepted = 0;
  for (int i = 0; i < size; ++i) {
    for (unsigned char flip : {0x01, 0x80}) {
      CUBuffer damaged;
      damaged.Write(stored.GetData(), size);
      damaged.GetData()[i] ^= flip;
      damaged.SeekToBegin();
      CTowerPuzzle p;
      if (p.LoadFromBuffer(damaged) != 1) continue;
      ++accepted;
      p.ResetView(48, 36);
      CCanvas canvas(p, 48, 36);
      p.Draw(canvas.dc, &canvas.dib);
      for (int m = -p.GetMoveCount() - 1; m <= p.GetMoveCount() + 1; ++m) {
        p.innerOverride = m == 2 ? 5 : -2;  // an inner facelet that is not there
        p.DrawMoveFrame(canvas.dc, &canvas.dib, m, 45);
      }
      for (int y = 0; y < 36; y += 5)
        for (int x = 0; x < 48; x += 5) {
          const int id = p.GetFaceletAt(POINT{x, y});
          ASSERT_TRUE(id == -1 || p.GetFaceletById(id) != nullptr) << "byte " << i;
        }
      ASSERT_EQ(p.StartMove(nullptr, 1), 1);
      p.AnimateStep(nullptr, canvas.dc, &canvas.dib);
    }
  }
  EXPECT_GT(accepted, 0);
}
