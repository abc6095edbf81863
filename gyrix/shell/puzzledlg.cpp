// The main window's start-up and shut-down, its settings file, the background tile with the
// shared palette, the choice of puzzle and the frame cache.
#include <gyrix/shell/puzzledlg.h>
#include <gyrix/shell/solvehint.h>
#include <gyrix/shell/replayview.h>
#include <gyrix/stats/sessionlog.h>
#include <gyrix/stats/solvelog.h>

#include <gyrix/res/templates.h>
#include <gyrix/shell/cachedframe.h>
#include <gyrix/shell/helppages.h>
#include <gyrix/shell/locations.h>
#include <gyrix/shell/menubutton.h>
#include <gyrix/puzzles.h>

#include <cordak/file.h>
#include <cordak/obmap.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <memory>

namespace {

// The settings keys and their defaults.
constexpr const char* kKeyShowButtons = "ShowButtons";
constexpr const char* kKeyShowTimer = "ShowTimer";
constexpr const char* kKeyLastPuzzle = "LastPuzzle";
constexpr const char* kKeyLastMenu = "LastMenu";
constexpr const char* kKeyBackgroundColor = "BackgroundColor";
constexpr const char* kKeyTimerColor = "TimerColor";
constexpr const char* kKeyTilePath = "TilePath";
constexpr const char* kKeyAnimSpeed = "AnimSpeed";
constexpr const char* kKeyColourScheme = "ColourScheme";
// Whether every facelet shows the symbol of its colour (1) or not (0).
constexpr const char* kKeySymbols = "Symbols";
// Whether turns made while another animates wait for it (1) or are refused (0).
constexpr const char* kKeyQueueTurns = "QueueTurns";
constexpr const char* kKeySmooth = "Smooth";
constexpr const char* kKeyDragPreview = "DragPreview";
// How turns animate: "Smooth" (every display frame, by time) or "Classic" (frame steps).
constexpr const char* kKeyAnimation = "Animation";
constexpr const char* kAnimationSmooth = "Smooth";
constexpr const char* kAnimationClassic = "Classic";
// Whether smooth turns start and end slowly (1) or run at one pace (0).
constexpr const char* kKeyEasing = "Easing";
constexpr const char* kKeyKeyLayout = "KeyLayout";
constexpr const char* kLayoutClassic = "Classic";
constexpr const char* kLayoutSpeedcube = "Speedcube";
// The window's place on the screen (the corner of its frame) and the size of its client
// area, and whether it was maximised.
constexpr const char* kKeyWindowLeft = "WindowLeft";
constexpr const char* kKeyWindowTop = "WindowTop";
constexpr const char* kKeyWindowWidth = "WindowWidth";
constexpr const char* kKeyWindowHeight = "WindowHeight";
constexpr const char* kKeyWindowMaximized = "WindowMaximized";

constexpr int kDefaultShowButtons = 1;
constexpr int kDefaultShowTimer = 1;
constexpr int kDefaultPuzzle = 1;  // Cube(3x3x3)
constexpr int kDefaultMenu = 0;
constexpr COLORREF kDefaultBackground = 0x808000;
constexpr COLORREF kDefaultTimerColor = 0x00FFFF;
constexpr const char* kDefaultTile = "Web.bmp";
constexpr int kDefaultAnimSpeed = 30;
constexpr bool kDefaultSymbols = false;
// A first window takes this share of the work area's height, and is this much wider than high.
constexpr double kStartHeightShare = 0.7;
constexpr double kStartAspect = 1.2;
// A saved window keeps at least this much of itself on the work area.
constexpr int kMinVisible = 64;

// Kept in every palette the tile builds, for the options dialog's colour buttons.
constexpr COLORREF kReservedOrange = 0x0080FF;

// Frames drawn by the shell, by bitmap id. The map does not own them: EmptyFrameCache
// deletes them when the main window goes.
CUObMap& FrameCache() {
  static CUObMap cache(CCachedFrame::IdOffset(), 50, 0);
  return cache;
}

CUString ColourKey(CPuzzle* puzzle, int index) {
  CUString key;
  puzzle->GetColourName(key, index, TRUE);
  return key;
}

CUString ModeKey(CPuzzle* puzzle) {
  CUString key;
  key.Format("%sMode", puzzle->GetName());
  return key;
}

bool EndsWithBmp(const char* name) {
  const std::size_t n = std::strlen(name);
  return n >= 4 && strcasecmp(name + n - 4, ".bmp") == 0;
}

}  // namespace

