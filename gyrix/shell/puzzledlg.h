// CPuzzleDlg: the main window. It shows one puzzle, drawn into the window's own bitmap with
// the background tile, the picture-button tree, the solve clock and the message panel; it
// turns mouse and key input into puzzle operations and keeps the settings file.
#pragma once

#include <gyrix/engine/dragpreview.h>
#include <gyrix/engine/faceletcursor.h>
#include <gyrix/shell/controllerplay.h>
#include <gyrix/engine/puzzle.h>
#include <gyrix/session/commands.h>
#include <gyrix/session/session.h>
#include <lumex/coverage.h>
#include <lumex/dialogs.h>
#include <lumex/lumex.h>
#include <platform/platform.h>

#include <cordak/inifile.h>
#include <cordak/obarray.h>
#include <cordak/ustring.h>

#include <cstdio>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

class CPuzzle;
class CMenuButton;
class CCachedFrame;
class CSolveHint;
class CSolveLog;
class CSessionLog;
class CReplayView;

// Command ids of the window: system menu entries and the message a puzzle posts when solved.
constexpr UINT IDM_ABOUTBOX = 16;
constexpr UINT IDM_OPTIONS = 18;
constexpr UINT IDC_PUZZLE_SOLVED = 105;
constexpr UINT IDC_OPEN_START_FILE = 106;
constexpr UINT_PTR kClockTimer = 1000;
// Keeps the window's place once a move or resize settles; not the puzzle's animation timer.
constexpr UINT_PTR kPlacementTimer = 1002;
// Polls the solver's worker thread while it thinks.
constexpr UINT_PTR kSolverTimer = 1003;
// Keeps the game in progress in the solve log.
constexpr UINT_PTR kSolveLogTimer = 1004;
constexpr UINT kSolveLogTickMs = 250;
// Plays a replay on.
constexpr UINT_PTR kReplayTimer = 1005;
constexpr UINT kReplayTickMs = 20;
// Shows the solve log's trouble, once the window is up.
constexpr UINT IDC_SOLVE_LOG_MESSAGE = 107;
constexpr UINT IDC_KEYS_MESSAGE = 108;
constexpr UINT IDC_CURSOR_TURN = 109;  // posted: the next cursor turn that waited for the puzzle to rest  // posted: tell what the [Keys] section held that was not understood
// Takes away the cue of a drag that turned nothing.
constexpr UINT_PTR kPreviewTimer = 1006;
// One window, one timer per id: a second user of an id would stop or fire the other's.
constexpr bool AreTimersDistinct(std::initializer_list<UINT_PTR> ids) {
  for (auto a = ids.begin(); a != ids.end(); ++a)
    for (auto b = a + 1; b != ids.end(); ++b)
      if (*a == *b) return false;
  return true;
}
static_assert(AreTimersDistinct({static_cast<UINT_PTR>(CPuzzle::kAnimationTimer), kClockTimer, kPlacementTimer,
                                 kSolverTimer, kSolveLogTimer, kReplayTimer, kPreviewTimer}));

// Bitmap resources the window draws with.
constexpr int IDB_ICON = 128;
constexpr int IDB_PANEL = 166;
constexpr int IDB_DIGIT0 = 167;  // 167..176 are '0'..'9'
constexpr int IDB_COLON = 177;
constexpr int IDC_LINK_CURSOR = 145;

// Picture-button ids that are commands rather than puzzles.
constexpr int IDB_RESET = 135;
constexpr int IDB_SCRAMBLE = 136;
constexpr int IDB_SAVE = 148;
constexpr int IDB_OPEN = 149;
constexpr int IDB_BACK = 157;
constexpr int IDB_OPTIONS = 165;
constexpr int IDB_CHALLENGE = 178;
constexpr int IDB_STATISTICS = 210;
constexpr int IDB_SOLVE = 211;

class CPuzzleDlg : public CDibDialog, public IGameListener {
 public:
  explicit CPuzzleDlg(CWnd* parent = nullptr);
  ~CPuzzleDlg() override;

