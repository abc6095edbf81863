// The main window's commands: new scramble, Execute Move, open and save, options, about,
// help and the challenge page; and the joystick, polled from the modal loop.
#include <gyrix/shell/puzzledlg.h>

#include <gyrix/shell/aboutdlg.h>
#include <gyrix/shell/controllerplay.h>
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

int CPuzzleDlg::HeldModifiers() {
  return (IsPressed(VK_SHIFT) ? kModShift : 0) | (IsPressed(VK_CONTROL) ? kModCtrl : 0) |
         (IsPressed(VK_MENU) ? kModAlt : 0);
}

void CPuzzleDlg::RunCommand(ECommand command) {
  CPuzzle* puzzle = GetPuzzle();
  if (!puzzle) return;
  switch (command) {
    case ECommand::Undo: m_session.Undo(ETurnSource::Key); break;
    case ECommand::Redo: m_session.Redo(ETurnSource::Key); break;
    case ECommand::Scramble: m_session.Scramble(0); break;
    case ECommand::NewScramble: NewScramble(); break;
    case ECommand::Reset:
      m_session.Reset();
      FitView();
      break;
    case ECommand::Open: OpenPuzzleFile(); break;
    case ECommand::Save: SavePuzzleFile(); break;
    case ECommand::Options: RunOptions(); break;
    case ECommand::Mode1:
    case ECommand::Mode2:
    case ECommand::Mode3:
    case ECommand::Mode4: {
      const int mode = 1 + static_cast<int>(command) - static_cast<int>(ECommand::Mode1);
      if (m_session.SetMode(mode)) {
        // A switch resets the puzzle, and with it the view to the engine's own middle: fit it
        // to the window again as a new puzzle is.
        FitView();
        SaveSettings();
      }
      break;
    }
    case ECommand::ExecuteMove:
      // Enter clicks the cursor's facelet where a click does something (the lights).
      if (CursorClickTurn() != 0) ClickCursor();
      else ExecuteMoveCommand();
      break;
    case ECommand::Pause: TogglePause(); break;
    case ECommand::Help: OpenHelp(); break;
    case ECommand::About: RunAbout(); break;
    case ECommand::Challenges: OpenChallenges(); break;
    case ECommand::CentreView:
      m_zoom = 100;
      FitView();
      break;
    case ECommand::ZoomIn: Zoom(1); break;
    case ECommand::ZoomOut: Zoom(-1); break;
    case ECommand::Hint: StartSolve(false); break;
    case ECommand::Solve: StartSolve(true); break;
    case ECommand::Statistics: RunStatistics(); break;
    case ECommand::Quit: OnCancel(); return;
    case ECommand::CursorLeft:
    case ECommand::CursorRight:
    case ECommand::CursorUp:
    case ECommand::CursorDown: MoveCursor(CursorDirection(command, ECommand::CursorLeft)); return;
    case ECommand::TurnLeft:
    case ECommand::TurnRight:
    case ECommand::TurnUp:
    case ECommand::TurnDown: TurnFromCursor(CursorDirection(command, ECommand::TurnLeft)); return;
    case ECommand::ViewLeft:
    case ECommand::ViewRight:
    case ECommand::ViewUp:
    case ECommand::ViewDown: TurnViewStep(CursorDirection(command, ECommand::ViewLeft)); return;
    case ECommand::Click: ClickCursor(); return;
    case ECommand::KeyLayout: ToggleKeyLayout(); return;
    default:
      if (IsCubeTurnCommand(command)) SpeedcubeTurn(command, 1, false);
      return;
    case ECommand::None: return;
  }
  if (m_hWnd) Invalidate(FALSE);
}

void CPuzzleDlg::NewScramble() {
  if (!GetPuzzle()) return;
  const int seed = static_cast<int>(CUTime::GetCurTime().GetTime());
  m_session.Scramble(seed);
  if (IsPressed(VK_CONTROL)) {
    m_session.StopClock();
    // The seed on a line of its own, easy to read off and type in again.
    Error("\nSeed: %d", seed);
  }
}