std::string CPuzzleDlg::cm_settingsOverride;

int CCachedFrame::IdOffset() {
  // The map reads the key through the CUObject pointer it stores.
  static const int offset = [] {
    CCachedFrame probe(0);
    const auto* base = reinterpret_cast<const char*>(static_cast<const CUObject*>(&probe));
    return static_cast<int>(reinterpret_cast<const char*>(&probe.m_id) - base);
  }();
  return offset;
}

// The game is timed by the clock the window's timers run on, so that a solve's milliseconds
// and its animation agree (and tests that set that clock time solves exactly).
CPuzzleDlg::CPuzzleDlg(CWnd* parent)
    : CDibDialog(IDD_GYRIX_MAIN, parent), m_session([] { return static_cast<std::int64_t>(CEventLoop::Now()); }) {
  RegisterGyrixTemplates();
  m_session.SetHost(this);
  m_session.AddListener(this);
  if (const char* log = std::getenv("GYRIX_EVENT_LOG"); log && *log) m_eventLog = std::fopen(log, "w");
  if (const char* log = std::getenv("GYRIX_FRAME_LOG"); log && *log) m_frameLog = std::fopen(log, "w");
  m_frameLogStart = CEventLoop::Now();
  if (m_icon.Load(static_cast<HINSTANCE>(nullptr), IDB_ICON) == 0) m_icon.DeleteObject();
}

CPuzzleDlg::~CPuzzleDlg() {
  SetHelpFolderProvider(nullptr);
  m_solver.reset();
  m_replay.reset();
  CloseSolveLog();
  m_session.RemoveListener(this);
  m_session.SetHost(nullptr);
  if (m_eventLog) std::fclose(m_eventLog);
  if (m_frameLog) std::fclose(m_frameLog);
  CMenuButton::SetOpenMenu(nullptr);
  m_buttons.DeleteAll();
}

BOOL CPuzzleDlg::OnInitDialog() {
  CDibDialog::OnInitDialog();
  if (m_icon.GetBits()) {
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(static_cast<HICON>(&m_icon)));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(static_cast<HICON>(&m_icon)));
  }
  OpenSolveLog();
  SetHelpFolderProvider([this] { return WriteHelpPages(); });
  LoadSettings();
  if (CMenu* menu = GetSystemMenu(FALSE)) {
    menu->AppendMenu(MF_SEPARATOR);
    menu->AppendMenu(MF_STRING, IDM_ABOUTBOX, "&About...");
    menu->AppendMenu(MF_STRING, IDM_OPTIONS, "&Options...");
  }
  CDibWnd::CreatePointFont(m_messageFont, 250, const_cast<char*>("Times New Roman"), 400, 0, 0);
  LoadPanel();
  m_joystickPresent = joySpaceOrbInUse();
  CUFile::SetCurrentFolder(GetModulePath());
  ApplyPlacement();
  SetTimer(kClockTimer, 1000);
  SetTimer(kSolveLogTimer, kSolveLogTickMs);
  // After the window shows, so that an error box has the window behind it.
  if (!m_startFile.empty()) PostMessage(WM_COMMAND, IDC_OPEN_START_FILE, 0);
  return TRUE;
}

// The message panel, in the colours of the current shared palette.
void CPuzzleDlg::LoadPanel() {
  CDib panel;
  panel.SetPalette(&CDibWnd::cm_palette);
  if (panel.Load(static_cast<HINSTANCE>(nullptr), IDB_PANEL) && panel.ConvertTo256Colors(CDibWnd::cm_palette))
    m_panel.CreateUnmapped(&panel);
}

std::string CPuzzleDlg::SettingsFilePath() {
  if (!cm_settingsOverride.empty()) return cm_settingsOverride;
  return SettingsPathFor(static_cast<const char*>(GetModulePath()), std::getenv("XDG_CONFIG_HOME"),
                         std::getenv("HOME"));
}

