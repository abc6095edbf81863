#include <lumex/dibwnd.h>

#include <lumex/utils.h>

#include <platform/eventloop.h>

#include <cstdarg>
#include <cstring>

CPalette CDibWnd::cm_palette;
COLORREF CDibWnd::cm_clrText = 0;
COLORREF CDibWnd::cm_clrEtched = 0xFFFFFF;
COLORREF CDibWnd::cm_clrTransparent = 0x00FFFF00;
int CDibWnd::cm_nTransIndex = 0;
CFont CDibWnd::cm_font;

namespace {

bool HasHandle(const CGdiObject& object) { return object.GetSafeHandle() != nullptr; }

// Repeats image over (0, 0, w, h) of dc, from the origin.
void TileInto(CDC* dc, CDib& image, int w, int h) {
  CRect area(0, 0, w, h);
  image.Tile(dc, area);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// CDibWnd

CDibWnd::~CDibWnd() { delete m_region; }

int CDibWnd::Init(int transparent, int keepSize) {
  CWnd* wnd = GetWnd();
  if (!keepSize && wnd && m_image.GetBits()) {
    int w = m_image.Width(), h = m_image.Height();
    DWORD style = wnd->GetStyle();
    if (style & WS_VSCROLL) w += GetSystemMetrics(SM_CXVSCROLL);
    if (style & WS_HSCROLL) h += GetSystemMetrics(SM_CYHSCROLL);
    if ((style & WS_CAPTION) == WS_CAPTION)
      h += GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
    SetSize(w, h);
  }
  SetFlag(cm_tile, keepSize);
  SetFlag(cm_transparent, transparent);
  return 1;
}

int CDibWnd::Init(HINSTANCE module, int bitmapId, int transparent, int keepSize) {
  CDib image;
  if (!image.Load(module, bitmapId)) return 0;
  if (HasHandle(cm_palette) && !image.ConvertTo256Colors(cm_palette)) return 0;
  m_image.DeleteObject();
  m_image = image;
  return Init(transparent, keepSize);
}

int CDibWnd::Init(CDib& image, CRect& part, int transparent) {
  if (!m_image.Copy(image, part)) return 0;
  return Init(transparent, 0);
}

int CDibWnd::Init(CDib& image, int transparent, int keepSize) {
  m_image = image;
  return Init(transparent, keepSize);
}

void CDibWnd::SetWindowColor(COLORREF colour) {
  m_backColour = colour;
  if (CWnd* wnd = GetWnd(); wnd && wnd->GetSafeHwnd()) wnd->Invalidate(FALSE);
}

void CDibWnd::SetSize(int w, int h) {
  if (CWnd* wnd = GetWnd(); wnd && wnd->GetSafeHwnd())
    wnd->SetWindowPos(nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER);
}

void CDibWnd::SetPos(int x, int y) {
  if (CWnd* wnd = GetWnd(); wnd && wnd->GetSafeHwnd())
    wnd->SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

int CDibWnd::IsValidPoint(CPoint p) {
  if (!m_image.GetBits()) return 1;
  return m_image.HitTest(p, cm_nTransIndex);
}

void CDibWnd::SetRegion(CRgn* region) {
  if (region != m_region) delete m_region;
  m_region = region;
  SetFlag(cm_transparent, 0);
}

CSize CDibWnd::ClientSize() {
  CWnd* wnd = GetWnd();
  if (!wnd || !wnd->GetSafeHwnd()) return CSize(m_image.Width(), m_image.Height());
  CRect client;
  wnd->GetClientRect(&client);
  return client.Size();
}

void CDibWnd::EraseBackgrnd(CDC* dc) {
  if (!dc) return;
  CSize size = ClientSize();
  if (!m_image.GetBits()) {
    dc->FillSolidRect(0, 0, size.cx, size.cy, m_backColour);
  } else if (IsSet(cm_tile)) {
    CPalette* old = nullptr;
    if (HasHandle(cm_palette)) {
      old = dc->SelectPalette(&cm_palette, FALSE);
      dc->RealizePalette();
    }
    TileInto(dc, m_image, size.cx, size.cy);
    if (HasHandle(cm_palette)) dc->SelectPalette(old, TRUE);
  } else {
    m_image.Draw(dc, CPoint(0, 0));
  }
}

void CDibWnd::Blit(CDC* dc, CPoint at, CDib& image, bool transparent) {
  if (!transparent) {
    image.Draw(dc, at);
    return;
  }
  CDC memory;
  memory.CreateCompatibleDC(dc);
  CBitmap* old = memory.SelectObject(static_cast<CBitmap*>(&image));
  unsigned long clear = 0;
  const RGBQUAD* table = image.GetColorTable();
  if (table && cm_nTransIndex >= 0 && cm_nTransIndex < image.ColorTableSize()) {
    const RGBQUAD& q = table[cm_nTransIndex];
    clear = RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
  }
  dc->TransparentBlt(at.x, at.y, image.Width(), image.Height(), &memory, 0, 0,
                     static_cast<COLORREF>(clear));
  memory.SelectObject(old);
}

void CDibWnd::Draw(CDC* dc, CPoint at) {
  if (!dc || IsSet(cm_hidden)) return;
  CSize size = ClientSize();
  if (size.cx <= 0 || size.cy <= 0) return;
  bool hasImage = m_image.GetBits() != nullptr;
  CDib offscreen;
  if (hasImage && !IsSet(cm_tile)) {
    offscreen = m_image;
  } else {
    CPalette* pal = hasImage ? m_image.GetPalette() : nullptr;
    if (!pal || !HasHandle(*pal)) pal = HasHandle(cm_palette) ? &cm_palette : nullptr;
    if (pal) offscreen.Create(pal, size.cx, size.cy, 254);
    else offscreen.CreateCompatibleBitmap(dc, size.cx, size.cy);
    CDC* memory = offscreen.GetMemDC(dc);
    EraseBackgrnd(memory);
    offscreen.ReleaseMemDC(memory);
  }
  if (!offscreen.GetBits()) return;

  CDC* memory = offscreen.GetMemDC(dc);
  if (HasHandle(cm_palette)) {
    memory->SelectPalette(&cm_palette, FALSE);
    memory->RealizePalette();
  }
  PreBlt(memory, &offscreen);
  offscreen.ReleaseMemDC(memory);

  ExcludeClipRect(dc);
  Blit(dc, at, offscreen, hasImage && IsSet(cm_transparent));
}

void CDibWnd::PreBlt(CDC* dc, CDib*) {
  if (!dc) return;
  dc->SetBkMode(TRANSPARENT);
  if (m_font) dc->SelectObject(m_font);
  else if (HasHandle(cm_font)) dc->SelectObject(&cm_font);
}

void CDibWnd::SetTextFont(CFont* font) {
  m_font = font;
  if (CWnd* wnd = GetWnd(); wnd && wnd->GetSafeHwnd()) {
    wnd->SetFont(font, TRUE);
    wnd->Invalidate(TRUE);
  }
}

void CDibWnd::SetText(char const* text, CPoint at) {
  m_text = text;
  m_textX = at.x;
  m_textY = at.y;
  if (CWnd* wnd = GetWnd(); wnd && wnd->GetSafeHwnd()) wnd->Invalidate(FALSE);
}

void CDibWnd::SetText(char const* text, unsigned long align) {
  CWnd* wnd = GetWnd();
  CSize extent;
  CSize client = ClientSize();
  if (wnd && wnd->GetSafeHwnd()) {
    CClientDC dc(wnd);
    CFont* font = GetTextFont();
    CFont* old = font ? dc.SelectObject(font) : nullptr;
    extent = dc.GetTextExtent(text ? text : "");
    if (font) dc.SelectObject(old);
  }
  int x = extent.cx, y = extent.cy;
  if (align & cm_alignHCenter) x = (client.cx - extent.cx) / 2 - 2;
  else if (align & cm_alignRight) x = client.cx - extent.cx;
  else if (align & cm_alignLeft) x = 0;
  if (align & cm_alignVCenter) y = (client.cy - extent.cy) / 2 - 2;
  else if (align & cm_alignBottom) y = client.cy - extent.cy;
  else if (align & cm_alignTop) y = 0;
  SetText(text, CPoint(x, y));
}

void CDibWnd::FormattedTextOut(CDC* dc, CPoint at, char const* fmt, ...) {
  CUString text;
  va_list args;
  va_start(args, fmt);
  text.FormatWithArgList(fmt, args);
  va_end(args);
  TextOutA(dc, at.x, at.y, text);
}

void CDibWnd::TextOutA(CDC* dc, int x, int y, char const* text) {
  if (!dc || !text) return;
  int length = static_cast<int>(std::strlen(text));
  if (m_etchedColour != cm_clrTransparent) {
    dc->SetTextColor(m_etchedColour);
    dc->TextOut(x + 1, y + 1, text, length);
  }
  dc->SetTextColor(m_textColour);
  dc->TextOut(x, y, text, length);
}

void CDibWnd::SetFlag(int bit, int on) {
  if (on) m_flags |= bit;
  else m_flags &= ~bit;
}

CFont* CDibWnd::GetTextFont() {
  if (m_font) return m_font;
  if (HasHandle(cm_font)) return &cm_font;
  CWnd* wnd = GetWnd();
  return wnd ? wnd->GetFont() : nullptr;
}

CPoint CDibWnd::GetChildPosition(CWnd* child) {
  CWnd* wnd = GetWnd();
  if (!wnd || !child) return CPoint();
  CRect mine, theirs;
  wnd->GetWindowRect(&mine);
  child->GetWindowRect(&theirs);
  return CPoint(theirs.left - mine.left, theirs.top - mine.top);
}

int CDibWnd::SetCaption(CPoint at, HINSTANCE module, int bitmapId) {
  if (!m_image.GetBits()) return 0;
  CDib caption;
  if (!caption.Load(module, bitmapId)) return 0;
  if (HasHandle(cm_palette) && !caption.ConvertTo256Colors(cm_palette)) return 0;
  caption.CopyBits(&m_image, 0, 0, 0, 0, at.x, at.y, static_cast<unsigned char>(cm_nTransIndex));
  m_caption = caption;
  m_captionX = at.x;
  m_captionY = at.y;
  return 1;
}

int CDibWnd::InitPalette(HINSTANCE module, int bitmapId, COLORREF transparent) {
  CDib image;
  if (!image.Load(module, bitmapId) || !image.CreatePalette(cm_palette, 0)) return 0;
  cm_clrTransparent = transparent;
  cm_nTransIndex = static_cast<int>(cm_palette.GetNearestPaletteIndex(transparent));
  cm_clrEtched = transparent;
  return 1;
}

int CDibWnd::SetGlobalFont(int height, char const* face, int weight, int underline, int italic) {
  return CreatePointFont(cm_font, height, face, weight, underline, italic);
}

int CDibWnd::CreatePointFont(CFont& font, int height, char const* face, int weight,
                             int underline, int italic) {
  LOGFONT lf;
  lf.lfHeight = height;
  lf.lfWeight = weight;
  lf.lfUnderline = underline ? 1 : 0;
  lf.lfItalic = italic ? 1 : 0;
  if (face) std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  font.DeleteObject();
  return font.CreatePointFontIndirect(&lf) ? 1 : 0;
}

// ---------------------------------------------------------------------------------------------
// CDibCtrl

BOOL CDibCtrl::Create(unsigned long style, CRect& rect, CWnd* parent, int id) {
  return CWnd::Create(nullptr, "", static_cast<DWORD>(style), rect, parent, static_cast<UINT>(id));
}

void CDibCtrl::OnPaint() {
  CPaintDC dc(this);
  Draw(&dc, CPoint(0, 0));
}

// ---------------------------------------------------------------------------------------------
// CDibButton

int CDibButton::CreateButton(CPoint at, CWnd* parent, int id, HINSTANCE module, int bitmapId,
                             unsigned char flags) {
  CRect rect(at.x, at.y, at.x + 1, at.y + 1);
  if (!Create(WS_CHILD | WS_VISIBLE, rect, parent, id)) return 0;
  return Init(module, bitmapId, flags);
}

int CDibButton::SubclassButton(CWnd* parent, int controlId, HINSTANCE module, int bitmapId,
                               unsigned char flags) {
  if (!SubclassDlgItem(static_cast<UINT>(controlId), parent)) return 0;
  return Init(module, bitmapId, flags);
}

int CDibButton::Init(HINSTANCE module, int bitmapId, unsigned char flags) {
  if (!CDibWnd::Init(module, bitmapId, 1, 0)) return 0;
  return FinishInit(flags);
}

int CDibButton::InitFromImage(CDib& strip, unsigned char flags) {
  if (!CDibWnd::Init(strip, 1, 0)) return 0;
  return FinishInit(flags);
}

int CDibButton::ImageCount() const {
  if (m_imageFlags & cm_imgSingle) return 1;
  return 1 + ((m_imageFlags & cm_imgPressed) ? 1 : 0) + ((m_imageFlags & cm_imgHover) ? 1 : 0) +
         ((m_imageFlags & cm_imgDisabled) ? 1 : 0);
}

int CDibButton::FinishInit(unsigned char flags) {
  m_imageFlags = flags;
  m_imageWidth = m_image.Width() / ImageCount();
  m_imageHeight = m_image.Height();
  m_background.DeleteObject();
  SetSize(m_imageWidth, m_imageHeight);
  SetFlag(cm_singleImage, flags & cm_imgSingle);
  SetFlag(cm_transparent, flags & cm_imgTransparent);
  return 1;
}

int CDibButton::IsValidPoint(CPoint p) {
  if (!m_image.GetBits()) return 1;
  return p.x < m_imageWidth && m_image.HitTest(p, static_cast<unsigned long>(cm_clrTransparent));
}

int CDibButton::CurrentImage(CSize* shift, CSize* textShift) {
  if (shift) *shift = CSize();
  if (textShift) *textShift = CSize();
  bool single = m_imageFlags & cm_imgSingle;
  int pressed = 1, hover = 1 + ((m_imageFlags & cm_imgPressed) ? 1 : 0);
  if (!IsWindowEnabled())
    return !single && (m_imageFlags & cm_imgDisabled) ? ImageCount() - 1 : 0;
  if (GetCapture() != this) return 0;
  POINT cursor{};
  GetCursorPos(&cursor);
  ScreenToClient(&cursor);
  if (!IsValidPoint(cursor)) return 0;
  if (IsPressed(VK_LBUTTON)) {
    if (textShift) *textShift = CSize(1, 1);
    if (single) {
      if (shift) *shift = CSize(2, 2);
      return 0;
    }
    return (m_imageFlags & cm_imgPressed) ? pressed : 0;
  }
  if (single) {
    if (shift) *shift = CSize(-2, -2);
    return 0;
  }
  return (m_imageFlags & cm_imgHover) ? hover : 0;
}

void CDibButton::Draw(CDC* dc, CPoint at) {
  if (!dc || IsSet(cm_hidden)) return;
  if (!m_image.GetBits()) {
    CDibCtrl::Draw(dc, at);
    return;
  }
  CSize shift, textShift;
  int index = CurrentImage(&shift, &textShift);
  CDib face;
  if (!face.Create(m_image, m_imageWidth, m_imageHeight, 254)) return;
  bool transparent = IsSet(cm_transparent);
  if (transparent) {
    if (!m_background.GetBits() && m_background.Create(m_image, m_imageWidth, m_imageHeight, 254)) {
      CDC* memory = m_background.GetMemDC(dc);
      memory->BitBlt(0, 0, m_imageWidth, m_imageHeight, dc, at.x, at.y, SRCCOPY);
      m_background.ReleaseMemDC(memory);
    }
    if (m_background.GetBits()) m_background.CopyBits(&face, 0, 0, 0, 0, 0, 0, 0);
  }
  m_image.CopyBits(&face, index * m_imageWidth, 0, m_imageWidth, m_imageHeight, shift.cx,
                   shift.cy, transparent ? static_cast<unsigned char>(cm_nTransIndex) : 0);
  if (!CDibWnd::m_text.IsEmpty()) {
    CDC* memory = face.GetMemDC(dc);
    PreBlt(memory, &face);
    TextOutA(memory, m_textX + textShift.cx, m_textY + textShift.cy, CDibWnd::m_text);
    face.ReleaseMemDC(memory);
  }
  face.Draw(dc, at);
}

void CDibButton::Redraw() {
  if (!GetSafeHwnd()) return;
  CClientDC dc(this);
  Draw(&dc, CPoint(0, 0));
}

void CDibButton::OnLButtonDown(UINT flags, CPoint p) {
  if (IsValidPoint(p) && IsWindowEnabled()) {
    if (CWnd* parent = GetParent()) parent->SendMessage(WM_CHILDACTIVATE);
    SetCapture();
    Redraw();
    return;
  }
  PassThrough(WM_LBUTTONDOWN, flags, p);
}

void CDibButton::OnMouseMove(UINT flags, CPoint p) {
  if (!IsWindowEnabled()) return;
  if (IsValidPoint(p)) {
    CWnd* parent = GetParent();
    CWnd* focus = GetFocus();
    if (parent && focus != parent && !parent->IsChild(focus)) return;
    if ((m_imageFlags & cm_imgHover) && GetCapture() != this) {
      SetCapture();
      Redraw();
    }
    return;
  }
  if (GetCapture() == this) {
    ReleaseCapture();
    Redraw();
  }
  PassThrough(WM_MOUSEMOVE, flags, p);
}

void CDibButton::OnLButtonUp(UINT flags, CPoint p) {
  if (GetCapture() == this) {
    ReleaseCapture();
    Redraw();
  }
  if (IsValidPoint(p) && IsWindowEnabled()) {
    if (CWnd* parent = GetParent())
      parent->SendMessage(WM_COMMAND, MAKEWPARAM(WORD(GetDlgCtrlID()), 0),
                          reinterpret_cast<LPARAM>(static_cast<CWnd*>(this)));
    return;
  }
  PassThrough(WM_LBUTTONUP, flags, p);
}

// The button lets the window under a transparent pixel have the mouse message: it steps out
// of the way (disabled, not drawn) while that window is looked up.
void CDibButton::PassThrough(UINT message, UINT flags, CPoint p) {
  CWnd* top = GetTopLevelParent();
  if (!top) return;
  SetFlag(cm_hidden, 1);
  EnableWindow(FALSE);
  POINT screen = p;
  ClientToScreen(&screen);
  POINT inTop = screen;
  top->ScreenToClient(&inTop);
  CWnd* target = top->ChildWindowFromPoint(inTop, true);
  EnableWindow(TRUE);
  if (target && target != this) {
    POINT local = screen;
    target->ScreenToClient(&local);
    target->SendMessage(message, flags, MAKELPARAM(local.x, local.y));
  }
  SetFlag(cm_hidden, 0);
}

// ---------------------------------------------------------------------------------------------
// CDibDialog

CDibDialog::CDibDialog(unsigned templateId, CWnd* parent) : CDialog(templateId, parent) {}

int CDibDialog::Init(HINSTANCE module, int bitmapId, int transparent, int keepSize) {
  int result = CDibWnd::Init(module, bitmapId, transparent, keepSize);
  if (GetSafeHwnd()) ModifyStyleEx(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE, 0);
  return result;
}

BOOL CDibDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  m_nullBrush.DeleteObject();
  m_nullBrush.CreateStockObject(NULL_BRUSH);
  SetBackgroundColor(0xC0C0C0);
  return TRUE;
}

void CDibDialog::OnPaint() {
  CPaintDC dc(this);
  Draw(&dc, CPoint(0, 0));
}

HBRUSH CDibDialog::OnCtlColor(CDC* dc, CWnd* wnd, UINT type) {
  if (dc && (type == CTLCOLOR_STATIC || type == CTLCOLOR_BTN)) {
    dc->SetTextColor(m_textColour);
    dc->SetBkMode(TRANSPARENT);
    return &m_nullBrush;
  }
  return CDialog::OnCtlColor(dc, wnd, type);
}

CPalette* CDibDialog::SetPalette(CPalette* palette) {
  CPalette* previous = m_pPalette;
  m_pPalette = palette;
  RealisePalette(false);
  return previous;
}

BOOL CDibDialog::RealisePalette(bool background) {
  if (!m_pPalette || !GetSafeHwnd()) return 0;
  CClientDC dc(this);
  CPalette* old = dc.SelectPalette(m_pPalette, background ? TRUE : FALSE);
  UINT changed = dc.RealizePalette();
  dc.SelectPalette(old, TRUE);
  if (changed == 0) return 0;
  Invalidate(TRUE);
  return 1;
}

BOOL CDibDialog::OnQueryNewPalette() { return RealisePalette(false); }

void CDibDialog::OnPaletteChanged(CWnd* changer) {
  if (changer != this) RealisePalette(true);
}
