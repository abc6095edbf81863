// Drawing objects: the common base, pens, brushes, fonts and the stock objects.
#pragma once

#include <platform/types.h>

#include <vector>

class CDC;

// Base of every drawing object. An object "has a handle" once created; a device context that
// has an object selected is told when the object dies, so it never draws with a dead one.
class CGdiObject {
 public:
  CGdiObject() = default;
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;
  virtual ~CGdiObject();

  // Non-null once created; what Attach/GetSafeHandle callers compare against null.
  HGDIOBJ GetSafeHandle() const { return m_created ? const_cast<CGdiObject*>(this) : nullptr; }
  operator HGDIOBJ() const { return GetSafeHandle(); }
  virtual BOOL DeleteObject();
  bool IsStock() const { return m_stock; }

 protected:
  void MarkCreated(bool created) { m_created = created; }
  // Deselects this object from every context holding it. Each drawing-object class calls it
  // from its own destructor, while the object is still whole.
  void ReleaseUsers();

 private:
  friend class CDC;
  friend CGdiObject* GetStockObject(int id);
  void AddUser(CDC* dc) const;
  void RemoveUser(CDC* dc) const;

  bool m_created = false;
  bool m_stock = false;
  mutable std::vector<CDC*> m_users;  // device contexts that refer to this object
};

class CPen : public CGdiObject {
 public:
  CPen() = default;
  ~CPen() override { ReleaseUsers(); }
  CPen(int style, int width, COLORREF colour) { CreatePen(style, width, colour); }
  // PS_SOLID or PS_NULL; widths above 1 are drawn 1 pixel wide.
  BOOL CreatePen(int style, int width, COLORREF colour);
  BOOL CreateStockObject(int id);
  int GetStyle() const { return m_style; }
  int GetWidth() const { return m_width; }
  COLORREF GetColor() const { return m_colour; }
  // True when the pen draws nothing (null pen or not created).
  bool IsNull() const { return !GetSafeHandle() || m_style == PS_NULL; }

 private:
  int m_style = PS_SOLID;
  int m_width = 1;
  COLORREF m_colour = 0;
};

class CBrush : public CGdiObject {
 public:
  CBrush() = default;
  ~CBrush() override { ReleaseUsers(); }
  explicit CBrush(COLORREF colour) { CreateSolidBrush(colour); }
  BOOL CreateSolidBrush(COLORREF colour);
  BOOL CreateStockObject(int id);
  COLORREF GetColor() const { return m_colour; }
  // True when the brush paints nothing (hollow brush or not created).
  bool IsNull() const { return !GetSafeHandle() || m_hollow; }

 private:
  COLORREF m_colour = 0;
  bool m_hollow = false;
};

class CFont : public CGdiObject {
 public:
  CFont() = default;
  ~CFont() override { ReleaseUsers(); }
  BOOL CreateFontIndirect(const LOGFONT* lf);
  // Height in tenths of a point, converted at 96 dpi.
  BOOL CreatePointFont(int pointTenths, const char* face, CDC* dc = nullptr);
  // Like CreateFontIndirect, but lfHeight holds tenths of a point.
  BOOL CreatePointFontIndirect(const LOGFONT* lf, CDC* dc = nullptr);
  BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                  BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision,
                  BYTE clipPrecision, BYTE quality, BYTE pitchAndFamily, const char* face);
  BOOL CreateStockObject(int id);
  // Copies the request the font was made from; 0 when the font has no handle.
  int GetLogFont(LOGFONT* lf) const;
  const LOGFONT& LogFont() const { return m_logFont; }

 private:
  LOGFONT m_logFont;
};

// Pixels of a height given in points at the layer's fixed 96 dpi.
constexpr int PointsToPixels(double points) { return static_cast<int>(points * 96.0 / 72.0 + 0.5); }

// The shared stock objects (WHITE_BRUSH ... DEFAULT_GUI_FONT); null for an unknown id.
// They are never deleted; DeleteObject on them does nothing.
CGdiObject* GetStockObject(int id);
