#include <gyrix/shell/statsdlg.h>

#include <gyrix/stats/chart.h>
#include <gyrix/stats/exchange.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

using K = DialogItemKind;
const DialogItemTemplate kStatsItems[] = {
    {K::Label, IDC_STATIC, "Summary:", 7, 4, 60, 8},
    {K::SunkenStatic, IDC_STATS_SUMMARY, "", 7, 13, 150, 118},
    {K::Label, IDC_STATIC, "Times, ao5 and ao12:", 162, 4, 120, 8},
    {K::SunkenStatic, IDC_STATS_CHART, "", 162, 13, 231, 118},
    {K::Label, IDC_STATIC, "Solves, newest first (click to choose one):", 7, 135, 200, 8},
    {K::SunkenStatic, IDC_STATS_LIST, "", 7, 144, 280, 100},
    {K::PushButton, IDC_STATS_REPLAY, "&Replay", 292, 144, 49, 14, WS_TABSTOP},
    {K::PushButton, IDC_STATS_DELETE, "&Delete", 344, 144, 49, 14, WS_TABSTOP},
    {K::PushButton, IDC_STATS_UNDELETE, "&Undo delete", 292, 161, 49, 14, WS_TABSTOP},
    {K::PushButton, IDC_STATS_IMPORT, "&Import", 344, 161, 49, 14, WS_TABSTOP},
    {K::PushButton, IDC_STATS_EXPORT_JSON, "Export &JSON", 292, 178, 49, 14, WS_TABSTOP},
    {K::PushButton, IDC_STATS_EXPORT_CSV, "Export &CSV", 344, 178, 49, 14, WS_TABSTOP},
    {K::PushButton, IDC_STATS_SESSION, "All sessions", 292, 198, 101, 14, WS_TABSTOP},
    {K::PushButton, IDC_STATS_NEW_SESSION, "&New session", 292, 215, 49, 14, WS_TABSTOP},
    {K::DefPushButton, IDCANCEL, "Close", 344, 230, 49, 14, WS_TABSTOP},
    {K::Label, IDC_STATS_NOTE, "", 7, 248, 386, 9},
};

const DialogTemplate kStatsTemplate = {
    400, 260, "Statistics", "MS Sans Serif", 8, WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
    0, kStatsItems, static_cast<int>(std::size(kStatsItems))};

constexpr COLORREF kPaper = 0xffffff;
constexpr COLORREF kInk = 0x000000;
constexpr COLORREF kGrid = 0xc0c0c0;
constexpr COLORREF kSingle = 0x808080;
constexpr COLORREF kAo5 = 0xff0000;   // blue
constexpr COLORREF kAo12 = 0x0080ff;  // orange
constexpr COLORREF kBest = 0x0000ff;  // red
constexpr COLORREF kChosen = 0xffff00;  // the chosen row (its ink stays black)
constexpr int kPadding = 4;
constexpr int kChartLabels = 34;

std::string Seconds(std::int64_t ms) {
  char text[32];
  std::snprintf(text, sizeof text, "%lld.%03lld", static_cast<long long>(ms / 1000), static_cast<long long>(ms % 1000));
  return text;
}

void Polyline(CDC* dc, const std::vector<CChartPoint>& points) {
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (i == 0) dc->MoveTo(points[i].x, points[i].y);
    else dc->LineTo(points[i].x, points[i].y);
  }
  if (points.size() == 1) dc->LineTo(points[0].x + 1, points[0].y);
}

// A curve two pixels thick, so that it reads at a glance over the points.
void ThickPolyline(CDC* dc, std::vector<CChartPoint> points) {
  Polyline(dc, points);
  for (CChartPoint& p : points) ++p.y;
  Polyline(dc, points);
}

void Cross(CDC* dc, const CChartPoint& p, int r) {
  for (int d = 0; d < 2; ++d) {
    dc->MoveTo(p.x - r + d, p.y - r);
    dc->LineTo(p.x + r + 1 + d, p.y + r + 1);
    dc->MoveTo(p.x + r + d, p.y - r);
    dc->LineTo(p.x - r - 1 + d, p.y + r + 1);
  }
}

}  // namespace

