// The display models: solids without turns that the player views, rotates and recolours.
// OctaStar, Tricosa, Barrel, DiagonalCube, Tetra, TetOcta, SuperX, TetraStar, the four
// polygons, Ultimate (nothing at all) and Crystal. Each constructor describes its model.
#pragma once

#include <gyrix/engine/puzzle.h>

#include <array>
#include <vector>

// What every display model shares: facelets given as points, each with its solved colour and
// the centre of the convex piece it bounds. A model that is one convex solid paints by the
// plain depth sort; a model of several convex pieces (a star's spikes) paints piece by piece,
// far to near by the depth of each piece's centre, so that a spike never covers a nearer one.
class CDisplayPuzzle : public CPuzzle {
 public:
  using Point = std::array<double, 3>;

  void ResetColours() override;
  void SortFacelets() override;
  // Nothing to scramble: the model stays solved and the clock stays still, where a scramble
  // of no turns would start a clock that no solution could ever stop.
  void Scramble() override;

  // A planar convex facelet through the points, wound to face away from `inside` (a point of
  // its convex piece), in solved colour `colour`. Returns its id.
  int AddFace(std::vector<Point> points, int colour, const Point& inside);
  // A facelet of a spike: as AddFace, and painted with the spike as one piece.
  int AddPieceFace(std::vector<Point> points, int colour, const Point& pieceCentre);

 protected:
  // Sets the type id (and size), the palette and the model size from the catalogue row.
  CDisplayPuzzle(int typeId, int size = 0);

 private:
  std::vector<int> m_colours;
  std::vector<Point> m_pieces;  // the piece centre of every facelet
  bool m_byPieces = false;
};

class COctaStarPuzzle : public CDisplayPuzzle {
 public:
  explicit COctaStarPuzzle(int argument = 0);
};

class CTricosaPuzzle : public CDisplayPuzzle {
 public:
  explicit CTricosaPuzzle(int argument = 0);
};

class CBarrelPuzzle : public CDisplayPuzzle {
 public:
  explicit CBarrelPuzzle(int argument = 0);
};

class CDiagonalCubePuzzle : public CDisplayPuzzle {
 public:
  explicit CDiagonalCubePuzzle(int argument = 0);
};

class CTetraPuzzle : public CDisplayPuzzle {
 public:
  explicit CTetraPuzzle(int argument = 0);
  void ResetView(int width, int height) override;
};

class CTetOctaPuzzle : public CDisplayPuzzle {
 public:
  explicit CTetOctaPuzzle(int argument = 0);
};

class CSuperXPuzzle : public CDisplayPuzzle {
 public:
  explicit CSuperXPuzzle(int argument = 0);
};

class CTetraStarPuzzle : public CDisplayPuzzle {
 public:
  explicit CTetraStarPuzzle(int argument = 0);
  void ResetView(int width, int height) override;
};

// n = 3, 5, 6 or 8 sides (anything else makes the triangle); n is kept as the size.
class CPolygonPuzzle : public CDisplayPuzzle {
 public:
  explicit CPolygonPuzzle(int sides = 3);
};

class CUltimatePuzzle : public CDisplayPuzzle {
 public:
  explicit CUltimatePuzzle(int argument = 0);
};

class CCrystalPuzzle : public CDisplayPuzzle {
 public:
  explicit CCrystalPuzzle(int argument = 0);
  void ResetView(int width, int height) override;
};
