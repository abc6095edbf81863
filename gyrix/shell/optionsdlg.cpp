#include <gyrix/shell/optionsdlg.h>

#include <gyrix/engine/puzzle.h>
#include <gyrix/puzzles/schemes.h>
#include <gyrix/res/templates.h>
#include <gyrix/shell/aboutdlg.h>
#include <gyrix/shell/helppages.h>
#include <gyrix/shell/puzzledlg.h>

#include <cstring>

namespace {

constexpr int kBrowseBitmap = 159;
constexpr unsigned char kThreeStates = CDibButton::cm_imgPressed | CDibButton::cm_imgHover;
constexpr CPoint kCaptionAt{5, 4};
constexpr int kHelpCommand = 9;
// Cyan, the one clock colour the panel cannot show, is kept as black.
constexpr COLORREF kUnshownTimerColour = 0xFFFF00;
constexpr int kSideColours = 10;

}  // namespace

void CPreviewBox::OnPaint() {
  CPaintDC dc(this);
  m_owner->DrawPreview(&dc);
  CRect r;
  GetClientRect(&r);
  dc.Draw3dRect(&r, GetSysColor(COLOR_3DSHADOW), GetSysColor(COLOR_3DHIGHLIGHT));
}

COptionsDlg::COptionsDlg(CPuzzleDlg* owner) : CDibDialog(IDD_GYRIX_OPTIONS, owner), m_owner(owner) {
  RegisterGyrixTemplates();
  if (CPuzzle* current = owner->GetPuzzle()) m_preview = owner->CreateConfiguredPuzzle(current->GetTypeId());
  m_background = owner->GetBackgroundColor();
  m_timerColour = owner->GetTimerColor();
  m_animSpeed = owner->GetAnimSpeed();
  m_scheme = owner->GetColourScheme();
}

COptionsDlg::~COptionsDlg() {
  delete m_preview;
  m_preview = nullptr;
}

void COptionsDlg::DoDataExchange(CDataExchange* dx) {
  DDX_Control(dx, IDC_OPT_SHOW_TIMER, m_showTimer);
  DDX_Control(dx, IDC_OPT_SMOOTH, m_smooth);
  DDX_Control(dx, IDC_OPT_SHOW_BUTTONS, m_showButtons);
  DDX_Control(dx, IDC_OPT_SYMBOLS, m_symbols);
  DDX_Control(dx, IDC_OPT_TILE, m_tileEdit);
  DDX_Control(dx, IDC_OPT_PREVIEW, m_previewBox);
  DDX_Text(dx, IDC_OPT_ANIM_SPEED, m_animSpeed);
  DDV_MinMaxInt(dx, m_animSpeed, kMinAnimSpeed, kMaxAnimSpeed);
}

BOOL COptionsDlg::OnInitDialog() {
  CDibDialog::OnInitDialog();
  CRect box;
  m_previewBox.GetClientRect(&box);
  if (m_preview) m_preview->ResetView(box.Width(), box.Height());

  m_showButtons.SetCheck(m_owner->GetShowButtons() ? 1 : 0);
  m_showTimer.SetCheck(m_owner->GetShowTimer() ? 1 : 0);
  m_symbols.SetCheck(m_owner->GetSymbols() ? 1 : 0);
  m_smooth.SetCheck(m_owner->IsSmooth() ? 1 : 0);
  if (!LoadPreviewTile(m_owner->GetTilePath())) ClearPreviewTile();
  m_tileEdit.SetWindowText(m_owner->GetTilePath());
  m_browse.SubclassButton(this, IDC_OPT_BROWSE, nullptr, kBrowseBitmap, kThreeStates);

  // Only as many side buttons as the puzzle has colours; the rest stay plain.
  const int sides = m_preview ? m_preview->GetPaletteCount() - 1 : 0;
  for (int i = 0; i < kColourButtons; ++i) {
    if (i >= sides && i < kSideColours) continue;
    CColourButton& button = m_colourButtons[i];
    const int id = IDC_OPT_SIDE1 + i;
    CWnd* control = GetDlgItem(id);
    CUString caption = control ? control->WindowText().c_str() : "";
    if (!button.SubclassButton(this, id, nullptr, IDB_COLOUR_BUTTON, kThreeStates)) continue;
    if (i < kSideColours) {
      button.SetColour(m_preview->GetPaletteEntry(i + 1));
      m_preview->GetColourName(caption, i + 1, FALSE);
    } else {
      button.SetColour(i == 10 ? m_owner->GetBackgroundColor() : m_owner->GetTimerColor());
    }
    button.SetText(caption, kCaptionAt);
  }
  ShowSchemeName();
  return TRUE;
}

