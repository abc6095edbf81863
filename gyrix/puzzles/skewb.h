// The corner-turning cubes: the Skewb (type id 6) and the XCube (type id 16). Both turn by
// thirds about the cube's body diagonals. The Skewb cuts through the middle, so a turn carries
// half the cube: three face centres (squares) and twelve corner triangles. The XCube cuts
// each face along its diagonals into four triangles, and a turn carries the corner piece cut
// off through the three neighbouring corners: the two triangles at the corner on each of its
// three faces.
#pragma once

#include <gyrix/engine/puzzle.h>
#include <gyrix/puzzles/builder.h>

#include <array>
#include <span>
#include <vector>

// What the two cubes share: cube of half-edge 1, faces as facelet groups, turns from tables of
// 3-cycles, a spin about a body diagonal, drags along strips across one face.
class CCornerCubePuzzle : public CPuzzle {
 public:
  int GetMoveStep(int move) override;
  int GetMoveFrames(int move) override;
  void UpdateSolved() override;
  BOOL GetMoveAxis(int k, CFixVector& a, CFixVector& b) override;
  int MoveFromDrag(int fromFacelet, int toFacelet) override;
  void ResetColours() override;
  void GetMoveRotation(CFixMatrix& matrix, int move, int angle) override;

  // The facelets of face k (0..5); none for another k.
  std::vector<int> GetFaceFacelets(int face) const {
    return face >= 0 && face < static_cast<int>(m_faces.size()) ? m_faces[face] : std::vector<int>{};
  }

  // One diagonal of a turn: about Z by aboutZ degrees, about Y by a body diagonal's tilt
  // (atan(1 / sqrt 2), signed by tiltSign), about X by s = direction x angle for a positive
  // turn, then back about Y and back about Z.
  struct CDiagonal {
    int aboutZ;
    int tiltSign;
    int direction;
  };

 protected:
  CCornerCubePuzzle(int typeId, int faceletCount);
  // The points, in whole units, as model vertices 0, 1, ... in the order given.
  void AddVertices(std::span<const std::array<int, 3>> points);
  // A convex facelet on the cube's surface, wound to face outwards (away from the centre).
  int AddOutwardFacelet(std::vector<std::array<int, 3>> corners);
  // The cut across turn t's diagonal: the vertices v with v . corner == level, in order round
  // the diagonal.
  void AddCutFace(const std::array<int, 3>& corner, int level);
  void AddTableTurns(std::span<const int> cycles, int cyclesPerTurn);
  int VertexAt(const std::array<int, 3>& p) const;

  std::span<const CDiagonal> m_diagonals;
  std::span<const std::array<int, 2>> m_axisPoints;
  CTurnCycleTable m_strips;
  CFaceletGroups m_faces = CFaceletGroups(6);
};

class CSkewbPuzzle : public CCornerCubePuzzle {
 public:
  explicit CSkewbPuzzle(int argument = 0);
};

class CXCubePuzzle : public CCornerCubePuzzle {
 public:
  explicit CXCubePuzzle(int argument = 0);
};