  // ---- Start-up, settings, tile, puzzle ----
  BOOL OnInitDialog() override;
  BOOL OpenSettingsFile(CUIniFile& file);
  void LoadSettings();
  void SaveSettings();
  // Loads the background tile and builds the shared palette from it; an empty name means no
  // tile. A name that loads from nowhere changes nothing and gives false.
  bool LoadTile(const char* name);
  // Shows a tile (null: none) with a palette made for it.
  void ShowTile(CDib* tile);
  // The one rule for tile names, the options dialog's too: ".bmp" is added unless the name
  // ends in it (in any case); the name is tried as given, then beside the program.
  static bool LoadTileBitmap(const char* name, CDib& out);
  // A palette for a tile: the tile's own colours around the reserved ones, or colours spread
  // evenly when there is no tile (null) or it cannot be quantised (false then). Every colour
  // the colour scheme gives a puzzle is reserved, so the puzzles show them exactly.
  static bool MakeTilePalette(CDib* tile, CPalette& palette, int scheme = 0);
  // The smallest client area that shows every button, menu, the clock and the banner apart,
  // with room for the puzzle between the button columns.
  static CSize MinimumClientSize();
  // The largest view side at which a puzzle stays clear of the buttons, clock and banner.
  static int PuzzleRoom(CSize client);
  // Where the window opens: the saved rectangle (its frame's corner, its client area's size;
  // empty: none saved) kept on the work area and at least the minimum size, or at first start
  // a size comfortable for the screen, centred.
  static CRect StartPlacement(const CRect& saved, const CRect& workArea, CSize minimum);
  void SelectPuzzle(int typeId);
  // A new puzzle of the type with the colours and mode saved for it; owned by the caller.
  CPuzzle* CreateConfiguredPuzzle(int typeId);
  void SetAnimSpeed(int ms);
  // The colour scheme (ColourScheme in the settings, 0 classic). Choosing another gives every
  // puzzle the scheme's colours: the colours stored per puzzle are forgotten, the current
  // puzzle takes the new ones, and the shared palette is made again to hold them.
  int GetColourScheme() const { return m_colourScheme; }
  void SetColourScheme(int scheme);
  // Symbols on facelets (Symbols in the settings, off by default), on the current puzzle and
  // every puzzle made after.
  bool GetSymbols() const { return m_symbols; }
  void SetSymbols(bool on);
  // The settings that change how any puzzle is drawn: the scheme's outline and the symbols.
  void ApplyDisplaySettings(CPuzzle& puzzle) const;
  // Whether turns given while another animates wait their turn (the QueueTurns setting).
  void SetQueueTurns(bool on);
  // Whether the puzzle is drawn with smooth edges over the screen (the Smooth setting, on by
  // default); off shows the 8-bit screen alone, as it always was.
  void SetSmooth(bool on);
  bool IsSmooth() const { return m_smooth != 0; }
  // Whether the facelet under the pointer and the turn a drag would make are shown before the
  // button is let go (the DragPreview setting).
  void SetDragPreview(bool on);
  bool GetDragPreviewSetting() const { return m_dragPreviewOn != 0; }
  const CDragPreview& GetDragPreview() const { return m_dragPreview; }
  const CFaceletCursor& GetCursor() const { return m_cursor; }
  EKeyLayout GetKeyLayout() const { return m_keyLayout; }
  // Whether the speedcubing layout's letters turn the puzzle now (the layout on, and a cube).
  bool IsSpeedcubeLayoutActive() const;
  CCommandTable& GetSpeedcubeTable() { return m_speedcubeTable; }
  // The Keys dialog over parent; its OK keeps the keys chosen (and writes them at once).
  void RunKeysDialog(CWnd* parent);
  // The window's title: the puzzle's, and the layout of keys where it is not the classic one.
  CUString PuzzleTitle() const;
  void ShowPuzzleTitle();
  // What the settings file's [Keys] section held that was not understood (told once).
  const std::vector<std::string>& GetKeyProblems() const { return m_keyProblems; }
  // The view's step for the keyboard's view turns, in degrees.
  static constexpr int kViewStepDegrees = 15;
  // How turns animate (the Animation setting): Smooth (the default) draws every display frame
  // at the angle the time gives, eased in and out when Easing is on (the default); Classic
  // draws the turn's frame steps on the animation timer.
  void SetSmoothAnimation(bool on, bool easing);
  bool IsSmoothAnimation() const { return m_smoothAnimation; }
  bool IsEasing() const { return m_easing; }
  CFrame* GetCachedFrame(int id, BOOL mapped);
  static void EmptyFrameCache();
  static int GetFrameCacheCount();