std::string CPuzzleDlg::HelpPagePath(const char* page) {
  return HelpFolder() + page;
}

BOOL CPuzzleDlg::OpenSettingsFile(CUIniFile& file) {
  return file.Open(SettingsFilePath().c_str()) ? TRUE : FALSE;
}

void CPuzzleDlg::LoadSettings() {
  m_showButtons = kDefaultShowButtons;
  m_showTimer = kDefaultShowTimer;
  m_lastPuzzle = kDefaultPuzzle;
  m_lastMenu = kDefaultMenu;
  SetBackgroundColor(kDefaultBackground);
  m_timerColor = kDefaultTimerColor;
  m_animSpeed = kDefaultAnimSpeed;
  m_colourScheme = 0;
  m_symbols = kDefaultSymbols;
  m_queueTurns = CGameSession::kDefaultQueueTurns;
  m_smooth = 1;
  m_dragPreviewOn = 1;
  m_keyLayout = EKeyLayout::Classic;
  bool smoothAnimation = true;
  bool easing = true;

  CUIniFile file;
  if (OpenSettingsFile(file)) {
    m_showButtons = file.ReadIniInt(kKeyShowButtons, m_showButtons);
    m_showTimer = file.ReadIniInt(kKeyShowTimer, m_showTimer);
    m_lastPuzzle = file.ReadIniInt(kKeyLastPuzzle, m_lastPuzzle);
    m_lastMenu = file.ReadIniInt(kKeyLastMenu, m_lastMenu);
    SetBackgroundColor(static_cast<COLORREF>(file.ReadIniInt(kKeyBackgroundColor, static_cast<int>(GetBackgroundColor()))));
    m_timerColor = static_cast<COLORREF>(file.ReadIniInt(kKeyTimerColor, static_cast<int>(m_timerColor)));
    file.ReadIniString(kKeyTilePath, m_tilePath, kDefaultTile);
    m_animSpeed = file.ReadIniInt(kKeyAnimSpeed, m_animSpeed);
    m_colourScheme = file.ReadIniInt(kKeyColourScheme, 0);
    m_symbols = file.ReadIniInt(kKeySymbols, m_symbols ? 1 : 0) != 0;
    m_queueTurns = file.ReadIniInt(kKeyQueueTurns, m_queueTurns) != 0;
    m_smooth = file.ReadIniInt(kKeySmooth, m_smooth) != 0;
    m_dragPreviewOn = file.ReadIniInt(kKeyDragPreview, m_dragPreviewOn) != 0;
    CUString animation;
    file.ReadIniString(kKeyAnimation, animation, kAnimationSmooth);
    // Anything but Classic (a typing slip, a newer program's style) animates smoothly.
    smoothAnimation = strcasecmp(animation, kAnimationClassic) != 0;
    easing = file.ReadIniInt(kKeyEasing, easing ? 1 : 0) != 0;
    CUString layout;
    file.ReadIniString(kKeyKeyLayout, layout, kLayoutClassic);
    m_keyLayout = strcasecmp(layout, kLayoutSpeedcube) == 0 ? EKeyLayout::Speedcube : EKeyLayout::Classic;
    m_savedPlacement.left = file.ReadIniInt(kKeyWindowLeft, 0);
    m_savedPlacement.top = file.ReadIniInt(kKeyWindowTop, 0);
    m_savedPlacement.right = m_savedPlacement.left + file.ReadIniInt(kKeyWindowWidth, 0);
    m_savedPlacement.bottom = m_savedPlacement.top + file.ReadIniInt(kKeyWindowHeight, 0);
    m_savedMaximized = file.ReadIniInt(kKeyWindowMaximized, 0) != 0;
    file.Close();
  }
  LoadKeyBindings();
  // A hand-edited speed of 0 or less would make the animation timer spin.
  if (m_animSpeed < 1) m_animSpeed = kDefaultAnimSpeed;
  // An unknown scheme (a newer program's, a typing slip) is the classic one.
  if (!GetSchemeTitle(m_colourScheme)) m_colourScheme = 0;
  SetQueueTurns(m_queueTurns != 0);
  SetDragPreview(m_dragPreviewOn != 0);
  SetAnimSpeed(m_animSpeed);
  SetSmoothAnimation(smoothAnimation, easing);
  // A tile that is missing now (a folder not mounted, say) keeps its name for next time; the
  // window goes without it.
  if (!LoadTile(m_tilePath)) ShowTile(nullptr);
  OpenMenuById(m_lastMenu);
  SelectPuzzle(m_lastPuzzle);
}