void COptionsDlg::ShowSchemeName() {
  CUString text;
  text.Format("Scheme: %s", GetSchemeTitle(m_scheme));
  if (CWnd* button = GetDlgItem(IDC_OPT_SCHEME)) button->SetWindowText(text);
}

void COptionsDlg::NextScheme() {
  m_scheme = (m_scheme + 1) % kColourSchemeCount;
  if (m_preview) {
    ApplyScheme(*m_preview, m_scheme);
    const int sides = m_preview->GetPaletteCount() - 1;
    for (int i = 0; i < sides && i < kSideColours; ++i) {
      m_colourButtons[i].SetColour(m_preview->GetPaletteEntry(i + 1));
      m_colourButtons[i].Invalidate(FALSE);
    }
  }
  ShowSchemeName();
  RemakePreviewPalette();
}

void COptionsDlg::SymbolsChanged() {
  if (m_preview) m_preview->SetShowSymbols(m_symbols.GetCheck() != 0);
  m_previewBox.Invalidate(FALSE);
}

void COptionsDlg::RemakePreviewPalette() {
  const std::string name = GetSafeHwnd() ? GetDlgItemText(IDC_OPT_TILE) : std::string();
  if (name.empty() || !LoadPreviewTile(name.c_str())) ClearPreviewTile();
}

bool COptionsDlg::LoadPreviewTile(const char* name) {
  CDib loaded;
  if (!CPuzzleDlg::LoadTileBitmap(name, loaded)) return false;
  CPalette palette;
  if (!CPuzzleDlg::MakeTilePalette(&loaded, palette, m_scheme)) return false;
  // Only a tile that loaded replaces what the preview shows.
  PALETTEENTRY entries[256];
  const int count = static_cast<int>(palette.GetPaletteEntries(0, 256, entries));
  m_palette.DeleteObject();
  m_palette.CreatePalette(entries, count);
  m_tile = loaded;
  m_tile.ConvertTo256Colors(m_palette);
  ShowPalette();
  return true;
}

void COptionsDlg::ClearPreviewTile() {
  m_tile.DeleteObject();
  CPuzzleDlg::MakeTilePalette(nullptr, m_palette, m_scheme);
  ShowPalette();
}

// The dialog shows the preview's palette, whatever palettes its buttons bring: their colours
// are the standard ones, which every tile palette holds.
void COptionsDlg::ShowPalette() {
  if (!GetSafeHwnd()) return;
  LockPresentPalette(&m_palette);
  if (CWnd* note = GetDlgItem(IDC_OPT_TILE_NOTE)) note->ShowWindow(m_tile.GetBits() ? SW_SHOW : SW_HIDE);
  Invalidate(FALSE);
}

bool COptionsDlg::RenderPreview(CDib& out, CImage32* smooth) {
  if (!m_previewBox.GetSafeHwnd()) return false;
  CRect box;
  m_previewBox.GetClientRect(&box);
  if (!m_palette.GetSafeHandle()) CPuzzleDlg::MakeTilePalette(nullptr, m_palette, m_scheme);
  if (!out.Create(&m_palette, box.Width(), box.Height(), 254)) return false;
  CDC mem;
  if (!mem.CreateCompatibleDC(nullptr)) return false;
  CBitmap* oldBitmap = mem.SelectObject(&out);
  if (m_tile.GetBits()) {
    m_tile.Tile(&mem, box);
  } else {
    CBrush brush(m_background);
    CBrush* oldBrush = mem.SelectObject(&brush);
    mem.PatBlt(0, 0, box.Width(), box.Height(), PATCOPY);
    mem.SelectObject(oldBrush);
  }
  CPalette* oldPalette = mem.SelectPalette(&m_palette, FALSE);
  mem.RealizePalette();
  const RECT all{0, 0, box.Width(), box.Height()};
  if (smooth && m_preview && smooth->Resize(box.Width(), box.Height())) {
    smooth->CopyFrom(out, all);
    m_painter.Begin(all);
    m_preview->SetSmoothPainter(&m_painter, true);
  }
  if (m_preview) m_preview->Draw(&mem, &out);
  if (smooth && m_preview) {
    m_preview->SetSmoothPainter(nullptr, false);
    m_painter.Paint(*smooth);
  }
  mem.SelectPalette(oldPalette, FALSE);
  mem.SelectObject(oldBitmap);
  return true;
}

