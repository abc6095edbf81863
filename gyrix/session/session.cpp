// The game in progress: turns from every source, the queue of input that arrives while a turn
// animates, undo and redo of turns and of whole commands, and the solve's millisecond clock.
#include <gyrix/session/session.h>

#include <gyrix/puzzles.h>

#include <platform/wnd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

// Waiting turns animate this much faster for each one that waits; past the last step the
// running turn is made at once, so the picture is never far behind the player.
constexpr int kFastestInterval = 5;
constexpr int kWaitingForInstantTurns = 4;

std::int64_t SteadyMilliseconds() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool IsPlayerInput(ETurnSource source) {
  return source == ETurnSource::Mouse || source == ETurnSource::Key || source == ETurnSource::Controller ||
         source == ETurnSource::Script;
}

}  // namespace

const char* TurnSourceName(ETurnSource source) {
  switch (source) {
    case ETurnSource::Mouse: return "mouse";
    case ETurnSource::Key: return "key";
    case ETurnSource::Controller: return "controller";
    case ETurnSource::Macro: return "macro";
    case ETurnSource::Hint: return "hint";
    case ETurnSource::Solver: return "solver";
    case ETurnSource::Replay: return "replay";
    case ETurnSource::Script: return "script";
  }
  return "?";
}

const char* GameCommandName(EGameCommand command) {
  switch (command) {
    case EGameCommand::Scramble: return "scramble";
    case EGameCommand::Reset: return "reset";
    case EGameCommand::Mode: return "mode";
    case EGameCommand::NewPuzzle: return "puzzle";
    case EGameCommand::Load: return "load";
  }
  return "?";
}

const char* GameEventName(SGameEvent::EKind kind) {
  using K = SGameEvent::EKind;
  switch (kind) {
    case K::TurnMade: return "turn";
    case K::TurnUndone: return "undone";
    case K::TurnRedone: return "redone";
    case K::Scrambled: return "scrambled";
    case K::Reset: return "reset";
    case K::ModeChanged: return "mode";
    case K::PuzzleReplaced: return "puzzle";
    case K::CommandUndone: return "undone-command";
    case K::CommandRedone: return "redone-command";
    case K::Solved: return "solved";
    case K::Paused: return "paused";
    case K::Resumed: return "resumed";
  }
  return "?";
}

std::string DescribeGameEvent(const SGameEvent& e) {
  using K = SGameEvent::EKind;
  char text[160];
  switch (e.kind) {
    case K::TurnMade:
      std::snprintf(text, sizeof text, "turn %d %s", e.move, TurnSourceName(e.source));
      break;
    case K::TurnUndone:
    case K::TurnRedone:
      std::snprintf(text, sizeof text, "%s %d %s", GameEventName(e.kind), e.move, TurnSourceName(e.source));
      break;
    case K::Scrambled:
      std::snprintf(text, sizeof text, "scrambled seed %d", e.seed);
      break;
    case K::ModeChanged:
      std::snprintf(text, sizeof text, "mode %d", e.mode);
      break;
    case K::PuzzleReplaced:
      std::snprintf(text, sizeof text, "puzzle %d %s mode %d", e.typeId, CPuzzle::GetTypeName(e.typeId), e.mode);
      break;
    case K::CommandUndone:
    case K::CommandRedone:
      std::snprintf(text, sizeof text, "%s %s", GameEventName(e.kind), GameCommandName(e.command));
      break;
    case K::Solved:
      std::snprintf(text, sizeof text, "solved %lld ms %d turns", static_cast<long long>(e.solveMs), e.turns);
      break;
    default:
      std::snprintf(text, sizeof text, "%s", GameEventName(e.kind));
      break;
  }
  return text;
}

// ---- construction, host, listeners ----

CGameSession::CGameSession(Clock clock) : m_clock(clock ? std::move(clock) : Clock(SteadyMilliseconds)) {}

CGameSession::~CGameSession() {
  if (m_puzzle) {
    m_puzzle->SetTurnObserver(nullptr);
    m_puzzle->SetRandomSource(nullptr);
  }
}

void CGameSession::SetHost(CWnd* host) { m_host = host; }

void CGameSession::AddListener(IGameListener* listener) {
  if (listener && std::find(m_listeners.begin(), m_listeners.end(), listener) == m_listeners.end())
    m_listeners.push_back(listener);
}

