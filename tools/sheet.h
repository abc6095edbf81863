// The contact sheet: every built puzzle type (each mode of a type with modes) at rest,
// scrambled and half way through turn 1, side by side in one 8-bit picture, so a new family
// can be looked over next to the others.
#pragma once

#include <gyrix/engine/canvas.h>

#include <platform/image32.h>

#include <memory>
#include <string>
#include <vector>

class CPuzzle;

// One picture on the sheet.
struct SheetCell {
  int typeId = 0;
  int mode = 0;  // 0 for a type without modes
  std::string state;
  RECT picture{};  // where the puzzle is painted, below its label
};

struct Sheet {
  std::unique_ptr<CPuzzleCanvas> canvas;
  // The smooth sheet: the 8-bit sheet without its puzzles, with the puzzles painted on it with
  // coverage. Made only when asked for.
  std::unique_ptr<CImage32> smooth;
  std::vector<SheetCell> cells;
};

constexpr int kSheetDefaultWidth = 1600;
// The scramble of the middle picture, fixed so that two sheets of the same build match.
constexpr int kSheetSeed = 1;

// Whether the position allows turn `move`: a plane-cut puzzle may refuse a turn whose cut
// would tear it; a picture of such a turn would show what the game never does.
bool IsTurnAllowedNow(CPuzzle& p, int move);

// Paints the sheet. height 0 makes it as tall as the puzzles need at that width. Returns an
// empty string on success, else why the sheet could not be made. The puzzles wear the colour
// scheme given (0, the classic, by default), with the symbols on their facelets if asked;
// smooth paints them with coverage into out.smooth.
std::string PaintSheet(int width, int height, int maxSide, Sheet& out, int scheme = 0, bool symbols = false,
                       bool smooth = false);
