// Arbitrary text typed into Execute Move on a cube. The first bytes choose the cube's size and
// how far its view is turned (which decides what each letter means, or that the view is
// ambiguous); the rest is the text. Whatever the text, the queued turns must play out, leave
// a puzzle that undoes back to where it started, and store as a file that loads again.
#include <gyrix/puzzles.h>
#include <platform/services.h>

#include <cordak/buffer.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

// The "ambiguous" box, counted instead of shown.
class CQuietServices : public CDesktopServices {
 public:
  int MessageBox(CWnd*, const char*, const char*, UINT) override { return IDOK; }
  int ChooseFile(CWnd*, const FileChooserRequest&, std::string&) override { return 0; }
  int OpenDocument(const char*) override { return 0; }
};

void Fail(const char* what) {
  std::fprintf(stderr, "fuzz_cube_notation: %s\n", what);
  std::abort();
}

std::vector<int> Colours(const CPuzzle& p) {
  std::vector<int> colours;
  for (int id = 0; id < p.GetFaceletCount(); ++id) colours.push_back(p.GetFaceletColour(id));
  return colours;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3 || size > 4096) return 0;
  static CQuietServices services;
  static const bool installed = (SetDesktopServices(&services), true);
  (void)installed;

  // Making a cube takes long; each is made once and brought back to its start from its file.
  static std::unique_ptr<CPuzzle> cubes[4];
  static std::vector<unsigned char> fresh[4];
  const int n = data[0] % 4;
  if (!cubes[n]) {
    cubes[n].reset(CreatePuzzle(n));
    CUBuffer b;
    cubes[n]->Write(b);
    fresh[n].assign(b.GetData(), b.GetData() + b.GetSize());
  }
  CPuzzle* cube = cubes[n].get();
  CUBuffer start(fresh[n].data(), static_cast<int>(fresh[n].size()));
  if (cube->LoadFromBuffer(start) != 1) Fail("a fresh cube does not load");
  cube->ResetView(120, 90);
  // Whole quarter turns keep the cube aligned; other angles may leave it ambiguous.
  cube->RotateViewX(static_cast<signed char>(data[1]));
  cube->RotateViewY(static_cast<signed char>(data[2]));
  const std::vector<int> before = Colours(*cube);
  const std::string text(reinterpret_cast<const char*>(data + 3), size - 3);

  cube->ExecuteMacro(text.c_str());
  cube->PlayNextMove(nullptr);
  cube->CompleteAllMoves(nullptr);
  if (cube->IsBusy()) Fail("typed moves did not play out without a window");
  for (int i = cube->GetHistorySize(); i >= 0 && cube->UndoMove(nullptr); --i) cube->CompleteAllMoves(nullptr);
  if (Colours(*cube) != before) Fail("undoing every typed move does not give the cube back");

  CUBuffer stored;
  cube->Write(stored);
  stored.SeekToBegin();
  std::unique_ptr<CPuzzle> copy(CreatePuzzle(cube->GetTypeId()));
  if (copy->LoadFromBuffer(stored) != 1) Fail("the cube does not load again");
  return 0;
}