void CPuzzleDlg::SaveSettings() {
  CUIniFile file;
  if (!OpenSettingsFile(file)) return;
  file.WriteIniInt(kKeyShowButtons, m_showButtons);
  file.WriteIniInt(kKeyShowTimer, m_showTimer);
  file.WriteIniInt(kKeyLastPuzzle, m_lastPuzzle);
  file.WriteIniInt(kKeyLastMenu, m_lastMenu);
  file.WriteIniInt(kKeyBackgroundColor, static_cast<int>(GetBackgroundColor()));
  file.WriteIniInt(kKeyTimerColor, static_cast<int>(m_timerColor));
  file.WriteIniString(kKeyTilePath, m_tilePath);
  file.WriteIniInt(kKeyAnimSpeed, m_animSpeed);
  file.WriteIniInt(kKeyColourScheme, m_colourScheme);
  file.WriteIniInt(kKeySymbols, m_symbols ? 1 : 0);
  file.WriteIniInt(kKeyQueueTurns, m_queueTurns);
  file.WriteIniInt(kKeySmooth, m_smooth);
  file.WriteIniInt(kKeyDragPreview, m_dragPreviewOn);
  file.WriteIniString(kKeyAnimation, m_smoothAnimation ? kAnimationSmooth : kAnimationClassic);
  file.WriteIniInt(kKeyEasing, m_easing ? 1 : 0);
  file.WriteIniString(kKeyKeyLayout, m_keyLayout == EKeyLayout::Speedcube ? kLayoutSpeedcube : kLayoutClassic);
  if (m_hWnd && !IsIconic()) {
    // A maximised window keeps the size and place it goes back to.
    m_savedMaximized = IsZoomed() ? 1 : 0;
    if (!m_savedMaximized) {
      // The frame's corner: a window asked to open there comes up where this one is.
      CRect frame;
      GetFrameRect(&frame);
      GetWindowRect(&m_savedPlacement);
      m_savedPlacement.OffsetRect(frame.left - m_savedPlacement.left, frame.top - m_savedPlacement.top);
    }
    if (!m_savedPlacement.IsRectEmpty()) {
      file.WriteIniInt(kKeyWindowLeft, m_savedPlacement.left);
      file.WriteIniInt(kKeyWindowTop, m_savedPlacement.top);
      file.WriteIniInt(kKeyWindowWidth, m_savedPlacement.Width());
      file.WriteIniInt(kKeyWindowHeight, m_savedPlacement.Height());
    }
    file.WriteIniInt(kKeyWindowMaximized, m_savedMaximized);
  }
  if (CPuzzle* puzzle = GetPuzzle()) {
    if (puzzle->GetMode() != 0) file.WriteIniInt(ModeKey(puzzle), puzzle->GetMode());
    for (int i = 1; i < puzzle->GetPaletteCount(); ++i)
      file.WriteIniInt(ColourKey(puzzle, i), static_cast<int>(puzzle->GetPaletteEntry(i)));
  }
  file.Close();
  SaveKeyBindings();
}

bool CPuzzleDlg::LoadTileBitmap(const char* name, CDib& out) {
  if (!name || !*name) return false;
  CUString file = name;
  if (!EndsWithBmp(name)) file += ".bmp";
  if (out.Load(file)) return true;
  CUString beside;
  beside.Format("%s%s", ResourceFolderFor(static_cast<const char*>(GetModulePath())).c_str(),
                static_cast<const char*>(file));
  return out.Load(beside) != 0;
}

