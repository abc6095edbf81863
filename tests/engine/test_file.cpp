#include "test_puzzles.h"

#include <cordak/file.h>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

class PuzzleFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/gyrix-engine-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
  }
  void TearDown() override {
    for (const std::string& name : Entries()) std::remove((dir + "/" + name).c_str());
    rmdir((dir + "/folder.puz").c_str());
    rmdir(dir.c_str());
  }
  std::string Path(const char* name) const { return dir + "/" + name; }
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
      while (dirent* e = readdir(d))
        if (e->d_name[0] != '.') names.push_back(e->d_name);
      closedir(d);
    }
    return names;
  }
  static Bytes ReadAll(const std::string& path) {
    Bytes bytes;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
      int c;
      while ((c = std::fgetc(f)) != EOF) bytes.push_back(static_cast<unsigned char>(c));
      std::fclose(f);
    }
    return bytes;
  }
  static void WriteAll(const std::string& path, const Bytes& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }

  std::string dir;
};

// A puzzle in the middle of a game: turned, with history, a clock and changed colours.
void PlaySome(CGridPuzzle& p) {
  p.DoMove(1, 1);
  p.DoMove(2, 1);
  p.RecordMove(1, 0);
  p.RecordMove(2, 0);
  const int queued[1] = {-1};
  p.QueueMoves(queued, 1);
  p.SetClock(1700000000, 1700000083);
  p.SetSolvedFlags(0, 1);
  p.ForceMode(3);
  p.SetPaletteEntry(2, 0x123456);
  p.SetModelSize(7.5f);
  p.ResetView(200, 100);
  p.UpdateView();
  p.SortFacelets();  // the file keeps the painting order
}

// Offset of the turn count in a file of CGridPuzzle: header, 13 vertices, 6 facelets
// (five quads and a triangle), model size, palette.
int TurnCountOffset(int paletteCount) {
  const int facelets = 5 * (4 + 16 + 8) + (4 + 12 + 8);
  return 8 + 4 + 13 * 12 + 4 + facelets + 4 + 4 + 4 * paletteCount;
}

void Patch(Bytes& bytes, size_t at, int value) { std::memcpy(bytes.data() + at, &value, 4); }

}  // namespace

TEST_F(PuzzleFileTest, RoundTripKeepsEveryStoredField) {
  CGridPuzzle saved;
  PlaySome(saved);
  const std::string path = Path("game.puz");
  ASSERT_EQ(saved.Save(path.c_str()), 1);

  CGridPuzzle loaded;
  loaded.StartClock(1);
  ASSERT_EQ(loaded.Load(path.c_str()), 1);
  EXPECT_EQ(StoredForm(loaded), StoredForm(saved));
  EXPECT_EQ(loaded.Colours(), saved.Colours());
  EXPECT_EQ(loaded.GetMode(), 3);
  EXPECT_EQ(loaded.IsSolved(), 0);
  EXPECT_EQ(loaded.IsScramblePending(), 1);
  EXPECT_EQ(loaded.GetClockStart().GetTime(), 1700000000);
  EXPECT_EQ(loaded.GetElapsedSeconds(), 83);
  EXPECT_EQ(loaded.IsClockRunning(), 0);
  EXPECT_EQ(loaded.GetPaletteEntry(2), 0x123456u);
  EXPECT_FLOAT_EQ(loaded.GetModelSize(), 7.5f);
  for (int i = 0; i < loaded.GetFaceletCount(); ++i)
    EXPECT_EQ(loaded.GetFacelet(i)->GetId(), saved.GetFacelet(i)->GetId());
  EXPECT_EQ(loaded.GetHistoryPosition(), 2);
  EXPECT_EQ(loaded.GetHistorySize(), 3);
  EXPECT_EQ(loaded.GetMoveMask(4), saved.GetMoveMask(4));
  // Loading rebuilt the view for the size it already had.
  EXPECT_EQ(loaded.IsViewValid(), 0);
  // The loaded puzzle plays on: its queued turn, then a resumed clock.
  loaded.PlayNextMove(nullptr);
  saved.PlayNextMove(nullptr);
  EXPECT_EQ(loaded.Colours(), saved.Colours());
  loaded.StartClock(0);
  EXPECT_EQ(loaded.GetElapsedSeconds(), 83);
}

