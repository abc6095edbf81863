// CPainter: an anti-aliased true-colour canvas for drawing the program's pictures. Shapes are
// scan-converted by the drawing layer's CDC into a finer mask bitmap, and the share of each
// pixel a shape covers decides how much of its colour the pixel takes. Colours come from a
// shader, so a shape can carry a gradient or a texture. Pixels never painted stay transparent.
#pragma once

#include <lumex/dib.h>
#include <platform/dc.h>
#include <platform/palette.h>

#include <functional>
#include <string>
#include <vector>

struct Rgb {
  float r = 0, g = 0, b = 0;
};
inline Rgb MakeRgb(COLORREF c) {
  return {float(GetRValue(c)), float(GetGValue(c)), float(GetBValue(c))};
}
inline Rgb Mix(Rgb a, Rgb b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
inline Rgb Scale(Rgb a, float k) { return {a.r * k, a.g * k, a.b * k}; }

struct FPoint {
  float x = 0, y = 0;
};
using Contour = std::vector<FPoint>;
// A shape is one or more closed contours, filled with the non-zero winding rule.
using Shape = std::vector<Contour>;
using Shader = std::function<Rgb(float x, float y)>;

// Shape builders, in pixel coordinates (pixel centres at .5).
Shape RectShape(float x, float y, float w, float h);
Shape RoundRectShape(float x, float y, float w, float h, float radius);
Shape EllipseShape(float cx, float cy, float rx, float ry);
Shape PolygonShape(const std::vector<FPoint>& points);
// A line of the given width along the points, with round joins and ends.
Shape StrokeShape(const std::vector<FPoint>& points, float width, bool closed = false);
// Contours turned so that they all wind the same way, so overlapping parts unite.
void Orient(Shape& shape);
Shape Translate(Shape shape, float dx, float dy);
// A shape minus another (the second's contours reversed).
Shape Subtract(Shape a, Shape b);

class CPainter {
 public:
  CPainter(int width, int height, int supersample = 4);

  int Width() const { return m_width; }
  int Height() const { return m_height; }

  void Fill(const Shape& shape, const Shader& shader, float opacity = 1.0f);
  void Fill(const Shape& shape, Rgb colour, float opacity = 1.0f);
  // Text in a font face of pixelHeight (cell height), top-left of the cell at (x, y).
  void Text(const std::string& text, const char* face, int pixelHeight, int weight, float x,
            float y, const Shader& shader);
  // The width of a text in pixels.
  float TextWidth(const std::string& text, const char* face, int pixelHeight, int weight);
  // How much of each pixel a shape covers (0..1), without painting.
  std::vector<float> Coverage(const Shape& shape);

  Rgb& Colour(int x, int y) { return m_colour[y * m_width + x]; }
  float& Alpha(int x, int y) { return m_alpha[y * m_width + x]; }
  Rgb Colour(int x, int y) const { return m_colour[y * m_width + x]; }
  float Alpha(int x, int y) const { return m_alpha[y * m_width + x]; }
  // Blends a colour into one pixel with the given weight.
  void Blend(int x, int y, Rgb colour, float weight);
  // Changes every painted pixel through a function of position and colour.
  void Adjust(const std::function<Rgb(int x, int y, Rgb c)>& f);

 private:
  struct Box {
    int x0, y0, x1, y1;  // pixel rectangle, x1 and y1 exclusive
  };
  Box ClearMask(Box box);
  Box BoundsOf(const Shape& shape) const;
  void Composite(Box box, const Shader& shader, float opacity);

  int m_width, m_height, m_ss;
  std::vector<Rgb> m_colour;
  std::vector<float> m_alpha;
  CPalette m_maskPalette;
  CDib m_mask;
  CDC m_dc;
};
