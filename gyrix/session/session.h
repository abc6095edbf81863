// CGameSession: the game in progress. It owns the puzzle being played and makes every change
// of the game: turns from any source (a drag from one facelet to another, a numbered turn, a
// macro), undo and redo of turns and of whole commands (scramble, reset, a mode switch, a new
// puzzle, a loaded file), input that arrives while a turn animates (queued and played in
// order), the pause of the clock, and a solve time in milliseconds. It tells its listeners
// what happened. It never needs a real window: without a host window every turn is made at
// once, which is how tests and gyrix-tool run it.
#pragma once

#include <gyrix/engine/puzzle.h>

#include <cordak/urand.h>
#include <cordak/ustring.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CWnd;
class CDC;
class CDib;

// Where a change of the game came from.
enum class ETurnSource { Mouse, Key, Controller, Macro, Hint, Solver, Replay, Script };
const char* TurnSourceName(ETurnSource source);

// The commands that replace the whole game and can be undone as one step.
enum class EGameCommand { Scramble, Reset, Mode, NewPuzzle, Load };
const char* GameCommandName(EGameCommand command);

struct SGameEvent {
  enum class EKind {
    TurnMade,         // move, source
    TurnUndone,       // move: the turn taken back (its inverse was made)
    TurnRedone,       // move
    Scrambled,        // seed (0 when the scramble drew on from the generator)
    Reset,
    ModeChanged,      // mode
    PuzzleReplaced,   // typeId, mode: a new puzzle, a loaded file, or a restored one
    CommandUndone,    // command
    CommandRedone,    // command
    Solved,           // solveMs, turns
    Paused,
    Resumed,
  };
  EKind kind = EKind::TurnMade;
  std::int64_t timeMs = 0;  // on the session's monotonic clock
  int move = 0;
  ETurnSource source = ETurnSource::Mouse;
  int seed = 0;
  int typeId = -1;
  int mode = 0;
  EGameCommand command = EGameCommand::Scramble;
  std::int64_t solveMs = 0;
  int turns = 0;
  // PuzzleReplaced: the restored puzzle kept the view of the one it replaced.
  bool keepView = false;
};
const char* GameEventName(SGameEvent::EKind kind);
// One line a player or a test can read: "scrambled seed 5", "turn 3 mouse", ...
std::string DescribeGameEvent(const SGameEvent& event);

class IGameListener {
 public:
  virtual ~IGameListener() = default;
  virtual void OnGameEvent(const SGameEvent& event) = 0;
};

class CGameSession : public ITurnObserver {
 public:
  // Monotonic milliseconds; the default reads the system's steady clock.
  using Clock = std::function<std::int64_t()>;
  // Whether a turn given while another animates is queued (1) or refused (0).
  static constexpr int kDefaultQueueTurns = 1;
  // Input kept while turns animate; more is refused.
  static constexpr int kMaxQueued = 64;
  // Whole-game snapshots kept for undo and redo together; the oldest go first.
  static constexpr int kMaxSnapshots = 50;

  explicit CGameSession(Clock clock = {});
  ~CGameSession() override;
  CGameSession(const CGameSession&) = delete;
  CGameSession& operator=(const CGameSession&) = delete;

  // ---- the window it plays in (null: none, every turn is made at once) ----
  void SetHost(CWnd* host);
  CWnd* GetHost() const { return m_host; }
  void AddListener(IGameListener* listener);
  void RemoveListener(IGameListener* listener);
  std::int64_t Now() const { return m_clock(); }

  // ---- the puzzle ----
  CPuzzle* GetPuzzle() const { return m_puzzle.get(); }
  // A new puzzle replaces the current one. An undoable replacement can be taken back.
  void SetPuzzle(std::unique_ptr<CPuzzle> puzzle, bool undoable = true);
  // Opens a .puz file as the new puzzle (undoable); false, with the reason in problem, when
  // it cannot be loaded (the game stays as it was).
  bool LoadFile(const char* path, std::string* problem = nullptr);
  // Writes the game to a .puz file; the clock does not run while it is written.
  bool SaveFile(const char* path);

