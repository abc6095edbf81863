// The main window's commands: new scramble, Execute Move, open and save, options, about,
// help and the challenge page; and the joystick, polled from the modal loop.
#include <gyrix/shell/puzzledlg.h>

#include <gyrix/shell/aboutdlg.h>
#include <gyrix/shell/helppages.h>
#include <gyrix/shell/locations.h>
#include <gyrix/shell/optionsdlg.h>
#include <gyrix/puzzles.h>

#include <cordak/urand.h>
#include <cordak/utime.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

constexpr int kJoystickDeadZone = 16384;
constexpr float kAxisScale = 1.0f / 32768.0f;

// "Puzzle Files", "*.puz", as the chooser reads a filter list: pairs ended by NULs.
CUString PuzzleFilter() {
  CUString filter;
  filter.Format("Puzzle Files%c*.puz%c%c", '|', '|', '|');
  return filter;
}

bool HasExtension(const CUString& path) {
  const char* name = std::strrchr(path, '/');
  name = name ? name + 1 : static_cast<const char*>(path);
  const char* dot = std::strrchr(name, '.');
  return dot && dot != name;
}

// The chooser starts in the program's folder; an installed program's folder is no place for
// the player's games, so it starts in the home folder.
CUString StartPath() {
  CUString folder = GetModulePath();
  const char* home = std::getenv("HOME");
  if (home && *home == '/' && IsInstalledLayout(static_cast<const char*>(folder))) folder.Format("%s/", home);
  return folder;
}

}  // namespace

void CPuzzleDlg::NewScramble() {
  if (!m_puzzle) return;
  long seed = CUTime::GetCurTime().GetTime();
  Randomize(static_cast<int>(seed));
  m_puzzle->Scramble();
  if (IsPressed(VK_CONTROL)) {
    m_puzzle->StopClock(0);
    // The seed on a line of its own, easy to read off and type in again.
    Error("\nSeed: %d", static_cast<int>(seed));
  }
}

void CPuzzleDlg::ExecuteMoveCommand() {
  if (IsMessageShown()) {
    DismissMessage();
    return;
  }
  if (!m_puzzle) return;
  if (!(m_puzzle->GetCapabilities() & CPuzzle::kCanExecuteMacros)) {
    Error("This puzzle does not execute move macros");
    return;
  }
  CInputDialog input(m_macroText, const_cast<char*>("Enter the move to execute:"),
                     const_cast<char*>("Execute Move"));
  if (input.DoModal() == IDCANCEL || m_macroText.GetLength() == 0) return;
  m_puzzle->ExecuteMacro(m_macroText);
  m_puzzle->PlayNextMove(this);
  Invalidate(FALSE);
}

void CPuzzleDlg::OpenPuzzleFile() {
  if (!m_puzzle) return;
  CUString filter = PuzzleFilter();
  m_puzzle->StopClock(0);
  CUString path = StartPath();
  if (GetOpenSavePath(path, 0, filter, nullptr) && OpenPuzzleFileAt(path)) return;
  ResumeClock();
}

BOOL CPuzzleDlg::OpenPuzzleFileAt(const char* path) {
  CPuzzle* loaded = LoadPuzzleFile(path);
  if (!loaded) return FALSE;
  // The loaded puzzle keeps the clock state it was saved with.
  ReplacePuzzle(loaded);
  m_lastPuzzle = loaded->GetTypeId();
  SaveSettings();
  return TRUE;
}

void CPuzzleDlg::OpenStartFile() {
  if (m_startFile.empty()) return;
  const std::string path = m_startFile;
  m_startFile.clear();
  // The loader passes over a file it cannot open; named on the command line, the player
  // should hear of it.
  if (access(path.c_str(), R_OK) != 0) {
    Error("The puzzle file %s could not be opened.", path.c_str());
    return;
  }
  OpenPuzzleFileAt(path.c_str());
}

void CPuzzleDlg::SavePuzzleFile() {
  if (!m_puzzle) return;
  CUString filter = PuzzleFilter();
  m_puzzle->StopClock(0);
  CUString path = StartPath();
  if (GetOpenSavePath(path, 1, filter, nullptr)) {
    if (!HasExtension(path)) path += ".puz";
    // A save that fails must not look like one that worked: the player would lose the game.
    if (!m_puzzle->Save(path)) Error("The puzzle could not be saved to %s.", static_cast<const char*>(path));
  }
  ResumeClock();
}

// The clock does not run while the player chooses options.
void CPuzzleDlg::RunOptions() {
  if (!m_puzzle) return;
  m_puzzle->StopClock(0);
  COptionsDlg options(this);
  if (options.DoModal() == IDOK) Invalidate(FALSE);
  ResumeClock();
}

void CPuzzleDlg::RunAbout() {
  CAboutDlg about(nullptr);
  about.DoModal();
}

void CPuzzleDlg::OpenHelp() { OpenHelpPage(this, "index.html"); }

void CPuzzleDlg::OpenChallenges() {
  OpenHelpPage(this, "challenges.html");
}

BOOL CPuzzleDlg::ContinueModal() {
  PollJoystick();
  return CDibDialog::ContinueModal();
}

void CPuzzleDlg::PollJoystick() {
  if (!m_joystickPresent || !m_puzzle || m_puzzle->IsBusy() || IsMessageShown()) return;
  JOYINFOEX info;
  if (joyGetJoystickInfo(info, kJoystickDeadZone) != 0) return;
  // The axes arrive centred on 0.
  auto axis = [](DWORD raw) { return static_cast<float>(static_cast<int>(raw)) * kAxisScale; };
  float a = axis(info.dwYpos);
  float b = -axis(info.dwRpos);
  float c = axis(info.dwZpos);
  DWORD buttons = info.dwButtons;
  // Repaint only what changed: a repaint on every pass would keep the loop from ever sleeping.
  if (a == 0 && b == 0 && buttons == 0 && m_joystickButtons == 0) return;
  CSize size = ClientSize();
  if ((a != 0 || b != 0) && buttons == 0) {
    const int degreesX = size.cx > 0 ? static_cast<int>(a * 10) * 360 / size.cx : 0;
    const int degreesY = size.cy > 0 ? static_cast<int>(b * 10) * 360 / size.cy : 0;
    if (degreesX == 0 && degreesY == 0) return;
    m_puzzle->RotateViewX(degreesX);
    m_puzzle->RotateViewY(degreesY);
    if (m_joystickButtons == 0) Invalidate(FALSE);
    return;
  }
  bool changed = buttons != m_joystickButtons;
  if (m_puzzle->GetCapabilities() & CPuzzle::kTakesJoystick) {
    const int queued = m_puzzle->GetHistorySize();
    m_puzzle->JoystickTurn(a, b, c, static_cast<int>(buttons));
    m_puzzle->PlayNextMove(this);
    changed = changed || m_puzzle->IsBusy() || m_puzzle->GetHistorySize() != queued;
  }
  m_joystickButtons = buttons;
  if (changed) Invalidate(FALSE);
}