void CStatsPanel::OnPaint() {
  CPaintDC dc(this);
  m_owner->DrawPanel(m_which, &dc, this);
  CRect r;
  GetClientRect(&r);
  dc.Draw3dRect(&r, GetSysColor(COLOR_3DSHADOW), GetSysColor(COLOR_3DHIGHLIGHT));
}

CStatsDlg::CStatsDlg(CWnd* parent, CSolveLog& log, int typeId, int mode, const char* puzzleName)
    : CDibDialog(IDD_GYRIX_STATS, parent), m_log(log), m_typeId(typeId), m_mode(mode),
      m_puzzleName(puzzleName ? puzzleName : "") {
  RegisterDialogTemplate(IDD_GYRIX_STATS, &kStatsTemplate);
  Reload();
  // The newest solve is chosen, so that Replay plays the one just made.
  if (!m_solves.empty()) m_selected = 0;
}

void CStatsDlg::DoDataExchange(CDataExchange* dx) {
  DDX_Control(dx, IDC_STATS_SUMMARY, m_summaryBox);
  DDX_Control(dx, IDC_STATS_LIST, m_listBox);
  DDX_Control(dx, IDC_STATS_CHART, m_chartBox);
}

BOOL CStatsDlg::OnInitDialog() {
  CDibDialog::OnInitDialog();
  m_font.CreatePointFont(80, "MS Sans Serif");
  char title[160];
  std::snprintf(title, sizeof title, "Statistics: %s%s", m_puzzleName.c_str(),
                m_mode != 0 ? (", mode " + std::to_string(m_mode)).c_str() : "");
  SetWindowText(title);
  SetNote(m_solves.empty() ? "No solves of this puzzle yet: scramble it and solve it." : "");
  return TRUE;
}

CSolveFilter CStatsDlg::Filter() const {
  CSolveFilter filter;
  filter.typeId = m_typeId;
  filter.mode = m_mode;
  filter.session = m_session;
  // An imported session is shown whole, whatever puzzle it was of.
  CSolveSession shown;
  if (m_session != 0 && m_log.GetSession(m_session, shown) && shown.imported) {
    filter.typeId = CSolveFilter::kAny;
    filter.mode = CSolveFilter::kAny;
  }
  return filter;
}

std::string CStatsDlg::SessionTitle() const {
  if (m_session == 0) return "All sessions";
  CSolveSession shown;
  if (!m_log.GetSession(m_session, shown)) return "Session " + std::to_string(m_session);
  std::string name = shown.name.empty() ? "Session " + std::to_string(m_session) : shown.name;
  if (shown.imported) name += " (imported" + (shown.puzzle.empty() ? std::string() : ", " + shown.puzzle) + ")";
  return name;
}

void CStatsDlg::NextSession() {
  // All, then each session in turn, then all again.
  const std::vector<CSolveSession> sessions = m_log.ListSessions();
  std::int64_t next = 0;
  if (m_session == 0) {
    if (!sessions.empty()) next = sessions.front().id;
  } else {
    for (std::size_t i = 0; i + 1 < sessions.size(); ++i)
      if (sessions[i].id == m_session) next = sessions[i + 1].id;
  }
  ShowSession(next);
}

void CStatsDlg::ShowSession(std::int64_t session) {
  m_session = session;
  m_selected = -1;
  m_firstRow = 0;
  Reload();
  if (!m_solves.empty()) m_selected = 0;
  if (GetSafeHwnd())
    if (CWnd* button = GetDlgItem(IDC_STATS_SESSION)) button->SetWindowText(SessionTitle().c_str());
  SetNote(SessionTitle() + ": " + std::to_string(m_solves.size()) + " solves.");
  Refresh();
}

