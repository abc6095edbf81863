// The Gem (type id 28): a cuboctahedron cut by its four hexagonal equators. A turn carries the
// half in front of a cut a sixth of the way round, which makes a triangular orthobicupola of the
// solid; turning on (or back) makes a cuboctahedron again. Which cuts are whole hexagons depends
// on the position: a cut that passes through a face is refused.
#pragma once

#include <gyrix/engine/planecut.h>

#include <array>
#include <vector>

class CGemPuzzle : public CPlaneCutPuzzle {
 public:
  explicit CGemPuzzle(int argument = 0);

  int GetMoveStep(int move) override;
  int GetMoveFrames(int move) override;
  void UpdateSolved() override;
  void GetMoveRotation(CFixMatrix& matrix, int move, int angle) override;
  // A turn whose cut runs through a face would tear the solid apart: refused.
  BOOL CanMove(int move) override;

 protected:
  void BuildSolvedFacelets() override;

 private:

  // Where each facelet's centre lies in the solid as built, in model units.
  std::vector<std::array<double, 3>> m_homeCentres;
};
