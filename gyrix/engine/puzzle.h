// CPuzzle: the polygon model made a puzzle. The state is the colour index of every facelet;
// a turn permutes colour indices between facelets. This class holds the turns, the per-facelet
// masks of the turns that move each facelet, the history of turns for undo and playback, the
// solve clock, and the type id, size and mode. Puzzle classes build geometry and turns in
// their constructors and override a few virtual operations.
#pragma once

#include <gyrix/engine/polymodel.h>

#include <cordak/buffer.h>
#include <cordak/ustring.h>
#include <cordak/utime.h>

#include <cstdint>
#include <functional>
#include <vector>

class CWnd;
class CPuzzle;
class CURand;

// Told by a puzzle when a turn has been made (its colours moved), and whether that turn solved
// a scrambled puzzle. The game session listens here; without one, a solving turn posts the
// solved command to the window instead.
class ITurnObserver {
 public:
  virtual ~ITurnObserver() = default;
  virtual void OnTurnCompleted(CPuzzle& puzzle, int move, bool solvedScramble) = 0;
};

// The engine's side of turning a puzzle by dragging. The window passes its left-button press
// and release here; the pair of facelets under the two points decides the turn.
class CDragTurn {
 public:
  // Ignored while the puzzle is busy. Remembers the facelet under p and captures the mouse
  // for wnd (when it exists); false when no facelet is there.
  bool Press(CPuzzle* puzzle, CWnd* wnd, POINT p);
  // Releases the capture and starts and records the turn from the remembered facelet to the
  // one under q; returns the turn started, 0 for none. A window that does not hold the
  // capture, or a puzzle busy since the press, makes no turn.
  int Release(CPuzzle* puzzle, CWnd* wnd, POINT q);
  bool IsPressed() const { return m_from != -1; }
  int GetFromFacelet() const { return m_from; }
  void Cancel() { m_from = -1; }

 private:
  int m_from = -1;
};

// Painting an inner facelet just before the facelet at a painting position, during a turn.
class CMoveInsert : public CUObject {
 public:
  static constexpr int kViewList = 0;   // paint from the view vertices
  static constexpr int kFrameList = 1;  // paint from the frame vertices

  int innerFacelet = 0;
  int position = 0;
  int vertexList = kViewList;

  CMoveInsert() = default;
  CMoveInsert(int inner, int pos, int list) : innerFacelet(inner), position(pos), vertexList(list) {}
  void Read(CUBuffer& b) override;
  void Write(CUBuffer& b) override;
};

// One turn. Entry i of the permutation names the facelet that receives the colour of facelet i
// when the turn is made in its positive direction; turns computed at run time have none.
class CMove : public CUObject {
 public:
  CMove() = default;
  CMove(const int* permutation, int length);

  int GetLength() const { return static_cast<int>(m_permutation.size()); }
  const int* GetPermutation() const { return m_permutation.data(); }
  int GetEntry(int i) const { return (i >= 0 && i < GetLength()) ? m_permutation[i] : -1; }

  CUObArray& GetInserts() { return m_inserts; }
  int GetInsertCount() const { return m_inserts.GetCount(); }
  CMoveInsert* GetInsert(int i) const { return static_cast<CMoveInsert*>(m_inserts.GetAt(i)); }
  void AddInsert(int inner, int position, int list) { m_inserts.Add(new CMoveInsert(inner, position, list)); }
  void DeleteInserts() { m_inserts.DeleteAll(); }

  // Length, permutation, insert count, inserts. A record the rest of the buffer cannot hold is
  // not allocated: ReadRecord then gives false.
  void Read(CUBuffer& b) override { ReadRecord(b); }
  bool ReadRecord(CUBuffer& b);
  void Write(CUBuffer& b) override;

 private:
  std::vector<int> m_permutation;
  CUObArray m_inserts{0, 1};
};

class CPuzzle : public CPolyModel {
 public:
  static constexpr int kAnimationTimer = 1001;
  static constexpr int kSolvedCommand = 105;
  static constexpr int kDefaultInterval = 40;
  static constexpr int kCanExecuteMacros = 1;
  static constexpr int kTakesJoystick = 2;
  // The leading float of every puzzle file.
  static constexpr float kFormatVersion = 1.31f;
  // The history keeps one signed byte per turn; turns beyond this cannot be recorded.
  static constexpr int kMaxRecordableMove = 127;

  // maskLength: the number of facelets the puzzle class will create.
  explicit CPuzzle(int maskLength);
  ~CPuzzle() override;