std::int64_t CStatsDlg::StartNewSession() {
  const std::int64_t id = m_log.NewSession(std::string());
  if (id <= 0) {
    SetNote("A new session could not be started.");
    return 0;
  }
  ShowSession(id);
  SetNote("New solves now go to " + SessionTitle() + ".");
  return id;
}

void CStatsDlg::Reload() {
  m_solves = m_log.ListSolves(Filter());
  std::reverse(m_solves.begin(), m_solves.end());
  m_times = m_log.CountedTimes(Filter());
  m_stats = ComputeStatistics(m_times);
  if (m_selected >= static_cast<int>(m_solves.size())) m_selected = static_cast<int>(m_solves.size()) - 1;
  m_firstRow = std::clamp(m_firstRow, 0, std::max(0, static_cast<int>(m_solves.size()) - 1));
}

void CStatsDlg::Refresh() {
  if (!GetSafeHwnd()) return;
  m_summaryBox.Invalidate(FALSE);
  m_listBox.Invalidate(FALSE);
  m_chartBox.Invalidate(FALSE);
}

void CStatsDlg::SetNote(const std::string& note) {
  m_note = note;
  if (!GetSafeHwnd()) return;
  if (CWnd* label = GetDlgItem(IDC_STATS_NOTE)) {
    label->SetWindowText(note.c_str());
    // The label is drawn over the dialog's own background, which must first cover the old text.
    Invalidate(FALSE);
  }
}

std::vector<std::string> CStatsDlg::SummaryLines() const {
  std::vector<std::string> lines;
  const CStatistics& s = m_stats;
  lines.push_back("count  " + std::to_string(s.count) + (s.dnfs ? "  (" + std::to_string(s.dnfs) + " DNF)" : ""));
  lines.push_back("best  " + s.best.Format());
  lines.push_back("worst  " + s.worst.Format());
  lines.push_back("mean  " + s.mean.Format());
  lines.push_back("sd  " + s.sd.Format());
  for (int i = 0; i < kAverageCount; ++i)
    lines.push_back(std::string(AverageName(i)) + "  " + s.averages[i].current.Format() + "  " +
                    s.averages[i].best.Format());
  return lines;
}

std::string CStatsDlg::DescribeSolve(const CSolve& s) {
  const std::time_t when = static_cast<std::time_t>(s.startedMs / 1000);
  std::tm local{};
  localtime_r(&when, &local);
  char date[32];
  std::strftime(date, sizeof date, "%Y-%m-%d %H:%M", &local);
  char text[160];
  const std::int64_t counted = s.CountedMs();
  std::snprintf(text, sizeof text, "#%lld  %s  %s  %d turns  %.2f t/s%s", static_cast<long long>(s.id), date,
                counted == kDnf ? "DNF" : Seconds(counted).c_str(), s.turns, s.TurnsPerSecond(),
                s.assisted ? "  assisted" : "");
  return text;
}

// ---- drawing ----

bool CStatsDlg::RenderPanel(int which, CDib& out, int width, int height) {
  if (width <= 0 || height <= 0 || !out.Create(&CDibWnd::cm_palette, width, height, 0)) return false;
  CDC* dc = out.GetMemDC(nullptr);
  if (!dc) return false;
  CRect all(0, 0, width, height);
  dc->FillSolidRect(&all, kPaper);
  CFont* oldFont = m_font.GetSafeHandle() ? dc->SelectObject(&m_font) : nullptr;
  dc->SetBkMode(TRANSPARENT);
  dc->SetTextColor(kInk);
  if (which == 0) DrawSummary(dc, width, height);
  else if (which == 1) DrawList(dc, width, height);
  else DrawChart(dc, width, height);
  if (oldFont) dc->SelectObject(oldFont);
  out.ReleaseMemDC(dc);
  return true;
}

void CStatsDlg::DrawPanel(int which, CDC* dc, CWnd* box) {
  CRect r;
  box->GetClientRect(&r);
  CDib picture;
  if (!RenderPanel(which, picture, r.Width(), r.Height())) return;
  CPalette* oldPalette = dc->SelectPalette(&CDibWnd::cm_palette, FALSE);
  dc->RealizePalette();
  picture.Draw(dc, CPoint(0, 0));
  dc->SelectPalette(oldPalette, TRUE);
}

