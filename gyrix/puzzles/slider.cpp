#include <gyrix/puzzles/slider.h>

#include <gyrix/puzzles/builder.h>
#include <gyrix/puzzles/catalogue.h>

#include <cordak/urand.h>
#include <platform/wnd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kTypeId = 29;
constexpr int kSegments = 32;  // vertices per ring, facelets per band
constexpr int kRings = 7;
constexpr int kNorthPole = 0;
constexpr int kSouthPole = 1 + kRings * kSegments;  // 225
constexpr int kBands = kRings - 1;
constexpr int kTileFacelets = 4;  // three coloured facelets and the separator

// Ring turns: 11 degrees a frame, 4 frames a tile. Slides: 3 frames.
constexpr int kStep = 11;
constexpr int kFramesPerTile = 4;
constexpr int kSlideFrames = 3;

// Colours a deal hands out: the empty place once, colours 1..7 on four tiles, 8 on three.
constexpr int kColourCount = 9;
constexpr int kDealCounts[kColourCount] = {1, 4, 4, 4, 4, 4, 4, 4, 3};

// Outline of a tile, and of the empty place so that it shows in the black of the sphere.
constexpr int kTileOutline = 0;    // black
constexpr int kEmptyOutline = 8;   // grey

// Pairs of rows a slide runs between, upper row first; a slide's number counts them.
constexpr int kRowPairs[6][2] = {{0, 1}, {0, 2}, {0, 3}, {1, 2}, {1, 3}, {2, 3}};

int RingStart(int r) { return 1 + (r - 1) * kSegments; }

}  // namespace

CSliderPuzzle::CSliderPuzzle(int /*argument*/) : CPuzzle(kFacelets) {
  m_typeId = kTypeId;
  m_mode = 1;
  AddVertices();
  AddFacelets();
  ApplyTypeLooks(*this, m_typeId);
  AddBandTurns();
  ResetColours();
}

// ---- construction ----

// The poles; rings of 32 at latitudes 3/8 pi and pi/4; three rings straight below the pi/4
// ring at its radius, a cylinder in steps of half that ring's height (down to its mirror
// image); rings at -pi/4 and -3/8 pi.
void CSliderPuzzle::AddVertices() {
  const double h = std::sin(M_PI / 4);
  const double cylinder = std::cos(M_PI / 4);
  struct Ring {
    double radius;
    double z;
  };
  const Ring rings[kRings] = {{std::cos(3 * M_PI / 8), std::sin(3 * M_PI / 8)},
                              {cylinder, h},
                              {cylinder, h / 2},
                              {cylinder, 0},
                              {cylinder, -h / 2},
                              {cylinder, -h},
                              {std::cos(3 * M_PI / 8), -std::sin(3 * M_PI / 8)}};
  AddVertex(0.0f, 0.0f, 1.0f);
  for (const Ring& ring : rings) {
    for (int j = 0; j < kSegments; ++j) {
      const double longitude = 2 * M_PI * j / kSegments;
      AddVertex(static_cast<float>(ring.radius * std::cos(longitude)),
                static_cast<float>(ring.radius * std::sin(longitude)), static_cast<float>(ring.z));
    }
  }
  AddVertex(0.0f, 0.0f, -1.0f);
}

// The north cap's triangles, six bands of quadrilaterals (the middle four hold the tiles),
// the south cap's triangles; each ring of facelets runs with rising longitude.
void CSliderPuzzle::AddFacelets() {
  for (int j = 0; j < kSegments; ++j) {
    const int cap[3] = {kNorthPole, RingStart(1) + j, RingStart(1) + (j + 1) % kSegments};
    AddFacelet(cap, 3);
  }
  for (int band = 1; band <= kBands; ++band) {
    const int top = RingStart(band);
    for (int j = 0; j < kSegments; ++j) {
      const int k = (j + 1) % kSegments;
      const int quad[4] = {top + j, top + j + kSegments, top + k + kSegments, top + k};
      AddFacelet(quad, 4);
    }
  }
  for (int j = 0; j < kSegments; ++j) {
    const int cap[3] = {RingStart(kRings) + j, kSouthPole, RingStart(kRings) + (j + 1) % kSegments};
    AddFacelet(cap, 3);
  }
}

