#include <platform/gdiobj.h>

#include <platform/dc.h>
#include <platform/palette.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

CGdiObject::~CGdiObject() { ReleaseUsers(); }

void CGdiObject::ReleaseUsers() {
  // A context still holding this object must not draw with it afterwards.
  while (!m_users.empty()) {
    CDC* dc = m_users.back();
    dc->ObjectDestroyed(this);
    // ObjectDestroyed removes every entry of dc; guard against a context that could not.
    m_users.erase(std::remove(m_users.begin(), m_users.end(), dc), m_users.end());
  }
}

BOOL CGdiObject::DeleteObject() {
  if (!m_created || m_stock) return FALSE;
  m_created = false;
  return TRUE;
}

void CGdiObject::AddUser(CDC* dc) const { m_users.push_back(dc); }

void CGdiObject::RemoveUser(CDC* dc) const {
  auto it = std::find(m_users.begin(), m_users.end(), dc);
  if (it != m_users.end()) m_users.erase(it);
}

BOOL CPen::CreatePen(int style, int width, COLORREF colour) {
  if (IsStock()) return FALSE;
  if (style != PS_SOLID && style != PS_NULL) style = PS_SOLID;
  m_style = style;
  m_width = std::max(width, 1);
  m_colour = colour;
  MarkCreated(true);
  return TRUE;
}

BOOL CPen::CreateStockObject(int id) {
  switch (id) {
    case WHITE_PEN: return CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
    case BLACK_PEN: return CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    case NULL_PEN: return CreatePen(PS_NULL, 1, 0);
    default: return FALSE;
  }
}

BOOL CBrush::CreateSolidBrush(COLORREF colour) {
  if (IsStock()) return FALSE;
  m_colour = colour;
  m_hollow = false;
  MarkCreated(true);
  return TRUE;
}

BOOL CBrush::CreateStockObject(int id) {
  switch (id) {
    case WHITE_BRUSH: return CreateSolidBrush(RGB(255, 255, 255));
    case LTGRAY_BRUSH: return CreateSolidBrush(RGB(192, 192, 192));
    case GRAY_BRUSH: return CreateSolidBrush(RGB(128, 128, 128));
    case DKGRAY_BRUSH: return CreateSolidBrush(RGB(64, 64, 64));
    case BLACK_BRUSH: return CreateSolidBrush(RGB(0, 0, 0));
    case NULL_BRUSH:
      if (IsStock()) return FALSE;
      m_hollow = true;
      m_colour = 0;
      MarkCreated(true);
      return TRUE;
    default: return FALSE;
  }
}

BOOL CFont::CreateFontIndirect(const LOGFONT* lf) {
  if (!lf || IsStock()) return FALSE;
  m_logFont = *lf;
  m_logFont.lfFaceName[LF_FACESIZE - 1] = '\0';
  MarkCreated(true);
  return TRUE;
}

BOOL CFont::CreatePointFontIndirect(const LOGFONT* lf, CDC*) {
  if (!lf) return FALSE;
  LOGFONT copy = *lf;
  // Far beyond any usable size, the height is capped rather than overflowing.
  const double points = std::min(std::abs(static_cast<double>(lf->lfHeight)) / 10.0, 100000.0);
  copy.lfHeight = -PointsToPixels(points);
  return CreateFontIndirect(&copy);
}

BOOL CFont::CreatePointFont(int pointTenths, const char* face, CDC* dc) {
  LOGFONT lf;
  lf.lfHeight = pointTenths;
  lf.lfWeight = FW_NORMAL;
  if (face) std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  return CreatePointFontIndirect(&lf, dc);
}

BOOL CFont::CreateFont(int height, int width, int escapement, int orientation, int weight,
                       BYTE italic, BYTE underline, BYTE strikeOut, BYTE charSet,
                       BYTE outPrecision, BYTE clipPrecision, BYTE quality,
                       BYTE pitchAndFamily, const char* face) {
  LOGFONT lf;
  lf.lfHeight = height;
  lf.lfWidth = width;
  lf.lfEscapement = escapement;
  lf.lfOrientation = orientation;
  lf.lfWeight = weight;
  lf.lfItalic = italic;
  lf.lfUnderline = underline;
  lf.lfStrikeOut = strikeOut;
  lf.lfCharSet = charSet;
  lf.lfOutPrecision = outPrecision;
  lf.lfClipPrecision = clipPrecision;
  lf.lfQuality = quality;
  lf.lfPitchAndFamily = pitchAndFamily;
  if (face) std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  return CreateFontIndirect(&lf);
}

BOOL CFont::CreateStockObject(int id) {
  if (id != SYSTEM_FONT && id != DEFAULT_GUI_FONT && id != ANSI_VAR_FONT) return FALSE;
  // The dialog font of the layer: 8 points (11 pixels) of the sans-serif face.
  LOGFONT lf;
  lf.lfHeight = -PointsToPixels(8);
  lf.lfWeight = id == SYSTEM_FONT ? FW_BOLD : FW_NORMAL;
  std::strncpy(lf.lfFaceName, "MS Sans Serif", LF_FACESIZE - 1);
  return CreateFontIndirect(&lf);
}

int CFont::GetLogFont(LOGFONT* lf) const {
  if (!lf || !GetSafeHandle()) return 0;
  *lf = m_logFont;
  return static_cast<int>(sizeof(LOGFONT));
}

namespace {

// The 16 standard colours, the default palette of a context.
const PALETTEENTRY kStandardColours[16] = {
    {0, 0, 0, 0},     {128, 0, 0, 0},   {0, 128, 0, 0},   {128, 128, 0, 0},
    {0, 0, 128, 0},   {128, 0, 128, 0}, {0, 128, 128, 0}, {192, 192, 192, 0},
    {128, 128, 128, 0}, {255, 0, 0, 0}, {0, 255, 0, 0},   {255, 255, 0, 0},
    {0, 0, 255, 0},   {255, 0, 255, 0}, {0, 255, 255, 0}, {255, 255, 255, 0}};

}  // namespace

CGdiObject* GetStockObject(int id) {
  // Made once and never destroyed, so no context can outlive them.
  static CGdiObject** table = [] {
    auto** t = new CGdiObject*[DEFAULT_GUI_FONT + 1]();
    for (int i = WHITE_BRUSH; i <= NULL_BRUSH; ++i) {
      auto* b = new CBrush;
      b->CreateStockObject(i);
      t[i] = b;
    }
    for (int i = WHITE_PEN; i <= NULL_PEN; ++i) {
      auto* p = new CPen;
      p->CreateStockObject(i);
      t[i] = p;
    }
    for (int i : {ANSI_VAR_FONT, SYSTEM_FONT, DEFAULT_GUI_FONT}) {
      auto* f = new CFont;
      f->CreateStockObject(i);
      t[i] = f;
    }
    auto* palette = new CPalette;
    palette->CreatePalette(kStandardColours, 16);
    t[DEFAULT_PALETTE] = palette;
    for (int i = 0; i <= DEFAULT_GUI_FONT; ++i)
      if (t[i]) t[i]->m_stock = true;
    return t;
  }();
  if (id < 0 || id > DEFAULT_GUI_FONT) return nullptr;
  return table[id];
}
