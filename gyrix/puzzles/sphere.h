// The sphere (type id 5): four horizontal layers and eight 45-degree sectors. A layer turns one
// sector about the vertical axis; the half of the sphere between two opposite meridians flips
// over about a horizontal axis. Facelet f lies in layer f / 32 and sector (f / 2) % 8, and the
// sectors are coloured like the slices of an orange.
#pragma once

#include <gyrix/engine/puzzle.h>

#include <vector>

class CSpherePuzzle : public CPuzzle {
 public:
  static constexpr int kLayers = 4;
  static constexpr int kSectors = 8;
  static constexpr int kFacelets = 128;
  static constexpr int kLayerTurns = 4;
  static constexpr int kTurns = 12;

  // The argument is unused; the catalogue passes -1.
  explicit CSpherePuzzle(int argument = -1);

  static int LayerOf(int facelet) { return facelet / 32; }
  static int SectorOf(int facelet) { return (facelet / 2) % kSectors; }

  // Reading a file that lacks the cut faces gives them back.
  void Read(CUBuffer& b) override;
  void DrawFaceletExtra(CDC* dc, CDib* dib, CFacelet* facelet, const POINT* points) override;
  int GetMoveStep(int move) override;
  int GetMoveFrames(int move) override;
  void UpdateSolved() override;
  int MoveFromDrag(int fromFacelet, int toFacelet) override;
  void ResetColours() override;
  // A frame with the cut faces painted in the cut between the turning part and the rest, so
  // that the seam between them never shows as a hole.
  void DrawMoveFrame(CDC* dc, CDib* dib, int move, int angle) override;
  void GetMoveRotation(CFixMatrix& matrix, int move, int angle) override;

  // While turn k (a move-list index) runs the sphere is in parts along the turn's axis: part
  // 0 lowest, part 1 the turning layer (or half), part 2 the layers above it.
  static int PartAlongAxis(int k, int facelet, bool moving);
  // The cut face (inner facelet id) under part `part` (1 or 2) of turn k; -1 for none.
  static int CutBelow(int k, int part);

 private:
  void AddVertices();
  void AddFacelets();
  void AddTurns();
  void AddCutFaces();

  bool m_paintingCut = false;  // the boundary lines belong to the surface only
};
