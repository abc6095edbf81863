// The lights puzzle: its searched tables, its click rules, the moves-remaining title, files,
// undo and the celebration. The conformance suite covers its shape and painting.
#include "puzzle_test_util.h"

#include <gyrix/puzzles/orbix.h>

#include <cordak/urand.h>
#include <platform/app.h>
#include <platform/eventloop.h>
#include <platform/wnd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

namespace {

using Tables = COrbixPuzzle::CTables;

int Distance(int pattern, int mode) { return COrbixPuzzle::Tables().distanceOf[mode - 1][pattern]; }

// The first facelet of a light's facelets.
int FaceletOfLight(int light) {
  for (int id = 0; id < 288; ++id)
    if (COrbixPuzzle::LightOfFacelet(id) == light) return id;
  return -1;
}

// A click as the window makes it: from the light's facelet, recorded when it was made.
bool Click(COrbixPuzzle& p, int light, CWnd* wnd = nullptr) {
  const int move = p.MoveFromDrag(FaceletOfLight(light), FaceletOfLight(light));
  if (move == 0 || !p.StartMove(wnd, move)) return false;
  p.RecordMove(move, 0);
  return true;
}

TEST(OrbixTables, RotationsAreTheSixtyOfTheIcosahedron) {
  const Tables& t = COrbixPuzzle::Tables();
  ASSERT_EQ(t.rotations.size(), 60u);
  EXPECT_EQ(t.rotations.front(), (std::array<int, 12>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
  EXPECT_EQ(t.rotations[1], (std::array<int, 12>{0, 5, 1, 2, 3, 4, 10, 6, 7, 8, 9, 11}));
  EXPECT_EQ(t.rotations.back(), (std::array<int, 12>{11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0}));
  std::set<std::array<int, 12>> distinct(t.rotations.begin(), t.rotations.end());
  EXPECT_EQ(distinct.size(), 60u);
  for (const auto& r : t.rotations)
    for (int a = 1; a <= 12; ++a) {
      const int* near = COrbixPuzzle::Neighbours(a);
      for (int k = 0; k < 5; ++k) {
        const int* imageNear = COrbixPuzzle::Neighbours(r[a - 1] + 1);
        EXPECT_NE(std::find(imageNear, imageNear + 5, r[near[k] - 1] + 1), imageNear + 5);
      }
    }
}

TEST(OrbixTables, DistancesAreTheSearchedOnes) {
  const Tables& t = COrbixPuzzle::Tables();
  ASSERT_EQ(t.rows.size(), 96u);
  auto row = [&](int value) {
    for (const auto& r : t.rows)
      if (r.value == value) return r.distance;
    return std::array<int, 4>{-9, -9, -9, -9};
  };
  EXPECT_EQ(row(4095), (std::array<int, 4>{0, 0, 0, 0}));
  EXPECT_EQ(row(0), (std::array<int, 4>{12, -1, 12, -1}));
  EXPECT_EQ(row(2048), (std::array<int, 4>{7, 9, 7, 1}));
  EXPECT_EQ(row(3072), (std::array<int, 4>{6, -1, 6, 4}));
  const std::array<int, 4> unsolvable{0, 47, 0, 1};
  const std::array<int, 4> largest{12, 10, 12, 9};
  for (int m = 0; m < 4; ++m) {
    int none = 0, most = 0;
    for (const auto& r : t.rows) none += r.distance[m] < 0, most = std::max(most, r.distance[m]);
    EXPECT_EQ(none, unsolvable[m]) << "mode " << m + 1;
    EXPECT_EQ(most, largest[m]) << "mode " << m + 1;
  }
  // Every pattern has a row, and its distance is its row's in every mode: the rules turn with
  // the sphere, so patterns that differ by a rotation show the same number.
  COrbixPuzzle p;
  for (int pattern = 0; pattern <= 4095; ++pattern) {
    const int canonical = COrbixPuzzle::CanonicalValue(pattern);
    EXPECT_GE(canonical, pattern);
    for (int m = 1; m <= 4; ++m) ASSERT_EQ(Distance(pattern, m), row(canonical)[m - 1]) << pattern;
    if (pattern % 7 == 0) {
      p.SetPattern(pattern);
      ASSERT_EQ(p.GetMovesRemaining(), row(canonical)[0]) << pattern;
    }
  }
  ASSERT_EQ(t.scrambleList.size(), 95u);
  for (int i = 0; i < 95; ++i) EXPECT_EQ(row(t.scrambleList[i])[1] >= 0, i < 48) << i;
  EXPECT_EQ(std::count(t.scrambleList.begin(), t.scrambleList.end(), 4095), 0);
}

TEST(OrbixModel, LightsSitOnTheIcosahedronAboveTheSphere) {
  COrbixPuzzle p;
  ASSERT_EQ(p.GetFaceletCount(), 288);
  const CSolid ico = MakeIcosahedron(1.0);
  for (int light = 1; light <= 12; ++light) {
    // The neighbour table is the icosahedron's.
    const int v = COrbixPuzzle::IcosahedronVertexOf(light);
    for (int k = 0; k < 5; ++k) {
      const int* near = kIcosahedronNeighbours[v];
      EXPECT_NE(std::find(near, near + 5, COrbixPuzzle::IcosahedronVertexOf(COrbixPuzzle::Neighbours(light)[k])),
                near + 5);
    }
    const int oppositeVertex[12] = {6, 8, 7, 11, 10, 9, 0, 2, 1, 5, 4, 3};
    EXPECT_EQ(COrbixPuzzle::IcosahedronVertexOf(COrbixPuzzle::Opposite(light)), oppositeVertex[v]);
    // Its facelets are round the corner, and the lifted discs stay clear of the sphere.
    int count = 0;
    for (int id = 0; id < 288; ++id) {
      if (COrbixPuzzle::LightOfFacelet(id) != light) continue;
      ++count;
      const CFacelet& f = *p.GetFaceletById(id);
      const Vec3 c = CentroidOf(p, f);
      const Vec3 n = NormalOf(p, f);
      EXPECT_GT(Dot(c, ico.vertices[v]), 0.9 * Length(c)) << id;
      if (id >= 128) {
        EXPECT_GT(Dot(VertexOf(p, f.GetVertexIndex(0)), n) / Length(n), 1.002) << id;
      }
    }
    EXPECT_EQ(count, 16) << light;
  }
  for (int id = 16; id < 112; ++id) EXPECT_EQ(COrbixPuzzle::LightOfFacelet(id), 0);
}

TEST(Orbix, ANewPuzzleIsInModeOneAllLitAndTitled) {
  COrbixPuzzle p;
  EXPECT_EQ(p.GetMode(), 1);
  EXPECT_EQ(p.GetPattern(), 4095);
  EXPECT_TRUE(p.IsSolved());
  p.SetTitle(nullptr);
  EXPECT_STREQ(p.GetTitle(), "Gyrix - Orbix (Mode 1) [0 Moves Remaining]");
  EXPECT_FALSE(p.SetMode(0));
  EXPECT_FALSE(p.SetMode(5));
  EXPECT_EQ(p.GetMode(), 1);
  CUString name;
  p.GetColourName(name, 1, FALSE);
  EXPECT_STREQ(name, "Unlit");
  p.GetColourName(name, 2, FALSE);
  EXPECT_STREQ(name, "Lit");
  p.GetColourName(name, 2, TRUE);
  EXPECT_STREQ(name, "Orbix2");
}

TEST(Orbix, ClickRulesRefuseWhatTheModeForbids) {
  COrbixPuzzle p;
  // The black band is no light.
  for (int id : {16, 60, 111, -1, 288}) EXPECT_EQ(p.MoveFromDrag(id, id), 0);
  for (int bad : {0, 25, -25, 13, -13}) EXPECT_FALSE(p.StartMove(nullptr, bad)) << bad;
  // Mode 1 toggles the neighbours only.
  ASSERT_TRUE(Click(p, 1));
  EXPECT_EQ(p.GetPattern(), 4095 ^ 0b011111000000);
  // Mode 2: an unlit light does nothing and is not recorded.
  ASSERT_TRUE(p.SetMode(2));
  ASSERT_TRUE(Click(p, 1));
  EXPECT_FALSE(Click(p, 2));
  EXPECT_EQ(p.GetPattern(), 4095 ^ 0b011111000000);
  EXPECT_EQ(p.GetHistorySize(), 1);
  // Mode 3: only unlit lights, which light up with their far group toggled.
  ASSERT_TRUE(p.SetMode(3));
  EXPECT_FALSE(Click(p, 1));
  p.SetPattern(4095 ^ 1);
  ASSERT_TRUE(Click(p, 12));
  EXPECT_EQ(p.GetPattern(), 4095 ^ 0b111111000000);  // its far group is lights 1..6
  // Mode 4: the opposite light decides, and the click says which action it took.
  ASSERT_TRUE(p.SetMode(4));
  p.SetPattern(2048);
  EXPECT_EQ(p.MoveFromDrag(FaceletOfLight(1), FaceletOfLight(1)), 13);
  EXPECT_FALSE(p.StartMove(nullptr, 1));  // names the other action
  EXPECT_TRUE(p.StartMove(nullptr, 13));
  EXPECT_EQ(p.GetPattern(), 4095);
  p.SetPattern(0);
  p.SetTitle(nullptr);
  EXPECT_STREQ(p.GetTitle(), "Gyrix - Orbix (Mode 4) [-1 Moves Remaining]");
  for (int light = 1; light <= 12; ++light) EXPECT_FALSE(Click(p, light));
}

// Playing a best click each time (found from the searched distances) solves the puzzle in as
// many clicks as the title said, one fewer after each.
TEST(Orbix, BestClicksSolveInTheNumberShown) {
  Randomize(11);
  for (int m = 1; m <= 4; ++m) {
    COrbixPuzzle p;
    p.SetMode(m);
    for (int game = 0; game < 15; ++game) {
      p.Scramble();
      int remaining = p.GetMovesRemaining();
      ASSERT_GT(remaining, 0);
      p.SetTitle(nullptr);
      while (remaining > 0) {
        int best = 0;
        for (int light = 1; light <= 12 && !best; ++light) {
          const int move = p.MoveFromDrag(FaceletOfLight(light), FaceletOfLight(light));
          const int next = COrbixPuzzle::ClickPattern(p.GetPattern(), m, move);
          if (next >= 0 && Distance(next, m) == remaining - 1) best = light;
        }
        ASSERT_NE(best, 0) << "mode " << m;
        ASSERT_TRUE(Click(p, best));
        ASSERT_EQ(p.GetMovesRemaining(), remaining - 1);
        char shown[32];
        std::snprintf(shown, sizeof shown, "[%d Moves", remaining - 1);
        EXPECT_NE(std::strstr(p.GetTitle(), shown), nullptr);
        --remaining;
      }
      EXPECT_TRUE(p.IsSolved());
      EXPECT_FALSE(p.IsScramblePending());  // no window to celebrate in: disarmed
    }
  }
}

TEST(Orbix, ScramblesAreSolvableInEveryMode) {
  for (int m = 1; m <= 4; ++m) {
    COrbixPuzzle p;
    p.SetMode(m);
    std::set<int> seen;
    Randomize(m);
    for (int i = 0; i < 2000; ++i) {
      p.Scramble();
      ASSERT_GT(p.GetMovesRemaining(), 0) << "mode " << m << " scramble " << i;
      EXPECT_FALSE(p.IsSolved());
      EXPECT_TRUE(p.IsScramblePending());
      seen.insert(p.GetPattern());
    }
    EXPECT_EQ(seen.size(), m == 2 ? 48u : m == 4 ? 94u : 95u) << "mode " << m;
  }
}

// History holds clicks, not move-list entries: a file keeps them and undo replays them through
// the rules of the mode, back to the scramble.
TEST(Orbix, SavedClickedReloadedAndUndoneReturnsToTheScramble) {
  for (int m = 1; m <= 4; ++m) {
    COrbixPuzzle p;
    p.SetMode(m);
    Randomize(40 + m);
    p.Scramble();
    const int scrambled = p.GetPattern();
    int made = 0;
    for (int i = 0; i < 40 && made < 6; ++i) made += Click(p, Random(1, 12));
    ASSERT_GT(made, 0);
    CUBuffer file;
    p.Write(file);
    file.SeekToBegin();
    COrbixPuzzle loaded;
    ASSERT_EQ(loaded.LoadFromBuffer(file), 1) << "mode " << m;
    EXPECT_EQ(loaded.GetPattern(), p.GetPattern());
    EXPECT_EQ(loaded.GetMode(), m);
    EXPECT_TRUE(loaded.IsScramblePending());
    EXPECT_EQ(loaded.GetHistorySize(), p.GetHistorySize());
    // The loaded game's clock waits for a click, which starts it with its time and history kept.
    EXPECT_FALSE(loaded.IsClockRunning());
    ASSERT_TRUE(loaded.UndoMove(nullptr));
    EXPECT_TRUE(loaded.IsClockRunning());
    EXPECT_EQ(loaded.GetHistorySize(), p.GetHistorySize() - 1);
    while (loaded.GetHistorySize() > 0) ASSERT_TRUE(loaded.UndoMove(nullptr));
    EXPECT_EQ(loaded.GetPattern(), scrambled) << "mode " << m;
    // Queued playback makes the same clicks again.
    std::vector<int> clicks;
    for (int i = 0; i < p.GetHistorySize(); ++i) clicks.push_back(p.GetHistoryMove(i));
    loaded.QueueMoves(clicks.data(), static_cast<int>(clicks.size()));
    loaded.PlayNextMove(nullptr);
    EXPECT_FALSE(loaded.IsPlaying());
    EXPECT_EQ(loaded.GetPattern(), p.GetPattern()) << "mode " << m;
  }
  // Playback that meets a click the rules refuse ends there instead of staying busy.
  COrbixPuzzle p;
  p.SetMode(2);
  const int clicks[3] = {1, 2, 3};  // light 2 is unlit after the first
  p.QueueMoves(clicks, 3);
  p.PlayNextMove(nullptr);
  EXPECT_FALSE(p.IsBusy());
  EXPECT_EQ(p.GetPattern(), 4095 ^ 0b011111000000);
}

TEST(Orbix, MalformedFilesAreRefusedAndChangeNothing) {
  CRecordedMessages messages;
  COrbixPuzzle source;
  source.SetMode(3);
  Randomize(5);
  source.Scramble();
  CUBuffer good;
  source.Write(good);
  const int size = good.GetSize();
  auto patched = [&](CUBuffer& b, int offset, int value) {
    b.Write(good.GetData(), size);
    std::memcpy(b.GetData() + offset, &value, 4);
    b.SeekToBegin();
  };
  COrbixPuzzle p;
  p.SetMode(2);
  const std::vector<unsigned char> before = StoredForm(p);
  // Lit words other than 0 or 1 (the last words); a mode outside 1..4 (before the scramble
  // flag and the twelve lit words).
  for (auto [offset, value] : {std::pair{size - 4, 2}, {size - 48, -1}, {size - 56, 5}, {size - 56, 0}}) {
    CUBuffer b;
    patched(b, offset, value);
    EXPECT_EQ(p.LoadFromBuffer(b), 0) << offset << " " << value;
    EXPECT_EQ(StoredForm(p), before);
  }
  good.SeekToBegin();
  EXPECT_EQ(p.LoadFromBuffer(good), 1);
  EXPECT_EQ(p.GetPattern(), source.GetPattern());
}

// A window that writes down the commands posted to it.
class CCommandWnd : public CWnd {
 public:
  BOOL OnCommand(WPARAM w, LPARAM) override {
    commands.push_back(static_cast<int>(LOWORD(w)));
    return TRUE;
  }
  std::vector<int> commands;
};

struct OrbixCelebration : ::testing::Test {
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    ASSERT_TRUE(CEventLoop::Init());
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "orbix", WS_POPUP, CRect(0, 0, 120, 120), nullptr, 0));
    // One click from solved, scrambled.
    Randomize(9);
    p.Scramble();
    p.SetPattern(4095 ^ 0b011111000000);
  }
  void TearDown() override {
    if (wnd.GetSafeHwnd()) wnd.DestroyWindow();
    CEventLoop::ProcessPending();
  }
  CCommandWnd wnd;
  COrbixPuzzle p;
};