// Turn b + 1 moves every tile of row b one column on: the four 8-cycles of the ring table,
// one per facelet place in a tile.
void CSliderPuzzle::AddBandTurns() {
  std::vector<int> perm(kFacelets);
  for (int row = 0; row < kRows; ++row) {
    for (int i = 0; i < kFacelets; ++i) perm[i] = i;
    for (int j = 0; j < kTileFacelets; ++j)
      for (int c = 0; c < kColumns; ++c)
        perm[FirstFacelet(row * kColumns + c) + j] = FirstFacelet(row * kColumns + (c + 1) % kColumns) + j;
    AddMove(perm.data(), -1);
  }
}

// ---- tiles and slide numbers ----

int CSliderPuzzle::TileOf(int facelet) {
  if (facelet < kFirstTileFacelet || facelet >= kFirstTileFacelet + kTileFacelets * kTiles) return -1;
  return (facelet - kFirstTileFacelet) / kTileFacelets;
}

int CSliderPuzzle::SlideNumber(int column, int from, int to) {
  if (column < 0 || column >= kColumns) return 0;
  for (int p = 0; p < 6; ++p) {
    if (kRowPairs[p][0] == from && kRowPairs[p][1] == to) return kFirstSlide + 6 * column + p;
    if (kRowPairs[p][1] == from && kRowPairs[p][0] == to) return -(kFirstSlide + 6 * column + p);
  }
  return 0;
}

bool CSliderPuzzle::DecodeSlide(int move, int& column, int& from, int& to) {
  const int q = std::abs(move) - kFirstSlide;
  if (q < 0 || std::abs(move) > kLastSlide) return false;
  column = q / 6;
  from = kRowPairs[q % 6][move > 0 ? 0 : 1];
  to = kRowPairs[q % 6][move > 0 ? 1 : 0];
  return true;
}

int CSliderPuzzle::GetEmptyTile() const {
  for (int t = 0; t < kTiles; ++t)
    if (GetTileColour(t) == 0) return t;
  return -1;
}

// ---- colours, dealing and the solved test ----

void CSliderPuzzle::ResetColours() {
  for (int f = 0; f < GetFaceletCount(); ++f) SetFaceletColour(f, 0);
  for (int t = 0; t < kTiles - 1; ++t)
    for (int j = 0; j < kTileFacelets - 1; ++j) SetFaceletColour(FirstFacelet(t) + j, t % kColumns + 1);
}

// Tiles are dealt row by row from a shuffled-out stock: a colour is drawn among those that
// still have tiles.
void CSliderPuzzle::Scramble() {
  int left[kColourCount];
  for (int c = 0; c < kColourCount; ++c) left[c] = kDealCounts[c];
  int available = kColourCount;
  for (int t = 0; t < kTiles; ++t) {
    const int r = DrawRandom(0, available - 1);
    int colour = r;
    if (left[r] == 0) {
      for (int c = 0, seen = 0; c < kColourCount; ++c) {
        if (left[c] == 0) continue;
        if (seen++ == r) {
          colour = c;
          break;
        }
      }
    }
    if (--left[colour] == 0) --available;
    for (int j = 0; j < kTileFacelets - 1; ++j) SetFaceletColour(FirstFacelet(t) + j, colour);
  }
  BeginScrambledGame();
  m_solved = 0;
  m_scramblePending = 1;
}

// Every column shows one colour besides the empty place.
void CSliderPuzzle::UpdateSolved() {
  m_solved = 0;
  for (int c = 0; c < kColumns; ++c) {
    int colour = 0;
    for (int row = 0; row < kRows; ++row) {
      const int here = GetTileColour(row * kColumns + c);
      if (here == 0) continue;
      if (colour != 0 && here != colour) return;
      colour = here;
    }
  }
  m_solved = 1;
}

BOOL CSliderPuzzle::SetMode(int mode) {
  if (mode < 1 || mode > 2) return 0;
  m_mode = mode;
  Reset();
  return 1;
}

// ---- turns and slides ----

int CSliderPuzzle::GetMoveStep(int /*move*/) { return kStep; }

int CSliderPuzzle::GetMoveFrames(int move) {
  const int t = std::abs(move);
  if (t >= 1 && t <= kRingTurns) return kFramesPerTile * ((t - 1) / kRows + 1);
  if (t >= kFirstSlide && t <= kLastSlide) return kSlideFrames;
  return 0;
}

int CSliderPuzzle::GetAnimatedMove(int move) {
  const int t = std::abs(move);
  if (t < 1 || t > kRingTurns) return -1;
  const int k = (t - 1) % kRows;
  return k < GetMoveCount() ? k : -1;
}