void CStatsDlg::DrawSummary(CDC* dc, int width, int) {
  // Three columns: the figure's name, its value now, and its best.
  const int nameX = kPadding, currentX = width * 2 / 5, bestX = width * 7 / 10;
  int y = kPadding;
  const int line = dc->GetTextExtent("Ag", 2).cy + 1;
  dc->TextOut(currentX, y, "current");
  dc->TextOut(bestX, y, "best");
  y += line;
  const CStatistics& s = m_stats;
  auto row = [&](const char* name, const std::string& current, const std::string& best) {
    dc->TextOut(nameX, y, name);
    dc->TextOut(currentX, y, current);
    dc->TextOut(bestX, y, best);
    y += line;
  };
  row("solves", std::to_string(s.count) + (s.dnfs ? " (" + std::to_string(s.dnfs) + " DNF)" : ""), "");
  row("single", "", s.best.Format());
  row("worst", s.worst.Format(), "");
  row("mean", s.mean.Format(), "");
  row("deviation", s.sd.Format(), "");
  for (int i = 0; i < kAverageCount; ++i)
    row(AverageName(i), s.averages[i].current.Format(), s.averages[i].best.Format());
  const int assisted = static_cast<int>(std::count_if(m_solves.begin(), m_solves.end(),
                                                      [](const CSolve& v) { return v.assisted; }));
  if (assisted) row("assisted", std::to_string(assisted) + " not counted", "");
}

void CStatsDlg::DrawList(CDC* dc, int width, int height) {
  if (m_solves.empty()) {
    dc->TextOut(kPadding, kPadding, "No solves yet.");
    return;
  }
  const int rows = std::max(1, (height - 2 * kPadding) / kRowHeight);
  for (int r = 0; r < rows && m_firstRow + r < static_cast<int>(m_solves.size()); ++r) {
    const int i = m_firstRow + r;
    const int y = kPadding + r * kRowHeight;
    if (i == m_selected) dc->FillSolidRect(2, y, width - 4, kRowHeight, kChosen);
    dc->TextOut(kPadding, y + 2, DescribeSolve(m_solves[static_cast<std::size_t>(i)]));
  }
}

