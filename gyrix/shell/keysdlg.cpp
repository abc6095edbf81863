#include <gyrix/shell/keysdlg.h>

#include <algorithm>
#include <iterator>

namespace {

using K = DialogItemKind;
const DialogItemTemplate kKeysItems[] = {
    {K::Label, IDC_STATIC, "Commands and their keys (click one, or use the arrow keys):", 7, 4, 240, 8},
    {K::SunkenStatic, IDC_KEYS_LIST, "", 7, 14, 240, 190},
    {K::PushButton, IDC_KEYS_CHANGE, "&Change...", 253, 14, 55, 14, WS_TABSTOP},
    {K::PushButton, IDC_KEYS_ADD, "&Add key...", 253, 31, 55, 14, WS_TABSTOP},
    {K::PushButton, IDC_KEYS_CLEAR, "C&lear", 253, 48, 55, 14, WS_TABSTOP},
    {K::PushButton, IDC_KEYS_DEFAULTS, "&Defaults", 253, 65, 55, 14, WS_TABSTOP},
    {K::DefPushButton, IDOK, "OK", 253, 173, 55, 14, WS_TABSTOP},
    {K::PushButton, IDCANCEL, "Cancel", 253, 190, 55, 14, WS_TABSTOP},
    {K::Label, IDC_KEYS_NOTE, "", 7, 208, 301, 9},
};

const DialogTemplate kKeysTemplate = {
    315, 221, "Keys", "MS Sans Serif", 8, WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
    0, kKeysItems, static_cast<int>(std::size(kKeysItems))};

constexpr COLORREF kPaper = 0xffffff;
constexpr COLORREF kInk = 0x000000;
constexpr COLORREF kChosen = 0xffff00;
constexpr int kPadding = 3;

bool IsModifierKey(int key) {
  return key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU || key == VK_LSHIFT || key == VK_RSHIFT ||
         key == VK_LCONTROL || key == VK_RCONTROL || key == VK_LMENU || key == VK_RMENU;
}

int HeldModifiers() {
  return (IsPressed(VK_SHIFT) ? kModShift : 0) | (IsPressed(VK_CONTROL) ? kModCtrl : 0) |
         (IsPressed(VK_MENU) ? kModAlt : 0);
}

}  // namespace

void CKeysList::OnPaint() {
  CPaintDC dc(this);
  m_owner->DrawList(&dc, this);
  CRect r;
  GetClientRect(&r);
  dc.Draw3dRect(&r, GetSysColor(COLOR_3DSHADOW), GetSysColor(COLOR_3DHIGHLIGHT));
}

CKeysDlg::CKeysDlg(CWnd* parent, const CCommandTable& classic, const CCommandTable& speedcube)
    : CDibDialog(IDD_GYRIX_KEYS, parent), m_classic(classic), m_speedcube(speedcube) {
  RegisterDialogTemplate(IDD_GYRIX_KEYS, &kKeysTemplate);
  m_rows = m_classic.Commands();
  for (ECommand c : m_speedcube.Commands()) m_rows.push_back(c);
}

void CKeysDlg::DoDataExchange(CDataExchange* dx) { DDX_Control(dx, IDC_KEYS_LIST, m_listBox); }

BOOL CKeysDlg::OnInitDialog() {
  CDibDialog::OnInitDialog();
  m_font.CreatePointFont(80, "MS Sans Serif");
  SetNote("The speedcubing keys (Cube...) turn the cubes while Ctrl+K has them on.");
  return TRUE;
}

CCommandTable& CKeysDlg::TableOf(ECommand command) {
  return LayoutOf(command) == EKeyLayout::Speedcube ? m_speedcube : m_classic;
}

const CCommandTable& CKeysDlg::TableOf(ECommand command) const {
  return LayoutOf(command) == EKeyLayout::Speedcube ? m_speedcube : m_classic;
}

std::string CKeysDlg::DescribeRow(int row) const {
  const ECommand command = GetRowCommand(row);
  std::string text = CCommandTable::Name(command);
  text += ": ";
  bool first = true;
  for (const SKeyChord& chord : TableOf(command).ChordsOf(command)) {
    if (!first) text += ", ";
    text += ChordText(chord);
    first = false;
  }
  if (first) text += "(no key)";
  return text;
}

void CKeysDlg::Select(int row) {
  m_selected = std::clamp(row, 0, GetRowCount() - 1);
  m_capturing = false;
  Refresh();
}

void CKeysDlg::StartCapture(bool add) {
  m_capturing = true;
  m_adding = add;
  SetNote(std::string("Press the key for ") + CCommandTable::Name(GetRowCommand(m_selected)) +
          " (Esc: no change).");
}

bool CKeysDlg::TakeKey(SKeyChord chord) {
  if (!m_capturing) return false;
  m_capturing = false;
  const ECommand command = GetRowCommand(m_selected);
  CCommandTable& table = TableOf(command);
  // The layout's switch must stay within reach whichever layout is on.
  if (&table == &m_speedcube) {
    const ECommand classic = m_classic.Find(chord.key, chord.mods);
    if (classic == ECommand::KeyLayout) {
      SetNote(ChordText(chord) + " switches the layout of keys; it cannot turn the cube too.");
      return false;
    }
  }
  std::string problem;
  const std::vector<SKeyChord> before = table.ChordsOf(command);
  if (!m_adding) table.SetChords(command, {});
  if (!table.TryBind(chord, command, &problem)) {
    table.SetChords(command, before);
    SetNote(problem + "; nothing changed.");
    return false;
  }
  SetNote(DescribeRow(m_selected));
  Refresh();
  return true;
}

