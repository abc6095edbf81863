// Anti-aliased painting with exact coverage. Shapes are given back to front (the order a
// painter would paint them in), then painted front to back: each pixel hands out what is left
// of it to the next shape in proportion to the area that shape covers, so two polygons that
// share an edge fill its pixels exactly once between them (no seam, no fringe of background),
// and what no shape covers shows the picture beneath.
//
// The area a polygon covers in a pixel is found by accumulating, per pixel, the signed area
// each edge leaves to its right on that scanline; a running sum along the row then gives the
// covered fraction of every pixel exactly. Only the cells edges touch are summed one by one;
// between them the coverage stays the same and the pixels are painted as a run. Pixels a
// shape covers whole go straight into the picture; only those covered in part are shared out
// pixel by pixel.
#pragma once

#include <platform/image32.h>
#include <platform/types.h>

#include <cstdint>
#include <vector>

struct PointF {
  float x = 0;
  float y = 0;
};

class CCoveragePainter {
 public:
  // A fill or stroke colour that paints nothing.
  static constexpr COLORREF kNoColour = 0xFFFFFFFF;

  // Forgets the shapes given; later shapes are clipped to clip (pixels of the picture).
  void Begin(const RECT& clip);
  // A closed polygon filled with fill, its edges stroked strokeWidth pixels wide (centred on
  // the edge, square ends so corners close) in stroke. The stroke lies over the fill.
  void AddPolygon(const PointF* points, int count, COLORREF fill, float strokeWidth = 0,
                  COLORREF stroke = kNoColour);
  // Several closed loops filled together with the alternate rule: a loop inside another is a
  // hole. counts holds the number of points of each loop, the loops' points follow each other.
  void AddPolyPolygon(const PointF* points, const int* counts, int loops, COLORREF fill);
  // A straight line from a to b, width pixels wide, ends cut square at a and b.
  void AddLine(PointF a, PointF b, float width, COLORREF colour);
  int GetShapeCount() const { return static_cast<int>(m_shapes.size()); }
  // The pixels the shapes given may touch, within the clip; empty when there are none.
  RECT GetBounds() const;
  // Paints the shapes given into the picture, over what it holds; the shapes stay given.
  void Paint(CImage32& picture);

 private:
  struct Shape {
    int first = 0;  // into m_points
    int count = 0;
    COLORREF fill = kNoColour;
    float strokeWidth = 0;
    COLORREF stroke = kNoColour;
    bool line = false;  // an open segment of two points, stroked without end caps
    int firstLoop = 0;  // into m_loops; loops 0: one loop of count points, nonzero rule
    int loops = 0;      // more loops, filled with the alternate rule
    RECT box{};         // pixels it may touch, clipped
  };
  // The cells an edge wrote on one scanline, first to last.
  struct Span {
    int y = 0;
    int first = 0;
    int last = 0;
  };
  // A shape's coverage scratch: one row of cells per scanline, two spare cells at the right.
  // Only the cells edges touch are ever nonzero; the spans tell which they are.
  struct Coverage {
    std::vector<float> cells;
    int stride = 0;
    std::vector<Span> spans;
    void Prepare(int width, int height);
    // Accumulates the area the edge from p to q leaves to its right, in the scratch's pixels.
    void AddEdge(PointF p, PointF q, int width, int height);
  };
  // A pixel a shape covers only in part, or with both its outline and its fill, kept to be
  // shared out front to back once every shape has been scanned.
  struct Partial {
    int x = 0;  // within m_stateBox
    int y = 0;
    int shape = 0;
    std::uint8_t stroke = 0;
    std::uint8_t fill = 0;
  };

  void AddStroke(const PointF* points, int count, bool closed, bool caps, float halfWidth, PointF origin,
                 int width, int height);
  void ScanShape(const Shape& shape, int index, CImage32& picture);
  void SortSpansByRow(int height);
  void SharePartials(CImage32& picture);

  RECT m_clip{};
  std::vector<Shape> m_shapes;
  std::vector<PointF> m_points;
  std::vector<int> m_loops;
  // While painting, over the bounds: which shape painted a pixel whole (m_ownerBase plus its
  // index; smaller values are from earlier paintings and mean none), and the colour gathered
  // so far on a pixel shared by several shapes (premultiplied; in the top byte how much of
  // the pixel has been handed out, 0..255). The shared colours are zero between paintings.
  std::vector<std::uint32_t> m_owner;
  std::uint32_t m_ownerBase = 0;
  std::vector<std::uint32_t> m_state;
  std::vector<Partial> m_partials;
  std::vector<Partial> m_touched;
  RECT m_stateBox{};
  Coverage m_fillCover;
  Coverage m_strokeCover;
  // One shape's spans of both scratches, in rows: those of row y start at m_rowStart[y].
  std::vector<Span> m_rowSpans;
  std::vector<int> m_rowStart;
  std::vector<int> m_rowNext;
};