void CStatsDlg::DrawChart(CDC* dc, int width, int height) {
  if (m_times.empty()) {
    dc->TextOut(kPadding, kPadding, "The chart shows once solves are counted.");
    return;
  }
  // The legend along the top, the plot below it.
  const int legend = dc->GetTextExtent("Ag", 2).cy + 4;
  CPen grid(PS_SOLID, 1, kGrid), single(PS_SOLID, 1, kSingle), ao5(PS_SOLID, 1, kAo5), ao12(PS_SOLID, 1, kAo12),
      best(PS_SOLID, 1, kBest), ink(PS_SOLID, 1, kInk);
  CPen* oldPen = dc->SelectObject(&ao5);
  int x = kChartLabels;
  auto key = [&](CPen& pen, const char* name) {
    dc->SelectObject(&pen);
    for (int d = 0; d < 2; ++d) {
      dc->MoveTo(x, legend / 2 + d);
      dc->LineTo(x + 14, legend / 2 + d);
    }
    dc->TextOut(x + 17, 2, name);
    x += 22 + dc->GetTextExtent(name, static_cast<int>(std::char_traits<char>::length(name))).cx;
  };
  key(ao5, "ao5");
  key(ao12, "ao12");
  dc->SelectObject(&best);
  Cross(dc, CChartPoint{x + 4, legend / 2}, 3);
  dc->TextOut(x + 11, 2, "best");

  CSolveChart chart = BuildSolveChart(m_times, width, height - legend, kChartLabels);
  auto shift = [legend](CChartPoint& p) { p.y += legend; };
  chart.top += legend;
  chart.bottom += legend;
  for (CChartTick& t : chart.ticks) t.y += legend;
  for (CChartPoint& p : chart.singles) shift(p);
  for (auto& run : chart.ao5) for (CChartPoint& p : run) shift(p);
  for (auto& run : chart.ao12) for (CChartPoint& p : run) shift(p);
  shift(chart.bestSingle);
  shift(chart.bestAo5);
  shift(chart.bestAo12);

  dc->SelectObject(&grid);
  for (const CChartTick& t : chart.ticks) {
    dc->MoveTo(chart.left, t.y);
    dc->LineTo(chart.right + 1, t.y);
    const CSize size = dc->GetTextExtent(t.label.c_str(), static_cast<int>(t.label.size()));
    dc->TextOut(chart.left - 3 - size.cx, t.y - size.cy / 2, t.label);
  }
  dc->SelectObject(&single);
  for (const CChartPoint& p : chart.singles) dc->Rectangle(p.x - 1, p.y - 1, p.x + 2, p.y + 2);
  for (int column : chart.dnfColumns) {
    dc->MoveTo(column, chart.top);
    dc->LineTo(column, chart.top + 6);
  }
  dc->SelectObject(&ao12);
  for (const auto& run : chart.ao12) ThickPolyline(dc, run);
  dc->SelectObject(&ao5);
  for (const auto& run : chart.ao5) ThickPolyline(dc, run);
  dc->SelectObject(&best);
  if (chart.hasBestSingle) Cross(dc, chart.bestSingle, 4);
  if (chart.hasBestAo5) Cross(dc, chart.bestAo5, 4);
  if (chart.hasBestAo12) Cross(dc, chart.bestAo12, 4);
  dc->SelectObject(&ink);
  dc->MoveTo(chart.left, chart.top);
  dc->LineTo(chart.left, chart.bottom);
  dc->LineTo(chart.right + 1, chart.bottom);
  dc->SelectObject(oldPen);
}

// ---- input ----

void CStatsDlg::Select(int row) {
  if (m_solves.empty()) return;
  m_selected = std::clamp(row, 0, static_cast<int>(m_solves.size()) - 1);
  // Kept in view.
  int rows = 1;
  if (m_listBox.GetSafeHwnd()) {
    CRect r;
    m_listBox.GetClientRect(&r);
    rows = std::max(1, (r.Height() - 2 * kPadding) / kRowHeight);
  }
  if (m_selected < m_firstRow) m_firstRow = m_selected;
  if (m_selected >= m_firstRow + rows) m_firstRow = m_selected - rows + 1;
  SetNote(DescribeSolve(m_solves[static_cast<std::size_t>(m_selected)]));
  Refresh();
}

void CStatsDlg::OnLButtonDown(UINT flags, CPoint point) {
  CDibDialog::OnLButtonDown(flags, point);
  if (!m_listBox.GetSafeHwnd()) return;
  CRect box;
  m_listBox.GetWindowRect(&box);
  ScreenToClient(&box);
  if (!box.PtInRect(point)) return;
  const int row = (point.y - box.top - kPadding) / kRowHeight;
  if (row >= 0 && m_firstRow + row < static_cast<int>(m_solves.size())) Select(m_firstRow + row);
}

BOOL CStatsDlg::OnMouseWheel(UINT, short delta, CPoint) {
  const int last = std::max(0, static_cast<int>(m_solves.size()) - 1);
  m_firstRow = std::clamp(m_firstRow + (delta > 0 ? -3 : 3), 0, last);
  Refresh();
  return TRUE;
}

void CStatsDlg::OnKeyDown(UINT key, UINT repeat, UINT flags) {
  if (key == VK_UP) Select(m_selected - 1);
  else if (key == VK_DOWN) Select(m_selected + 1);
  else if (key == VK_DELETE) DeleteSelected();
  else if (key == 'Z' && IsPressed(VK_CONTROL)) UndoDelete();
  else CDibDialog::OnKeyDown(key, repeat, flags);
}

// ---- actions ----