void CGameSession::RemoveListener(IGameListener* listener) {
  m_listeners.erase(std::remove(m_listeners.begin(), m_listeners.end(), listener), m_listeners.end());
}

SGameEvent CGameSession::MakeEvent(SGameEvent::EKind kind) const {
  SGameEvent e;
  e.kind = kind;
  e.timeMs = Now();
  if (m_puzzle) {
    e.typeId = m_puzzle->GetTypeId();
    e.mode = m_puzzle->GetMode();
  }
  return e;
}

void CGameSession::Emit(SGameEvent event) {
  // A listener may remove itself while it is told.
  const std::vector<IGameListener*> listeners = m_listeners;
  for (IGameListener* l : listeners)
    if (std::find(m_listeners.begin(), m_listeners.end(), l) != m_listeners.end()) l->OnGameEvent(event);
}

void CGameSession::SetAnimationInterval(int ms) {
  m_baseInterval = std::max(ms, 1);
  UpdatePace();
}

void CGameSession::SetSmoothAnimation(bool on, bool easing, int framePeriodMs, CPuzzle::AnimationClock clock) {
  m_smoothAnimation = on;
  m_easing = easing;
  m_framePeriod = std::max(framePeriodMs, 1);
  m_animationClock = clock ? std::move(clock) : CPuzzle::AnimationClock(m_clock);
  if (m_puzzle) m_puzzle->SetSmoothAnimation(on, easing, m_framePeriod, m_animationClock);
}

// ---- the puzzle ----

void CGameSession::AdoptPuzzle(std::unique_ptr<CPuzzle> puzzle) {
  if (m_puzzle) {
    m_puzzle->SetTurnObserver(nullptr);
    m_puzzle->SetRandomSource(nullptr);
  }
  m_puzzle = std::move(puzzle);
  m_expected.clear();
  if (!m_puzzle) return;
  m_puzzle->SetTurnObserver(this);
  m_puzzle->SetRandomSource(&m_rand);
  m_puzzle->SetAnimationInterval(m_baseInterval);
  m_puzzle->SetSmoothAnimation(m_smoothAnimation, m_easing, m_framePeriod, m_animationClock);
  m_puzzle->SetTitle(m_host);
}

void CGameSession::SetPuzzle(std::unique_ptr<CPuzzle> puzzle, bool undoable) {
  if (!puzzle) return;
  FinishTurns();
  std::shared_ptr<Snapshot> before = (undoable && m_puzzle) ? TakeSnapshot() : nullptr;
  AdoptPuzzle(std::move(puzzle));
  if (before) PushCommand(EGameCommand::NewPuzzle, before, 0);
  StartSolve();
  SGameEvent e = MakeEvent(SGameEvent::EKind::PuzzleReplaced);
  Emit(e);
}

bool CGameSession::LoadFile(const char* path, std::string* problem) {
  std::string why;
  std::unique_ptr<CPuzzle> loaded(LoadPuzzleFile(path, &why));
  if (!loaded) {
    if (problem) *problem = why;
    return false;
  }
  FinishTurns();
  std::shared_ptr<Snapshot> before = m_puzzle ? TakeSnapshot() : nullptr;
  AdoptPuzzle(std::move(loaded));
  if (before) PushCommand(EGameCommand::Load, before, 0);
  StartSolve();
  Emit(MakeEvent(SGameEvent::EKind::PuzzleReplaced));
  return true;
}

bool CGameSession::SaveFile(const char* path) {
  if (!m_puzzle) return false;
  // The stored time is the time so far: the clock's end is brought up to now first.
  m_puzzle->UpdateClock();
  return m_puzzle->Save(path) == 1;
}

// ---- turns ----

bool CGameSession::IsBusy() const { return m_puzzle && m_puzzle->IsBusy(); }

bool CGameSession::Enqueue(const Pending& pending) {
  if (!m_puzzle) return false;
  if (IsBusy() || !m_pending.empty()) {
    if (!m_queueTurns) return false;
    if (IsPlayerInput(pending.source) && static_cast<int>(m_pending.size()) >= kMaxQueued) return false;
    m_pending.push_back(pending);
    UpdatePace();
    return true;
  }
  const bool done = Perform(pending);
  SyncStopwatch();
  return done;
}

