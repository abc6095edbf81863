// Arbitrary bytes as a puzzle file opened the way the Open command does, through the one loader
// that makes a puzzle of whatever type the file names. A refused file must be reported and give
// nothing; an accepted one must survive being viewed, drawn, turned, undone and stored again.
#include <gyrix/puzzles.h>
#include <gyrix/engine/canvas.h>
#include <platform/services.h>

#include <cordak/buffer.h>

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

// The Error box of a refused file, counted instead of shown.
class CCountingServices : public CDesktopServices {
 public:
  int MessageBox(CWnd*, const char*, const char*, UINT) override {
    ++shown;
    return IDOK;
  }
  int ChooseFile(CWnd*, const FileChooserRequest&, std::string&) override { return 0; }
  int OpenDocument(const char*) override { return 0; }
  int shown = 0;
};

const std::string& PuzzlePath() {
  // tmpfs when there is one: every run writes the file.
  static const std::string path = std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                                  "/fuzz-puzzle-" + std::to_string(getpid()) + ".puz";
  static const bool cleanup = std::atexit([] { std::remove(path.c_str()); }) == 0;
  (void)cleanup;
  return path;
}

std::vector<unsigned char> Stored(CPuzzle& p) {
  CUBuffer b;
  p.Write(b);
  return std::vector<unsigned char>(b.GetData(), b.GetData() + b.GetSize());
}

void Fail(const char* what) {
  std::fprintf(stderr, "fuzz_puzzle_loader: %s\n", what);
  std::abort();
}

// The bytes loaded into another puzzle of the type and stored again. Making a puzzle takes
// long, so each type's second puzzle is made once; a load replaces all of its state.
std::vector<unsigned char> Reloaded(int typeId, std::vector<unsigned char> bytes) {
  static std::unique_ptr<CPuzzle> copies[kPuzzleTypeCount];
  if (typeId < 0 || typeId >= kPuzzleTypeCount) Fail("a loaded puzzle has no type of the catalogue");
  if (!copies[typeId]) copies[typeId].reset(CreatePuzzle(typeId));
  CPuzzle* copy = copies[typeId].get();
  CUBuffer b(bytes.data(), static_cast<int>(bytes.size()));
  if (copy->LoadFromBuffer(b) != 1) Fail("a stored puzzle does not load again");
  return Stored(*copy);
}

// What the window does with a puzzle: view, draw, every turn both ways animated, undo.
void Play(CPuzzle& puzzle) {
  CPuzzleCanvas canvas(puzzle, 96, 64);
  if (!canvas.IsValid()) Fail("no canvas for a small picture");
  puzzle.ResetView(96, 64);
  puzzle.Draw(canvas.dc, &canvas.dib);
  const int turns = puzzle.GetMoveCount();
  for (int m = -turns - 1; m <= turns + 1; ++m) {
    if (m != 0) puzzle.DrawMoveFrame(canvas.dc, &canvas.dib, m, 30);
    puzzle.DoMove(m, 1);
  }
  puzzle.PlayNextMove(nullptr);
  for (int i = 0; i < 200 && puzzle.UndoMove(nullptr); ++i) {
  }
  puzzle.Draw(canvas.dc, &canvas.dib);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > (1 << 20)) return 0;
  static CCountingServices services;
  static const bool installed = (SetDesktopServices(&services), true);
  (void)installed;
  const std::string& path = PuzzlePath();
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return 0;
  std::fwrite(data, 1, size, out);
  std::fclose(out);

  services.shown = 0;
  std::unique_ptr<CPuzzle> puzzle(LoadPuzzleFile(path.c_str()));
  if (!puzzle) {
    if (services.shown != 1) Fail("a refused file was not reported exactly once");
    return 0;
  }
  if (services.shown != 0) Fail("an accepted file showed an error");
  // An accepted file is stored as the class understood it (some derive part of it, as the
  // lights puzzle its colours from its lights); what it plays into must load again unchanged.
  Play(*puzzle);
  const std::vector<unsigned char> played = Stored(*puzzle);
  if (Reloaded(puzzle->GetTypeId(), played) != played) Fail("a played puzzle changes when loaded again");
  return 0;
}