int CSliderPuzzle::GetInnerFacelet(int /*k*/) { return -1; }

void CSliderPuzzle::GetMoveRotation(CFixMatrix& matrix, int move, int angle) {
  if (GetAnimatedMove(move) < 0) return;
  RotateAbout(matrix, kAxisZ, move < 0 ? -angle : angle);
}

bool CSliderPuzzle::CanMove(int move) const {
  if (const_cast<CSliderPuzzle*>(this)->GetAnimatedMove(move) >= 0) return true;
  int column = 0, from = 0, to = 0;
  if (!DecodeSlide(move, column, from, to)) return false;
  return GetTileColour(to * kColumns + column) == 0 && GetTileColour(from * kColumns + column) != 0;
}

BOOL CSliderPuzzle::StartMove(CWnd* wnd, int move) {
  if (m_currentMove != 0) return 0;
  if (!CanMove(move)) {
    m_playing = 0;
    return 0;
  }
  if (GetAnimatedMove(move) >= 0) return CPuzzle::StartMove(wnd, move);
  m_currentMove = move;
  m_frame = 0;
  if (!wnd || !wnd->GetSafeHwnd() || !wnd->SetTimer(kAnimationTimer, static_cast<UINT>(m_animationInterval)))
    CompleteMove(wnd);
  return 1;
}

// A ring turn is its band's one-tile turn made once per tile. A slide moves the tiles between
// the start row and the empty place one row on, nearest the empty place first, and leaves the
// start row empty.
void CSliderPuzzle::DoMove(int move, BOOL notify) {
  const int k = GetAnimatedMove(move);
  if (k >= 0) {
    const int tiles = (std::abs(move) - 1) / kRows + 1;
    for (int i = 0; i < tiles; ++i) CPuzzle::DoMove(move < 0 ? -(k + 1) : k + 1, 0);
  } else {
    int column = 0, from = 0, to = 0;
    if (!CanMove(move) || !DecodeSlide(move, column, from, to)) return;
    const int towardsStart = from < to ? -1 : 1;
    for (int row = to; row != from; row += towardsStart) {
      const int source = FirstFacelet((row + towardsStart) * kColumns + column);
      for (int j = 0; j < kTileFacelets - 1; ++j)
        SetFaceletColour(FirstFacelet(row * kColumns + column) + j, GetFaceletColour(source + j));
    }
    for (int j = 0; j < kTileFacelets - 1; ++j) SetFaceletColour(FirstFacelet(from * kColumns + column) + j, 0);
  }
  if (notify) UpdateSolved();
}

// Along a band by one to three tiles turns the band that way (not half way round); from a tile
// onto the empty place in its column slides it there.
int CSliderPuzzle::MoveFromDrag(int a, int b) {
  if (a == b) return 0;
  const int ta = TileOf(a), tb = TileOf(b);
  if (ta < 0 || tb < 0) return 0;
  const int row = ta / kColumns;
  if (row == tb / kColumns && (a - kFirstTileFacelet) % kTileFacelets == (b - kFirstTileFacelet) % kTileFacelets) {
    if (m_mode == 2 && row != 0 && row != kRows - 1) return 0;
    const int k = ((tb - ta) % kColumns + kColumns) % kColumns;
    if (k == 4) return 0;
    if (k <= 3) return (row + 1) + kRows * (k - 1);
    return -((row + 1) + kRows * (kColumns - k - 1));
  }
  // The press tile must carry a colour: from the empty place itself there is nothing to slide.
  if (IsSeparator(b) || GetFaceletColour(b) != 0 || GetTileColour(ta) == 0) return 0;
  if (ta % kColumns != tb % kColumns) return 0;
  return SlideNumber(ta % kColumns, row, tb / kColumns);
}

std::vector<int> CSliderPuzzle::GetTurningFacelets(int move) {
  int column = 0, from = 0, to = 0;
  if (!DecodeSlide(move, column, from, to)) return CPuzzle::GetTurningFacelets(move);
  std::vector<int> ids;
  const int towardsEmpty = from < to ? 1 : -1;
  for (int row = from; row != to + towardsEmpty; row += towardsEmpty)
    for (int j = 0; j < kTileFacelets - 1; ++j) ids.push_back(FirstFacelet(row * kColumns + column) + j);
  std::sort(ids.begin(), ids.end());
  return ids;
}