  // Where the settings live: Gyrix.ini in the program's folder, or in the user's
  // configuration folder when the program's folder cannot be written. A non-empty override
  // replaces both (tests).
  static std::string SettingsFilePath();
  static void SetSettingsPathOverride(const std::string& path) { cm_settingsOverride = path; }
  // The help pages shipped beside the program.
  static std::string HelpPagePath(const char* page);

  // ---- Screen and input ----
  void PreBlt(CDC* dc, CDib* dib) override;
  void ComposeScreen(CDC* dc, CDib* dib);
  // What lies over the puzzle: buttons, clock, turn counter and the message panel.
  void DrawOverlays(CDC* dc, CDib* dib);
  void DrawClock(CDib* dib);
  // The turns made since the scramble, right of the clock in its colour.
  void DrawTurnCounter(CDC* dc);
  // Zooms the view by steps (positive nearer) within kMinZoom..kMaxZoom percent of the fitted
  // size, keeping the player's view turn; C fits it again at 100.
  static constexpr int kMinZoom = 50;
  static constexpr int kMaxZoom = 200;
  static constexpr int kZoomStep = 10;
  void Zoom(int steps);
  int GetZoom() const { return m_zoom; }
  BOOL OnMouseWheel(UINT flags, short delta, CPoint point) override;
  void ResumeClock();
  void DismissMessage();
  // Smooth edges: the background in 32 bits, kept while the tile, size and colours stay.
  void KeepSmoothBackground(CDib* dib, const CRect& client);
  // Paints the puzzle given to the painter into the window's 32-bit frame over the
  // background, puts back what the overlays drew over it, and has the frame presented.
  void PresentSmoothPuzzle(CDC* dc, CDib* dib, const CRect& area);
  void TogglePause();
  void OnSolved();
  BOOL IsMessageShown() const { return !m_message.empty(); }
  const std::string& GetMessageText() const { return m_message; }

  void OnPaint() override;
  void OnSysCommand(UINT id, LPARAM lParam) override;
  void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
  void OnLButtonDown(UINT flags, CPoint point) override;
  void OnLButtonUp(UINT flags, CPoint point) override;
  void OnRButtonDown(UINT flags, CPoint point) override;
  void OnMouseMove(UINT flags, CPoint point) override;
  void OnSize(UINT type, int cx, int cy) override;
  void OnMove(int x, int y) override;
  void OnTimer(UINT_PTR id) override;
  BOOL OnHelpInfo(HELPINFO* info) override;
  void OnDestroy() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  void OnTimeChange() override;
  void OnOK() override;
  BOOL ContinueModal() override;

  // ---- Picture buttons ----
  void BuildButtons();
  void OpenMenuById(int id);
  CMenuButton* HitButtons();
  // Runs the command of a leaf button (puzzle choice, back, or a command).
  void RunButtonCommand(int id);
  // The puzzle type a leaf id selects, -1 for none.
  static int PuzzleTypeForButton(int id);
  int GetTopLevelButtonCount() const { return m_buttons.GetCount(); }
  CMenuButton* GetTopLevelButton(int i) const;

  // ---- Commands ----
  // Carries out a named command, as its key or picture button does.
  void RunCommand(ECommand command);
  CCommandTable& GetCommandTable() { return m_commandTable; }
  void NewScramble();
  void ExecuteMoveCommand();
  void OpenPuzzleFile();
  // Loads a puzzle file as Open does (the same error box for a bad one); FALSE when refused.
  BOOL OpenPuzzleFileAt(const char* path);
  // A file named on the command line: opened once the window shows, as Open would open it.
  void SetStartFile(const std::string& path) { m_startFile = path; }
  void OpenStartFile();
  void SavePuzzleFile();
  void RunOptions();
  void RunAbout();
  void OpenHelp();
  void OpenChallenges();
  void PollJoystick();

