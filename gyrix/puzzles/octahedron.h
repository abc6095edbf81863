// The octahedra: size 2 ("Octahedron(Size2)", 32 facelets), size 3 ("Octahedron(Size3)", 72)
// and size 1 ("Diamond", one facelet per face). The one twisty family with modes: mode 1 turns
// about the six corner axes by quarter turns, mode 2 about the face axes by thirds. A mode
// switch throws the turns and cut faces away, builds the other mode's and resets the puzzle.
#pragma once

#include <gyrix/engine/puzzle.h>
#include <gyrix/puzzles/builder.h>

#include <array>

class COctahedronPuzzle : public CPuzzle {
 public:
  // size 1, 2 or 3; anything else makes size 2.
  explicit COctahedronPuzzle(int size);

  // 1 or 2; refused (0, nothing changes) for any other mode and while a turn runs or plays.
  BOOL SetMode(int mode) override;
  int GetMoveStep(int move) override;
  int GetMoveFrames(int move) override;
  void GetMoveRotation(CFixMatrix& matrix, int move, int angle) override;
  BOOL GetMoveAxis(int k, CFixVector& a, CFixVector& b) override;
  int GetInnerFacelet(int k) override;
  int MoveFromDrag(int fromFacelet, int toFacelet) override;
  void ResetColours() override;
  void UpdateSolved() override;
  // Also refuses a file whose mode is not 1 or 2 or whose turn count is not that mode's.
  void Read(CUBuffer& b) override;

  // Turns of a mode (0 for a mode the puzzle does not have).
  int GetTurnCount(int mode) const;
  // The right-hand axis of turn `move`'s positive sense in model units (unit length), and the
  // part it carries; false for a turn number the current mode does not have.
  bool GetTurnAxis(int move, std::array<double, 3>& axis) const;
  CTurnPart GetTurnPart(int move) const;
  // The cycles a drag is looked up in, in the current mode, each with the turn it makes.
  const CTurnCycleTable& GetDragCycles() const;
  // The facelets of face k (0..7); for the Diamond the face's one facelet.
  const CFaceletGroups& GetFaces() const { return m_faces; }

 private:
  void AddVertices();
  void AddFacelets();
  void AddTurns();
  void AddInnerFaces();
  void AddRimCycles();
  // One facelet of the triangle grid of face `face` (0..7): the corners at grid points
  // (i, j) in steps of 1/size from the face's first corner towards its second and third.
  void AddGridFacelet(int face, const int points[3][2]);
  std::array<double, 3> Corner(int vertex) const;

  CFaceletGroups m_faces;
  CTurnCycleTable m_dragCycles[2];
  CTurnCycleTable m_rimCycles;  // size 3, mode 2: each face's rim in the turn's direction
};