// ---- drawing ----

// The outline of each tile round its three coloured facelets: top and bottom edges of each,
// the left edge of the first and the right edge of the third.
void CSliderPuzzle::DrawFaceletExtra(CDC* dc, CDib* /*dib*/, CFacelet* facelet, const POINT* points) {
  if (!facelet || !points || facelet->GetVertexCount() != 4) return;
  const int f = facelet->GetId();
  const int tile = TileOf(f);
  if (tile < 0 || IsSeparator(f)) return;
  const int j = (f - kFirstTileFacelet) % kTileFacelets;
  const int colour = facelet->GetColour() == 0 ? kEmptyOutline : kTileOutline;
  PaintLine(dc, points[0], points[3], colour);
  PaintLine(dc, points[1], points[2], colour);
  if (j == 0) PaintLine(dc, points[0], points[1], colour);
  if (j == kTileFacelets - 2) PaintLine(dc, points[3], points[2], colour);
}

void CSliderPuzzle::PaintFacelets(CDC* dc, CDib* dib, std::uint32_t bit) {
  for (int i = 0; i < GetFaceletCount(); ++i) {
    CFacelet* f = GetFacelet(i);
    PaintFacelet(dc, dib, f, (GetMoveMask(f->GetId()) & bit) ? kFrameVertices : kViewVertices, TRUE, TRUE);
  }
}

void CSliderPuzzle::Draw(CDC* dc, CDib* dib) {
  if (!IsViewValid()) UpdateView();
  if (!IsOrderValid()) SortFacelets();
  PaintFacelets(dc, dib, 0);
}

// A band turns inside the cylinder it is part of: the band and the rest are painted in the
// order of the running turn, with no cut face between them.
void CSliderPuzzle::DrawMoveFrame(CDC* dc, CDib* dib, int move, int angle) {
  const int k = GetAnimatedMove(move);
  if (k < 0) {
    DrawSlideFrame(dc, dib, move, angle / kStep);
    return;
  }
  CFixMatrix turn;
  GetMoveRotation(turn, move, angle);
  turn.Multiply(GetViewMatrix());
  turn.TransformList(ModelVertices(), FrameVertices());
  UpdateView();
  const int running = m_currentMove;
  m_currentMove = move;
  SortFacelets();
  m_currentMove = running;
  PaintFacelets(dc, dib, 1u << MaskBit(k));
}

// The sliding tiles leave their places empty and are painted again over the cylinder, moved
// `frame` thirds of a row towards the empty place.
void CSliderPuzzle::DrawSlideFrame(CDC* dc, CDib* dib, int move, int frame) {
  int column = 0, from = 0, to = 0;
  if (!DecodeSlide(move, column, from, to)) return;
  const int towardsEmpty = from < to ? 1 : -1;
  std::vector<CFacelet*> sliding;
  std::vector<int> colours;
  for (int row = from; row != to; row += towardsEmpty) {
    for (int j = 0; j < kTileFacelets - 1; ++j) {
      CFacelet* f = GetFaceletById(FirstFacelet(row * kColumns + column) + j);
      if (!f) continue;
      sliding.push_back(f);
      colours.push_back(f->GetColour());
      f->SetColour(0);
    }
  }
  if (!IsViewValid()) UpdateView();
  if (!IsOrderValid()) SortFacelets();
  PaintFacelets(dc, dib, 0);
  for (size_t i = 0; i < sliding.size(); ++i) sliding[i]->SetColour(colours[i]);

  // Rows are a ring's height apart on the cylinder; down the column is towards -z.
  const CFixVector* upper = GetVertex(RingStart(2), kModelVertices);
  const CFixVector* lower = GetVertex(RingStart(3), kModelVertices);
  if (!upper || !lower) return;
  const std::int64_t rowHeight = std::int64_t(upper->z) - lower->z;
  const int shift = FixWrap(-towardsEmpty * rowHeight * std::min(frame, kSlideFrames) / kSlideFrames);
  for (int v = 0; v < GetVertexCount(); ++v) {
    CFixVector moved = *GetVertex(v, kModelVertices);
    moved.z = FixWrap(std::int64_t(moved.z) + shift);
    GetViewMatrix().Transform(moved, *GetVertex(v, kFrameVertices));
  }
  for (CFacelet* f : sliding) PaintFacelet(dc, dib, f, kFrameVertices, TRUE, TRUE);
}
