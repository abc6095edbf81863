// A game played from a script, one command a line, without a window: the seam through which
// tests and the command-line tool drive a session.
//   turn N | drag FROM TO | undo | redo | scramble SEED | reset | mode N | load FILE |
//   macro TEXT | wait MS
// Blank lines and lines starting with '#' are skipped.
#pragma once

#include <gyrix/session/session.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct SScriptLine {
  enum class EKind { Turn, Drag, Undo, Redo, Scramble, Reset, Mode, Load, Macro, Wait } kind = EKind::Turn;
  int number = 0;  // the line in the script, from 1
  int a = 0;
  int b = 0;
  std::string text;  // load: the file; macro: the moves
  std::string source;  // the line as written
};

// Parses a whole script; false with "line N: ..." in error for the first bad line.
bool ParseSessionScript(const std::string& text, std::vector<SScriptLine>& out, std::string& error);

// Runs a session from a script on a clock of its own that only `wait` moves on, and reports
// every event the session tells, and every line the session refuses, as text lines.
class CScriptRunner : public IGameListener {
 public:
  using Output = std::function<void(const std::string& line)>;
  // The view a puzzle is given, as in a window of this size.
  static constexpr int kViewWidth = 640;
  static constexpr int kViewHeight = 480;
  explicit CScriptRunner(Output output);
  ~CScriptRunner() override;

  CGameSession& GetSession() { return m_session; }
  std::int64_t GetTime() const { return m_now; }
  // Runs the lines in order; a line the session refuses is reported and the run goes on.
  void Run(const std::vector<SScriptLine>& lines);
  // Carries out one line; false when the session refused it.
  bool RunLine(const SScriptLine& line);

  void OnGameEvent(const SGameEvent& event) override;

 private:
  Output m_output;
  std::int64_t m_now = 0;
  CGameSession m_session;
};
