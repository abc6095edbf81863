// The main window's side of the solve log: where it lives, the game in progress kept in it
// and brought back, the bests the congratulations tell, and trouble with the file.
#include <gyrix/shell/puzzledlg.h>
#include <gyrix/shell/statsdlg.h>

#include <gyrix/stats/location.h>
#include <gyrix/stats/sessionlog.h>
#include <gyrix/stats/solvelog.h>

#include <cstdlib>

std::string CPuzzleDlg::SolveLogFilePath() {
  // A test's settings file, like a portable copy's, keeps the log beside it.
  if (!cm_settingsOverride.empty()) {
    const std::size_t slash = cm_settingsOverride.rfind('/');
    return (slash == std::string::npos ? std::string() : cm_settingsOverride.substr(0, slash + 1)) + "gyrix.db";
  }
  return SolveLogPathFor(SettingsFilePath(), static_cast<const char*>(GetModulePath()), std::getenv("XDG_DATA_HOME"),
                         std::getenv("HOME"));
}

void CPuzzleDlg::OpenSolveLog() {
  CloseSolveLog();
  m_solveLog = std::make_unique<CSolveLog>();
  // Whatever the file's state, the log works afterwards (in memory when it must).
  m_solveLog->Open(SolveLogFilePath());
  m_sessionLog = std::make_unique<CSessionLog>(*m_solveLog, m_session);
  // Told once the window is up, with the window behind the box.
  if (m_hWnd) PostMessage(WM_COMMAND, IDC_SOLVE_LOG_MESSAGE, 0);
}

void CPuzzleDlg::CloseSolveLog() {
  if (m_sessionLog) m_sessionLog->Flush();
  m_sessionLog.reset();
  if (m_solveLog) m_solveLog->Close();
  m_solveLog.reset();
}

bool CPuzzleDlg::ResumeKeptGame(const CPuzzle& configured) {
  if (!m_sessionLog) return false;
  // The game being left is kept as it is this moment.
  m_sessionLog->NoteGame();
  if (!m_sessionLog->Resume(configured.GetTypeId(), configured.GetMode())) return false;
  // The colours are the player's of today, not those of the day it was played.
  if (CPuzzle* p = GetPuzzle(); p && p->GetPaletteCount() == configured.GetPaletteCount())
    for (int i = 1; i < p->GetPaletteCount(); ++i) p->SetPaletteEntry(i, configured.GetPaletteEntry(i));
  return true;
}

std::string CPuzzleDlg::NewBestLines() {
  if (!m_sessionLog) return std::string();
  const CSolveRecorder::CResult r = m_sessionLog->TakeResult();
  std::string lines;
  if (r.newBestSingle) lines += "\r\nNew best single";
  if (r.newBestAo5) lines += "\r\nNew best ao5";
  if (r.newBestAo12) lines += "\r\nNew best ao12";
  // Line by line under the time, without a blank line: the scroll holds three of them.
  return lines;
}

void CPuzzleDlg::ShowSolveLogMessage() {
  if (!m_solveLog) return;
  const std::string text = m_solveLog->TakeMessage();
  if (!text.empty()) ::MessageBox(this, text.c_str(), "Gyrix", MB_OK | MB_ICONWARNING);
}

void CPuzzleDlg::TickSolveLog() {
  if (!m_sessionLog) return;
  m_sessionLog->Tick();
  ShowSolveLogMessage();
}

void CPuzzleDlg::RunStatistics() {
  CPuzzle* puzzle = GetPuzzle();
  if (!puzzle || !m_solveLog) return;
  // The solve just made is in the log before the figures are read.
  m_sessionLog->Flush();
  m_session.StopClock();
  CStatsDlg dialog(this, *m_solveLog, puzzle->GetTypeId(), puzzle->GetMode(), puzzle->GetName());
  const INT_PTR result = dialog.DoModal();
  ResumeClock();
  if (result == kStatsReplayResult) StartReplay(dialog.GetReplayId());
}