  // The whole puzzle file record.
  void Read(CUBuffer& b) override;
  void Write(CUBuffer& b) override;
  void Clear() override;
  int LoadFromBuffer(CUBuffer& data) override;
  // While a turn runs: the moving and the fixed part apart, each by depth, the farther part
  // first, with the turn's cut face between them. The decisions are the hooks below.
  void SortFacelets() override;

  virtual void Scramble();
  virtual void Reset();
  virtual int GetMoveStep(int move);    // degrees per frame
  virtual int GetMoveFrames(int move);  // frames of one turn
  virtual void GetColourName(CUString& out, int index, BOOL withName);
  virtual BOOL SetMode(int mode);
  virtual void UpdateSolved();
  virtual BOOL GetMoveAxis(int k, CFixVector& a, CFixVector& b);
  // Begins turn `move` and starts the animation timer on wnd; 0 while another turn runs or
  // for a turn number out of range (which also ends playback). Without a window (null, or
  // one not created) there is nothing to animate in, and the turn is made at once.
  virtual BOOL StartMove(CWnd* wnd, int move);
  virtual void DoMove(int move, BOOL notify);
  virtual int GetCapabilities();
  // Both queue the turns they name for playback; false, with the reason in GetMacroProblem,
  // when the puzzle cannot read them.
  virtual BOOL JoystickTurn(float x, float y, float z, int buttons);
  virtual BOOL ExecuteMacro(const char* text);
  const CUString& GetMacroProblem() const { return m_macroProblem; }
  virtual int MoveFromDrag(int fromFacelet, int toFacelet);
  virtual void ResetColours();
  // Paints the puzzle with the facelets of turn `move` rotated by angle degrees and the
  // cut faces of the turn in between.
  virtual void DrawMoveFrame(CDC* dc, CDib* dib, int move, int angle);
  virtual void GetMoveRotation(CFixMatrix& matrix, int move, int angle);
  virtual int GetInnerFacelet(int k);
  virtual void SetTitle(CWnd* wnd);
  virtual BOOL SplitForMove(int k, CUObArray& moving, CUObArray& fixed);

  // Painting order during turn k (a move-list index): whether the moving part is nearer the
  // viewer than the fixed part. By default the two points of GetMoveAxis decide when the
  // class gives them, else the middle facelets of the two depth-sorted parts.
  virtual BOOL IsMovingPartNearer(int k, CUObArray& moving, CUObArray& fixed);
  // Whether an inner facelet is painted in the cut while a turn runs (1 by default).
  virtual BOOL ShowInnerFacelet(int index);
  // The move-list entry whose mask bit and cut faces animate turn `move`, or -1 for a turn
  // that has none. Turn m is entry |m| - 1 by default; classes with turns that are not list
  // entries of their own (ring turns, clicks) map them here. Starting, painting and ordering
  // a turn all go through it.
  virtual int GetAnimatedMove(int move);
  // The facelets (ids, ascending) that turn `move` carries along, as its frames show them
  // moving: what the preview of a drag outlines. Empty for a turn that moves nothing.
  virtual std::vector<int> GetTurningFacelets(int move);
  // Whether a turn is made as it starts, its frames only showing it (the lights' clicks); the
  // observer then hears of it from the class, and of its end only when it solved the puzzle.
  virtual BOOL IsTurnMadeOnStart() { return 0; }
  // Whether turn `move` can be drawn at any angle between its frames (1 by default); a turn
  // that cannot keeps its frame steps when turns are animated smoothly.
  virtual BOOL CanDrawAnyAngle(int /*move*/) { return 1; }

  // Construction, for puzzle constructors.
  int AddMove(const int* permutation, int extraFacelet);  // returns the new turn number
  int AddInnerFacelet(const int* indices, int count);    // returns the new inner id
  // Permutes an array indexed by facelet id as turn `move` permutes colours.
  void ApplyMove(int* values, int move) const;
  // For classes that rebuild themselves (a mode switch, a fresh solved geometry): removes
  // every turn with its cut-face inserts, every inner facelet, and clears the mask entries
  // (the mask keeps its length).
  void ClearTurns();
  // Also refuses while an inner facelet still uses one of the vertices.
  BOOL RemoveVerticesFrom(int index) override;

  // Index of turn `move` in the move list: |move| - 1, and -1 for turn 0.
  static int TurnIndex(int move) { return move < 0 ? -(move + 1) : move - 1; }