bool CGameSession::Perform(const Pending& p) {
  switch (p.kind) {
    case Pending::EKind::Turn:
      return StartTurn(p.move, p.source);
    case Pending::EKind::Drag: {
      const int move = m_puzzle->MoveFromDrag(p.from, p.to);
      return move != 0 && StartTurn(move, p.source);
    }
    case Pending::EKind::Undo:
      return StartUndo(p.source);
    case Pending::EKind::Redo:
      return StartRedo(p.source);
  }
  return false;
}

bool CGameSession::StartTurn(int move, ETurnSource source) {
  if (move == 0) return false;
  // A loaded scrambled game's clock runs again with the player's first turn.
  ResumeClock();
  m_expected.push_back(Expected{Expected::EKind::Turn, move, source});
  const std::size_t waiting = m_expected.size();
  if (!m_puzzle->StartMove(m_host, move)) {
    // Refused: nothing was reported for it.
    if (m_expected.size() == waiting) m_expected.pop_back();
    return false;
  }
  // Merged, so turning a layer straight back cancels in the history.
  m_puzzle->RecordMove(move, 0);
  ClearRedo();
  return true;
}

bool CGameSession::StartUndo(ETurnSource source) {
  const int position = m_puzzle->GetHistoryPosition();
  if (position <= 0) return UndoCommand();
  const int last = m_puzzle->GetHistoryMove(position - 1);
  ResumeClock();
  m_expected.push_back(Expected{Expected::EKind::Undo, last, source});
  const std::size_t waiting = m_expected.size();
  if (!m_puzzle->UndoMove(m_host)) {
    if (m_expected.size() == waiting) m_expected.pop_back();
    return false;
  }
  // The inverse can be refused where a position blocks it; the turn has left the history
  // anyway, so the redo list only hears of a turn that was really taken back.
  if (m_puzzle->GetHistoryPosition() < position) {
    RedoStep step;
    step.move = last;
    m_redo.push_back(step);
  }
  return true;
}

bool CGameSession::StartRedo(ETurnSource source) {
  if (m_redo.empty()) return false;
  RedoStep step = m_redo.back();
  if (step.isCommand) return RedoCommand();
  ResumeClock();
  m_expected.push_back(Expected{Expected::EKind::Redo, step.move, source});
  const std::size_t waiting = m_expected.size();
  if (!m_puzzle->StartMove(m_host, step.move)) {
    if (m_expected.size() == waiting) m_expected.pop_back();
    return false;
  }
  m_redo.pop_back();
  // Unmerged: the history gets back exactly the turn that undo took from it.
  m_puzzle->RecordMove(step.move, 1);
  return true;
}

bool CGameSession::Turn(int move, ETurnSource source) {
  Pending p;
  p.kind = Pending::EKind::Turn;
  p.move = move;
  p.source = source;
  return Enqueue(p);
}

int CGameSession::DragTurn(int fromFacelet, int toFacelet, ETurnSource source) {
  if (!m_puzzle || fromFacelet < 0 || toFacelet < 0) return 0;
  // The turn the drag names now; a queued drag asks the rule again when its turn comes, as a
  // shape-changing puzzle may have moved its pieces by then.
  const int move = m_puzzle->MoveFromDrag(fromFacelet, toFacelet);
  if (move == 0) return 0;
  Pending p;
  p.kind = Pending::EKind::Drag;
  p.from = fromFacelet;
  p.to = toFacelet;
  p.source = source;
  return Enqueue(p) ? move : 0;
}

bool CGameSession::ExecuteMacro(const char* text, ETurnSource source, CUString* problem) {
  if (!m_puzzle) return false;
  if (!(m_puzzle->GetCapabilities() & CPuzzle::kCanExecuteMacros)) {
    if (problem) *problem = "This puzzle does not execute move macros";
    return false;
  }
  if (!m_puzzle->ExecuteMacro(text)) {
    if (problem) *problem = m_puzzle->GetMacroProblem();
    return false;
  }
  m_playbackSource = source;
  ClearRedo();
  ResumeClock();
  m_puzzle->PlayNextMove(m_host);
  SyncStopwatch();
  return true;
}