void COptionsDlg::DrawPreview(CDC* dc) {
  CDib preview;
  CImage32 smooth;
  const bool smoothShown = IsSmoothChecked() && m_preview;
  if (!RenderPreview(preview, smoothShown ? &smooth : nullptr)) return;
  CPalette* oldPalette = dc->SelectPalette(&m_palette, FALSE);
  dc->RealizePalette();
  preview.Draw(dc, CPoint(0, 0));
  dc->SelectPalette(oldPalette, TRUE);
  // The smooth preview is presented over the box, inside its sunken frame.
  CImage32* frame = SmoothFrame();
  if (!smoothShown || !frame || smooth.IsEmpty()) {
    ShowSmoothFrame(CRect());
    return;
  }
  CRect box;
  m_previewBox.GetWindowRect(&box);
  ScreenToClient(&box);
  CRect inside(box);
  inside.DeflateRect(1, 1);
  inside.IntersectRect(inside, CRect(0, 0, frame->Width(), frame->Height()));
  for (int y = inside.top; y < inside.bottom; ++y) {
    const int from = y - box.top;
    if (from < 0 || from >= smooth.Height()) continue;
    for (int x = inside.left; x < inside.right; ++x)
      if (x - box.left < smooth.Width()) frame->Row(y)[x] = smooth.At(x - box.left, from);
  }
  ShowSmoothFrame(inside);
}

void COptionsDlg::OnPaint() {
  CDibDialog::OnPaint();
  if (m_previewBox.GetSafeHwnd()) m_previewBox.Invalidate(FALSE);
}

void COptionsDlg::OnRButtonDown(UINT flags, CPoint point) {
  CDibDialog::OnRButtonDown(flags, point);
  SetCapture();
  m_pressPoint = point;
}

void COptionsDlg::OnMouseMove(UINT flags, CPoint point) {
  CDibDialog::OnMouseMove(flags, point);
  if (GetCapture() != this) return;
  if (!(flags & MK_RBUTTON)) {
    ReleaseCapture();
    return;
  }
  CRect box;
  m_previewBox.GetWindowRect(&box);
  if (m_preview && box.Width() > 0 && box.Height() > 0) {
    m_preview->RotateViewX((point.y - m_pressPoint.y) * 360 / box.Height());
    m_preview->RotateViewY((point.x - m_pressPoint.x) * 360 / box.Width());
  }
  m_pressPoint = point;
  m_previewBox.Invalidate(FALSE);
}

bool COptionsDlg::HandleColourCommand(int id) {
  const COLORREF colour = m_colourButtons[id - IDC_OPT_SIDE1].GetColour();
  if (id < IDC_OPT_BACKGROUND) {
    const int entry = id - (IDC_OPT_SIDE1 - 1);
    if (!m_preview || entry >= m_preview->GetPaletteCount()) return false;
    if (colour == m_preview->GetPaletteEntry(entry)) return false;
    m_preview->SetPaletteEntry(entry, colour);
  } else if (id == IDC_OPT_BACKGROUND) {
    if (colour == m_background) return false;
    m_background = colour;
  } else {
    if (colour == m_timerColour) return false;
    m_timerColour = colour == kUnshownTimerColour ? 0 : colour;
  }
  m_previewBox.Invalidate(FALSE);
  return true;
}

