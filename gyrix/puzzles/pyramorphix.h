// The Pyramorphix (type id 15): a tetrahedron cut through the midpoints of its edges into the
// eight pieces of a 2 x 2 x 2 cube. Quarter turns of either half about an axis through the
// midpoints of two opposite edges change its shape, so its solved test looks at where the
// facelets are, not at which colour sits where.
#pragma once

#include <gyrix/engine/planecut.h>

#include <vector>

class CPyramorphixPuzzle : public CPlaneCutPuzzle {
 public:
  static constexpr int kFaceletCount = 16;
  static constexpr int kTurns = 6;

  explicit CPyramorphixPuzzle(int argument = 0);

  int GetMoveStep(int move) override;
  int GetMoveFrames(int move) override;
  void GetMoveRotation(CFixMatrix& matrix, int move, int angle) override;
  // Solved when the facelets of each face, wherever they are, lie on one face of a solved
  // puzzle's shape, in either of the two shapes a solved puzzle can have.
  void UpdateSolved() override;

 protected:
  void BuildSolvedFacelets() override;

 private:
  // Where a solved puzzle's facelets lie (their centroids) and the colour each place has.
  struct CSolvedPlace {
    CFixVector centroid;
    int colour;
  };
  std::vector<CSolvedPlace> SolvedPlaces() const;
  // The facelet whose centroid lies within half a unit of the point, or null.
  const CFacelet* FaceletAt(const CFixVector& centroid) const;

  // The solved places as built, and after the whole puzzle is turned onto its other shape.
  std::vector<CSolvedPlace> m_solvedPlaces[2];
};
