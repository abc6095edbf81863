#include <gyrix/shell/colourbutton.h>

#include <iterator>

namespace {

// The 16 standard colours, in cell order (column + 8 x row).
constexpr COLORREF kCellColours[CColourPopup::kCells] = {
    0x0080FF, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
    0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF,
};

// Where the colour bar lies in each of the three state images of the button picture: its three
// rows are the three rows just above these points.
constexpr POINT kBarOrigins[] = {{6, 25}, {79, 26}, {150, 25}};
constexpr int kBarWidth = 41;
constexpr int kBarRows = 3;

constexpr COLORREF kFrameLight = 0xFFFFFF;
constexpr COLORREF kFrameShadow = 0x808080;
constexpr COLORREF kReservedOrange = 0x0080FF;

CPalette g_sharedPalette;
CDib g_popupPicture;

}  // namespace

// ---- CColourPopup ----

COLORREF CColourPopup::CellColour(int cell) {
  return cell >= 0 && cell < kCells ? kCellColours[cell] : 0;
}

int CColourPopup::CellAt(CPoint p) {
  if (p.x < kLeft || p.x >= kLeft + kColumns * kCellSize) return -1;
  if (p.y < kTop || p.y >= kTop + 2 * kCellSize) return -1;
  return (p.x - kLeft) / kCellSize + kColumns * ((p.y - kTop) / kCellSize);
}

CRect CColourPopup::CellRect(int cell) {
  const int left = kLeft + kCellSize * (cell % kColumns);
  const int top = kTop + kCellSize * (cell / kColumns);
  return CRect(left, top, left + kCellSize, top + kCellSize);
}

BOOL CColourPopup::CreatePopup(CColourButton* owner) {
  m_owner = owner;
  CRect r(0, 0, CColourButton::PopupPicture().Width(), CColourButton::PopupPicture().Height());
  return CreateEx(0, "GyrixColourPopup", "", WS_POPUP | WS_BORDER, r, owner, 0);
}

void CColourPopup::Drop(CPoint at) {
  const CDib& picture = CColourButton::PopupPicture();
  MoveWindow(at.x, at.y, picture.Width(), picture.Height(), FALSE);
  m_last = CPoint(-1, -1);
  m_pressed = false;
  ShowWindow(SW_SHOW);
  Invalidate(FALSE);
  SetCapture();
}

void CColourPopup::Close() {
  m_pressed = false;
  ShowWindow(SW_HIDE);
  if (GetCapture() == this) ReleaseCapture();
}

void CColourPopup::Compose(CDC* dc, CPoint point, bool pressed) {
  CPalette* oldPalette = dc->SelectPalette(CColourButton::SharedPalette(), FALSE);
  dc->RealizePalette();
  CColourButton::PopupPicture().Draw(dc, CPoint(0, 0));
  dc->SelectPalette(oldPalette, TRUE);
  const int cell = CellAt(point);
  if (cell < 0) return;
  CRect r = CellRect(cell);
  // Raised under a hovering mouse, sunken while the button is held.
  CDib::Draw3DRect(dc, r.left, r.top, r.Width(), r.Height(), pressed ? 0 : 1, kFrameLight, kFrameShadow);
}

void CColourPopup::Redraw(CPoint point, bool pressed) {
  m_last = point;
  m_pressed = pressed;
  Invalidate(FALSE);
}

void CColourPopup::OnPaint() {
  CPaintDC dc(this);
  Compose(&dc, m_last, m_pressed);
}

void CColourPopup::OnLButtonDown(UINT, CPoint point) {
  CRect client;
  GetClientRect(&client);
  if (client.PtInRect(point)) Redraw(point, true);
  else Close();
}

void CColourPopup::OnMouseMove(UINT flags, CPoint point) { Redraw(point, (flags & MK_LBUTTON) != 0); }

void CColourPopup::OnLButtonUp(UINT, CPoint point) {
  const int cell = CellAt(point);
  if (cell >= 0) {
    m_colour = CellColour(cell);
    Close();
    if (m_owner) m_owner->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_COLOUR_PICKED, 0), 0);
    return;
  }
  Close();
}

void CColourPopup::OnKeyDown(UINT key, UINT repeat, UINT flags) {
  if (static_cast<int>(key) == VK_ESCAPE) Close();
  else CWnd::OnKeyDown(key, repeat, flags);
}

// ---- CColourButton ----

CColourButton::~CColourButton() {
  if (m_popup.GetSafeHwnd()) m_popup.DestroyWindow();
}

CPalette* CColourButton::SharedPalette() {
  if (!g_sharedPalette.GetSafeHandle()) {
    CQuantizer quantizer(1);
    quantizer.AddColor(kReservedOrange);
    quantizer.CreatePalette(g_sharedPalette);
  }
  return &g_sharedPalette;
}

CDib& CColourButton::PopupPicture() {
  if (!g_popupPicture.GetBits() && g_popupPicture.Load(nullptr, IDB_COLOUR_POPUP))
    g_popupPicture.ConvertTo256Colors(*SharedPalette());
  return g_popupPicture;
}

int CColourButton::Init(HINSTANCE module, int bitmapId, unsigned char flags) {
  if (!CDibButton::Init(module, bitmapId, flags)) return 0;
  m_image.ConvertTo256Colors(*SharedPalette());
  PopupPicture();
  if (!m_popup.GetSafeHwnd()) m_popup.CreatePopup(this);
  return 1;
}

void CColourButton::SetColour(COLORREF colour) {
  const UINT nearest = SharedPalette()->GetNearestPaletteIndex(colour);
  const BYTE index = static_cast<BYTE>(nearest < 256 ? nearest : 0);
  const int stride = m_image.StorageWidth();
  if (m_image.GetBits()) {
    for (const POINT& origin : kBarOrigins) {
      if (origin.x + kBarWidth > m_image.Width() || origin.y - kBarRows < 0 || origin.y >= m_image.Height()) continue;
      BYTE* row = m_image.GetPixelAddress(origin.x, origin.y);
      for (int j = 0; j < kBarRows; ++j) {
        // Rows are stored bottom-up: one stride on is the row above.
        row += stride;
        for (int i = 0; i < kBarWidth; ++i) row[i] = index;
      }
    }
  }
  m_colour = colour;
  if (GetSafeHwnd()) Invalidate(FALSE);
}

void CColourButton::OpenPopup() {
  if (!m_popup.GetSafeHwnd()) return;
  CRect r;
  GetWindowRect(&r);
  m_popup.Drop(CPoint(r.left, r.bottom));
}

// A click drops the popup instead of telling the parent: the parent hears of a picked colour.
void CColourButton::OnLButtonUp(UINT flags, CPoint p) {
  const bool captured = GetCapture() == this;
  if (!captured || !IsValidPoint(p) || !IsWindowEnabled() || !m_popup.GetSafeHwnd()) {
    CDibButton::OnLButtonUp(flags, p);
    return;
  }
  ReleaseCapture();
  Invalidate(FALSE);
  OpenPopup();
}

BOOL CColourButton::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (LOWORD(wParam) != IDC_COLOUR_PICKED || HIWORD(wParam) != 0)
    return CDibButton::OnCommand(wParam, lParam);
  SetColour(m_popup.GetColour());
  if (CWnd* parent = GetParent())
    parent->SendMessage(WM_COMMAND, MAKEWPARAM(WORD(GetDlgCtrlID()), 0),
                        reinterpret_cast<LPARAM>(static_cast<CWnd*>(this)));
  return TRUE;
}
