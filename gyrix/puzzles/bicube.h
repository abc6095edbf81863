// The BiCube (type id 17): a 3 x 3 x 3 cube whose outer layers turn by quarters while some of
// its pieces are fused into larger blocks. A block that straddles a cut blocks that cut, so
// which layers turn depends on the position.
#pragma once

#include <gyrix/engine/planecut.h>

class CBiCubePuzzle : public CPlaneCutPuzzle {
 public:
  static constexpr int kFaceletCount = 34;
  static constexpr int kTurns = 6;

  explicit CBiCubePuzzle(int argument = 0);

  int GetMoveStep(int move) override;
  int GetMoveFrames(int move) override;
  void GetMoveRotation(CFixMatrix& matrix, int move, int angle) override;
  // Refused while a facelet's centroid lies on the turn's cut: a fused block across it.
  BOOL CanMove(int move) override;
  // Solved when every face of the cube shows one colour.
  void UpdateSolved() override;

 protected:
  void BuildSolvedFacelets() override;
};
