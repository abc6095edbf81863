// The n x n x n cube, n = 2..5 (type ids 0..3). Its facelets are numbered so that faces and
// layers follow from the id: the top face (n * n facelets, from the centre outwards), the side
// band (n rows of 4n, top row first, each going once around the cube), the bottom face. It has
// 3n layer turns (turn a * n + l turns layer l of axis a) and 3 whole-cube turns, and it is
// the one family that runs typed move notation.
#pragma once

#include <gyrix/engine/puzzle.h>
#include <gyrix/puzzles/builder.h>

#include <vector>

class CCubePuzzle : public CPuzzle {
 public:
  // Axis 0 is the model's Z axis, axis 1 the Y axis, axis 2 the X axis. Layer 1 of an axis
  // is its +Z, +Y and -X end respectively.
  static constexpr int kAxes = 3;
  static constexpr int kLetterCount = 15;
  static constexpr const char* kLetters = "LlmrRDdeuUFfMbB";
  static constexpr const char* kAmbiguousMessage = "Moves are ambiguous.  Please align the cube properly.";

  // n outside 2..5 makes the 3x3x3.
  explicit CCubePuzzle(int n);

  void SortFacelets() override;
  int GetMoveFrames(int move) override;
  void UpdateSolved() override;
  BOOL GetMoveAxis(int k, CFixVector& a, CFixVector& b) override;
  int GetCapabilities() override;
  BOOL JoystickTurn(float x, float y, float z, int buttons) override;
  BOOL ExecuteMacro(const char* text) override;
  int MoveFromDrag(int fromFacelet, int toFacelet) override;
  void ResetColours() override;
  void GetMoveRotation(CFixMatrix& matrix, int move, int angle) override;

  // How the cube is seen: the faces (0..5) that the left, top and right probes of the drawing
  // meet first; 0 when a probe misses the cube.
  virtual BOOL FindOrientation(int& left, int& top, int& right);

  // Where a facelet lies: its face (0 top, 1..4 around the side band, 5 bottom), and in the
  // side band its row (1..n, top first) and ring position (1..4n); 0 off the band.
  int GetFace(int facelet) const;
  int GetRow(int facelet) const;
  int GetRingPosition(int facelet) const;

  // Axis (0..2) and layer (1..n) of a layer turn; whole-cube turns give layer 0. False for a
  // turn number out of range.
  bool GetTurnAxis(int move, int& axis, int& layer) const;

  // The turn of each notation letter (in the order of kLetters) for a cube seen with these
  // faces at left, top and right; false when the view is not one of the 24 orientations.
  bool FillLetterMap(int left, int top, int right, int map[kLetterCount]) const;
  // The turns that notation text names, with the letter map; unknown characters are skipped.
  static std::vector<int> ParseMoves(const char* text, const int map[kLetterCount]);
  // The notation text of a joystick deflection and button mask (empty for none).
  static CUString JoystickText(float x, float y, float z, int buttons);

 private:
  void AddVertices();
  void AddFacelets();
  void AddFaceCells(int z, bool top);
  void AddSideBand();
  void AddLayerTurns();
  void AddWholeCubeTurns();
  void AddInnerFaces();

  // The facelets of a layer (1..n) of an axis.
  CTurnPart LayerPart(int axis, int layer) const;
  // The vertex at whole-unit coordinates, or -1.
  int FindVertex(int x, int y, int z) const;

  // The cut square between layers `cut` and `cut` + 1 of an axis, as vertex indices.
  std::vector<int> CutPolygon(int axis, int cut) const;
  void AimInnerFace(CFacelet* inner, const std::vector<int>& polygon) const;
  // The inner face showing that cut; when none has it, one of the faces is re-aimed at it
  // (never `avoid`). -1 when the puzzle has no usable inner face.
  int InnerFaceForCut(int axis, int cut, int avoid);
  void RestoreInnerFaces();
  // Depth in view space of the layer-1 end of the axis against the layer-n end.
  bool LayerOneNearer(int axis);
  // The side-band ring that a facelet lies on for each axis: layer turn number and position.
  void RingPlace(int facelet, int axis, int& layer, int& position) const;

  int m_n;
  int m_half;  // half the edge length in model units
  int m_step;  // edge of one facelet
  CFaceletGroups m_faces = CFaceletGroups(6);  // facelet ids by face
};