bool CPuzzleDlg::MakeTilePalette(CDib* tile, CPalette& palette, int scheme) {
  CQuantizer quantizer(1);
  quantizer.AddColor(kReservedOrange);
  // The classic colours are the standard ones and orange, which the palette holds already.
  if (scheme != 0)
    for (COLORREF c : GetSchemeColours(scheme)) quantizer.AddColor(c);
  if (tile && quantizer.Quantize(*tile, palette)) return true;
  // Without a picture to learn from, colours spread over the whole range keep the picture
  // buttons and the puzzle's colours close to their own.
  quantizer.FillEvenly();
  quantizer.CreatePalette(palette);
  return false;
}

bool CPuzzleDlg::LoadTile(const char* name) {
  const bool none = !name || !*name;
  CDib tile;
  if (!none && !LoadTileBitmap(name, tile)) return false;
  m_tilePath = none ? "" : name;
  ShowTile(none ? nullptr : &tile);
  return true;
}

void CPuzzleDlg::ShowTile(CDib* tile) {
  ++m_tileVersion;
  m_tile.DeleteObject();
  if (MakeTilePalette(tile, CDibWnd::cm_palette, m_colourScheme)) {
    m_tile = *tile;
    m_tile.ConvertTo256Colors(CDibWnd::cm_palette);
  }
  // Frames hold palette indices: after a new palette they must be made again.
  for (auto*& digit : m_digits) digit = nullptr;
  EmptyFrameCache();
  if (m_hWnd) LoadPanel();
  BuildButtons();
  if (m_hWnd) Invalidate(FALSE);
}

CRect CPuzzleDlg::StartPlacement(const CRect& saved, const CRect& workArea, CSize minimum) {
  const int areaW = std::max<int>(workArea.Width(), 1);
  const int areaH = std::max<int>(workArea.Height(), 1);
  CSize size;
  // Sizes too large for any screen (a damaged file) count as none saved.
  const bool haveSaved = saved.Width() > 0 && saved.Height() > 0 && saved.Width() <= 16 * 1024 &&
                         saved.Height() <= 16 * 1024;
  if (haveSaved) {
    size = CSize(saved.Width(), saved.Height());
  } else {
    const int h = static_cast<int>(areaH * kStartHeightShare);
    size = CSize(std::min(static_cast<int>(h * kStartAspect), areaW * 9 / 10), h);
  }
  // Never smaller than the layout needs, nor larger than the screen unless the layout needs it.
  size.cx = std::max<LONG>(std::min<LONG>(size.cx, areaW), minimum.cx);
  size.cy = std::max<LONG>(std::min<LONG>(size.cy, areaH), minimum.cy);
  CPoint at(workArea.left + (areaW - size.cx) / 2, workArea.top + (areaH - size.cy) / 2);
  if (haveSaved) {
    // A saved place off the screen now (a screen unplugged, a smaller one) is pulled back so
    // that a good part of the window can be seen and grabbed.
    const int keepX = std::min<int>(kMinVisible, size.cx);
    const int keepY = std::min<int>(kMinVisible, size.cy);
    at.x = std::clamp<int>(saved.left, workArea.left - size.cx + keepX, workArea.right - keepX);
    at.y = std::clamp<int>(saved.top, workArea.top, std::max<int>(workArea.top, workArea.bottom - keepY));
  }
  return CRect(at.x, at.y, at.x + size.cx, at.y + size.cy);
}

void CPuzzleDlg::ApplyPlacement() {
  const CSize minimum = MinimumClientSize();
  SetMinTrackSize(minimum.cx, minimum.cy);
  CRect workArea;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &workArea, 0);
  MoveWindow(StartPlacement(m_savedPlacement, workArea, minimum));
  if (m_savedMaximized) PostMessage(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
}

void CPuzzleDlg::SelectPuzzle(int typeId) {
  std::unique_ptr<CPuzzle> configured(CreateConfiguredPuzzle(typeId));
  // The game left off on this puzzle comes back; a fresh one can be taken back like any
  // other command.
  if (!ResumeKeptGame(*configured)) m_session.SetPuzzle(std::move(configured), true);
  m_lastPuzzle = typeId;
}