void CGameSession::JoystickInput(float x, float y, float z, int buttons, CUString* problem) {
  if (!m_puzzle || !(m_puzzle->GetCapabilities() & CPuzzle::kTakesJoystick)) return;
  const int queued = m_puzzle->GetHistorySize();
  if (!m_puzzle->JoystickTurn(x, y, z, buttons)) {
    if (problem) *problem = m_puzzle->GetMacroProblem();
    return;
  }
  if (m_puzzle->GetHistorySize() == queued && !m_puzzle->IsPlaying()) return;
  m_playbackSource = ETurnSource::Controller;
  ClearRedo();
  ResumeClock();
  m_puzzle->PlayNextMove(m_host);
  SyncStopwatch();
}

void CGameSession::QueueTurns(const std::vector<int>& moves, ETurnSource source) {
  for (int move : moves) {
    Pending p;
    p.kind = Pending::EKind::Turn;
    p.move = move;
    p.source = source;
    if (!m_puzzle) return;
    if (IsBusy() || !m_pending.empty()) {
      m_pending.push_back(p);
    } else {
      Perform(p);
    }
  }
  SyncStopwatch();
}

void CGameSession::DropQueued() {
  m_pending.clear();
  UpdatePace();
}

void CGameSession::OnTurnCompleted(CPuzzle& puzzle, int move, bool solvedScramble) {
  if (&puzzle != m_puzzle.get()) return;
  if (move != 0) ReportTurn(move);
  if (solvedScramble) {
    SyncStopwatch();
    SGameEvent solved = MakeEvent(SGameEvent::EKind::Solved);
    solved.solveMs = GetSolveMilliseconds();
    solved.turns = m_solveTurns;
    m_solving = false;
    Emit(solved);
  }
}

void CGameSession::ReportTurn(int move) {
  SGameEvent e = MakeEvent(SGameEvent::EKind::TurnMade);
  if (!m_expected.empty()) {
    const Expected expected = m_expected.front();
    m_expected.pop_front();
    e.source = expected.source;
    e.move = expected.move;
    if (expected.kind == Expected::EKind::Undo) e.kind = SGameEvent::EKind::TurnUndone;
    else if (expected.kind == Expected::EKind::Redo) e.kind = SGameEvent::EKind::TurnRedone;
  } else {
    e.move = move;
    e.source = m_playbackSource;
  }
  if (m_solving) ++m_solveTurns;
  Emit(e);
}

// ---- painting and the queue ----

void CGameSession::Paint(CDC* dc, CDib* dib) {
  if (!m_puzzle) return;
  // A queued turn that never started leaves nothing to animate: the puzzle is drawn at rest.
  m_shown = SShownFrame();
  if (m_puzzle->IsBusy() && m_puzzle->GetCurrentMove() != 0) {
    m_shown.move = m_puzzle->GetCurrentMove();
    m_puzzle->AnimateStep(m_host, dc, dib);
    m_shown.angle = m_puzzle->GetLastFrameAngle();
  } else {
    m_puzzle->Draw(dc, dib);
  }
  Pump();
}

void CGameSession::Pump() {
  if (m_pumping || !m_puzzle) return;
  m_pumping = true;
  while (!m_pending.empty() && !IsBusy()) {
    const Pending next = m_pending.front();
    m_pending.pop_front();
    Perform(next);
  }
  UpdatePace();
  SyncStopwatch();
  m_pumping = false;
}

void CGameSession::FinishTurns() {
  m_pending.clear();
  if (m_puzzle && m_puzzle->IsBusy()) m_puzzle->CompleteAllMoves(m_host);
  m_expected.clear();
  UpdatePace();
  SyncStopwatch();
}

void CGameSession::UpdatePace() {
  if (!m_puzzle) return;
  int waiting = 0;
  for (const Pending& p : m_pending) waiting += IsPlayerInput(p.source) ? 1 : 0;
  const int interval = std::max(kFastestInterval, m_baseInterval / (1 + waiting));
  if (m_puzzle->GetAnimationInterval() != interval) {
    m_puzzle->SetAnimationInterval(interval);
    // The running turn speeds up too: its timer is set again at the new pace.
    if (m_puzzle->GetCurrentMove() != 0 && m_host && m_host->GetSafeHwnd())
      m_host->SetTimer(CPuzzle::kAnimationTimer, static_cast<UINT>(m_puzzle->GetAnimationTimerPeriod()));
  }
  if (waiting >= kWaitingForInstantTurns && m_puzzle->GetCurrentMove() != 0 && !m_pumping) {
    m_puzzle->CompleteMove(m_host);
    Pump();
  }
}