void CKeysDlg::ClearSelected() {
  const ECommand command = GetRowCommand(m_selected);
  TableOf(command).SetChords(command, {});
  SetNote(DescribeRow(m_selected));
  Refresh();
}

void CKeysDlg::RestoreDefaults() {
  m_classic.SetDefaults();
  m_speedcube.SetDefaults();
  m_capturing = false;
  SetNote("Every key is back as it was at first.");
  Refresh();
}

void CKeysDlg::SetNote(const std::string& note) {
  m_note = note;
  if (!GetSafeHwnd()) return;
  if (CWnd* label = GetDlgItem(IDC_KEYS_NOTE)) {
    label->SetWindowText(note.c_str());
    Invalidate(FALSE);
  }
}

void CKeysDlg::Refresh() {
  if (!GetSafeHwnd()) return;
  // The chosen row stays in view.
  CRect r;
  m_listBox.GetClientRect(&r);
  const int rows = std::max(1, (r.Height() - 2 * kPadding) / kRowHeight);
  if (m_selected < m_firstRow) m_firstRow = m_selected;
  if (m_selected >= m_firstRow + rows) m_firstRow = m_selected - rows + 1;
  m_listBox.Invalidate(FALSE);
}

void CKeysDlg::DrawList(CDC* dc, CWnd* box) {
  CRect r;
  box->GetClientRect(&r);
  CDib picture;
  if (r.Width() <= 0 || r.Height() <= 0 || !picture.Create(&CDibWnd::cm_palette, r.Width(), r.Height(), 0)) return;
  CDC* pdc = picture.GetMemDC(nullptr);
  if (!pdc) return;
  pdc->FillSolidRect(&r, kPaper);
  CFont* oldFont = m_font.GetSafeHandle() ? pdc->SelectObject(&m_font) : nullptr;
  pdc->SetBkMode(TRANSPARENT);
  pdc->SetTextColor(kInk);
  const int rows = std::max(1, (r.Height() - 2 * kPadding) / kRowHeight);
  for (int i = 0; i < rows && m_firstRow + i < GetRowCount(); ++i) {
    const int row = m_firstRow + i;
    const int y = kPadding + i * kRowHeight;
    if (row == m_selected) pdc->FillSolidRect(2, y, r.Width() - 4, kRowHeight, kChosen);
    pdc->TextOut(kPadding + 2, y + 1, DescribeRow(row));
  }
  if (oldFont) pdc->SelectObject(oldFont);
  picture.ReleaseMemDC(pdc);
  CPalette* oldPalette = dc->SelectPalette(&CDibWnd::cm_palette, FALSE);
  dc->RealizePalette();
  picture.Draw(dc, CPoint(0, 0));
  dc->SelectPalette(oldPalette, TRUE);
}

BOOL CKeysDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
  switch (LOWORD(wParam)) {
    case IDC_KEYS_CHANGE: StartCapture(false); return TRUE;
    case IDC_KEYS_ADD: StartCapture(true); return TRUE;
    case IDC_KEYS_CLEAR: ClearSelected(); return TRUE;
    case IDC_KEYS_DEFAULTS: RestoreDefaults(); return TRUE;
    default: break;
  }
  return CDibDialog::OnCommand(wParam, lParam);
}

void CKeysDlg::OnLButtonDown(UINT flags, CPoint point) {
  CDibDialog::OnLButtonDown(flags, point);
  if (!m_listBox.GetSafeHwnd()) return;
  CRect box;
  m_listBox.GetWindowRect(&box);
  ScreenToClient(&box);
  if (!box.PtInRect(point)) return;
  const int row = (point.y - box.top - kPadding) / kRowHeight;
  if (row >= 0 && m_firstRow + row < GetRowCount()) Select(m_firstRow + row);
}

BOOL CKeysDlg::OnMouseWheel(UINT, short delta, CPoint) {
  m_firstRow = std::clamp(m_firstRow + (delta > 0 ? -3 : 3), 0, std::max(0, GetRowCount() - 1));
  m_listBox.Invalidate(FALSE);
  return TRUE;
}

void CKeysDlg::OnKeyDown(UINT key, UINT repeat, UINT flags) {
  const int k = static_cast<int>(key);
  if (m_capturing) {
    if (!IsModifierKey(k)) TakeKey(SKeyChord{k, HeldModifiers()});
    return;
  }
  if (k == VK_UP) Select(m_selected - 1);
  else if (k == VK_DOWN) Select(m_selected + 1);
  else CDibDialog::OnKeyDown(key, repeat, flags);
}

BOOL CKeysDlg::PreTranslateMessage(MSG* msg) {
  if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN) return CDibDialog::PreTranslateMessage(msg);
  const int k = static_cast<int>(msg->wParam);
  if (m_capturing) {
    if (k == VK_ESCAPE && HeldModifiers() == 0) OnCancel();
    else if (!IsModifierKey(k)) TakeKey(SKeyChord{k, HeldModifiers()});
    return TRUE;
  }
  if (k == VK_UP || k == VK_DOWN) {
    Select(m_selected + (k == VK_UP ? -1 : 1));
    return TRUE;
  }
  return CDibDialog::PreTranslateMessage(msg);
}

void CKeysDlg::OnOK() {
  // Enter while a key is awaited is that key.
  if (m_capturing) {
    TakeKey(SKeyChord{VK_RETURN, HeldModifiers()});
    return;
  }
  CDibDialog::OnOK();
}

void CKeysDlg::OnCancel() {
  if (m_capturing) {
    m_capturing = false;
    SetNote("No change.");
    return;
  }
  CDibDialog::OnCancel();
}