BOOL COptionsDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  const int code = HIWORD(wParam);
  if (code == 0 && id >= IDC_OPT_SIDE1 && id <= IDC_OPT_TIMER && HandleColourCommand(id)) return TRUE;
  if (code == 0 && id == IDC_OPT_KEYS) {
    if (m_owner) m_owner->RunKeysDialog(this);
    return TRUE;
  }
  if (code == 0 && id == IDC_OPT_ABOUT) {
    CAboutDlg about(this);
    about.DoModal();
    return TRUE;
  }
  if (code == 0 && id == IDC_OPT_SMOOTH) {
    m_previewBox.Invalidate(FALSE);
    return TRUE;
  }
  if (code == 0 && id == IDC_OPT_SCHEME) {
    NextScheme();
    return TRUE;
  }
  if (code == BN_CLICKED && id == IDC_OPT_SYMBOLS) {
    SymbolsChanged();
    return TRUE;
  }
  if (code == 0 && id == IDC_OPT_BROWSE) {
    Browse();
    return TRUE;
  }
  if (code == 0 && id == kHelpCommand) {
    OpenHelp();
    return TRUE;
  }
  if (code == EN_KILLFOCUS && id == IDC_OPT_TILE) {
    const std::string name = GetDlgItemText(IDC_OPT_TILE);
    // An emptied box shows the plain background; a name that does not load changes nothing.
    if (name.empty()) ClearPreviewTile();
    else LoadPreviewTile(name.c_str());
    return TRUE;
  }
  return CDibDialog::OnCommand(wParam, lParam);
}

void COptionsDlg::Browse() {
  char filter[32];
  std::snprintf(filter, sizeof filter, "Bitmap Files%c*.bmp%c%c", 0, 0, 0);
  CUString path;
  if (!GetOpenSavePath(path, 0, filter, nullptr)) return;
  m_tileEdit.SetWindowText(path);
  if (!LoadPreviewTile(path)) RefuseTile(path);
}

void COptionsDlg::RefuseTile(const char* name) {
  Error("The tile \"%s\" cannot be loaded. Choose a .bmp picture, or leave the box empty for a "
        "plain background.", name);
  GotoDlgCtrl(&m_tileEdit);
}

void COptionsDlg::OpenHelp() {
  OpenHelpPage(this, "options.html");
}

BOOL COptionsDlg::OnHelpInfo(HELPINFO*) {
  OpenHelp();
  return TRUE;
}

void COptionsDlg::OnOK() {
  if (!UpdateData(TRUE)) return;
  // A new tile name that loads nowhere is refused before anything is applied.
  const std::string tile = GetDlgItemText(IDC_OPT_TILE);
  const bool newTile = tile != static_cast<const char*>(m_owner->GetTilePath());
  if (newTile && !tile.empty() && !LoadPreviewTile(tile.c_str())) {
    RefuseTile(tile.c_str());
    return;
  }
  m_owner->SetBackgroundColor(m_background);
  m_owner->SetTimerColor(m_timerColour);
  if (newTile) m_owner->LoadTile(tile.c_str());
  m_owner->SetShowButtons(m_showButtons.GetCheck() ? 1 : 0);
  m_owner->SetShowTimer(m_showTimer.GetCheck() ? 1 : 0);
  m_owner->SetSymbols(m_symbols.GetCheck() != 0);
  m_owner->SetSmooth(m_smooth.GetCheck() != 0);
  m_owner->SetAnimSpeed(m_animSpeed);
  // The scheme first: it forgets the stored colours, then the preview's (the scheme's with
  // any the player changed since) become the puzzle's.
  m_owner->SetColourScheme(m_scheme);
  if (CPuzzle* puzzle = m_owner->GetPuzzle(); puzzle && m_preview) {
    for (int i = 1; i < m_preview->GetPaletteCount() && i < puzzle->GetPaletteCount(); ++i)
      puzzle->SetPaletteEntry(i, m_preview->GetPaletteEntry(i));
  }
  m_owner->SaveSettings();
  EndDialog(IDOK);
}

void COptionsDlg::OnDestroy() {
  LockPresentPalette(nullptr);
  CDibDialog::OnDestroy();
  delete m_preview;
  m_preview = nullptr;
}
