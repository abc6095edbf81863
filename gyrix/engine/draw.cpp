// Painting: one facelet, the model at rest, one frame of a running turn, and marking lines.
// Facelets are painted far to near with flat colours; facelets turned away are skipped.
#include <gyrix/engine/puzzle.h>
#include <gyrix/engine/symbols.h>

#include <lumex/coverage.h>
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
  if (m_smooth) HandFaceletToPainter(dc, facelet, list, noOutline != 0);
  if (!m_smooth || m_smoothClassicToo) PaintFaceletClassic(dc, facelet, noOutline != 0);
  if (m_showSymbols && front) PaintFaceletSymbol(dc, facelet, list);
  DrawFaceletExtra(dc, dib, facelet, facelet->GetPoints());
}

void CPolyModel::PaintFaceletClassic(CDC* dc, CFacelet* facelet, bool noOutline) {
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
}

void CPolyModel::HandFaceletToPainter(CDC* dc, CFacelet* facelet, int list, bool noOutline) {
  facelet->ProjectExact(list, m_smoothExact);
  m_smoothCorners.assign(facelet->GetPoints(), facelet->GetPoints() + facelet->GetVertexCount());
  const COLORREF fill =
      facelet->GetColour() != -1 ? GetPaletteEntry(facelet->GetColour()) : CCoveragePainter::kNoColour;
  const CPen* pen = dc->GetCurrentPen();
  const bool outlined = !noOutline && pen && !pen->IsNull();
  m_smooth->AddPolygon(m_smoothExact.data(), static_cast<int>(m_smoothExact.size()), fill,
                       outlined ? static_cast<float>(m_outlineWidth) : 0.0f,
                       outlined ? pen->GetColor() & 0xFFFFFF : CCoveragePainter::kNoColour);
}

PointF CPolyModel::ExactPoint(POINT p) const {
  for (size_t i = 0; i < m_smoothCorners.size() && i < m_smoothExact.size(); ++i)
    if (m_smoothCorners[i].x == p.x && m_smoothCorners[i].y == p.y) return m_smoothExact[i];
  return PointF{static_cast<float>(p.x), static_cast<float>(p.y)};
}

void CPolyModel::SetSmoothPainter(CCoveragePainter* painter, bool classicToo) {
  m_smooth = painter;
  m_smoothClassicToo = classicToo;
  m_smoothCorners.clear();
  m_smoothExact.clear();
}

void CPolyModel::PaintFaceletSymbol(CDC* dc, CFacelet* facelet, int list) {
  if (!dc || !facelet || facelet->GetColour() < 1) return;
  thread_local std::vector<POINT> points;
  thread_local std::vector<int> counts;
  thread_local std::vector<PointF> exact;
  if (!ComputeFaceletSymbol(*this, *facelet, list, points, counts, m_smooth ? &exact : nullptr)) return;
  const COLORREF inkColour = GetSymbolInk(GetPaletteEntry(facelet->GetColour()));
  if (m_smooth) m_smooth->AddPolyPolygon(exact.data(), counts.data(), static_cast<int>(counts.size()), inkColour);
  if (m_smooth && !m_smoothClassicToo) return;
  CBrush ink;
  ink.CreateSolidBrush(inkColour);
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

void CPolyModel::PaintLine(CDC* dc, POINT a, POINT b, int colourNumber) {
  if (!dc) return;
  if (m_smooth)
    m_smooth->AddLine(ExactPoint(a), ExactPoint(b), 1.0f, cm_standardColours[(colourNumber & 0xFF) % 16]);
  if (!m_smooth || m_smoothClassicToo) DrawLine(dc, a, b, colourNumber);
}

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