  // ---- The solve log (solvelogwindow.cpp) ----
  // gyrix.db where the settings live for a portable copy or a test's settings file, else in
  // the user's data folder.
  static std::string SolveLogFilePath();
  // Opens the log and hangs it on the session; trouble is shown once the window is up.
  void OpenSolveLog();
  // Writes the game in progress and every solve not written yet, and closes the log.
  void CloseSolveLog();
  CSolveLog* GetSolveLog() const { return m_solveLog.get(); }
  CSessionLog* GetSessionLog() const { return m_sessionLog.get(); }
  // The kept game of the configured puzzle's type and mode, in its colours; false when none.
  bool ResumeKeptGame(const CPuzzle& configured);
  // The lines the congratulations add for the bests the last solve set.
  std::string NewBestLines();
  void ShowSolveLogMessage();
  // The Statistics dialog of the current puzzle and mode (the clock stands still meanwhile);
  // a replay asked for there plays once it closes.
  void RunStatistics();
  // The timer's tick: keeps the game, and tells of trouble that writing met.
  void TickSolveLog();
  void TickReplay();
  void ReplayKey(UINT key);
  void ShowReplayTitle();
  void PaintReplay(CDC* dc, CDib* dib);
  std::string ReplayClockText() const;
  int ReplayTurnsShown() const;
  // A replay's puzzle follows the window's size, as the game's does.
  void FitReplayView();

  // ---- Replay of a logged solve (replaywindow.cpp) ----
  // Plays the solve in the window with its own puzzle; false, with a message, when the solve
  // cannot be played back. The game waits, its clock stopped, until the replay ends.
  bool StartReplay(std::int64_t solveId);
  // Esc: the game comes back as it was.
  void EndReplay();
  bool IsReplaying() const { return m_replay != nullptr; }
  CReplayView* GetReplay() const { return m_replay.get(); }
  void OnCancel() override;

  // ---- State, for the commands and for tests ----
  CPuzzle* GetPuzzle() const { return m_session.GetPuzzle(); }
  CGameSession& GetSession() { return m_session; }
  // What the game in progress tells the window.
  void OnGameEvent(const SGameEvent& event) override;
  int GetShowButtons() const { return m_showButtons; }
  // The puzzle's drawing makes room for the buttons, or takes it back, keeping the view's turn.
  void SetShowButtons(int on);
  int GetShowTimer() const { return m_showTimer; }
  void SetShowTimer(int on) { m_showTimer = on; }
  int GetLastMenu() const { return m_lastMenu; }
  int GetLastPuzzle() const { return m_lastPuzzle; }
  const CUString& GetTilePath() const { return m_tilePath; }
  CDib& GetTile() { return m_tile; }
  COLORREF GetTimerColor() const { return m_timerColor; }
  void SetTimerColor(COLORREF c) { m_timerColor = c; }
  int GetAnimSpeed() const { return m_animSpeed; }
  const CUString& GetMacroText() const { return m_macroText; }
  int GetPressedFacelet() const { return m_pressedFacelet; }
  CFont& GetMessageFont() { return m_messageFont; }

 private:
  // The view fitted to the client area: at most 1.5 times as wide as high, never wider than
  // the window, and with the buttons shown small enough to stay clear of them; centred. A new
  // fit turns the view back to its start; a kept turn only sizes the drawing to the window.
  void FitView(bool keepTurn = false, CPuzzle* puzzle = nullptr);
  void ApplyPlacement();
  CSize ClientSize() const;
  // The modifier keys held now, as command chords name them.
  static int HeldModifiers();
  void WriteEventLog(const SGameEvent& event);
  void LoadPanel();
  void RotateViewBy(CPoint point);
  void HoverChanged();
  // Tells the drag preview where the pointer is now; repaints when that changes what it shows.
  void UpdateDragPreview(CPoint point);
  void ForgetDragPreview();
  // The facelet cursor (arrow keys): moved, turned from, clicked; the view turned a step.
  static CFaceletCursor::EDirection CursorDirection(ECommand command, ECommand first);
  void MoveCursor(CFaceletCursor::EDirection direction);
  void TurnFromCursor(CFaceletCursor::EDirection direction);
  void TurnViewStep(CFaceletCursor::EDirection direction);
  // The turn a click on the cursor's facelet makes, 0 for none (or no cursor).
  int CursorClickTurn();
  void ClickCursor();
  void HideCursor();
  // Hint (one turn) and Solve (every turn) of the solver; a running solve stops on any input.
  void StartSolve(bool whole);
  void FinishSolve();
  void ShowThinking();
  bool StopSolve();