void CPuzzleDlg::OnGameEvent(const SGameEvent& event) {
  WriteEventLog(event);
  // What the pointer points at may be elsewhere now; the next move of the mouse tells.
  ForgetDragPreview();
  m_cursorFollows = true;
  using K = SGameEvent::EKind;
  switch (event.kind) {
    case K::PuzzleReplaced:
      // A solver's answer is for the puzzle it was asked about.
      if (m_solver) m_solver->Cancel();
      // A puzzle restored by undo keeps the view it had; a new one is fitted afresh.
      m_pressedFacelet = -1;
      if (m_hWnd && GetCapture() == this) ReleaseCapture();
      FitView(event.keepView);
      if (GetPuzzle()) {
        // A puzzle from a file or restored by undo is drawn as the settings say too.
        ApplyDisplaySettings(*GetPuzzle());
        ShowPuzzleTitle();
        m_lastPuzzle = GetPuzzle()->GetTypeId();
      }
      break;
    case K::ModeChanged:
      ShowPuzzleTitle();
      break;
    case K::Solved:
      // Shown once the turn's last frame is on the screen.
      if (m_hWnd) PostMessage(WM_COMMAND, IDC_PUZZLE_SOLVED, 0);
      break;
    default:
      break;
  }
  if (m_hWnd) Invalidate(FALSE);
}

void CPuzzleDlg::WriteEventLog(const SGameEvent& event) {
  if (!m_eventLog) return;
  std::fprintf(m_eventLog, "%lld %s\n", static_cast<long long>(event.timeMs), DescribeGameEvent(event).c_str());
  std::fflush(m_eventLog);
}

void CPuzzleDlg::SetSmooth(bool on) {
  m_smooth = on ? 1 : 0;
  if (m_hWnd) Invalidate(FALSE);
}

void CPuzzleDlg::SetDragPreview(bool on) {
  m_dragPreviewOn = on ? 1 : 0;
  m_dragPreview.SetEnabled(on);
}

void CPuzzleDlg::SetSmoothAnimation(bool on, bool easing) {
  m_smoothAnimation = on;
  m_easing = easing;
  // The window's clock, which its timers run on.
  m_session.SetSmoothAnimation(on, easing, CEventLoop::DisplayFramePeriodMs(),
                               [] { return static_cast<std::int64_t>(CEventLoop::Now()); });
}

void CPuzzleDlg::WriteFrameLog(long long drawMicroseconds) {
  if (!m_frameLog) return;
  const long long sinceStart = static_cast<long long>(CEventLoop::Now() - m_frameLogStart);
  const CGameSession::SShownFrame& shown = m_session.GetShownFrame();
  if (shown.move != 0 && m_sessionPainted)
    std::fprintf(m_frameLog, "%lld turn %d angle %d %lld\n", sinceStart, shown.move, shown.angle, drawMicroseconds);
  else
    std::fprintf(m_frameLog, "%lld rest %lld\n", sinceStart, drawMicroseconds);
  std::fflush(m_frameLog);
}

void CPuzzleDlg::SetQueueTurns(bool on) {
  m_queueTurns = on ? 1 : 0;
  m_session.SetQueueTurns(on);
}

void CPuzzleDlg::ApplyDisplaySettings(CPuzzle& puzzle) const {
  puzzle.SetOutlineWidth(GetSchemeOutlineWidth(m_colourScheme));
  puzzle.SetShowSymbols(m_symbols);
}

void CPuzzleDlg::SetSymbols(bool on) {
  m_symbols = on;
  if (GetPuzzle()) GetPuzzle()->SetShowSymbols(on);
  if (m_hWnd) Invalidate(FALSE);
}

CPuzzle* CPuzzleDlg::CreateConfiguredPuzzle(int typeId) {
  CPuzzle* puzzle = CreatePuzzle(typeId);
  ApplyScheme(*puzzle, m_colourScheme);
  ApplyDisplaySettings(*puzzle);
  CUIniFile file;
  if (OpenSettingsFile(file)) {
    for (int i = 1; i < puzzle->GetPaletteCount(); ++i)
      puzzle->SetPaletteEntry(i, static_cast<COLORREF>(file.ReadIniInt(
                                     ColourKey(puzzle, i), static_cast<int>(puzzle->GetPaletteEntry(i)))));
    int mode = file.ReadIniInt(ModeKey(puzzle), 0);
    if (mode != 0) puzzle->SetMode(mode);
    file.Close();
  }
  return puzzle;
}

