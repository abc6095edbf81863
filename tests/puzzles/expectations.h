// What the conformance checks expect of each puzzle type: its turns in each mode, the kind of
// surface its model is, and the few rules of its own that the generic checks must respect.
// A family joins the checks by being built; its row here is written from the catalogue.
#pragma once

#include <vector>

// Turns first..last animate in `frames` frames of `step` degrees; frames -1: the class works
// the count out from the position (a turn that stops where the layers line up).
struct CTurnSpan {
  int first;
  int last;
  int frames;
  int step;
};

struct CModeExpectation {
  int mode;
  int turns;  // entries of the move list; -1: at least one, the count is the family's choice
  std::vector<CTurnSpan> spans;
};

enum class CSurfaceKind {
  kClosed,  // a closed solid: every facelet faces outwards and the cuts are closed while turning
  kOpen,    // parts that do not close (lights lifted above a sphere): only the painting is checked
  kFlat,    // a flat figure, seen from its front
  kEmpty,   // nothing to draw
};

struct CTypeExpectation {
  int id;
  std::vector<CModeExpectation> modes;  // mode 0 alone for a type without modes
  CSurfaceKind surface = CSurfaceKind::kClosed;
  // Drags give turn numbers of the class's own (clicks, slides) beyond its move list.
  bool ownDrags = false;
  // Scramble deals a position instead of making turns.
  bool ownScramble = false;
  // Turns that may leave a solved puzzle solved (the solved test accepts uniform groups in
  // any arrangement); {-1}: the solved flag is never recomputed.
  std::vector<int> turnsKeepingItSolved = {};
};

// The row of a type id, or null.
const CTypeExpectation* FindExpectation(int typeId);
const CModeExpectation* FindModeExpectation(const CTypeExpectation& type, int mode);
