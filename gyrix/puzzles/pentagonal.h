// The pentagonal polyhedra, turning by fifths about the axes through the corners of one
// icosahedron (the dodecahedron's face centres): the Dodecahedron (type id 7), whose face
// turns carry one face and a ring of its neighbours' facelets, the PentUltimate (type id 11),
// whose turns carry half the solid, cut through the centre, and the Icosahedron (type id 8),
// whose corners turn as a small tip or as the whole cap of five faces, and the Star (type id
// 12), an icosahedron with a triangular dimple in every face, whose corners turn as spikes.
#pragma once

#include <gyrix/engine/puzzle.h>
#include <gyrix/puzzles/builder.h>

#include <array>
#include <span>
#include <vector>

// What the family shares: 4 frames of 18 degrees, a spin about the exact axis of a corner of
// the icosahedron, faces as facelet groups with their colours, and drags along strips.
class CPentagonalPuzzle : public CPuzzle {
 public:
  int GetMoveStep(int move) override;
  int GetMoveFrames(int move) override;
  void UpdateSolved() override;
  void ResetColours() override;
  void GetMoveRotation(CFixMatrix& matrix, int move, int angle) override;
  BOOL GetMoveAxis(int k, CFixVector& a, CFixVector& b) override;
  int MoveFromDrag(int fromFacelet, int toFacelet) override;

  // The unit axis of icosahedron corner `corner` (0..11), which is also the outward normal
  // of dodecahedron face `corner`: a positive turn spins right-handed about it.
  static std::array<double, 3> CornerAxis(int corner);

  const CFaceletGroups& GetFaces() const { return m_faces; }
  const CTurnCycleTable& GetDragStrips() const { return m_strips; }

 protected:
  CPentagonalPuzzle(int typeId, int faceletCount);
  // The corner whose axis turn `move` spins about (either sign); -1 when out of range.
  virtual int AxisOfTurn(int move) const;

  CFaceletGroups m_faces;
  std::vector<int> m_faceColours;
  CTurnCycleTable m_strips;
};

class CDodecahedronPuzzle : public CPentagonalPuzzle {
 public:
  explicit CDodecahedronPuzzle(int argument = 0);
};

// Each face cut into a centre pentagon on its edge midpoints and five corner triangles; a turn
// carries the half of the solid in front of the plane through the centre parallel to its face.
class CPentUltimatePuzzle : public CPentagonalPuzzle {
 public:
  explicit CPentUltimatePuzzle(int argument = 0);
  int MoveFromDrag(int fromFacelet, int toFacelet) override;
  // Opposite faces share their cut.
  int GetInnerFacelet(int k) override;

 private:
  CTurnCycleTable m_cycles;
};

// Each triangular face cut at its edge midpoints: three corner triangles (tips), and the middle
// triangle cut from its centre into three, one beside each tip. Turns 1..12 turn the tips
// round a corner, turns 13..24 the cap of the five faces round the same corner.
class CIcosahedronPuzzle : public CPentagonalPuzzle {
 public:
  explicit CIcosahedronPuzzle(int argument = 0);
  int MoveFromDrag(int fromFacelet, int toFacelet) override;
  void UpdateSolved() override;

 protected:
  int AxisOfTurn(int move) const override;

 private:
  // Per object, so that two puzzles alive at once never share what they derive.
  CTurnCycleTable m_dragCycles;
  // Where a turn of the whole puzzle carries each facelet, for all 60 such turns: the turns
  // can turn the whole icosahedron, so a solve may end with it turned.
  std::vector<std::vector<int>> m_wholeTurns;
  std::vector<int> m_solvedColours;  // by facelet id
};

// Each icosahedron face sunk into three triangles that meet below its centre. The triangles
// opposite one corner on its five faces lie in one plane, the plane through that corner's
// neighbours; a turn spins the spike of ten triangles above the plane. Solved when each plane
// shows one colour: the turns can turn the whole star, so any plane may end up in any colour.
class CStarPuzzle : public CPentagonalPuzzle {
 public:
  explicit CStarPuzzle(int argument = 0);
  int MoveFromDrag(int fromFacelet, int toFacelet) override;
  // While a spike turns: the part on the viewer's side of the cut last, and the cut, in
  // convex pieces, on the nearer side only.
  void SortFacelets() override;

 private:
  // The spike's triangles of each turn in order round its corner.
  std::vector<std::vector<int>> m_rings;
};
