// The slider (type id 29): a sphere whose middle is a cylinder of four bands of eight tiles.
// A band turns by whole tiles; a tile slides along its column into the one empty place. It is
// solved when every column shows one colour. Mode 1 turns all four bands, mode 2 only the top
// and bottom band (the middle two change by sliding alone).
//
// Turn numbers: 1..4 turn band 1..4 by one tile; ring turn t (1..16) turns band
// ((t - 1) mod 4) + 1 by (t - 1) / 4 + 1 tiles; 17..64 are slides. Slide 17 + 6c + p moves
// the tiles of column c from the upper row of pair p to the lower one (pairs of rows, top row
// 0: (0,1) (0,2) (0,3) (1,2) (1,3) (2,3)); its negative moves them back up. Every number fits
// the history's byte, and undoing a slide is the slide back.
#pragma once

#include <gyrix/engine/puzzle.h>

class CSliderPuzzle : public CPuzzle {
 public:
  static constexpr int kFacelets = 256;
  static constexpr int kRows = 4;
  static constexpr int kColumns = 8;
  static constexpr int kTiles = kRows * kColumns;
  static constexpr int kFirstTileFacelet = 64;
  static constexpr int kRingTurns = 16;
  static constexpr int kFirstSlide = 17;
  static constexpr int kLastSlide = kFirstSlide + kColumns * 6 - 1;  // 64

  // The argument is unused; the catalogue passes -1.
  explicit CSliderPuzzle(int argument = -1);

  // Tile t holds facelets 64 + 4t .. 64 + 4t + 3 (the last one the black separator), in row
  // t / 8 and column t % 8. -1 for a facelet outside the tiles.
  static int TileOf(int facelet);
  static int FirstFacelet(int tile) { return kFirstTileFacelet + 4 * tile; }
  static bool IsSeparator(int facelet) { return TileOf(facelet) >= 0 && (facelet - kFirstTileFacelet) % 4 == 3; }
  // The slide number of a move of column c's tiles from row `from` to the empty row `to`; 0
  // for equal or invalid rows.
  static int SlideNumber(int column, int from, int to);
  // The column and rows of a slide number; false for any other number.
  static bool DecodeSlide(int move, int& column, int& from, int& to);

  // The tile that is empty (colour 0), the first if there were several; -1 for none.
  int GetEmptyTile() const;
  int GetTileColour(int tile) const { return GetFaceletColour(FirstFacelet(tile)); }

  // Facelets are painted without the outline pen: each tile's own outline is drawn round
  // its three facelets instead, and the empty place is outlined in grey.
  void Draw(CDC* dc, CDib* dib) override;
  void DrawFaceletExtra(CDC* dc, CDib* dib, CFacelet* facelet, const POINT* points) override;
  // Deals the tiles at random instead of turning.
  void Scramble() override;
  int GetMoveStep(int move) override;
  int GetMoveFrames(int move) override;
  BOOL SetMode(int mode) override;
  void UpdateSolved() override;
  // Ring turns 1..16 and slides into the empty place; anything else is refused.
  BOOL StartMove(CWnd* wnd, int move) override;
  // Ring turns take any angle; a slide moves its tiles by whole thirds of a row.
  BOOL CanDrawAnyAngle(int move) override { return GetAnimatedMove(move) >= 0; }
  void DoMove(int move, BOOL notify) override;
  int MoveFromDrag(int fromFacelet, int toFacelet) override;
  // A slide carries the tiles from the pressed one on into the empty place: all of them, and
  // the place they fill.
  std::vector<int> GetTurningFacelets(int move) override;
  void ResetColours() override;
  // A ring turn rotates its band; a slide shows its tiles moving into the empty place.
  void DrawMoveFrame(CDC* dc, CDib* dib, int move, int angle) override;
  void GetMoveRotation(CFixMatrix& matrix, int move, int angle) override;
  // A ring turn animates with its band's one-tile turn; a slide has no move-list entry.
  int GetAnimatedMove(int move) override;
  // Bands have no cut faces: a band turns inside the cylinder it is part of.
  int GetInnerFacelet(int k) override;

  // Whether turn `move` can be made now: a ring turn, or a slide whose destination is empty.
  bool CanMove(int move) const;

 private:
  void AddVertices();
  void AddFacelets();
  void AddBandTurns();
  void DrawSlideFrame(CDC* dc, CDib* dib, int move, int frame);
  // Paints every facelet in painting order, those with mask bit `bit` from the frame vertices.
  void PaintFacelets(CDC* dc, CDib* dib, std::uint32_t bit);
};
