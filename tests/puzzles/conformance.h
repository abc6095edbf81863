// The checks every puzzle family must pass, written once for puzzles of any shape. Each check
// returns what it found wrong, so that the same checks judge the catalogue's types and, in
// their own tests, deliberately broken puzzles that they must catch.
#pragma once

#include "expectations.h"

#include <gyrix/engine.h>

#include <string>
#include <vector>

class CWnd;

// Messages describing what is wrong; empty when the puzzle passes.
struct CFindings {
  std::vector<std::string> messages;
  int total = 0;  // also those left out of the messages

  void Add(const std::string& message);
  bool Empty() const { return total == 0; }
  std::string Text() const;
};

// The catalogue's row and the expectation row: id, name, facelets, palette, model size, the
// turns of the current mode and how each animates, the starting mode, solved when new.
CFindings CheckCatalogueRow(CPuzzle& p, const CTypeExpectation& type);

// Every facelet planar, convex and facing outwards (for a closed surface); a closed surface
// encloses a positive volume and its area vectors sum to zero.
CFindings CheckShape(CPuzzle& p, CSurfaceKind surface);

// Rotating the model as the animation does at the full angle carries every facelet that a
// permutation turn animates onto the facelet it gives its colour to; a turn without one (a
// plane-cut turn) moves the corners its mask marks by that rotation and no other corner.
CFindings CheckTurnsAreRotations(CPuzzle& p);

// A turn and its inverse, and a turn repeated a full circle, leave colours and vertices as
// they were; every turn changes something, and a turn the puzzle refuses changes nothing.
// Turns are made as the game makes them.
CFindings CheckTurnsUndo(CPuzzle& p);

// After every turn (and every turn and its inverse) each vertex lies exactly on a place a
// vertex had when the puzzle was built, or on a resting place the class names: turned
// geometry snaps onto the solid's corners.
CFindings CheckVerticesStayOnTheirPlaces(CPuzzle& p);

// Solved when new and after Reset; not after one turn (unless the row allows it) nor after a
// scramble; a type without turns is left as it is by Scramble and drags.
CFindings CheckSolvedTest(CPuzzle& p, const CTypeExpectation& type);

// Every turn that moves part of the puzzle and that the position allows has a drag; every
// drag's reverse is its inverse; a drag onto the same facelet does nothing; every drag gives a
// turn the history can hold. Plane-cut puzzles are checked scrambled as well.
CFindings CheckDrags(CPuzzle& p, const CTypeExpectation& type);

// Every frame of every turn, painted through the window's animation in two views (positive
// turns in one, negative in the other), against a depth reference of the scene: wherever one
// surface is clearly nearest, its colour shows (no hole, no face painted over a nearer one).
// While each turn runs, the facelets that carry its mask bit are exactly the part on the
// turning side of its cut, and each cut face it paints lies in that cut. The puzzle at rest
// after each turn is checked the same way, and a plane-cut puzzle's turns once more from a
// scrambled shape. wnd is a live window for the animation timer. With fromSolved 0 the check
// starts from the position as it stands (a scrambled one).
CFindings CheckAnimation(CPuzzle& p, CWnd* wnd, CSurfaceKind surface, int canvasSize = 200, bool fromSolved = true);

// Saving and loading gives an equal puzzle.
CFindings CheckSaveAndLoad(CPuzzle& p);

// A file of another type is refused and changes nothing, also when its type id is patched to
// this type's (unless the two types' files cannot be told apart by their counts).
CFindings CheckForeignFilesRefused(CPuzzle& p, const std::vector<int>& otherTypes);