void CPuzzleDlg::SetColourScheme(int scheme) {
  if (!GetSchemeTitle(scheme) || scheme == m_colourScheme) return;
  m_colourScheme = scheme;
  CUIniFile file;
  if (OpenSettingsFile(file)) {
    for (int t = 0; t < kPuzzleTypeCount; ++t) {
      const CPuzzleType* type = GetPuzzleType(t);
      for (int i = 1; i < type->paletteCount; ++i) {
        CUString key;
        key.Format("%s%d", type->name, i);
        if (file.FindKey(key)) file.DeleteKey(key);
      }
    }
    file.WriteIniInt(kKeyColourScheme, m_colourScheme);
    file.Close();
  }
  if (GetPuzzle()) ApplyScheme(*GetPuzzle(), m_colourScheme);
  // The palette made again holds the scheme's colours.
  if (!LoadTile(m_tilePath)) ShowTile(nullptr);
}

void CPuzzleDlg::SetAnimSpeed(int ms) {
  m_animSpeed = ms;
  m_session.SetAnimationInterval(ms);
}

CFrame* CPuzzleDlg::GetCachedFrame(int id, BOOL mapped) {
  CUObMap& cache = FrameCache();
  if (auto* cached = static_cast<CCachedFrame*>(cache.GetAt(id))) return cached;
  auto frame = std::make_unique<CCachedFrame>(id);
  CDib dib;
  dib.SetPalette(&CDibWnd::cm_palette);
  if (dib.Load(static_cast<HINSTANCE>(nullptr), id)) {
    dib.ConvertTo256Colors(CDibWnd::cm_palette);
    if (mapped) frame->Create(&dib);
    else frame->CreateUnmapped(&dib);
  }
  // A missing bitmap gives an empty frame, which draws nothing.
  CCachedFrame* result = frame.release();
  cache.SetAt(id, result);
  return result;
}

void CPuzzleDlg::EmptyFrameCache() { FrameCache().DeleteAll(); }

int CPuzzleDlg::GetFrameCacheCount() { return FrameCache().GetCount(); }

void CPuzzleDlg::OnDestroy() {
  KillTimer(kClockTimer);
  KillTimer(kSolveLogTimer);
  SaveSettings();
  CloseSolveLog();
  for (auto*& digit : m_digits) digit = nullptr;
  EmptyFrameCache();
  CDibDialog::OnDestroy();
}

CSize CPuzzleDlg::ClientSize() const {
  if (!m_hWnd) return CSize(0, 0);
  CRect client;
  GetClientRect(&client);
  return CSize(client.Width(), client.Height());
}

void CPuzzleDlg::FitView(bool keepTurn, CPuzzle* puzzle) {
  if (!puzzle) puzzle = GetPuzzle();
  if (!puzzle) return;
  // A view of another size has other facelets under the pointer.
  m_dragPreview.Forget();
  CSize size = ClientSize();
  if (size.cx <= 0 || size.cy <= 0) {
    if (!keepTurn) puzzle->ResetView(0, 0);
    return;
  }
  // The drawing scales with the larger side of the view: a view no higher than it is wide
  // keeps a window taller than wide from scaling the puzzle past its sides.
  int width = std::min(static_cast<int>(size.cy * 1.5), static_cast<int>(size.cx));
  if (m_showButtons) width = std::min(width, PuzzleRoom(size));
  int height = std::min(static_cast<int>(size.cy), width);
  width = width * m_zoom / 100;
  height = height * m_zoom / 100;
  if (keepTurn) puzzle->ResizeView(width, height);
  else puzzle->ResetView(width, height);
  puzzle->SetCentre(size.cx / 2, size.cy / 2);
}

void CPuzzleDlg::SetShowButtons(int on) {
  if (m_showButtons == on) return;
  m_showButtons = on;
  FitView(true);
  if (m_hWnd) Invalidate(FALSE);
}

CMenuButton* CPuzzleDlg::GetTopLevelButton(int i) const {
  return static_cast<CMenuButton*>(m_buttons.GetAt(i));
}