TEST_F(OrbixCelebration, RunsOnTheTimerWhileBusyThenPostsSolvedOnce) {
  CPuzzleCanvas canvas(p, 120, 120);
  p.ResetView(120, 120);
  ASSERT_TRUE(Click(p, 1, &wnd));
  EXPECT_TRUE(p.IsBusy());
  EXPECT_TRUE(p.IsCelebrating());
  // Its timer ticks every 100 ms (a slow machine may have used a few of the first already).
  EXPECT_LE(CEventLoop::MillisecondsToNextTimer(), COrbixPuzzle::kCelebrationInterval);
  EXPECT_GT(CEventLoop::MillisecondsToNextTimer(), COrbixPuzzle::kCelebrationInterval / 2);
  // A second click during it is refused; the title already shows the solution.
  EXPECT_FALSE(Click(p, 1, &wnd));
  EXPECT_EQ(p.GetHistorySize(), 1);
  EXPECT_NE(std::strstr(p.GetTitle(), "[0 Moves"), nullptr);
  int frames = 0;
  while (p.GetCurrentMove() != 0 && frames < 50) p.AnimateStep(&wnd, canvas.dc, &canvas.dib), ++frames;
  EXPECT_EQ(frames, COrbixPuzzle::kCelebrationSteps);
  EXPECT_FALSE(p.IsBusy());
  EXPECT_TRUE(p.IsSolved());
  EXPECT_FALSE(p.IsScramblePending());
  for (int id = 0; id < 288; ++id)
    if (COrbixPuzzle::LightOfFacelet(id)) {
      ASSERT_EQ(p.GetFaceletColour(id), COrbixPuzzle::kLit) << id;
    }
  CEventLoop::ProcessPending();
  EXPECT_EQ(wnd.commands, (std::vector<int>{CPuzzle::kSolvedCommand}));
  EXPECT_EQ(CEventLoop::MillisecondsToNextTimer(), -1);
  // Solving it again without a scramble is not celebrated.
  ASSERT_TRUE(Click(p, 1, &wnd));
  ASSERT_TRUE(Click(p, 1, &wnd));
  EXPECT_FALSE(p.IsBusy());
}