  // Turns and masks.
  int GetMoveCount() const { return m_moves.GetCount(); }
  CMove* GetMove(int k) const { return static_cast<CMove*>(m_moves.GetAt(k)); }  // turn k+1
  int GetInnerFaceletCount() const { return m_innerFacelets.GetCount(); }
  CFacelet* GetInnerFaceletAt(int index) const {
    return static_cast<CFacelet*>(m_innerFacelets.GetAt(index));
  }
  int GetMoveMaskLength() const { return static_cast<int>(m_moveMask.size()); }
  std::uint32_t GetMoveMask(int id) const;  // 0 outside the mask
  void SetMoveMask(int id, std::uint32_t bits);
  static int MaskBit(int k) { return k & 31; }

  // History and playback. RecordMove refuses (0) turn 0 and turns beyond one signed byte,
  // which undo would replay as another turn.
  BOOL RecordMove(int move, BOOL queue);
  // Starts the next queued turn; while a turn runs it leaves the queue alone (that turn plays
  // the next one when it ends) and returns 1.
  BOOL PlayNextMove(CWnd* wnd);
  BOOL UndoMove(CWnd* wnd);
  BOOL IsBusy() const { return m_currentMove != 0 || m_playing; }
  // Queues turns for playback as macros do: each is recorded without merging, after any turns
  // still queued, and playback is armed when anything was queued. The window then calls
  // PlayNextMove.
  void QueueMoves(const int* moves, int count);
  // Forgets the queued turns not started yet (a solve the player stops); the running turn ends.
  void DropQueuedMoves();
  // One tick of the animation timer: paints the next frame of the running turn, and after
  // the last one makes the turn (CompleteMove). The window calls it instead of Draw while
  // IsBusy.
  void AnimateStep(CWnd* wnd, CDC* dc, CDib* dib);
  // Ends the running turn at once: stops the timer, makes the turn, repaints the window,
  // plays the next queued turn, and posts command 105 when the turn solved a scrambled puzzle.
  void CompleteMove(CWnd* wnd);
  // Ends the running turn and every queued one at once (for programs without animation).
  void CompleteAllMoves(CWnd* wnd);
  const CUBuffer& GetHistory() const { return m_history; }
  int GetHistorySize() const { return const_cast<CUBuffer&>(m_history).GetSize(); }
  int GetHistoryPosition() const { return const_cast<CUBuffer&>(m_history).GetOffset(); }
  int GetHistoryMove(int i) const { return static_cast<signed char>(m_history[i]); }
  // Turns made since the history was last cleared (a scramble, a reset, a new clock): every
  // turn the player sees, undos and played macros included, as a solve counts them.
  int GetTurnsMade() const { return m_turnsMade; }
  // For a game restored from memory: the count is not part of the file.
  void SetTurnsMade(int turns) { m_turnsMade = turns < 0 ? 0 : turns; }

  // Solve clock. A fresh start (a scramble) starts from zero and marks the scramble pending;
  // a reset stop sets the time back to zero and ends it. Neither touches the history.
  void StartClock(BOOL fresh);
  void StopClock(BOOL reset);
  // Brings the stored end of a running clock up to now (before the puzzle is written).
  void UpdateClock() { AdvanceClock(); }
  // The clock shows this many seconds from now on (after the system time jumped).
  void SetElapsedSeconds(long seconds);
  // Read from the clock whether or not it has been painted.
  long GetElapsedSeconds() const;
  CUString GetElapsedText();  // "%H:%M:%S"
  BOOL IsClockShown() const { return m_clockRunning || m_solved; }
  BOOL IsClockRunning() const { return m_clockRunning; }
  const CUTime& GetClockStart() const { return m_clockStart; }
  const CUTime& GetClockEnd() const { return m_clockEnd; }