// ---- undo and redo ----

bool CGameSession::Undo(ETurnSource source) {
  Pending p;
  p.kind = Pending::EKind::Undo;
  p.source = source;
  return Enqueue(p);
}

bool CGameSession::Redo(ETurnSource source) {
  Pending p;
  p.kind = Pending::EKind::Redo;
  p.source = source;
  return Enqueue(p);
}

bool CGameSession::CanUndo() const {
  return m_puzzle && (m_puzzle->GetHistoryPosition() > 0 || !m_commands.empty());
}

bool CGameSession::CanRedo() const { return !m_redo.empty(); }

int CGameSession::GetSnapshotCount() const {
  int count = static_cast<int>(m_commands.size());
  for (const RedoStep& r : m_redo) count += r.isCommand ? 1 : 0;
  return count;
}

std::shared_ptr<CGameSession::Snapshot> CGameSession::TakeSnapshot() {
  auto s = std::make_shared<Snapshot>();
  s->typeId = m_puzzle->GetTypeId();
  s->mode = m_puzzle->GetMode();
  s->clockRunning = m_puzzle->IsClockRunning() != 0;
  s->modelSize = m_puzzle->GetModelSize();
  m_puzzle->UpdateClock();
  CUBuffer record;
  m_puzzle->Write(record);
  s->record.assign(record.GetData(), record.GetData() + record.GetSize());
  s->solveMs = GetSolveMilliseconds();
  s->solveTurns = m_solveTurns;
  s->turnsShown = m_puzzle->GetTurnsMade();
  s->solving = m_solving;
  s->assisted = m_assisted;
  return s;
}

std::unique_ptr<CPuzzle> CGameSession::RestoreSnapshot(const Snapshot& s) {
  std::unique_ptr<CPuzzle> p(CreatePuzzle(s.typeId));
  if (!p || p->GetTypeId() != s.typeId) return nullptr;
  CUBuffer record;
  if (!s.record.empty()) record.Write(const_cast<unsigned char*>(s.record.data()), static_cast<int>(s.record.size()));
  record.SeekToBegin();
  if (p->LoadFromBuffer(record) != 1) return nullptr;
  // The stored clock stands still; one that ran goes on from the time it had.
  if (s.clockRunning) p->StartClock(0);
  p->SetTurnsMade(s.turnsShown);
  return p;
}

bool CGameSession::ReplaceWith(const Snapshot& s) {
  std::unique_ptr<CPuzzle> restored = RestoreSnapshot(s);
  if (!restored) return false;
  // The same puzzle keeps the view the player turned it to.
  const bool keepView = m_puzzle && m_puzzle->GetTypeId() == s.typeId && m_puzzle->GetModelSize() == s.modelSize;
  if (keepView) restored->CopyViewFrom(*m_puzzle);
  AdoptPuzzle(std::move(restored));
  m_solveTurns = s.solveTurns;
  m_solving = s.solving;
  m_assisted = s.assisted;
  m_stopwatchBanked = s.solveMs;
  m_stopwatchRunning = false;
  SyncStopwatch();
  SGameEvent e = MakeEvent(SGameEvent::EKind::PuzzleReplaced);
  e.keepView = keepView;
  Emit(e);
  return true;
}

void CGameSession::PushCommand(EGameCommand command, std::shared_ptr<Snapshot> before, int seed) {
  CommandStep step;
  step.command = command;
  step.before = std::move(before);
  step.after = TakeSnapshot();
  step.seed = seed;
  m_commands.push_back(std::move(step));
  ClearRedo();
  DropOldSnapshots();
}

void CGameSession::DropOldSnapshots() {
  // Redo steps can only have come from the undo list, so the oldest command is the first kept.
  while (GetSnapshotCount() > kMaxSnapshots && !m_commands.empty()) m_commands.erase(m_commands.begin());
}

