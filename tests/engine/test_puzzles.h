// Small puzzles built the way catalogue classes build theirs, for the engine tests.
#pragma once

#include <gyrix/engine.h>

#include <cordak/buffer.h>

#include <vector>

// A flat 2 x 2 grid of square facelets (ids 0-3, counter-clockwise from the bottom left) with
// a triangular marker in the middle (id 4) and a back face (id 5). Turn 1 cycles the four
// squares (the marker turns with them), turn 2 swaps squares 0 and 1, turn 3 has no
// permutation. Solved means every facelet shows its own colour.
class CGridPuzzle : public CPuzzle {
 public:
  static constexpr int kFacelets = 6;
  static constexpr int kSolvedColour[kFacelets] = {1, 2, 3, 4, 5, 0};

  CGridPuzzle() : CPuzzle(kFacelets) {
    m_typeId = 1;
    SetModelSize(4.0f);
    for (int y = -1; y <= 1; ++y)
      for (int x = -1; x <= 1; ++x) AddVertex(x, y, 1);
    auto at = [](int x, int y) { return (y + 1) * 3 + (x + 1); };
    const int squares[4][2] = {{-1, -1}, {0, -1}, {0, 0}, {-1, 0}};
    for (const auto& s : squares) {
      const int q[4] = {at(s[0], s[1]), at(s[0] + 1, s[1]), at(s[0] + 1, s[1] + 1), at(s[0], s[1] + 1)};
      AddFacelet(q, 4);
    }
    const int marker[3] = {at(0, 0), at(1, 0), at(0, 1)};
    AddFacelet(marker, 3);
    const int back[4] = {AddVertex(-1, -1, -1), AddVertex(-1, 1, -1), AddVertex(1, 1, -1), AddVertex(1, -1, -1)};
    AddFacelet(back, 4);
    const COLORREF palette[6] = {0x808080, 0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF, 0xFFFFFF};
    SetPalette(palette, 6);

    int cycle[kFacelets] = {0, 1, 2, 3, 4, 5};
    const int ring[4] = {0, 1, 2, 3};
    // The colour of square 0 goes to 1, 1 to 2 and so on.
    CycleFacelets(cycle, ring, 4);
    AddMove(cycle, 4);
    int swap[kFacelets] = {1, 0, 2, 3, 4, 5};
    AddMove(swap, -1);
    AddMove(nullptr, -1);
    const int cut[4] = {at(-1, 0), at(1, 0), back[2], back[1]};
    AddInnerFacelet(cut, 4);
    ResetColours();
  }

  void ResetColours() override {
    for (int id = 0; id < kFacelets; ++id) SetFaceletColour(id, kSolvedColour[id]);
  }

  void UpdateSolved() override {
    ++updateCalls;
    m_solved = 1;
    for (int id = 0; id < kFacelets; ++id)
      if (GetFaceletColour(id) != kSolvedColour[id]) m_solved = 0;
  }

  std::vector<int> Colours() const {
    std::vector<int> c;
    for (int id = 0; id < kFacelets; ++id) c.push_back(GetFaceletColour(id));
    return c;
  }

  // Direct access for tests that need a state the public operations only reach slowly.
  void SetClock(long start, long end) {
    m_clockStart = CUTime(start);
    m_clockEnd = CUTime(end);
  }
  void SetSolvedFlags(int solved, int pending) {
    m_solved = solved;
    m_scramblePending = pending;
  }
  void SetCurrentMove(int move) { m_currentMove = move; }
  void ForceMode(int mode) { m_mode = mode; }
  void SetType(int typeId) { m_typeId = typeId; }
  CUObArray& Facelets() { return FaceletList(); }

  int updateCalls = 0;
};

// The whole stored form of a puzzle, for comparing states byte for byte.
inline std::vector<unsigned char> StoredForm(CPuzzle& p) {
  CUBuffer b;
  p.Write(b);
  return std::vector<unsigned char>(b.GetData(), b.GetData() + b.GetSize());
}