  // Plain state.
  int GetTypeId() const { return m_typeId; }
  int GetSize() const { return m_size; }
  int GetMode() const { return m_mode; }
  BOOL IsSolved() const { return m_solved; }
  BOOL IsScramblePending() const { return m_scramblePending; }
  BOOL IsPlaying() const { return m_playing; }
  int GetCurrentMove() const { return m_currentMove; }
  int GetFrame() const { return m_frame; }
  void SetAnimationInterval(int ms) { m_animationInterval = ms; }
  // Smooth animation: a turn takes as long as its frame steps would (frames x interval) but is
  // drawn on every tick of a timer of framePeriodMs, at the angle the time elapsed on the
  // clock gives, eased in and out when easing is set. Off (or without a clock): frame steps.
  using AnimationClock = std::function<std::int64_t()>;
  void SetSmoothAnimation(bool on, bool easing, int framePeriodMs, AnimationClock clock);
  bool IsSmoothAnimation() const { return m_smoothAnimation; }
  // The period the animation timer runs at for the running turn.
  int GetAnimationTimerPeriod();
  // The angle the last frame of a turn was drawn at.
  int GetShownAngle() const { return m_shownAngle; }
  // The angle of the last frame AnimateStep drew, kept after the turn ends.
  int GetLastFrameAngle() const { return m_lastFrameAngle; }
  // How far the running turn has come, 0 to 1, in time (smooth animation).
  double GetTurnProgress() const { return m_turnProgress; }
  // Slow in and out: 0 and 1 stay, the middle runs faster.
  static double EaseInOut(double t);
  int GetAnimationInterval() const { return m_animationInterval; }
  const int* GetDefaultAxis() const { return m_defaultAxis; }
  const char* GetName() const { return GetTypeName(m_typeId); }
  static const char* GetTypeName(int typeId);  // "Unnamed" outside the catalogue
  // Who hears of finished turns, and the generator scrambles draw from (null: the shared one).
  void SetTurnObserver(ITurnObserver* observer) { m_observer = observer; }
  ITurnObserver* GetTurnObserver() const { return m_observer; }
  void SetRandomSource(CURand* source) { m_random = source; }
  // The text SetTitle last gave the window.
  const CUString& GetTitle() const { return m_title; }

 protected:
  // Title text for the window; SetTitle overrides call this after building their text.
  void ShowTitle(CWnd* wnd, const CUString& title);
  // A draw from the scramble generator.
  int DrawRandom(int low, int high);
  // A scramble's start: an empty history and the clock from zero.
  void BeginScrambledGame();
  // Tells the observer of a turn made; true when one heard it.
  bool NotifyTurnCompleted(int move, bool solvedScramble);
  void ClearHistory() {
    m_history.Clear();
    m_turnsMade = 0;
  }

  CUString m_macroProblem;
  int m_turnsMade = 0;

  int m_playing = 0;
  int m_defaultAxis[3] = {0, 0, 0};
  CUObArray m_moves{0, 1};
  CUObArray m_innerFacelets{0, 1};
  std::vector<std::uint32_t> m_moveMask;
  int m_currentMove = 0;
  int m_frame = 0;
  int m_shownAngle = 0;  // the angle the running turn was last drawn at
  int m_lastFrameAngle = 0;
  int m_animationInterval = kDefaultInterval;
  CUBuffer m_history{1024};
  int m_typeId = -1;
  int m_size = 0;
  int m_mode = 0;
  CUTime m_clockStart;
  CUTime m_clockEnd;
  int m_clockRunning = 0;
  int m_solved = 1;
  int m_scramblePending = 0;

 private:
  // Facelets of the list by id (null for an id no facelet has).
  std::vector<CFacelet*> FaceletsById(int length) const;
  // What a file must match to be this puzzle's: counts that the type fixes, whatever the
  // coordinates its model uses.
  struct FileShape {
    int facelets = 0;
    int mask = 0;
    int palette = 0;
    int turns = 0;
    int mode = 0;
  };
  FileShape GetFileShape() const;
  bool IsOwnShape(const FileShape& expected) const;
  void ReadMoves(CUBuffer& b);
  void ReadMask(CUBuffer& b);
  void ReadHistory(CUBuffer& b);
  void AdvanceClock();
  void EraseHistoryByte(int at);
  // Whether the running turn is drawn smoothly rather than in frame steps.
  bool IsRunningSmoothly();
  // One frame of a smoothly drawn turn at the time the clock tells.
  void AnimateSmoothStep(CWnd* wnd, CDC* dc, CDib* dib);

  CUString m_title;
  ITurnObserver* m_observer = nullptr;
  CURand* m_random = nullptr;
  int m_draining = 0;  // set while queued turns are played back without an animation
  bool m_smoothAnimation = false;
  bool m_easing = true;
  int m_framePeriod = 16;
  AnimationClock m_animationClock;
  double m_turnProgress = 0;     // of the running turn, in time
  std::int64_t m_turnLastMs = 0;  // when the running turn was last drawn (or started)
  // Set while a file is loaded: the shape the puzzle had before, which the file must have.
  int m_checkShape = 0;
  FileShape m_expectedShape;
};
