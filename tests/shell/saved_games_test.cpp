// Games played in the main window and saved: the files must stay byte for byte what earlier
// versions of the game wrote for the same play (the clock's two stored times aside, as they
// are the moments the game was played). Set GYRIX_RECORD_GAMES=FOLDER to write them anew.
#include "shell_test_util.h"

#include <cordak/urand.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

#ifndef GYRIX_SHELL_TEST_DATA
#error "GYRIX_SHELL_TEST_DATA names the folder of the recorded games"
#endif

namespace {

std::vector<unsigned char> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Where the clock's start and end (4 bytes each, little-endian) lie in a written game: the
// last place they stand side by side. Some classes store more after them.
std::size_t FindClockTimes(const std::vector<unsigned char>& bytes, long start, long end) {
  unsigned char pattern[8];
  for (int i = 0; i < 4; ++i) {
    pattern[i] = static_cast<unsigned char>((static_cast<unsigned long>(start) >> (8 * i)) & 0xFF);
    pattern[4 + i] = static_cast<unsigned char>((static_cast<unsigned long>(end) >> (8 * i)) & 0xFF);
  }
  for (std::size_t at = bytes.size() >= 8 ? bytes.size() - 8 : 0; at-- > 0;)
    if (std::equal(pattern, pattern + 8, bytes.begin() + static_cast<std::ptrdiff_t>(at))) return at;
  return std::string::npos;
}

void MaskAt(std::vector<unsigned char>& bytes, std::size_t at) {
  for (std::size_t i = at; i < at + 8 && i < bytes.size(); ++i) bytes[i] = 0;
}

class SavedGames : public ShellTest {
 protected:
  void SeedScrambles(int seed) { m_dlg->GetSession().Randomize(seed); }
  void Drag(int turn) {
    ASSERT_TRUE(DragTurn(turn)) << "no drag makes turn " << turn;
    Settle();
  }
  // The first turn from 1 up that some drag makes here.
  int FirstDraggableTurn() {
    for (int t = 1; t <= m_dlg->GetPuzzle()->GetMoveCount(); ++t) {
      m_dlg->UpdateWindow();
      CPuzzle* p = m_dlg->GetPuzzle();
      for (int from = 0; from < p->GetMoveMaskLength(); ++from)
        for (int to = 0; to < p->GetMoveMaskLength(); ++to)
          if (p->MoveFromDrag(from, to) == t && FaceletCentre(from).x >= 0 && FaceletCentre(to).x >= 0) return t;
    }
    return 0;
  }
  // The lights puzzle turns by a click: a drag that ends where it began.
  bool ClickALight() {
    m_dlg->UpdateWindow();
    CPuzzle* p = m_dlg->GetPuzzle();
    for (int f = 0; f < p->GetMoveMaskLength(); ++f)
      if (FaceletCentre(f).x >= 0 && p->MoveFromDrag(f, f) != 0) return DragFacelets(f, f);
    return false;
  }
  void SaveAndCompare(const std::string& name) {
    const std::string path = (m_folder / name).string();
    m_services.chooserAnswer = path;
    Key('S');
    CEventLoop::ProcessPending();
    std::vector<unsigned char> written = ReadBytes(path);
    ASSERT_FALSE(written.empty()) << name << " was not written";
    if (const char* record = std::getenv("GYRIX_RECORD_GAMES")) {
      std::ofstream(std::string(record) + "/" + name, std::ios::binary)
          .write(reinterpret_cast<const char*>(written.data()), static_cast<std::streamsize>(written.size()));
      return;
    }
    std::vector<unsigned char> recorded = ReadBytes(std::string(GYRIX_SHELL_TEST_DATA) + "/" + name);
    ASSERT_FALSE(recorded.empty()) << "no recording of " << name;
    CPuzzle* p = m_dlg->GetPuzzle();
    const std::size_t at = FindClockTimes(written, p->GetClockStart().GetTime(), p->GetClockEnd().GetTime());
    ASSERT_NE(at, std::string::npos) << "no clock times in " << name;
    MaskAt(written, at);
    MaskAt(recorded, at);
    EXPECT_TRUE(written == recorded) << name << " differs from its recording";

  }
};

}  // namespace

TEST_F(SavedGames, AScrambledCubeWithTurnsACancelledPairAndAnUndo) {
  OpenWindow();
  SeedScrambles(4242);
  Key('M');
  Settle();
  Drag(1);
  Drag(3);
  Drag(-3);
  Drag(5);
  Key(VK_BACK);
  Settle();
  Drag(-2);
  SaveAndCompare("cube3-scrambled.puz");
}

TEST_F(SavedGames, ACubeTurnedWithoutAScramble) {
  OpenWindow();
  Drag(1);
  Drag(2);
  Drag(2);
  SaveAndCompare("cube3-turned.puz");
}

TEST_F(SavedGames, APyramidAnOrbixClickAndASquareOneTurn) {
  OpenWindow();
  m_dlg->SelectPuzzle(4);
  SeedScrambles(99);
  Key('M');
  Settle();
  Drag(2);
  Drag(FirstDraggableTurn());
  SaveAndCompare("pyramid-scrambled.puz");

  m_dlg->SelectPuzzle(13);
  SeedScrambles(7);
  Key('M');
  Settle();
  ASSERT_TRUE(ClickALight());
  Settle();
  SaveAndCompare("orbix-scrambled.puz");

  m_dlg->SelectPuzzle(14);
  SeedScrambles(5);
  Key('M');
  Settle();
  const int turn = FirstDraggableTurn();
  ASSERT_NE(turn, 0);
  Drag(turn);
  SaveAndCompare("squareone-scrambled.puz");
}
