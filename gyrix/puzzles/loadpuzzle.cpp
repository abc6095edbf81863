// Opening a puzzle file as a new puzzle of the type the file names.
#include <gyrix/puzzles/catalogue.h>

#include <cordak/file.h>
#include <lumex/dialogs.h>

#include <memory>

namespace {

// The reason goes to the caller when it asked for it, else into a message box.
void Refuse(std::string* problem, const CUString& text) {
  if (problem) *problem = static_cast<const char*>(text);
  else Error("%s", static_cast<const char*>(text));
}

}  // namespace

CPuzzle* LoadPuzzleFile(const char* path) { return LoadPuzzleFile(path, nullptr); }

CPuzzle* LoadPuzzleFile(const char* path, std::string* problem) {
  CUString text;
  CUFile file;
  if (!path || !*path || !file.Open(path, 1)) return nullptr;
  // The header: format version and type id. A file too short to hold them is not a puzzle file.
  float version = 0.0f;
  int typeId = 0;
  if (file.GetSize() >= 8) {
    unsigned char header[8];
    file.Read(header, 8);
    CUBuffer bytes;
    bytes.Write(header, 8);
    bytes.SeekToBegin();
    bytes >> version >> typeId;
  }
  file.Close();
  if (version != CPuzzle::kFormatVersion) {
    Refuse(problem, CUString(CPolyModel::GetBadFileMessage()));
    return nullptr;
  }
  // CreatePuzzle would quietly make a 3x3x3 cube for these; the file would then be refused as
  // damaged, which tells the player nothing useful.
  if (!GetPuzzleType(typeId)) {
    text.Format("This file holds a puzzle of an unknown type (%d) and cannot be loaded.", typeId);
    Refuse(problem, text);
    return nullptr;
  }
  if (!IsPuzzleBuilt(typeId)) {
    text.Format("This file holds the %s puzzle, which this build of Gyrix cannot show yet.", GetPuzzleType(typeId)->name);
    Refuse(problem, text);
    return nullptr;
  }
  std::unique_ptr<CPuzzle> puzzle(CreatePuzzle(typeId));
  if (!puzzle) return nullptr;
  const int loaded = puzzle->Load(path);
  if (loaded == 1) return puzzle.release();
  // Damaged past the header; a file that vanished since it was opened goes silently.
  if (loaded == 0) Refuse(problem, CUString(CPolyModel::GetBadFileMessage()));
  return nullptr;
}
