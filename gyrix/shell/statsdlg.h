// CStatsDlg: the Statistics dialog of the current puzzle and mode. The summary table (count,
// singles, mean, deviation, and the current and best mo3 to ao100), the solves newest first
// (date, time, turns, turns per second, assisted), the chart of the times with the ao5 and ao12
// curves and the bests marked, all drawn by the program into its own bitmaps. A solve can be
// deleted (and put back while the dialog is open), replayed in the main window, and the log
// exported to the web timer's JSON or to CSV, or such a file imported. It shows all sessions
// of the puzzle and mode, or one session (an imported one whole), and starts new sessions.
#pragma once

#include <gyrix/stats/solvelog.h>

#include <lumex/dialogs.h>
#include <lumex/lumex.h>
#include <platform/platform.h>

#include <cstdint>
#include <string>
#include <vector>

class CStatsDlg;

constexpr UINT IDD_GYRIX_STATS = 160;
constexpr int IDC_STATS_SUMMARY = 2001;
constexpr int IDC_STATS_LIST = 2002;
constexpr int IDC_STATS_CHART = 2003;
constexpr int IDC_STATS_NOTE = 2004;
constexpr int IDC_STATS_REPLAY = 2010;
constexpr int IDC_STATS_DELETE = 2011;
constexpr int IDC_STATS_UNDELETE = 2012;
constexpr int IDC_STATS_EXPORT_JSON = 2013;
constexpr int IDC_STATS_EXPORT_CSV = 2014;
constexpr int IDC_STATS_IMPORT = 2015;
constexpr int IDC_STATS_SESSION = 2016;      // steps through all sessions and each one
constexpr int IDC_STATS_NEW_SESSION = 2017;  // new solves go to a new session
// DoModal's result when the player asked for a replay (GetReplayId names the solve).
constexpr int kStatsReplayResult = 3;

// One of the dialog's drawn boxes.
class CStatsPanel : public CStatic {
 public:
  CStatsPanel(CStatsDlg* owner, int which) : m_owner(owner), m_which(which) {}
  void OnPaint() override;
  // The dialog takes the clicks and the wheel.
  bool IsTransparentToMouse() const override { return true; }

 private:
  CStatsDlg* m_owner;
  int m_which;
};

class CStatsDlg : public CDibDialog {
 public:
  // Rows of the solve list in view.
  static constexpr int kRowHeight = 16;

  CStatsDlg(CWnd* parent, CSolveLog& log, int typeId, int mode, const char* puzzleName);

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  void OnLButtonDown(UINT flags, CPoint point) override;
  BOOL OnMouseWheel(UINT flags, short delta, CPoint point) override;
  void OnKeyDown(UINT key, UINT repeat, UINT flags) override;

  // Reads the solves and figures again from the log.
  void Reload();
  // Draws one box (summary, list or chart) as it shows, width x height.
  bool RenderPanel(int which, CDib& out, int width, int height);
  void DrawPanel(int which, CDC* dc, CWnd* box);

  // ---- Actions, as the buttons run them ----
  bool DeleteSelected();
  bool UndoDelete();
  void Select(int row);
  bool Export(bool json, const std::string& path);
  bool Import(const std::string& path);
  // The solves of one session (0: all of this puzzle and mode; an imported session: all of it).
  void ShowSession(std::int64_t session);
  void NextSession();
  // Starts a new session for new solves and shows it; its id, 0 when it failed.
  std::int64_t StartNewSession();
  std::int64_t GetShownSession() const { return m_session; }
  // "All sessions", "Session 3", "222 (imported, 222so)".
  std::string SessionTitle() const;

  // ---- State, for the main window and tests ----
  const std::vector<CSolve>& GetSolves() const { return m_solves; }  // newest first
  const CStatistics& GetStatistics() const { return m_stats; }
  int GetSelected() const { return m_selected; }
  std::int64_t GetReplayId() const { return m_replayId; }
  std::size_t GetDeletedCount() const { return m_deleted.size(); }
  const std::string& GetNote() const { return m_note; }
  // The summary's lines as the table shows them, "name  current  best".
  std::vector<std::string> SummaryLines() const;
  // One line of the list: "#id  date time  12.345  42 turns  3.40 t/s  assisted".
  static std::string DescribeSolve(const CSolve& s);

 private:
  void DrawSummary(CDC* dc, int width, int height);
  void DrawList(CDC* dc, int width, int height);
  void DrawChart(CDC* dc, int width, int height);
  void SetNote(const std::string& note);
  void Refresh();
  std::string ChooseFile(bool save, const char* description, const char* pattern, const char* extension);
  CSolveFilter Filter() const;

  CSolveLog& m_log;
  int m_typeId;
  int m_mode;
  std::string m_puzzleName;
  std::vector<CSolve> m_solves;  // newest first
  CStatistics m_stats;
  std::vector<std::int64_t> m_times;  // counted, oldest first
  int m_selected = -1;
  int m_firstRow = 0;
  std::int64_t m_session = 0;  // shown; 0 all
  std::int64_t m_replayId = 0;
  std::vector<CSolve> m_deleted;  // with their turns, to put back
  std::string m_note;
  CFont m_font;
  CStatsPanel m_summaryBox{this, 0};
  CStatsPanel m_listBox{this, 1};
  CStatsPanel m_chartBox{this, 2};
};