bool CGameSession::UndoCommand() {
  if (m_commands.empty()) return false;
  CommandStep step = m_commands.back();
  if (!ReplaceWith(*step.before)) return false;
  m_commands.pop_back();
  RedoStep redo;
  redo.isCommand = true;
  redo.step = step;
  m_redo.push_back(std::move(redo));
  SGameEvent e = MakeEvent(SGameEvent::EKind::CommandUndone);
  e.command = step.command;
  Emit(e);
  return true;
}

bool CGameSession::RedoCommand() {
  if (m_redo.empty() || !m_redo.back().isCommand) return false;
  CommandStep step = m_redo.back().step;
  if (!ReplaceWith(*step.after)) return false;
  m_redo.pop_back();
  m_commands.push_back(step);
  SGameEvent e = MakeEvent(SGameEvent::EKind::CommandRedone);
  e.command = step.command;
  Emit(e);
  return true;
}

// ---- commands ----

void CGameSession::Scramble(int seed) {
  if (!m_puzzle) return;
  FinishTurns();
  std::shared_ptr<Snapshot> before = TakeSnapshot();
  if (seed != 0) m_rand.Randomize(seed);
  m_puzzle->Scramble();
  m_puzzle->SetTitle(m_host);
  StartSolve();
  PushCommand(EGameCommand::Scramble, before, seed);
  SGameEvent e = MakeEvent(SGameEvent::EKind::Scrambled);
  e.seed = seed;
  Emit(e);
}

void CGameSession::Reset() {
  if (!m_puzzle) return;
  FinishTurns();
  std::shared_ptr<Snapshot> before = TakeSnapshot();
  m_puzzle->Reset();
  m_puzzle->SetTitle(m_host);
  StartSolve();
  PushCommand(EGameCommand::Reset, before, 0);
  Emit(MakeEvent(SGameEvent::EKind::Reset));
}

bool CGameSession::SetMode(int mode) {
  if (!m_puzzle) return false;
  FinishTurns();
  std::shared_ptr<Snapshot> before = TakeSnapshot();
  if (!m_puzzle->SetMode(mode)) return false;
  m_puzzle->SetTitle(m_host);
  StartSolve();
  PushCommand(EGameCommand::Mode, before, 0);
  SGameEvent e = MakeEvent(SGameEvent::EKind::ModeChanged);
  e.mode = m_puzzle->GetMode();
  Emit(e);
  return true;
}

// ---- the clock ----

void CGameSession::StartSolve() {
  m_solveTurns = 0;
  m_assisted = false;
  m_stopwatchBanked = 0;
  m_stopwatchRunning = false;
  m_solving = m_puzzle && m_puzzle->IsScramblePending() && !m_puzzle->IsSolved();
  SyncStopwatch();
}

void CGameSession::SyncStopwatch() {
  const bool run = m_puzzle && m_puzzle->IsClockRunning() && !m_puzzle->IsSolved();
  if (run == m_stopwatchRunning) return;
  const std::int64_t now = Now();
  if (run) {
    m_stopwatchStart = now;
    m_clockSecondsAtStart = m_puzzle->GetElapsedSeconds();
  } else {
    m_stopwatchBanked += now - m_stopwatchStart;
  }
  m_stopwatchRunning = run;
}

std::int64_t CGameSession::GetSolveMilliseconds() const {
  return m_stopwatchBanked + (m_stopwatchRunning ? Now() - m_stopwatchStart : 0);
}

void CGameSession::StopClock() {
  if (!m_puzzle) return;
  const bool was = m_puzzle->IsClockRunning() != 0;
  m_puzzle->StopClock(0);
  SyncStopwatch();
  if (was) Emit(MakeEvent(SGameEvent::EKind::Paused));
}

void CGameSession::ResumeClock() {
  if (!m_puzzle || m_puzzle->IsClockShown() || !m_puzzle->IsScramblePending()) return;
  m_puzzle->StartClock(0);
  SyncStopwatch();
  Emit(MakeEvent(SGameEvent::EKind::Resumed));
}

void CGameSession::OnSystemTimeChanged() {
  if (!m_puzzle || !m_stopwatchRunning) return;
  // The puzzle's clock reads the system time, which has just jumped; the session's clock did
  // not, and knows how long the clock has run since it last started.
  const std::int64_t ranMs = Now() - m_stopwatchStart;
  m_puzzle->SetElapsedSeconds(m_clockSecondsAtStart + static_cast<long>(ranMs / 1000));
}
