// Parsing and running session scripts.
#include <gyrix/session/script.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace {

// The longest wait a line may ask for: a day.
constexpr long kMaxWait = 24L * 60 * 60 * 1000;

bool ParseNumber(const std::string& word, long low, long high, int& out) {
  if (word.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const long v = std::strtol(word.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || v < low || v > high) return false;
  out = static_cast<int>(v);
  return true;
}

std::string Trim(const std::string& s) {
  const auto first = s.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  const auto last = s.find_last_not_of(" \t\r");
  return s.substr(first, last - first + 1);
}

struct Syntax {
  const char* word;
  SScriptLine::EKind kind;
  int numbers;     // whole-number arguments
  bool takesText;  // the rest of the line
};

const Syntax kSyntax[] = {
    {"turn", SScriptLine::EKind::Turn, 1, false},     {"drag", SScriptLine::EKind::Drag, 2, false},
    {"undo", SScriptLine::EKind::Undo, 0, false},     {"redo", SScriptLine::EKind::Redo, 0, false},
    {"scramble", SScriptLine::EKind::Scramble, 1, false}, {"reset", SScriptLine::EKind::Reset, 0, false},
    {"mode", SScriptLine::EKind::Mode, 1, false},     {"load", SScriptLine::EKind::Load, 0, true},
    {"macro", SScriptLine::EKind::Macro, 0, true},    {"wait", SScriptLine::EKind::Wait, 1, false},
};

}  // namespace

bool ParseSessionScript(const std::string& text, std::vector<SScriptLine>& out, std::string& error) {
  out.clear();
  std::istringstream in(text);
  std::string raw;
  int number = 0;
  while (std::getline(in, raw)) {
    ++number;
    const std::string line = Trim(raw);
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    std::string word;
    words >> word;
    const Syntax* syntax = nullptr;
    for (const Syntax& s : kSyntax)
      if (word == s.word) syntax = &s;
    auto fail = [&](const std::string& why) {
      error = "line " + std::to_string(number) + ": " + why + ": " + line;
      out.clear();
      return false;
    };
    if (!syntax) return fail("unknown command");
    SScriptLine parsed;
    parsed.kind = syntax->kind;
    parsed.number = number;
    parsed.source = line;
    int values[2] = {0, 0};
    for (int i = 0; i < syntax->numbers; ++i) {
      std::string arg;
      words >> arg;
      const long low = parsed.kind == SScriptLine::EKind::Wait ? 0 : INT_MIN;
      const long high = parsed.kind == SScriptLine::EKind::Wait ? kMaxWait : INT_MAX;
      if (!ParseNumber(arg, low, high, values[i])) return fail("expected a whole number");
    }
    parsed.a = values[0];
    parsed.b = values[1];
    std::string rest;
    std::getline(words, rest);
    rest = Trim(rest);
    if (syntax->takesText) {
      if (rest.empty()) return fail(std::string(syntax->word) + " needs a value");
      parsed.text = rest;
    } else if (!rest.empty()) {
      return fail("too many values");
    }
    out.push_back(parsed);
  }
  return true;
}

CScriptRunner::CScriptRunner(Output output)
    : m_output(std::move(output)), m_session([this] { return m_now; }) {
  m_session.AddListener(this);
}

CScriptRunner::~CScriptRunner() { m_session.RemoveListener(this); }

void CScriptRunner::OnGameEvent(const SGameEvent& event) {
  // A new puzzle gets the view a window would give it, so that moves typed in the cube's
  // notation can read its faces from the picture.
  if (event.kind == SGameEvent::EKind::PuzzleReplaced && !event.keepView && m_session.GetPuzzle())
    m_session.GetPuzzle()->ResetView(kViewWidth, kViewHeight);
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%lld ", static_cast<long long>(event.timeMs));
  m_output(stamp + DescribeGameEvent(event));
}

void CScriptRunner::Run(const std::vector<SScriptLine>& lines) {
  for (const SScriptLine& line : lines) {
    if (!RunLine(line)) m_output("refused line " + std::to_string(line.number) + ": " + line.source);
  }
}

bool CScriptRunner::RunLine(const SScriptLine& line) {
  using K = SScriptLine::EKind;
  CGameSession& s = m_session;
  switch (line.kind) {
    case K::Turn: return s.Turn(line.a, ETurnSource::Script);
    case K::Drag: return s.DragTurn(line.a, line.b, ETurnSource::Script) != 0;
    case K::Undo: return s.Undo(ETurnSource::Script);
    case K::Redo: return s.Redo(ETurnSource::Script);
    case K::Scramble:
      s.Scramble(line.a);
      return true;
    case K::Reset:
      s.Reset();
      return true;
    case K::Mode: return s.SetMode(line.a);
    case K::Load: {
      std::string problem;
      if (s.LoadFile(line.text.c_str(), &problem)) return true;
      if (!problem.empty()) m_output("problem: " + problem);
      return false;
    }
    case K::Macro: {
      CPuzzle* p = s.GetPuzzle();
      if (p) {
        p->UpdateView();
        p->SortFacelets();
      }
      CUString problem;
      if (s.ExecuteMacro(line.text.c_str(), ETurnSource::Script, &problem)) return true;
      if (problem.GetLength() > 0) m_output(std::string("problem: ") + static_cast<const char*>(problem));
      return false;
    }
    case K::Wait:
      m_now += line.a;
      return true;
  }
  return false;
}
