// CDC: a drawing context. It draws into the bitmap selected into it (a memory DC) or into a
// surface bound by the window layer (a window's back buffer, with the window's offset in it
// and a visible rectangle). Coordinates are logical: device = logical + viewport origin, and
// bitmap pixel = device + the surface offset (0 for a memory DC). Everything is clipped to the
// bitmap, to the bound visible rectangle and to the clip region.
#pragma once

#include <platform/bitmap.h>
#include <platform/gdiobj.h>
#include <platform/palette.h>
#include <platform/region.h>
#include <platform/types.h>

#include <memory>
#include <string_view>
#include <vector>

class CDC {
 public:
  CDC();
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;
  virtual ~CDC();

  // A memory context with no bitmap selected (reference may be null).
  BOOL CreateCompatibleDC(CDC* reference);
  // Forgets every selection and the drawing state.
  BOOL DeleteDC();
  void* GetSafeHdc() const { return m_created ? const_cast<CDC*>(this) : nullptr; }

  // Binds the context to a surface: draws into bitmap with device (0, 0) at pixel offset and
  // never outside visible (device coordinates; null for no limit beyond the bitmap). The
  // window layer binds a window's back buffer this way; SaveDC/RestoreDC leave the binding
  // alone, and a bitmap selected with SelectObject takes precedence while it is selected.
  void BindSurface(CBitmap* bitmap, POINT offset, const RECT* visible);
  CBitmap* GetSurface() const { return m_surface; }

  // Selection. Each returns the object that was selected before (null when none), which the
  // caller selects back when done. A deleted object draws as the null pen / hollow brush /
  // default font; an object that is destroyed while selected is deselected by itself.
  CPen* SelectObject(CPen* pen);
  CBrush* SelectObject(CBrush* brush);
  CFont* SelectObject(CFont* font);
  CBitmap* SelectObject(CBitmap* bitmap);
  // A region selects a copy of itself as the clip region and returns the clip's kind.
  int SelectObject(CRgn* region) { return SelectClipRgn(region); }
  CGdiObject* SelectObject(CGdiObject* object);
  CGdiObject* SelectStockObject(int id);
  CPen* GetCurrentPen() const { return m_state.pen; }
  CBrush* GetCurrentBrush() const { return m_state.brush; }
  CFont* GetCurrentFont() const { return m_state.font; }
  CBitmap* GetCurrentBitmap() const { return m_state.bitmap; }

  // Palettes do not change how colours map (a colour becomes the nearest entry of the target
  // bitmap's colour table); the selected palette resolves PALETTEINDEX colours on 24/32-bit
  // targets. RealizePalette returns the number of entries of the selected palette.
  CPalette* SelectPalette(CPalette* palette, BOOL forceBackground);
  virtual UINT RealizePalette();
  CPalette* GetCurrentPalette() const { return m_state.palette; }

  // Saves selections, colours, modes, position, origin and clip; returns a level (> 0).
  int SaveDC();
  // Restores a level from SaveDC (negative: relative, -1 = the last one); later levels go too.
  BOOL RestoreDC(int savedLevel);

  COLORREF SetTextColor(COLORREF colour);
  COLORREF GetTextColor() const { return m_state.textColour; }
  COLORREF SetBkColor(COLORREF colour);
  COLORREF GetBkColor() const { return m_state.bkColour; }
  int SetBkMode(int mode);
  int GetBkMode() const { return m_state.bkMode; }
  int SetPolyFillMode(int mode);
  int GetPolyFillMode() const { return m_state.fillMode; }
  UINT SetTextAlign(UINT) { return 0; }

  CPoint SetViewportOrg(int x, int y);
  CPoint SetViewportOrg(POINT p) { return SetViewportOrg(p.x, p.y); }
  CPoint OffsetViewportOrg(int dx, int dy);
  CPoint GetViewportOrg() const { return m_state.origin; }

  // Clipping, in logical coordinates. Return the kind of the resulting clip region.
  int IntersectClipRect(int left, int top, int right, int bottom);
  int IntersectClipRect(const RECT* r) { return IntersectClipRect(r->left, r->top, r->right, r->bottom); }
  int ExcludeClipRect(int left, int top, int right, int bottom);
  int ExcludeClipRect(const RECT* r) { return ExcludeClipRect(r->left, r->top, r->right, r->bottom); }
  // The region is in device coordinates (as regions are); null removes the clip region.
  int SelectClipRgn(const CRgn* region);
  // Bounding box of what can be drawn, in logical coordinates.
  int GetClipBox(RECT* box) const;
  BOOL PtVisible(int x, int y) const;

  // Lines with the current pen; the end point is not drawn.
  CPoint MoveTo(int x, int y);
  CPoint MoveTo(POINT p) { return MoveTo(p.x, p.y); }
  BOOL LineTo(int x, int y);
  BOOL LineTo(POINT p) { return LineTo(p.x, p.y); }
  CPoint GetCurrentPosition() const { return m_state.position; }
  BOOL Polyline(const POINT* points, int count);

