// SquareOne (type id 14): a cube cut into a top layer, a thin middle layer and a bottom layer.
// The top and bottom layers hold eight wedge pieces each round the vertical axis (edges of 30
// degrees, corners of 60), the middle layer two halves. Turns 2 and 4 spin the top or the
// bottom layer to the next place where it lines up with the slice; turns 1 and 3 flip one half
// of the puzzle (the part on one side of the vertical slice plane) by 180 degrees, which
// changes the shape of the layers. Pieces move as geometry; the facelets keep their colours.
#pragma once

#include <gyrix/engine.h>

#include <vector>

class CSquareOnePuzzle : public CPlaneCutPuzzle {
 public:
  static constexpr int kFaceletCount = 66;
  // Facelets 0..45 are the outside of the cube; 46..65 the walls inside it along the layer
  // cuts, which close a turning layer and what it leaves behind.
  static constexpr int kOuterFacelets = 46;
  static constexpr int kFirstLayerWall = 50;  // the undersides of the layers' pieces
  static constexpr int kSharedCorners = 100;
  static constexpr int kPieces = 18;

  explicit CSquareOnePuzzle(int argument = 0);

  void Read(CUBuffer& b) override;
  void ResetView(int width, int height) override;
  void SortFacelets() override;
  int GetMoveStep(int move) override;
  int GetMoveFrames(int move) override;
  void UpdateSolved() override;
  void DoMove(int move, BOOL notify) override;
  void ResetColours() override;
  void GetMoveRotation(CFixMatrix& matrix, int move, int angle) override;
  void MarkMovingFacelets(int k) override;
  BOOL ShowInnerFacelet(int index) override;
  BOOL CanMove(int move) override;

  // The piece (0..17: top layer, bottom layer, the two middle halves) a facelet belongs to;
  // -1 for an id no facelet has.
  int PieceOf(int facelet) const;

 protected:
  void BuildSolvedFacelets() override;

 private:
  struct CPlace {
    CFixVector centroid;
    int colour;
  };

  void AddCorners();
  void AddFacelets();
  void AddTurns();
  void RememberSolvedPlaces();
  int SearchLayerFrames(int move);
  bool IsCutThroughAPiece(int k);
  void ForgetSearch() { m_searchedMove = 0; }
  // Painting order of the pieces, far to near, for a viewer in direction `toViewer` (model
  // coordinates); `pieces` are painted in the order returned.
  std::vector<int> OrderPieces(const std::vector<int>& pieces, const double toViewer[3]) const;

  std::vector<int> m_pieceOf;
  // Where each facelet of a solved puzzle lies and its colour there.
  std::vector<CPlace> m_places;
  // The frame count of the last searched layer turn, until the geometry changes.
  int m_searchedMove = 0;
  int m_searchedFrames = 0;
};