  // ---- turns ----
  // A turn by number, queued while another turn animates (or refused, without the queue).
  // False when it was refused.
  bool Turn(int move, ETurnSource source);
  // The drag rule: the turn a drag from one facelet to another makes, queued like Turn.
  // Returns the turn made or queued, 0 for none.
  int DragTurn(int fromFacelet, int toFacelet, ETurnSource source);
  // Moves typed in the puzzle's notation, played as a macro after what is queued; false with
  // the reason when the puzzle refuses them.
  bool ExecuteMacro(const char* text, ETurnSource source, CUString* problem = nullptr);
  // The joystick's axes and buttons, for puzzles that take them.
  void JoystickInput(float x, float y, float z, int buttons, CUString* problem = nullptr);
  // Turns played from outside (a hint, the solver, a replay): queued after anything waiting.
  void QueueTurns(const std::vector<int>& moves, ETurnSource source);
  // Forgets input that has not started yet (the running turn plays on).
  void DropQueued();

  // ---- undo and redo ----
  // Takes back the last turn, or the last command when its turns have all been taken back.
  bool Undo(ETurnSource source = ETurnSource::Key);
  bool Redo(ETurnSource source = ETurnSource::Key);
  bool CanUndo() const;
  bool CanRedo() const;
  int GetRedoCount() const { return static_cast<int>(m_redo.size()); }
  int GetSnapshotCount() const;

  // ---- commands ----
  // Scrambles with the session's own generator; a seed other than 0 seeds it first (as the
  // scramble button seeds it with the time), so one seed always gives one scramble.
  void Scramble(int seed = 0);
  void Reset();
  bool SetMode(int mode);
  // Reseeds the scramble generator; returns the seed used (0: the time).
  int Randomize(int seed) { return m_rand.Randomize(seed); }

  // ---- the clock ----
  // While a dialog is up or the game is paused: the clock stops and keeps its time.
  void StopClock();
  // A scrambled game's clock runs again (after a dialog, a pause, or the player's first turn
  // in a loaded game).
  void ResumeClock();
  // The system time changed: the clock keeps the time it had, measured on the session's own
  // clock, and nothing else changes.
  void OnSystemTimeChanged();
  // The solve's time in milliseconds so far, counted from the scramble as the clock counts,
  // without the time it stood still.
  std::int64_t GetSolveMilliseconds() const;
  // Turns made since the scramble (undone turns count: each turned the puzzle).
  int GetSolveTurns() const { return m_solveTurns; }
  // Whether the last solve used help (a hint or the solver).
  bool IsAssisted() const { return m_assisted; }
  void MarkAssisted() { m_assisted = true; }
  // A scrambled game not solved yet.
  bool IsSolving() const { return m_solving; }

  // ---- the whole game, kept between runs ----
  // The game in progress as bytes: the puzzle with its history and clock, the solve's
  // stopwatch, and the undo and redo steps that stay within this puzzle and mode (a step that
  // leads to another puzzle or mode, and every step beyond it, is left out).
  std::vector<std::uint8_t> SaveGame();
  // Brings back a game SaveGame wrote with its own undo and redo steps, which replace the
  // session's: undo then goes back through that game only (the game it replaced is not one
  // of its steps). False, changing nothing, for bytes it cannot read or a puzzle it cannot
  // make.
  bool RestoreGame(const std::vector<std::uint8_t>& bytes);

  // ---- input while turns animate ----
  void SetQueueTurns(bool on) { m_queueTurns = on; }
  // The animation's pace when nothing waits: milliseconds per frame.
  void SetAnimationInterval(int ms);
  int GetAnimationInterval() const { return m_baseInterval; }
  // Turns drawn on every display frame (a timer of framePeriodMs) at the angle the session's
  // clock gives (or the one given), eased or not, instead of in frame steps; every puzzle
  // played takes it.
  void SetSmoothAnimation(bool on, bool easing, int framePeriodMs, CPuzzle::AnimationClock clock = {});
  bool IsSmoothAnimation() const { return m_smoothAnimation; }
  bool GetQueueTurns() const { return m_queueTurns; }
  int GetQueuedCount() const { return static_cast<int>(m_pending.size()); }
  // Drops queued input and ends a running turn at once (a new game must not inherit it).
  void FinishTurns();
  // Paints the puzzle for the host: at rest, or the next frame of the running turn. Queued
  // input starts as soon as the turn before it has ended.
  void Paint(CDC* dc, CDib* dib);
  // What the last Paint showed: turn 0 at rest, else the turn and the angle it was drawn at.
  struct SShownFrame {
    int move = 0;
    int angle = 0;
  };
  const SShownFrame& GetShownFrame() const { return m_shown; }
  // Starts queued input when nothing animates; called after a turn ends.
  void Pump();
  bool IsBusy() const;

