// The pyramid (type id 4): a tetrahedron of three layers per corner, turned by thirds about its
// four corners. Its 36 facelets are numbered by layers from the apex (tip, second layer, third
// layer, each going once round the three side faces), then the base, so that faces and layers
// follow from the id. Turn 3g + l (l = 1, 2, 3) turns the l layers nearest corner g; l = 3 is
// the whole pyramid.
#pragma once

#include <gyrix/engine/puzzle.h>
#include <gyrix/puzzles/builder.h>

#include <vector>

class CPyramidPuzzle : public CPuzzle {
 public:
  static constexpr int kFaceletCount = 36;
  static constexpr int kCorners = 4;
  static constexpr int kLayers = 3;
  // Positions run 1..kRingLength round each corner's rings.
  static constexpr int kRingLength = 15;

  explicit CPyramidPuzzle(int argument = 0);

  int GetMoveStep(int move) override;
  int GetMoveFrames(int move) override;
  void UpdateSolved() override;
  BOOL GetMoveAxis(int k, CFixVector& a, CFixVector& b) override;
  int MoveFromDrag(int fromFacelet, int toFacelet) override;
  void ResetColours() override;
  void GetMoveRotation(CFixMatrix& matrix, int move, int angle) override;
  int GetInnerFacelet(int k) override;

  // The turn (corner * 3 + layer, layer 1..2) whose ring a facelet lies on round a corner
  // (0..3), and its place on that ring (1..15); 0 and a place below 1 where the corner has no
  // ring through it (the base seen from the apex, the third layers).
  void RingPlace(int facelet, int corner, int& turn, int& position) const;

 private:
  void AddVertices();
  void AddFacelets();
  void AddTurns();
  void AddInnerFaces();

  CFaceletGroups m_faces;
  // For each base corner, where the whole turn that lifts it to the apex carries each facelet.
  std::vector<int> m_toApex[kCorners];
};