void CPuzzleDlg::ExecuteMoveCommand() {
  if (IsMessageShown()) {
    DismissMessage();
    return;
  }
  CPuzzle* puzzle = GetPuzzle();
  if (!puzzle) return;
  if (!(puzzle->GetCapabilities() & CPuzzle::kCanExecuteMacros)) {
    Error("This puzzle does not execute move macros");
    return;
  }
  CInputDialog input(m_macroText, const_cast<char*>("Enter the move to execute:"),
                     const_cast<char*>("Execute Move"));
  if (input.DoModal() == IDCANCEL || m_macroText.GetLength() == 0) return;
  CUString problem;
  if (!m_session.ExecuteMacro(m_macroText, ETurnSource::Key, &problem) && problem.GetLength() > 0)
    Error("%s", static_cast<const char*>(problem));
  Invalidate(FALSE);
}

void CPuzzleDlg::OpenPuzzleFile() {
  if (!GetPuzzle()) return;
  CUString filter = PuzzleFilter();
  m_session.StopClock();
  CUString path = StartPath();
  if (GetOpenSavePath(path, 0, filter, nullptr) && OpenPuzzleFileAt(path)) return;
  ResumeClock();
}

BOOL CPuzzleDlg::OpenPuzzleFileAt(const char* path) {
  std::string problem;
  // The loaded puzzle keeps the clock state it was saved with.
  if (!m_session.LoadFile(path, &problem)) {
    if (!problem.empty()) Error("%s", problem.c_str());
    return FALSE;
  }
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
  if (!GetPuzzle()) return;
  CUString filter = PuzzleFilter();
  m_session.StopClock();
  CUString path = StartPath();
  if (GetOpenSavePath(path, 1, filter, nullptr)) {
    if (!HasExtension(path)) path += ".puz";
    // A save that fails must not look like one that worked: the player would lose the game.
    if (!m_session.SaveFile(path)) Error("The puzzle could not be saved to %s.", static_cast<const char*>(path));
  }
  ResumeClock();
}

// The clock does not run while the player chooses options.
void CPuzzleDlg::RunOptions() {
  if (!GetPuzzle()) return;
  m_session.StopClock();
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
  // Where a game controller and the joystick are both there, the controller plays.
  if (!PollController()) PollJoystick();
  return CDibDialog::ContinueModal();
}

bool CPuzzleDlg::PollController() {
  SControllerState state;
  if (!ReadController(state)) {
    // Unplugged mid-game: the game stays as it is.
    m_controllerPlay.Forget();
    return false;
  }
  CPuzzle* puzzle = GetPuzzle();
  if (!puzzle || m_replay) return true;
  for (const SPadAction& action : m_controllerPlay.Update(state, CEventLoop::Now())) {
    if (action.command == ECommand::None) {
      ResumeClock();
      puzzle->RotateViewY(static_cast<int>(std::lround(action.viewY)));
      puzzle->RotateViewX(static_cast<int>(std::lround(action.viewX)));
      ForgetDragPreview();
      m_cursorFollows = true;
      Invalidate(FALSE);
      continue;
    }
    if (StopSolve()) continue;
    if (IsMessageShown()) {
      DismissMessage();
      continue;
    }
    RunCommand(action.command);
  }
  return true;
}

void CPuzzleDlg::PollJoystick() {
  CPuzzle* puzzle = GetPuzzle();
  if (!m_joystickPresent || !puzzle || puzzle->IsBusy() || IsMessageShown()) return;
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
    puzzle->RotateViewX(degreesX);
    puzzle->RotateViewY(degreesY);
    if (m_joystickButtons == 0) Invalidate(FALSE);
    return;
  }
  bool changed = buttons != m_joystickButtons;
  if (puzzle->GetCapabilities() & CPuzzle::kTakesJoystick) {
    const int queued = puzzle->GetHistorySize();
    CUString problem;
    m_session.JoystickInput(a, b, c, static_cast<int>(buttons), &problem);
    if (problem.GetLength() > 0) Error("%s", static_cast<const char*>(problem));
    changed = changed || puzzle->IsBusy() || puzzle->GetHistorySize() != queued;
  }
  m_joystickButtons = buttons;
  if (changed) Invalidate(FALSE);
}