  // ---- the generator behind scrambles ----
  CURand& GetRandom() { return m_rand; }

  // Called by the puzzle when a turn has been made.
  void OnTurnCompleted(CPuzzle& puzzle, int move, bool solvedScramble) override;

 private:
  struct Pending {
    enum class EKind { Turn, Drag, Undo, Redo } kind = EKind::Turn;
    int move = 0;
    int from = -1;
    int to = -1;
    ETurnSource source = ETurnSource::Mouse;
  };
  // A whole game as the puzzle file holds it, and whether its clock ran.
  struct Snapshot {
    int typeId = -1;
    int mode = 0;
    std::vector<unsigned char> record;
    bool clockRunning = false;
    float modelSize = 0;
    std::int64_t solveMs = 0;
    int solveTurns = 0;
    int turnsShown = 0;  // the count beside the clock
    bool solving = false;
    bool assisted = false;
  };
  struct CommandStep {
    EGameCommand command = EGameCommand::Scramble;
    std::shared_ptr<Snapshot> before;
    std::shared_ptr<Snapshot> after;
    int seed = 0;
  };
  struct RedoStep {
    bool isCommand = false;
    int move = 0;       // a turn taken back
    CommandStep step;   // a command taken back
  };
  // What the puzzle is expected to report next, in order.
  struct Expected {
    enum class EKind { Turn, Undo, Redo } kind = EKind::Turn;
    int move = 0;
    ETurnSource source = ETurnSource::Mouse;
  };

  void Emit(SGameEvent event);
  void ReportTurn(int move);
  SGameEvent MakeEvent(SGameEvent::EKind kind) const;
  bool Enqueue(const Pending& pending);
  // Carries out input at once; false when the puzzle refused it.
  bool Perform(const Pending& pending);
  bool StartTurn(int move, ETurnSource source);
  bool StartUndo(ETurnSource source);
  bool StartRedo(ETurnSource source);
  bool UndoCommand();
  bool RedoCommand();
  void AdoptPuzzle(std::unique_ptr<CPuzzle> puzzle);
  std::shared_ptr<Snapshot> TakeSnapshot();
  std::unique_ptr<CPuzzle> RestoreSnapshot(const Snapshot& snapshot);
  bool ReplaceWith(const Snapshot& snapshot);
  void PushCommand(EGameCommand command, std::shared_ptr<Snapshot> before, int seed);
  void DropOldSnapshots();
  void ClearRedo() { m_redo.clear(); }
  // The animation's pace: faster while input waits.
  void UpdatePace();
  // Keeps the millisecond stopwatch in step with the puzzle's clock.
  void SyncStopwatch();
  void StartSolve();
  // The saved game's steps that stay within the game of this type and mode.
  bool StaysInGame(const CommandStep& step, int typeId, int mode) const;
  class CGameWriter;
  class CGameReader;

  Clock m_clock;
  CWnd* m_host = nullptr;
  std::unique_ptr<CPuzzle> m_puzzle;
  std::vector<IGameListener*> m_listeners;
  CURand m_rand;
  bool m_queueTurns = kDefaultQueueTurns != 0;
  std::deque<Pending> m_pending;
  std::deque<Expected> m_expected;
  ETurnSource m_playbackSource = ETurnSource::Macro;
  std::vector<CommandStep> m_commands;
  std::vector<RedoStep> m_redo;
  int m_baseInterval = CPuzzle::kDefaultInterval;
  bool m_smoothAnimation = false;
  bool m_easing = true;
  int m_framePeriod = 16;
  CPuzzle::AnimationClock m_animationClock;
  SShownFrame m_shown;
  bool m_pumping = false;
  // The solve's millisecond stopwatch.
  bool m_stopwatchRunning = false;
  std::int64_t m_stopwatchStart = 0;
  std::int64_t m_stopwatchBanked = 0;
  long m_clockSecondsAtStart = 0;
  int m_solveTurns = 0;
  bool m_solving = false;  // a scrambled game not yet solved
  bool m_assisted = false;
};