  CGameSession m_session;
  CCommandTable m_commandTable;
  CCommandTable m_speedcubeTable{EKeyLayout::Speedcube};
  EKeyLayout m_keyLayout = EKeyLayout::Classic;
  // The command a key names in the layout in use, the number keys held on the big cubes
  // counting layers.
  ECommand CommandForKey(int key, int mods, int& layers, bool& innerOnly) const;
  void ToggleKeyLayout();
  void SpeedcubeTurn(ECommand command, int layers, bool innerOnly);
  std::vector<std::string> m_keyProblems;
  std::string m_keptKeyLines;  // [Keys] lines naming no command this program knows
  // The [Keys] section read from and written to the settings file, after its other lines.
  void LoadKeyBindings();
  void SaveKeyBindings();
  void ShowKeyProblems();
  // The help pages with the keys in play, under the player's cache folder; "" when they cannot
  // be written there.
  static std::string PlayerHelpFolder();
  std::string WriteHelpPages() const;
  CPoint m_pressPoint{0, 0};
  int m_pressedFacelet = -1;  // where a left-button drag that turns the puzzle began
  int m_queueTurns = CGameSession::kDefaultQueueTurns;
  CDragPreview m_dragPreview;
  CFaceletCursor m_cursor;
  bool m_cursorFollows = false;
  // Cursor turns asked for while a turn animated: each is made from the cursor's place once
  // the puzzle rests and the cursor has found its facelet there.
  std::vector<CFaceletCursor::EDirection> m_waitingCursorTurns;
  static constexpr size_t kMaxWaitingCursorTurns = 16;  // the picture changed under the cursor: it finds its place again
  CPoint m_lastMouse{-1, -1};
  int m_dragPreviewOn = 1;
  FILE* m_eventLog = nullptr;  // GYRIX_EVENT_LOG: one line per event of the game
  FILE* m_frameLog = nullptr;  // GYRIX_FRAME_LOG: one line per frame presented
  std::uint64_t m_frameLogStart = 0;
  bool m_sessionPainted = false;  // the last frame composed showed the game's puzzle
  bool m_smoothAnimation = true;
  bool m_easing = true;
  // A line of the frame log for the frame just composed in drawMicroseconds.
  void WriteFrameLog(long long drawMicroseconds);
  CUObArray m_buttons{0, 1};
  int m_showButtons = 1;
  int m_showTimer = 1;
  CUString m_macroText;
  int m_joystickPresent = 0;
  CControllerPlay m_controllerPlay;
  // Reads the game controller and plays what it asks; false when there is none.
  bool PollController();
  int m_lastMenu = 0;
  int m_lastPuzzle = 1;
  CUString m_tilePath;
  CDib m_tile;
  COLORREF m_timerColor = 0x00FFFF;
  CFrame* m_digits[11] = {};
  std::string m_message;
  CFont m_messageFont;
  CFont m_smallMessageFont;  // for a message the scroll cannot hold at full size
  CFrame m_panel;
  int m_animSpeed = 30;
  int m_zoom = 100;  // percent of the fitted size
  CFont m_counterFont;
  int m_colourScheme = 0;
  bool m_symbols = false;
  int m_smooth = 1;
  CCoveragePainter m_painter;
  CImage32 m_smoothBackground;
  int m_tileVersion = 0;  // counts the tiles shown, so the 32-bit background follows them
  struct SmoothBackgroundKey {
    int tileVersion = -1;
    CSize size;
    COLORREF colour = 0;
    std::vector<RGBQUAD> colours;
  } m_smoothBackgroundKey;
  std::vector<BYTE> m_underOverlays;
  CDib m_icon;
  DWORD m_joystickButtons = 0;  // buttons held at the last poll
  CMenuButton* m_hovered = nullptr;
  std::string m_startFile;
  CRect m_savedPlacement;  // the frame's corner and client size last saved, empty when none
  int m_savedMaximized = 0;
  std::unique_ptr<CSolveHint> m_solver;
  int m_thinkingProgress = -1;  // the table progress the title shows
  // After m_session: they go first, and the session log leaves the session's listeners.
  std::unique_ptr<CSolveLog> m_solveLog;
  std::unique_ptr<CSessionLog> m_sessionLog;
  std::unique_ptr<CReplayView> m_replay;

  static std::string cm_settingsOverride;
};