  // Filled with the brush under the fill mode, outlined with the pen. Fewer than 3 points: FALSE.
  BOOL Polygon(const POINT* points, int count);
  BOOL PolyPolygon(const POINT* points, const int* counts, int polygons);
  // Outline with the pen (its right and bottom edge at right-1 and bottom-1), inside with the brush.
  BOOL Rectangle(int left, int top, int right, int bottom);
  BOOL Rectangle(const RECT* r) { return Rectangle(r->left, r->top, r->right, r->bottom); }
  void FillSolidRect(const RECT* r, COLORREF colour);
  void FillSolidRect(int x, int y, int cx, int cy, COLORREF colour);
  void FillRect(const RECT* r, CBrush* brush);
  void FrameRect(const RECT* r, CBrush* brush);
  // A one-pixel frame: top and left in topLeft, right and bottom in bottomRight.
  void Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight);
  void Draw3dRect(const RECT* r, COLORREF topLeft, COLORREF bottomRight);
  // Fills the region with the brush (region in device coordinates, as regions are).
  BOOL FillRgn(const CRgn* region, CBrush* brush);
  // Inverts the pixels (index bits at depths up to 8, colour bits above).
  void InvertRect(const RECT* r);
  // A dotted focus frame, drawn by inverting every other pixel; drawing it twice removes it.
  void DrawFocusRect(const RECT* r);

  // PATCOPY fills with the brush, PATINVERT and DSTINVERT invert, BLACKNESS/WHITENESS fill.
  BOOL PatBlt(int x, int y, int width, int height, DWORD rop);
  // SRCCOPY copies (colours converted when the bitmaps differ); SRCAND/SRCPAINT/SRCINVERT
  // combine the stored values. The source is clipped to its bitmap.
  BOOL BitBlt(int x, int y, int width, int height, CDC* source, int sx, int sy, DWORD rop);
  // Copies like SRCCOPY but skips source pixels whose colour is transparentColour.
  BOOL TransparentBlt(int x, int y, int width, int height, CDC* source, int sx, int sy,
                      COLORREF transparentColour);

  COLORREF SetPixel(int x, int y, COLORREF colour);
  COLORREF SetPixel(POINT p, COLORREF colour) { return SetPixel(p.x, p.y, colour); }
  COLORREF GetPixel(int x, int y) const;
  COLORREF GetPixel(POINT p) const { return GetPixel(p.x, p.y); }
  // The colour a pixel would get (nearest colour-table entry for indexed targets).
  COLORREF GetNearestColor(COLORREF colour) const;

  // Text in the selected font; 8-bit text is Windows-1252. (x, y) is the top-left of the cell.
  // With OPAQUE background mode the cell is first filled with the background colour.
  BOOL TextOut(int x, int y, const char* text, int length);
  BOOL TextOut(int x, int y, std::string_view text) { return TextOut(x, y, text.data(), static_cast<int>(text.size())); }
  // DT_LEFT/CENTER/RIGHT, DT_TOP/VCENTER/BOTTOM (the last two with DT_SINGLELINE), DT_WORDBREAK,
  // DT_SINGLELINE, DT_CALCRECT (sets rect's right and bottom, draws nothing), DT_NOCLIP,
  // DT_EXPANDTABS, DT_END_ELLIPSIS, DT_NOPREFIX ('&' underlines the next character and "&&" is
  // '&', unless DT_NOPREFIX).
  // length -1 means up to the NUL. Returns the height of the text.
  int DrawText(const char* text, int length, RECT* rect, UINT format);
  int DrawText(std::string_view text, RECT* rect, UINT format) { return DrawText(text.data(), static_cast<int>(text.size()), rect, format); }
  CSize GetTextExtent(const char* text, int length) const;
  CSize GetTextExtent(std::string_view text) const { return GetTextExtent(text.data(), static_cast<int>(text.size())); }
  BOOL GetTextMetrics(TEXTMETRIC* metrics) const;
  // Face name of the selected font, as requested.
  int GetTextFace(int size, char* out) const;

 private:
  struct State {
    CPen* pen = nullptr;
    CBrush* brush = nullptr;
    CFont* font = nullptr;
    CBitmap* bitmap = nullptr;
    CPalette* palette = nullptr;
    COLORREF textColour = 0;
    COLORREF bkColour = RGB(255, 255, 255);
    int bkMode = OPAQUE;
    int fillMode = ALTERNATE;
    CPoint position;
    CPoint origin;
    std::shared_ptr<CRgn> clip;  // device coordinates; null = none
  };

  friend class CGdiObject;
  void ObjectDestroyed(const CGdiObject* object);
  void Track(const CGdiObject* object);
  void Untrack(const CGdiObject* object);
  void TrackState(const State& s);
  void UntrackState(const State& s);

  // Where a block copy from source reads and lands, in bitmap pixels: the source block cut to
  // what the source may show, and the same block at the destination (before its clipping).
  struct BlitBlock {
    CBitmap* src = nullptr;
    CBitmap* dst = nullptr;
    std::int64_t dx = 0, dy = 0;  // destination pixel minus source pixel
    RECT srcPart{};
    RECT dstRect{};
  };
  // False when there is nothing to copy between (no bitmaps or an empty size).
  bool PlanBlit(int x, int y, int width, int height, CDC* source, int sx, int sy, BlitBlock& out) const;

  // Pixel work, in device coordinates.
  CBitmap* Target() const;
  RECT DeviceBounds() const;
  void ClipRects(std::vector<RECT>& out) const;
  void FillDeviceSpan(int y, int x0, int x1, std::uint32_t value);
  void FillDeviceRect(RECT r, std::uint32_t value);
  void InvertDeviceRect(RECT r);
  std::uint32_t ValueFor(COLORREF colour) const;
  void DrawLineDevice(int x0, int y0, int x1, int y1, std::uint32_t value);
  void FillPolygons(const POINT* points, const int* counts, int polygons, int fillMode,
                    std::uint32_t value);
  void OutlinePolygons(const POINT* points, const int* counts, int polygons, std::uint32_t value);
  int ClipKind() const;

  bool m_created = false;
  State m_state;
  std::vector<State> m_saved;
  CBitmap* m_surface = nullptr;  // bound by BindSurface; kept across RestoreDC
  CPoint m_surfaceOffset;
  bool m_hasVisible = false;
  RECT m_visible{};  // device coordinates
  std::vector<RECT> m_clipScratch;
};
