// Painting: one facelet, the model at rest, one frame of a running turn, and marking lines.
// Facelets are painted far to near with flat colours; facelets turned away are skipped.
#include <gyrix/engine/puzzle.h>
#include <gyrix/engine/symbols.h>

#include <lumex/dib.h>
#include <platform/dc.h>

#include <vector>

// The 16 standard colours, black to white: marking lines and the colour picker use them.
const COLORREF CPolyModel::cm_standardColours[16] = {
    0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
    0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF,
};

// ---- CPolyModel ----

void CPolyModel::PaintFacelet(CDC* dc, CDib* dib, CFacelet* facelet, int list, BOOL cull, BOOL noOutline) {
  if (!dc || !facelet) return;
  const bool front = facelet->Project(list);
  if (cull && !front) return;

  CPen* previousPen = nullptr;
  if (noOutline) previousPen = dc->SelectObject(static_cast<CPen*>(GetStockObject(NULL_PEN)));
  CBrush solid;
  CBrush* brush = static_cast<CBrush*>(GetStockObject(NULL_BRUSH));
  if (facelet->GetColour() != -1) {
    solid.CreateSolidBrush(GetPaletteEntry(facelet->GetColour()));
    brush = &solid;
  }
  CBrush* previousBrush = dc->SelectObject(brush);
  dc->Polygon(facelet->GetPoints(), facelet->GetVertexCount());
  if (!noOutline && m_outlineWidth > 1) {
    dc->SelectObject(static_cast<CBrush*>(GetStockObject(NULL_BRUSH)));
    std::vector<POINT> shifted(facelet->GetPoints(), facelet->GetPoints() + facelet->GetVertexCount());
    for (int step = 1; step < m_outlineWidth; ++step) {
      for (POINT& p : shifted) p.x += 1;
      dc->Polygon(shifted.data(), static_cast<int>(shifted.size()));
      for (POINT& p : shifted) p.y += 1;
      dc->Polygon(shifted.data(), static_cast<int>(shifted.size()));
    }
  }
  dc->SelectObject(previousBrush);
  if (noOutline) dc->SelectObject(previousPen);
  if (m_showSymbols && front) PaintFaceletSymbol(dc, facelet, list);

  DrawFaceletExtra(dc, dib, facelet, facelet->GetPoints());
}

void CPolyModel::PaintFaceletSymbol(CDC* dc, CFacelet* facelet, int list) {
  if (!dc || !facelet || facelet->GetColour() < 1) return;
  thread_local std::vector<POINT> points;
  thread_local std::vector<int> counts;
  if (!ComputeFaceletSymbol(*this, *facelet, list, points, counts)) return;
  CBrush ink;
  ink.CreateSolidBrush(GetSymbolInk(GetPaletteEntry(facelet->GetColour())));
  CBrush* previousBrush = dc->SelectObject(&ink);
  CPen* previousPen = dc->SelectObject(static_cast<CPen*>(GetStockObject(NULL_PEN)));
  // A ring's or a frame's inner loop is its hole.
  const int previousMode = dc->SetPolyFillMode(ALTERNATE);
  dc->PolyPolygon(points.data(), counts.data(), static_cast<int>(counts.size()));
  dc->SetPolyFillMode(previousMode);
  dc->SelectObject(previousPen);
  dc->SelectObject(previousBrush);
}

void CPolyModel::Draw(CDC* dc, CDib* dib) {
  if (!m_viewValid) UpdateView();
  if (!m_orderValid) SortFacelets();
  const int count = GetFaceletCount();
  for (int i = 0; i < count; ++i) PaintFacelet(dc, dib, GetFacelet(i), kViewVertices, TRUE, FALSE);
}

void CPolyModel::DrawFaceletExtra(CDC* /*dc*/, CDib* /*dib*/, CFacelet* /*facelet*/, const POINT* /*points*/) {}

void CPolyModel::DrawLine(CDC* dc, POINT a, POINT b, int colourNumber) {
  if (!dc) return;
  // Only 16 colours exist; larger numbers wrap instead of reading past the table.
  CPen pen(PS_SOLID, 1, cm_standardColours[(colourNumber & 0xFF) % 16]);
  CPen* previous = dc->SelectObject(&pen);
  dc->MoveTo(a);
  dc->LineTo(b);
  dc->SelectObject(previous);
}

// ---- CPuzzle: one frame of a turn ----

void CPuzzle::DrawMoveFrame(CDC* dc, CDib* dib, int move, int angle) {
  CFixMatrix turn;
  GetMoveRotation(turn, move, angle);
  const int k = move != 0 ? GetAnimatedMove(move) : -1;
  if (k < 0) return;
  const std::uint32_t bit = 1u << MaskBit(k);

  // The turn's rotation first, then the view.
  turn.Multiply(GetViewMatrix());
  turn.TransformList(ModelVertices(), FrameVertices());
  UpdateView();
  // The painting order is the one of the turn being painted, also when no turn is running
  // (a single frame painted on request).
  const int running = m_currentMove;
  m_currentMove = move;
  SortFacelets();
  m_currentMove = running;

  CMove* turnMove = GetMove(k);
  const int count = GetFaceletCount();
  const int inserts = turnMove->GetInsertCount();
  for (int i = 0; i < count; ++i) {
    for (int n = 0; n < inserts; ++n) {
      const CMoveInsert* insert = turnMove->GetInsert(n);
      if (!insert || insert->position != i) continue;
      const int list = insert->vertexList == CMoveInsert::kFrameList ? kFrameVertices : kViewVertices;
      PaintFacelet(dc, dib, GetInnerFaceletAt(insert->innerFacelet), list, FALSE, FALSE);
    }
    CFacelet* f = GetFacelet(i);
    const bool moving = (GetMoveMask(f->GetId()) & bit) != 0;
    PaintFacelet(dc, dib, f, moving ? kFrameVertices : kViewVertices, TRUE, FALSE);
  }
}
