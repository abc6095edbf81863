// Loads arbitrary bytes as a puzzle file into a small puzzle, and into the catalogue's class
// of the type the bytes name (the plane-cut classes with their planes among them). A refused
// file must leave the puzzle exactly as it was; an accepted one must survive being viewed,
// sorted, turned, played back, undone and stored again.
#include <gyrix/engine.h>
#include <gyrix/puzzles.h>

#include <cordak/buffer.h>
#include <cordak/urand.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// A cube-like puzzle of four facelets with two turns and a cut face.
class CFuzzPuzzle : public CPuzzle {
 public:
  CFuzzPuzzle() : CPuzzle(4) {
    m_typeId = 1;
    for (int y = 0; y <= 2; ++y)
      for (int x = 0; x <= 1; ++x) AddVertex(x, y, 1);
    for (int i = 0; i < 2; ++i) {
      const int quad[4] = {2 * i, 2 * i + 1, 2 * i + 3, 2 * i + 2};
      AddFacelet(quad, 4);
      const int back[3] = {2 * i + 2, 2 * i + 1, 2 * i};
      AddFacelet(back, 3);
    }
    const COLORREF palette[3] = {0x808080, 0x0000FF, 0x00FF00};
    SetPalette(palette, 3);
    const int swap[4] = {2, 1, 0, 3};
    AddMove(swap, 1);
    const int cycle[4] = {1, 3, 2, 0};
    AddMove(cycle, -1);
    const int cut[3] = {0, 1, 5};
    AddInnerFacelet(cut, 3);
    ResetColours();
  }
  void ResetColours() override {
    for (int id = 0; id < 4; ++id) SetFaceletColour(id, 1 + id % 2);
  }
};

std::vector<unsigned char> Stored(CPuzzle& p) {
  CUBuffer b;
  p.Write(b);
  return std::vector<unsigned char>(b.GetData(), b.GetData() + b.GetSize());
}

// Loads the bytes into the puzzle; an accepted file is exercised and stored again. A new
// puzzle from makeCopy must accept what the first one stored.
template <class MakeCopy>
void Exercise(CPuzzle& puzzle, const std::vector<unsigned char>& bytes, MakeCopy makeCopy,
              bool exactEcho) {
  CUBuffer file;
  if (!bytes.empty()) file.Write(const_cast<unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
  file.SeekToBegin();
  const std::vector<unsigned char> before = Stored(puzzle);
  const int result = puzzle.LoadFromBuffer(file);
  if (result != 1) {
    if (Stored(puzzle) != before) std::abort();
    return;
  }
  // An accepted file is stored back as it came, except where the class derives part of what
  // it stores from the rest (the lights puzzle its colours): then what it stores must reload
  // unchanged.
  const std::vector<unsigned char> stored = Stored(puzzle);
  if (stored != bytes) {
    if (exactEcho) std::abort();
    std::unique_ptr<CPuzzle> echo = makeCopy();
    CUBuffer storedFile(const_cast<unsigned char*>(stored.data()), static_cast<int>(stored.size()));
    if (echo->LoadFromBuffer(storedFile) != 1 || Stored(*echo) != stored) std::abort();
  }
  puzzle.ResetView(64, 48);
  puzzle.UpdateView();
  puzzle.SortFacelets();
  for (int i = 0; i < puzzle.GetFaceletCount(); ++i) puzzle.GetFacelet(i)->Project(kViewVertices);
  for (int m = -puzzle.GetMoveCount() - 1; m <= puzzle.GetMoveCount() + 1; ++m) puzzle.DoMove(m, 1);
  for (int m = -puzzle.GetMoveCount() - 1; m <= puzzle.GetMoveCount() + 1; ++m) {
    puzzle.StartMove(nullptr, m);
    puzzle.CompleteAllMoves(nullptr);
  }
  puzzle.PlayNextMove(nullptr);
  while (puzzle.UndoMove(nullptr)) {
  }
  const std::vector<unsigned char> again = Stored(puzzle);
  std::unique_ptr<CPuzzle> copy = makeCopy();
  CUBuffer reread(const_cast<unsigned char*>(again.data()), static_cast<int>(again.size()));
  if (copy->LoadFromBuffer(reread) != 1) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > (1 << 20)) return 0;
  const std::vector<unsigned char> bytes(data, data + size);

  CFuzzPuzzle puzzle;
  puzzle.DoMove(1, 1);
  puzzle.RecordMove(1, 0);
  Exercise(puzzle, bytes, [] { return std::make_unique<CFuzzPuzzle>(); }, true);

  // The catalogue's class for the type the file names, the plane-cut classes among them.
  int typeId = -1;
  if (size >= 8) std::memcpy(&typeId, data + 4, 4);
  if (!IsPuzzleBuilt(typeId)) return 0;
  std::unique_ptr<CPuzzle> typed(CreatePuzzle(typeId));
  Randomize(static_cast<int>(size) + 1);
  typed->Scramble();
  Exercise(*typed, bytes, [typeId] { return std::unique_ptr<CPuzzle>(CreatePuzzle(typeId)); },
           false);
  return 0;
}