TEST_F(OrbixCelebration, AResetSaveOrNewScrambleDuringItLeavesNoCelebrationBehind) {
  ASSERT_TRUE(Click(p, 1, &wnd));
  ASSERT_TRUE(p.IsCelebrating());
  // Saved now, it is the solved puzzle.
  CUBuffer file;
  p.Write(file);
  file.SeekToBegin();
  COrbixPuzzle loaded;
  ASSERT_EQ(loaded.LoadFromBuffer(file), 1);
  EXPECT_TRUE(loaded.IsSolved());
  EXPECT_FALSE(loaded.IsScramblePending());
  p.Scramble();
  EXPECT_FALSE(p.IsBusy());
  EXPECT_EQ(CEventLoop::MillisecondsToNextTimer(), -1);
  EXPECT_TRUE(p.IsScramblePending());
  CEventLoop::ProcessPending();
  EXPECT_TRUE(wnd.commands.empty());
}

// The joystick clicks the light at the middle of the main window, and only a click that was
// made goes into the history.
TEST_F(OrbixCelebration, TheJoystickClicksTheLightInTheMiddleOfTheView) {
  CPuzzleCanvas canvas(p, 120, 120);
  p.ResetView(120, 120);
  p.Draw(canvas.dc, &canvas.dib);
  const int light = COrbixPuzzle::LightOfFacelet(p.GetFaceletAt(POINT{60, 60}));
  ASSERT_NE(light, 0);
  ASSERT_TRUE(p.SetMode(2));
  p.Draw(canvas.dc, &canvas.dib);
  p.JoystickTurn(0, 0, 0, 1);  // a button held: nothing
  EXPECT_EQ(p.GetPattern(), 4095);
  p.SetPattern(4095 ^ (1 << (12 - light)));
  p.JoystickTurn(0, 0, 0, 0);  // an unlit light in mode 2: refused, not recorded
  EXPECT_EQ(p.GetHistorySize(), 0);
  p.SetPattern(4095);
  p.JoystickTurn(0, 0, 0, 0);  // queued for the caller to play
  p.PlayNextMove(&wnd);
  EXPECT_EQ(p.GetHistorySize(), 1);
  EXPECT_EQ(p.GetHistoryMove(0), light);
  EXPECT_NE(p.GetPattern(), 4095);
}

}  // namespace