TEST_F(PuzzleFileTest, LayoutStartsWithTheVersionAndStreamsCountsBeforeItems) {
  CGridPuzzle p;
  const std::string path = Path("layout.puz");
  ASSERT_EQ(p.Save(path.c_str()), 1);
  Bytes bytes = ReadAll(path);
  ASSERT_GE(bytes.size(), 8u);
  EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 8), (Bytes{0x14, 0xAE, 0xA7, 0x3F, 1, 0, 0, 0}));
  EXPECT_EQ(bytes[8], 13);  // vertex count
  EXPECT_EQ(bytes[TurnCountOffset(6)], 3);

  // An empty palette: the count 0 is followed directly by the turn count.
  p.SetPalette(nullptr, 0);
  ASSERT_EQ(p.Save(path.c_str()), 1);
  bytes = ReadAll(path);
  const int at = TurnCountOffset(0);
  EXPECT_EQ(Bytes(bytes.begin() + at - 4, bytes.begin() + at + 4), (Bytes{0, 0, 0, 0, 3, 0, 0, 0}));
  // The end: clock start and end as 4-byte seconds, solved, mode, scramble pending.
  const size_t turnRecords = 2 * (4 + 6 * 4 + 4) + (4 + 4);
  const size_t innerFacelet = 4 + 4 * 4 + 4 + 4;
  const size_t history = 4 + 4 + 0 + 4 + 1;
  EXPECT_EQ(bytes.size(), at + 4 + turnRecords + 4 + innerFacelet + 4 + 6 * 4 + history + 4 + 4 + 12);
  EXPECT_EQ(Bytes(bytes.end() - 12, bytes.end()), (Bytes{1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(PuzzleFileTest, EveryTruncationIsRefusedAndChangesNothing) {
  CGridPuzzle source;
  PlaySome(source);
  const std::string good = Path("good.puz");
  ASSERT_EQ(source.Save(good.c_str()), 1);
  const Bytes bytes = ReadAll(good);

  CGridPuzzle target;
  target.DoMove(2, 1);
  target.RecordMove(2, 0);
  target.StartClock(1);
  const Bytes before = StoredForm(target);
  const std::string cut = Path("cut.puz");
  for (size_t n = 0; n < bytes.size(); ++n) {
    WriteAll(cut, Bytes(bytes.begin(), bytes.begin() + n));
    ASSERT_EQ(target.Load(cut.c_str()), 0) << "length " << n;
    ASSERT_EQ(StoredForm(target), before) << "length " << n;
  }
  EXPECT_EQ(target.IsClockRunning(), 1);
  // Extra bytes after a whole puzzle are refused too.
  Bytes longer = bytes;
  longer.push_back(0);
  WriteAll(cut, longer);
  EXPECT_EQ(target.Load(cut.c_str()), 0);
  EXPECT_EQ(StoredForm(target), before);
  // Refused or missing, the view is rebuilt all the same: a turned view comes back square.
  for (const std::string& path : {cut, Path("missing.puz")}) {
    target.ResetView(60, 40);
    target.RotateViewY(30);
    target.UpdateView();
    EXPECT_NE(target.Load(path.c_str()), 1);
    EXPECT_EQ(target.IsViewValid(), 0) << path;
    EXPECT_EQ(target.GetViewAngleY(), -45) << path;
  }
  EXPECT_EQ(target.Load(Path("missing.puz").c_str()), -1);
}

TEST_F(PuzzleFileTest, FlippedBytesAreRefusedOrLoadConsistently) {
  CGridPuzzle source;
  PlaySome(source);
  const std::string good = Path("good.puz");
  ASSERT_EQ(source.Save(good.c_str()), 1);
  const Bytes bytes = ReadAll(good);
  const std::string bad = Path("bad.puz");
  int refused = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    for (unsigned char mask : {0x01, 0x80, 0xFF}) {
      Bytes damaged = bytes;
      damaged[i] ^= mask;
      WriteAll(bad, damaged);
      CGridPuzzle target;
      target.DoMove(2, 1);
      const Bytes before = StoredForm(target);
      const int result = target.Load(bad.c_str());
      if (result == 1) {
        // Whatever was accepted holds together: it draws in order, turns and plays its queue.
        target.ResetView(50, 50);
        target.UpdateView();
        target.SortFacelets();
        for (int m = -target.GetMoveCount() - 1; m <= target.GetMoveCount() + 1; ++m) target.DoMove(m, 1);
        target.PlayNextMove(nullptr);
        target.UndoMove(nullptr);
      } else {
        ASSERT_EQ(result, 0);
        ++refused;
        ASSERT_EQ(StoredForm(target), before) << "byte " << i;
      }
    }
  }
  EXPECT_GT(refused, 0);
}

TEST_F(PuzzleFileTest, InconsistentRecordsAreRefused) {
  CGridPuzzle source;
  const std::string good = Path("good.puz");
  ASSERT_EQ(source.Save(good.c_str()), 1);
  const Bytes bytes = ReadAll(good);
  const int firstFacelet = 8 + 4 + 13 * 12 + 4;  // its vertex count
  const int turns = TurnCountOffset(6);
  const int firstPermutation = turns + 8;  // after the turn count and the first length
  const int maskCount = turns + 4 + 2 * (4 + 24 + 4) + (4 + 4) + 4 + (4 + 16 + 8);
  const int history = maskCount + 4 + 6 * 4;

  struct Damage {
    const char* what;
    int at;
    int value;
  };
  const Damage damages[] = {
      {"vertex index beyond the vertices", firstFacelet + 4, 13},
      {"negative vertex index", firstFacelet + 4, -1},
      {"facelet of two vertices", firstFacelet, 2},
      {"huge vertex count", firstFacelet, 0x7FFFFFFF},
      {"duplicate facelet id", firstFacelet + 4 + 16 + 4, 1},
      {"facelet id beyond the count", firstFacelet + 4 + 16 + 4, 6},
      {"huge facelet count", firstFacelet - 4, 0x7FFFFFFF},
      {"negative vertex count", 8, -1},
      {"huge vertex list", 8, 0x40000000},
      {"permutation that is not a bijection", firstPermutation, 2},
      {"permutation entry out of range", firstPermutation, 6},
      {"permutation longer than the facelets", turns + 4, 7},
      {"huge turn count", turns, 0x7FFFFFFF},
      {"mask shorter than a permutation", maskCount, 5},
      {"negative history length", history + 4, -1},
      {"history position beyond its end", history + 8, 1},
      {"history block size of zero", history, 0},
      {"version 1.3", 0, 0x3FA66666},
      {"another puzzle type", 4, 2},
  };
  CGridPuzzle target;
  const Bytes before = StoredForm(target);
  const std::string bad = Path("bad.puz");
  // The offsets above are right: the unchanged values load.
  WriteAll(bad, bytes);
  ASSERT_EQ(target.Load(bad.c_str()), 1);
  for (const Damage& d : damages) {
    Bytes damaged = bytes;
    Patch(damaged, d.at, d.value);
    WriteAll(bad, damaged);
    EXPECT_EQ(target.Load(bad.c_str()), 0) << d.what;
    EXPECT_EQ(StoredForm(target), before) << d.what;
  }
  // Flag 4 of the history buffer would hand it memory it does not own.
  Bytes borrowed = bytes;
  borrowed[history + 12] = 4;
  WriteAll(bad, borrowed);
  EXPECT_EQ(target.Load(bad.c_str()), 0);
  WriteAll(bad, Bytes{});
  EXPECT_EQ(target.Load(bad.c_str()), 0);
  EXPECT_STREQ(CPolyModel::GetBadFileMessage(),
               "This file was stored using a different version of Gyrix or is invalid and cannot be loaded.");
}

TEST_F(PuzzleFileTest, AMaskShorterThanTheFaceletsIsAccepted) {
  // Puzzles whose mask covers only some facelets store it that way.
  class CShortMask : public CPuzzle {
   public:
    CShortMask() : CPuzzle(2) {
      m_typeId = 13;
      AddVertex(0, 0, 0);
      AddVertex(1, 0, 0);
      AddVertex(0, 1, 0);
      const int tri[3] = {0, 1, 2};
      for (int i = 0; i < 4; ++i) AddFacelet(tri, 3);
      const int swap[4] = {1, 0};
      m_moves.Add(new CMove(swap, 2));
    }
  };
  CShortMask p;
  const std::string path = Path("short.puz");
  ASSERT_EQ(p.Save(path.c_str()), 1);
  CShortMask q;
  EXPECT_EQ(q.Load(path.c_str()), 1);
  EXPECT_EQ(q.GetMoveMaskLength(), 2);
  EXPECT_EQ(q.GetMoveMask(3), 0u);
  q.SetMoveMask(3, 1);
}

TEST_F(PuzzleFileTest, SaveReplacesTheTargetWholeOrNotAtAll) {
  CGridPuzzle p;
  const std::string path = Path("game.puz");
  WriteAll(path, Bytes{1, 2, 3});
  ASSERT_EQ(p.Save(path.c_str()), 1);
  EXPECT_EQ(ReadAll(path), StoredForm(p));
  EXPECT_EQ(Entries(), (std::vector<std::string>{"game.puz"}));

  // A folder in the way: the save fails, the folder stays, no temporary file is left behind.
  const std::string folder = Path("folder.puz");
  ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
  EXPECT_EQ(p.Save(folder.c_str()), 0);
  struct stat st {};
  ASSERT_EQ(stat(folder.c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(Entries().size(), 2u);
  EXPECT_EQ(p.Save(Path("no-such-folder/game.puz").c_str()), 0);
  EXPECT_EQ(p.Save(""), 0);
  EXPECT_EQ(Entries().size(), 2u);
}