bool CStatsDlg::DeleteSelected() {
  if (m_selected < 0 || m_selected >= static_cast<int>(m_solves.size())) {
    SetNote("Choose a solve in the list first.");
    return false;
  }
  CSolve whole;
  const std::int64_t id = m_solves[static_cast<std::size_t>(m_selected)].id;
  if (!m_log.GetSolve(id, whole) || !m_log.DeleteSolve(id)) {
    SetNote("The solve could not be deleted.");
    return false;
  }
  m_deleted.push_back(std::move(whole));
  Reload();
  SetNote("Solve #" + std::to_string(id) + " deleted; Undo delete puts it back.");
  Refresh();
  return true;
}

bool CStatsDlg::UndoDelete() {
  if (m_deleted.empty()) {
    SetNote("Nothing deleted to put back.");
    return false;
  }
  if (!m_log.RestoreSolve(m_deleted.back())) {
    SetNote("The solve could not be put back.");
    return false;
  }
  const std::int64_t id = m_deleted.back().id;
  m_deleted.pop_back();
  Reload();
  for (std::size_t i = 0; i < m_solves.size(); ++i)
    if (m_solves[i].id == id) m_selected = static_cast<int>(i);
  SetNote("Solve #" + std::to_string(id) + " is back.");
  Refresh();
  return true;
}

bool CStatsDlg::Export(bool json, const std::string& path) {
  const std::string text = json ? ExportTimerJson(m_log) : ExportCsv(m_log);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out) {
    SetNote("Could not write " + path + ".");
    return false;
  }
  SetNote("Every puzzle's solves were written to " + path + ".");
  return true;
}

bool CStatsDlg::Import(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    SetNote("Could not read " + path + ".");
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  CImportSummary summary;
  std::string error;
  if (!ImportTimerJson(m_log, text.str(), summary, error)) {
    SetNote("Nothing imported: " + error);
    return false;
  }
  Reload();
  SetNote("Imported " + std::to_string(summary.solves) + " solves in " + std::to_string(summary.sessions) +
          " sessions.");
  Refresh();
  return true;
}

std::string CStatsDlg::ChooseFile(bool save, const char* description, const char* pattern, const char* extension) {
  FileChooserRequest request;
  request.save = save;
  request.filters.push_back(FileFilter{description, pattern});
  request.defaultExtension = extension;
  request.fileName = save ? std::string("gyrix-solves.") + extension : std::string();
  std::string path;
  CDesktopServices* services = GetDesktopServices();
  if (!services || services->ChooseFile(this, request, path) != 1) return std::string();
  return path;
}

BOOL CStatsDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
  switch (LOWORD(wParam)) {
    case IDC_STATS_REPLAY:
      if (m_selected < 0 || m_selected >= static_cast<int>(m_solves.size())) {
        SetNote("Choose a solve in the list first.");
      } else {
        m_replayId = m_solves[static_cast<std::size_t>(m_selected)].id;
        EndDialog(kStatsReplayResult);
      }
      return TRUE;
    case IDC_STATS_DELETE: DeleteSelected(); return TRUE;
    case IDC_STATS_SESSION: NextSession(); return TRUE;
    case IDC_STATS_NEW_SESSION: StartNewSession(); return TRUE;
    case IDC_STATS_UNDELETE: UndoDelete(); return TRUE;
    case IDC_STATS_EXPORT_JSON:
    case IDC_STATS_EXPORT_CSV: {
      const bool json = LOWORD(wParam) == IDC_STATS_EXPORT_JSON;
      const std::string path = json ? ChooseFile(true, "Timer files", "*.json", "json")
                                    : ChooseFile(true, "CSV files", "*.csv", "csv");
      if (!path.empty()) Export(json, path);
      return TRUE;
    }
    case IDC_STATS_IMPORT: {
      const std::string path = ChooseFile(false, "Timer files", "*.json", "json");
      if (!path.empty()) Import(path);
      return TRUE;
    }
    default: break;
  }
  return CDibDialog::OnCommand(wParam, lParam);
}
