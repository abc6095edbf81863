// CPlaneCutPuzzle: puzzles whose turns rotate the geometry in front of a cutting plane. Their
// pieces change shape or shift, so no colour permutation describes a turn; instead the
// facelets keep their colours and their corners move, and which facelets a turn carries is
// worked out from the geometry before every turn.
//
// How a derived class builds itself:
//   1. CPlaneCutPuzzle(facelet count); the type id, palette and model size.
//   2. The shared corners (AddVertex): fixed points of the solid as built. Planes are made
//      from them and turned corners snap back onto them, so keep them more than a unit apart.
//   3. Per turn, in turn order: AddPlaneMove(a, b, c) with three shared corner indices (the
//      part where (b - a) x (c - a) points turns, and a drag counter-clockwise about that
//      normal turns positively), then AddInnerFacelet with the cut face, whose first three
//      corners are a, b, c. Keep normals moderate (components well below 181 units): the
//      on-plane band is half a unit of the unnormalised plane value.
//   3a. AddRestingPlace for every place a turned corner can reach that is no shared corner
//      (a puzzle whose turns change its shape reaches corners the solid as built lacks), so
//      that those corners snap too.
//   4. ResetColours(), which BuildSolvedFacelets() feeds: it adds the facelets on the shared
//      corners with their solved colours, and ResetColours then gives every facelet private
//      copies of its corners (SeparateVertices). Only private corners ever move. Reset and
//      the constructor both rebuild the solved geometry this way.
//   5. GetMoveRotation, GetMoveFrames/GetMoveStep and UpdateSolved; CanMove and
//      ShowInnerFacelet where the class restricts turns or hides cut faces.
#pragma once

#include <gyrix/engine/puzzle.h>

#include <vector>

class CPlaneCutPuzzle : public CPuzzle {
 public:
  explicit CPlaneCutPuzzle(int maskLength);
  ~CPlaneCutPuzzle() override;

  // The CPuzzle record, then the planes. A file must fit the class: the constructor's
  // shared corners, one private corner set per facelet, cut faces on shared corners, one
  // plane per turn; anything else is refused and the puzzle stays as it was.
  void Read(CUBuffer& b) override;
  void Write(CUBuffer& b) override;
  void Clear() override;

  // 12 accepted turns per turn of the puzzle, drawn at random among those CanMove allows.
  void Scramble() override;
  // Refused (0, and playback ends) for a turn out of range, one CanMove forbids now, or one
  // of no frames; otherwise marks the moving part and runs the turn.
  BOOL StartMove(CWnd* wnd, int move) override;
  // Rotates the part marked by the last MarkMovingFacelets by the full turn and snaps every
  // moved corner onto the shared corner it lands on, so positions stay exact.
  void DoMove(int move, BOOL notify) override;
  // The turn whose cut both facelets border with an edge, in the direction of the drag. A cut
  // the drag crosses half way round its axis (or along it) says no direction and is passed over.
  int MoveFromDrag(int fromFacelet, int toFacelet) override;
  // Rebuilds the solved geometry (see the recipe above).
  void ResetColours() override;
  // A frame of a turn that is not running (a picture of a turn) finds its moving part first,
  // as starting the turn would.
  void DrawMoveFrame(CDC* dc, CDib* dib, int move, int angle) override;
  // The part in front of the turn's plane, as starting the turn would mark it (nothing for a
  // turn the position blocks); the marks of a running turn stay as they are.
  std::vector<int> GetTurningFacelets(int move) override;
  // The moving part is nearer when the turn's cut face faces the viewer.
  BOOL IsMovingPartNearer(int k, CUObArray& moving, CUObArray& fixed) override;

  // 1 when a drag from facelet a to facelet b goes counter-clockwise about the normal of
  // plane k, seen from in front; 0 otherwise (also without cut face k).
  virtual BOOL GetDragDirection(int k, const CFacelet& a, const CFacelet& b);
  // Sets the move mask of every facelet: bit k when it lies in front of plane k, else 0.
  virtual void MarkMovingFacelets(int k);
  // Whether turn `move` is allowed in the current position (always, by default).
  virtual BOOL CanMove(int move);

  // The turn made at once without animation, when it is in range and allowed; 1 when made.
  BOOL MakeGuardedMove(int move);

  int GetPlaneCount() const { return m_planes.GetCount(); }
  const CFixPlane* GetPlane(int k) const { return static_cast<const CFixPlane*>(m_planes.GetAt(k)); }
  int GetSharedVertexCount() const { return m_sharedVertexCount; }
  // Every place a turned corner snaps onto: the shared corners, then the added resting places.
  std::vector<CFixVector> GetRestingPlaces() const;
  // Whether a facelet's centroid lies in front of plane k (half a unit of tolerance).
  bool IsFaceletInFront(int k, const CFacelet& facelet) const;
  // Whether the centroids of a and b, seen along the normal of plane k from its cut face's
  // centre, lie in one line with it (opposite or alike), or one lies on the axis.
  bool IsDragAcrossTheAxis(int k, const CFacelet& a, const CFacelet& b) const;

 protected:
  // Construction, for derived constructors.
  void AddPlaneMove(int a, int b, int c);
  // A turn cut by the plane through the first three corners, showing the polygon of all the
  // corners as its cut face (inner facelet k for turn k + 1).
  void AddCutTurn(const int* corners, int count) {
    AddPlaneMove(corners[0], corners[1], corners[2]);
    AddInnerFacelet(corners, count);
  }
  // A place turned corners snap onto besides the shared corners; not part of the model.
  void AddRestingPlace(const CFixVector& place) { m_restingPlaces.push_back(place); }
  // Marks the vertices there are now as shared and gives each facelet private copies.
  void SeparateVertices();
  // Removes the facelets' private corners; the facelets must be gone already.
  BOOL RemovePrivateVertices();
  // Adds the facelets on the shared corners, with their solved colours.
  virtual void BuildSolvedFacelets() {}

 private:
  bool IsTurnInRange(int move) const;
  bool FitsTheClass() const;
  void SnapOntoSharedCorner(CFixVector& v) const;

  CUObArray m_planes{0, 1};
  int m_sharedVertexCount = 0;
  std::vector<CFixVector> m_restingPlaces;
};
