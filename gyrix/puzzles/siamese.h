// The Siamese cubes (type id 19): two 3x3x3 cubes fused along one column of three cells.
// Cube A holds cells 0..2 in x and y, cube B cells 2..4, both cells 0..2 in z; they share
// the column x = y = 2. A layer that holds part of that column cannot turn without tearing the
// other cube, and neither can any horizontal layer, so the turns are the quarter turns of the
// two outer and the middle x and y layers of each cube that lie away from the column: eight
// layers, each turning about its own cube's axis. The outside shows 94 facelets: each cube's
// six sides less what the other one covers, the shared column's top and bottom once.
#pragma once

#include <gyrix/engine/puzzle.h>
#include <gyrix/puzzles/builder.h>

#include <array>
#include <vector>

class CSiamesePuzzle : public CPuzzle {
 public:
  explicit CSiamesePuzzle(int argument = 0);

  void SortFacelets() override;
  int GetMoveFrames(int move) override;
  void UpdateSolved() override;
  BOOL GetMoveAxis(int k, CFixVector& a, CFixVector& b) override;
  int MoveFromDrag(int fromFacelet, int toFacelet) override;
  void ResetColours() override;
  void GetMoveRotation(CFixMatrix& matrix, int move, int angle) override;

  // One turning layer: its cube's axis (0 = x, 1 = y) through the cube's centre, and the
  // slab from lo to hi along it (model units).
  struct CLayer {
    int axis;
    int centreX, centreY;
    int lo, hi;
  };
  static const CLayer& Layer(int k);
  const CFaceletGroups& GetFaces() const { return m_faces; }

 private:
  void AddFacelets();
  void AddCutFaces();
  int CutFace(int axis, int cube, int at) const;

  CFaceletGroups m_faces;
  std::vector<int> m_solvedColours;
  std::vector<std::array<double, 3>> m_centres;  // facelet centroids
  std::vector<int> m_cuts;                        // inner face ids: axis, cube, position
  std::vector<std::array<int, 3>> m_cutKeys;
};
