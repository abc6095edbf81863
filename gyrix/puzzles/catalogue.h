// The catalogue: the 37 puzzle types the game offers, and CreatePuzzle, which makes a puzzle
// object from its type id.
//
// Every puzzle class builds itself in its constructor, in this order:
//   1. the CPuzzle constructor with the move mask length; the type id (and size, where the
//      type has a constructor argument);
//   2. the vertices (AddVertex), in the order the facelet lists and turn tables index;
//   3. the facelets (AddFacelet): a facelet's id is its position in the order of adding, and
//      its index in the move mask and in every permutation; every facelet is listed so that
//      it faces outwards;
//   4. the palette and the model size, from its row of the catalogue;
//   5. the turns (AddMove with a permutation, or AddPlaneMove); a facelet that turns in place
//      (a face centre) is named as the turn's extra facelet so that it is animated;
//   6. the inner faces (AddInnerFacelet), painted in palette colour 0 in the cut while a
//      layer turns;
//   7. the solved colours (ResetColours).
#pragma once

#include <string>

#include <gyrix/engine/puzzle.h>

#include <vector>

constexpr int kPuzzleTypeCount = 37;
constexpr int kDefaultPuzzleType = 1;  // what an unknown id makes: the 3x3x3 cube

// One row of the catalogue.
struct CPuzzleType {
  int id;
  const char* name;       // shown to the player, and the prefix of its settings keys
  const char* className;
  int argument;           // constructor argument, -1 for none
  int facelets;           // move mask length
  int paletteCount;
  float modelSize;
  const char* turn;       // frames x degrees per frame of one turn; "-" when it has none
  int modes;              // highest mode the type accepts; 0 for none
  // Makes the puzzle; null while the family is not built yet.
  CPuzzle* (*create)(int argument);
};

// The row of a type id, or null outside 0..36.
const CPuzzleType* GetPuzzleType(int typeId);
// Whether the type's own family is built (otherwise CreatePuzzle makes the 3x3x3 cube).
bool IsPuzzleBuilt(int typeId);
// The palette of the type's class, index 0 (the inside colour) first; empty outside 0..36.
std::vector<COLORREF> GetTypePalette(int typeId);

// Gives the puzzle its type's palette and model size from the catalogue.
void ApplyTypeLooks(CPuzzle& puzzle, int typeId);

// A new puzzle of the type, solved, in its starting mode, with no view size yet. Any id
// outside 0..36, and any type whose family is not built yet, makes the 3x3x3 cube.
CPuzzle* CreatePuzzle(int typeId);

// Opens a puzzle file as a new puzzle of the type it names, owned by the caller. A file that
// cannot be opened gives null silently; a file of another version, of an unknown or unbuilt
// type, a damaged one or one whose records are not its type's gives null after the library's
// Error box tells the user what is wrong.
CPuzzle* LoadPuzzleFile(const char* path);
// The same, telling the reason for a refusal in problem instead of a message box (left empty
// for a file that could not be opened at all).
CPuzzle* LoadPuzzleFile(const char* path, std::string* problem);

// The view variants some classes use in their ResetView, after the base reset: the corner
// view turns the model onto a corner; the tetra-star view brings the view angles to
// (300, -27, -125).
void ApplyCornerView(CPolyModel& model);
void ApplyTetraStarView(CPolyModel& model);
