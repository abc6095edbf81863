// gyrix-tool: the command-line companion of the game. It lists the puzzle types, saves a puzzle
// in a chosen state as a .puz file, renders a puzzle (or one frame of a turn) to PNG or BMP,
// paints a sheet of every built type, and inspects or validates .puz files. Errors go to
// stderr with a non-zero exit status.
#include "pngwriter.h"
#include "sheet.h"
#include "statscmd.h"

#include <gyrix/stats/sessionlog.h>
#include <gyrix/stats/solvelog.h>

#include <gyrix/engine.h>

#include <gyrix/puzzles.h>
#include <gyrix/solver/solver.h>
#include <gyrix/session/script.h>

#include <cordak/urand.h>
#include <lumex/coverage.h>
#include <lumex/dib.h>
#include <platform/dc.h>
#include <platform/palette.h>
#include <platform/services.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 480;
constexpr int kMaxSide = 8192;
// Behind the puzzle: a dark slate that no puzzle palette uses.
constexpr COLORREF kBackground = 0x403020;

const char kUsage[] =
    "usage:\n"
    "  gyrix-tool list\n"
    "  gyrix-tool save ID OUT.puz [--mode N] [--turns 1,-3,5] [--scramble SEED] [--moves TEXT]\n"
    "  gyrix-tool render ID|FILE.puz OUT.png|OUT.bmp [--size WxH] [--mode N] [--turns ...]\n"
    "                    [--scramble SEED] [--moves TEXT] [--view X,Y,Z] [--frame TURN:ANGLE]\n"
    "                    [--scheme NAME] [--symbols] [--smooth]\n"
    "  gyrix-tool sheet OUT.png|OUT.bmp [--size WxH] [--scheme NAME] [--symbols] [--smooth]\n"
    "  gyrix-tool solve ID|FILE.puz [--mode N] [--scramble SEED] [--turns ...] [--moves TEXT]\n"
    "  gyrix-tool scheme NAME\n"
    "  gyrix-tool info FILE.puz\n"
    "  gyrix-tool check FILE.puz\n"
    "  gyrix-tool stats [--db FILE] [ID [--mode N]] [--session N] [--chart OUT.png]\n"
    "  gyrix-tool export --db FILE --json OUT | --csv OUT\n"
    "  gyrix-tool import --db FILE IN\n"
    "  gyrix-tool play ID|FILE.puz [--mode N] [--scramble SEED] --script FILE [--save OUT.puz] [--db FILE]\n"
    "      script lines: turn N, drag FROM TO, undo, redo, scramble SEED, reset, mode N,\n"
    "      load FILE, macro TEXT, wait MS\n"
    "Options that change the puzzle apply in the order given. Schemes: classic, standard,\n"
    "colour-blind, high-contrast. --symbols marks every facelet with its colour's symbol.\n";

// A failure to report: the message and the exit status.
struct Failure {
  std::string message;
  int status = 1;
};

// Message boxes of the engine (a refused file, ambiguous moves) become lines on stderr.
class CConsoleServices : public CDesktopServices {
 public:
  int MessageBox(CWnd*, const char* text, const char*, UINT) override {
    last = text ? text : "";
    std::fprintf(stderr, "gyrix-tool: %s\n", last.c_str());
    ++shown;
    return IDOK;
  }
  int ChooseFile(CWnd*, const FileChooserRequest&, std::string&) override { return 0; }
  int OpenDocument(const char*) override { return 0; }
  std::string last;
  int shown = 0;
};

CConsoleServices& Console() {
  static CConsoleServices services;
  return services;
}

// ---- parsing ----

bool ParseInt(const std::string& text, long low, long high, int& out) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || v < low || v > high) return false;
  out = static_cast<int>(v);
  return true;
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    const size_t at = text.find(separator, start);
    parts.push_back(text.substr(start, at == std::string::npos ? std::string::npos : at - start));
    if (at == std::string::npos) return parts;
    start = at + 1;
  }
}

bool LooksLikeId(const std::string& text) {
  if (text.empty()) return false;
  for (size_t i = 0; i < text.size(); ++i)
    if (!(std::isdigit(static_cast<unsigned char>(text[i])) || (i == 0 && text[i] == '-'))) return false;
  return true;
}

bool EndsWith(const std::string& text, const char* suffix) {
  const size_t n = std::strlen(suffix);
  if (text.size() < n) return false;
  for (size_t i = 0; i < n; ++i)
    if (std::tolower(static_cast<unsigned char>(text[text.size() - n + i])) != suffix[i]) return false;
  return true;
}

// One option that changes the puzzle, kept in command-line order.
struct Step {
  std::string option;
  std::string value;
};

struct Options {
  std::vector<Step> steps;  // --mode, --turns, --scramble, --moves
  int width = kDefaultWidth;
  int height = kDefaultHeight;
  bool hasView = false;
  int view[3] = {0, 0, 0};
  bool hasFrame = false;
  int frameTurn = 0;
  int frameAngle = 0;
  int scheme = -1;  // none given: the puzzle keeps its own colours
  bool symbols = false;
  bool smooth = false;  // anti-aliased, into a 32-bit PNG
};

int ParseScheme(const std::string& value) {
  const int scheme = FindScheme(value.c_str());
  if (scheme < 0) throw Failure{"unknown scheme " + value + " (classic, standard, colour-blind, high-contrast)", 2};
  return scheme;
}

void ParseSize(const std::string& value, int& width, int& height) {
  const auto parts = Split(value, 'x');
  if (parts.size() != 2 || !ParseInt(parts[0], 1, kMaxSide, width) || !ParseInt(parts[1], 1, kMaxSide, height))
    throw Failure{"--size takes WxH, each 1.." + std::to_string(kMaxSide) + ": " + value, 2};
}

void ParseOptions(int argc, char** argv, int first, bool forRender, Options& out) {
  for (int i = first; i < argc; ++i) {
    const std::string option = argv[i];
    // The options without a value.
    if (forRender && option == "--symbols") {
      out.symbols = true;
      continue;
    }
    if (forRender && option == "--smooth") {
      out.smooth = true;
      continue;
    }
    const bool known = option == "--mode" || option == "--turns" || option == "--scramble" ||
                       option == "--moves" ||
                       (forRender && (option == "--size" || option == "--view" || option == "--frame" ||
                                      option == "--scheme"));
    if (!known) throw Failure{"unknown option " + option + "\n" + kUsage, 2};
    if (i + 1 >= argc) throw Failure{option + " needs a value", 2};
    const std::string value = argv[++i];
    if (option == "--size") {
      ParseSize(value, out.width, out.height);
    } else if (option == "--scheme") {
      out.scheme = ParseScheme(value);
    } else if (option == "--view") {
      const auto parts = Split(value, ',');
      if (parts.size() != 3) throw Failure{"--view takes X,Y,Z in whole degrees: " + value, 2};
      for (int k = 0; k < 3; ++k)
        if (!ParseInt(parts[k], -3600, 3600, out.view[k]))
          throw Failure{"--view takes X,Y,Z in whole degrees: " + value, 2};
      out.hasView = true;
    } else if (option == "--frame") {
      const auto parts = Split(value, ':');
      if (parts.size() != 2 || !ParseInt(parts[0], -127, 127, out.frameTurn) ||
          !ParseInt(parts[1], -3600, 3600, out.frameAngle))
        throw Failure{"--frame takes TURN:ANGLE: " + value, 2};
      out.hasFrame = true;
    } else {
      out.steps.push_back(Step{option, value});
    }
  }
}

// ---- making the puzzle ----

std::unique_ptr<CPuzzle> MakePuzzle(const std::string& what) {
  if (LooksLikeId(what)) {
    int id = 0;
    if (!ParseInt(what, 0, kPuzzleTypeCount - 1, id))
      throw Failure{"unknown puzzle id " + what + " (0.." + std::to_string(kPuzzleTypeCount - 1) + ")", 2};
    std::unique_ptr<CPuzzle> puzzle(CreatePuzzle(id));
    if (!puzzle) throw Failure{"cannot make puzzle " + what};
    return puzzle;
  }
  Console().shown = 0;
  std::unique_ptr<CPuzzle> puzzle(LoadPuzzleFile(what.c_str()));
  if (!puzzle) {
    if (Console().shown) throw Failure{what + ": not loaded"};
    throw Failure{"cannot open " + what + ": " + std::strerror(errno)};
  }
  return puzzle;
}

void CheckTurn(CPuzzle& p, int move, const std::string& text) {
  if (move == 0 || move > p.GetMoveCount() || -move > p.GetMoveCount())
    throw Failure{"no turn " + text + " on " + p.GetName() + " (turns 1.." + std::to_string(p.GetMoveCount()) +
                  ", negative for the inverse)"};
}

void ApplyStep(CPuzzle& p, const Step& step) {
  if (step.option == "--mode") {
    int mode = 0;
    if (!ParseInt(step.value, INT_MIN, INT_MAX, mode) || !p.SetMode(mode))
      throw Failure{std::string(p.GetName()) + " has no mode " + step.value};
  } else if (step.option == "--scramble") {
    int seed = 0;
    if (!ParseInt(step.value, INT_MIN, INT_MAX, seed)) throw Failure{"--scramble takes a whole number: " + step.value, 2};
    Randomize(seed);
    p.Scramble();
  } else if (step.option == "--turns") {
    for (const std::string& part : Split(step.value, ',')) {
      int move = 0;
      if (!ParseInt(part, -1000, 1000, move)) throw Failure{"--turns takes turn numbers like 1,-3,5: " + step.value, 2};
      CheckTurn(p, move, part);
      // As the game makes a turn, so that puzzles that work out the turning part first, and
      // refuse turns their position blocks, are turned too.
      if (!p.StartMove(nullptr, move)) throw Failure{std::string(p.GetName()) + " refuses turn " + part + " here"};
      p.CompleteAllMoves(nullptr);
    }
  } else if (step.option == "--moves") {
    if (!(p.GetCapabilities() & CPuzzle::kCanExecuteMacros))
      throw Failure{std::string(p.GetName()) + ": This puzzle does not execute move macros"};
    // The notation reads the cube's orientation from the drawing.
    p.UpdateView();
    p.SortFacelets();
    const int before = p.GetHistorySize();
    if (!p.ExecuteMacro(step.value.c_str()))
      throw Failure{std::string(p.GetName()) + ": " + static_cast<const char*>(p.GetMacroProblem())};
    if (p.GetHistorySize() == before) throw Failure{"no moves in \"" + step.value + "\""};
    p.PlayNextMove(nullptr);
    p.CompleteAllMoves(nullptr);
  }
}

void Prepare(CPuzzle& p, const Options& options) {
  p.ResetView(options.width, options.height);
  for (const Step& step : options.steps) ApplyStep(p, step);
  // Turns and modes may have rebuilt the view; the requested one is applied last.
  p.ResetView(options.width, options.height);
  if (options.hasView) {
    p.RotateViewX(options.view[0]);
    p.RotateViewY(options.view[1]);
    p.RotateViewZ(options.view[2]);
  }
}

// ---- commands ----

// The turn count of a built type, and of each of its modes ("12/8"); "-" for a type not built.
std::string TurnCounts(int id) {
  if (!IsPuzzleBuilt(id)) return "-";
  std::unique_ptr<CPuzzle> p(CreatePuzzle(id));
  if (!p) throw Failure{"cannot make puzzle " + std::to_string(id)};
  const int modes = GetPuzzleType(id)->modes;
  if (modes == 0) return std::to_string(p->GetMoveCount());
  std::string counts;
  for (int mode = 1; mode <= modes; ++mode) {
    if (!p->SetMode(mode)) throw Failure{std::string(p->GetName()) + " refuses its mode " + std::to_string(mode)};
    if (mode > 1) counts += '/';
    counts += std::to_string(p->GetMoveCount());
  }
  return counts;
}

int List() {
  std::printf("%-3s %-18s %-20s %-8s %-11s %-5s %s\n", "id", "name", "class", "facelets", "turns", "modes", "built");
  for (int id = 0; id < kPuzzleTypeCount; ++id) {
    const CPuzzleType* type = GetPuzzleType(id);
    if (!type) throw Failure{"no catalogue row for puzzle " + std::to_string(id)};
    char modes[16] = "-";
    if (type->modes > 0) std::snprintf(modes, sizeof modes, "1-%d", type->modes);
    std::printf("%-3d %-18s %-20s %-8d %-11s %-5s %s\n", id, type->name, type->className, type->facelets,
                TurnCounts(id).c_str(), modes, IsPuzzleBuilt(id) ? "yes" : "no");
  }
  return 0;
}

int Save(int argc, char** argv) {
  if (argc < 4) throw Failure{kUsage, 2};
  Options options;
  ParseOptions(argc, argv, 4, false, options);
  if (!LooksLikeId(argv[2])) throw Failure{std::string("save takes a puzzle id, not ") + argv[2], 2};
  std::unique_ptr<CPuzzle> p = MakePuzzle(argv[2]);
  Prepare(*p, options);
  if (!p->Save(argv[3])) throw Failure{std::string("cannot write ") + argv[3]};
  return 0;
}

int Render(int argc, char** argv) {
  if (argc < 4) throw Failure{kUsage, 2};
  const std::string out = argv[3];
  const bool png = EndsWith(out, ".png");
  if (!png && !EndsWith(out, ".bmp")) throw Failure{"the output must end in .png or .bmp: " + out, 2};
  Options options;
  ParseOptions(argc, argv, 4, true, options);
  std::unique_ptr<CPuzzle> p = MakePuzzle(argv[2]);
  if (options.scheme >= 0) ApplyScheme(*p, options.scheme);
  p->SetShowSymbols(options.symbols);
  Prepare(*p, options);

  // Checked before the image is made, so a refusal leaves nothing held.
  if (options.hasFrame) {
    CheckTurn(*p, options.frameTurn, std::to_string(options.frameTurn));
    if (!IsTurnAllowedNow(*p, options.frameTurn))
      throw Failure{std::string(p->GetName()) + " refuses turn " + std::to_string(options.frameTurn) + " here"};
  }
  if (options.smooth && !png) throw Failure{"--smooth writes a 32-bit PNG: " + out, 2};
  CPuzzleCanvas canvas(*p, options.width, options.height, kBackground);
  if (!canvas.IsValid()) throw Failure{"cannot make the image"};
  CCoveragePainter painter;
  if (options.smooth) {
    painter.Begin(RECT{0, 0, options.width, options.height});
    p->SetSmoothPainter(&painter, false);
  }
  if (options.hasFrame) {
    p->DrawMoveFrame(canvas.dc, &canvas.dib, options.frameTurn, options.frameAngle);
  } else {
    p->Draw(canvas.dc, &canvas.dib);
  }
  p->SetSmoothPainter(nullptr, false);
  CDib& dib = canvas.dib;
  if (options.smooth) {
    CImage32 picture;
    if (!picture.Resize(options.width, options.height)) throw Failure{"cannot make the image"};
    picture.CopyFrom(dib, RECT{0, 0, options.width, options.height});
    painter.Paint(picture);
    const std::string problem = WriteRgbPng(picture, out.c_str());
    if (!problem.empty()) throw Failure{problem};
    return 0;
  }

  if (png) {
    const std::string problem = WriteIndexedPng(dib, out.c_str());
    if (!problem.empty()) throw Failure{problem};
  } else if (!dib.Save(out.c_str())) {
    throw Failure{"cannot write " + out};
  }
  return 0;
}

int SheetCommand(int argc, char** argv) {
  if (argc < 3) throw Failure{kUsage, 2};
  const std::string out = argv[2];
  const bool png = EndsWith(out, ".png");
  if (!png && !EndsWith(out, ".bmp")) throw Failure{"the output must end in .png or .bmp: " + out, 2};
  int width = kSheetDefaultWidth, height = 0, scheme = 0;
  bool symbols = false;
  bool smooth = false;
  for (int i = 3; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--symbols") {
      symbols = true;
      continue;
    }
    if (option == "--smooth") {
      smooth = true;
      continue;
    }
    if (option != "--size" && option != "--scheme") throw Failure{"unknown option " + option + "\n" + kUsage, 2};
    if (i + 1 >= argc) throw Failure{option + " needs a value", 2};
    if (option == "--scheme") scheme = ParseScheme(argv[++i]);
    else ParseSize(argv[++i], width, height);
  }
  Sheet sheet;
  if (smooth && !png) throw Failure{"--smooth writes a 32-bit PNG: " + out, 2};
  const std::string problem = PaintSheet(width, height, kMaxSide, sheet, scheme, symbols, smooth);
  if (!problem.empty()) throw Failure{problem};
  CDib& dib = sheet.canvas->dib;
  if (smooth) {
    const std::string failed = WriteRgbPng(*sheet.smooth, out.c_str());
    if (!failed.empty()) throw Failure{failed};
  } else if (png) {
    const std::string failed = WriteIndexedPng(dib, out.c_str());
    if (!failed.empty()) throw Failure{failed};
  } else if (!dib.Save(out.c_str())) {
    throw Failure{"cannot write " + out};
  }
  // Where each picture is, for whoever looks for one type on a tall sheet.
  std::printf("%s: %dx%d, %zu pictures\n", out.c_str(), dib.Width(), dib.Height(), sheet.cells.size());
  std::printf("%-3s %-5s %-10s %-9s %s\n", "id", "mode", "at", "size", "picture");
  for (const SheetCell& c : sheet.cells) {
    const std::string mode = c.mode > 0 ? std::to_string(c.mode) : "-";
    const std::string at = std::to_string(c.picture.left) + "," + std::to_string(c.picture.top);
    const std::string size =
        std::to_string(c.picture.right - c.picture.left) + "x" + std::to_string(c.picture.bottom - c.picture.top);
    std::printf("%-3d %-5s %-10s %-9s %s\n", c.typeId, mode.c_str(), at.c_str(), size.c_str(), c.state.c_str());
  }
  return 0;
}

// Prints a solution of the prepared puzzle, checked by making its turns on a copy first.
int Solve(int argc, char** argv) {
  if (argc < 3) throw Failure{kUsage, 2};
  Options options;
  ParseOptions(argc, argv, 3, false, options);
  std::unique_ptr<CPuzzle> p = MakePuzzle(argv[2]);
  Prepare(*p, options);
  const CSolveResult result = SolvePuzzle(*p);
  if (result.status == kSolveNothing) {
    std::printf("nothing to solve\n");
    return 1;
  }
  if (result.status == kSolveUnsolvable) {
    std::printf("unsolvable\n");
    return 1;
  }
  if (result.status != kSolveFound) throw Failure{result.message.empty() ? "no solution found" : result.message};
  for (int move : result.turns) {
    if (!p->StartMove(nullptr, move)) throw Failure{"the solver gave a turn the puzzle refuses: " + std::to_string(move)};
    p->CompleteAllMoves(nullptr);
  }
  p->UpdateSolved();
  if (!p->IsSolved()) throw Failure{"the solver's turns do not solve the puzzle"};
  std::string list;
  for (size_t i = 0; i < result.turns.size(); ++i) {
    if (i) list.push_back(',');
    list.append(std::to_string(result.turns[i]));
  }
  std::printf("solution: %s\n", list.c_str());
  std::printf("length %d\n", result.length);
  std::printf("method %s\n", result.method.c_str());
  if (result.distance >= 0) std::printf("distance %d\n", result.distance);
  return 0;
}

// One line per type: its id, then its side colours in the scheme as RRGGBB, index 1 first.
int SchemeCommand(int argc, char** argv) {
  if (argc != 3) throw Failure{kUsage, 2};
  const int scheme = ParseScheme(argv[2]);
  for (int id = 0; id < kPuzzleTypeCount; ++id) {
    const std::vector<COLORREF> palette = GetSchemePalette(scheme, id);
    std::printf("%d", id);
    for (size_t i = 1; i < palette.size(); ++i)
      std::printf(" %02X%02X%02X", GetRValue(palette[i]), GetGValue(palette[i]), GetBValue(palette[i]));
    std::printf("\n");
  }
  return 0;
}

// What info prints of a puzzle: its type, shape, state, history and clock.
void PrintSummary(CPuzzle& puzzle) {
  CPuzzle* p = &puzzle;
  std::printf("type        %d %s\n", p->GetTypeId(), p->GetName());
  std::printf("mode        %d\n", p->GetMode());
  // The window's title for this position (the lights puzzle counts the clicks still needed).
  p->SetTitle(nullptr);
  std::printf("title       %s\n", static_cast<const char*>(p->GetTitle()));
  std::printf("vertices    %d\n", p->GetVertexCount());
  std::printf("facelets    %d (mask %d)\n", p->GetFaceletCount(), p->GetMoveMaskLength());
  std::printf("inner       %d\n", p->GetInnerFaceletCount());
  std::printf("turns       %d\n", p->GetMoveCount());
  std::printf("palette     %d:", p->GetPaletteCount());
  for (int i = 0; i < p->GetPaletteCount(); ++i) std::printf(" %06X", static_cast<unsigned>(p->GetPaletteEntry(i)));
  std::printf("\nmodel size  %g\n", static_cast<double>(p->GetModelSize()));
  std::printf("solved      %d\n", p->IsSolved());
  std::printf("scrambled   %d\n", p->IsScramblePending());
  std::printf("history     %d turns made, %d queued:", p->GetHistoryPosition(),
              p->GetHistorySize() - p->GetHistoryPosition());
  for (int i = 0; i < p->GetHistorySize(); ++i) std::printf(" %d", p->GetHistoryMove(i));
  const CUString elapsed = p->GetElapsedText();
  std::printf("\nclock       %s\n", static_cast<const char*>(elapsed));
}

int Info(int argc, char** argv) {
  if (argc != 3) throw Failure{kUsage, 2};
  if (LooksLikeId(argv[2])) throw Failure{"info takes a .puz file", 2};
  std::unique_ptr<CPuzzle> p = MakePuzzle(argv[2]);
  PrintSummary(*p);
  return 0;
}

std::string ReadWholeFile(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) throw Failure{"cannot open " + path + ": " + std::strerror(errno)};
  std::string text;
  char block[4096];
  size_t n = 0;
  while ((n = std::fread(block, 1, sizeof block, f)) > 0) {
    text.append(block, n);
    if (text.size() > (1u << 24)) {
      std::fclose(f);
      throw Failure{path + ": too large for a script"};
    }
  }
  std::fclose(f);
  return text;
}

// After the log has taken a solve: "logged solve ID", and the bests it set.
class CLoggedSolvePrinter : public IGameListener {
 public:
  CLoggedSolvePrinter(CGameSession& session, CSessionLog& logged) : m_session(session), m_logged(logged) {
    m_session.AddListener(this);
  }
  ~CLoggedSolvePrinter() override { m_session.RemoveListener(this); }
  void OnGameEvent(const SGameEvent& event) override {
    if (event.kind != SGameEvent::EKind::Solved) return;
    const CSolveRecorder::CResult r = m_logged.TakeResult();
    if (!r.recorded) {
      std::printf("not logged\n");
      return;
    }
    std::printf("logged solve %lld%s%s%s\n", static_cast<long long>(r.id), r.newBestSingle ? ", new best single" : "",
                r.newBestAo5 ? ", new best ao5" : "", r.newBestAo12 ? ", new best ao12" : "");
  }

 private:
  CGameSession& m_session;
  CSessionLog& m_logged;
};

// A game without a window, from a script: each event the session tells, one a line with its
// time, then the summary info prints.
int Play(int argc, char** argv) {
  if (argc < 3) throw Failure{kUsage, 2};
  std::string script, save, mode, seed, db;
  for (int i = 3; i < argc; ++i) {
    const std::string option = argv[i];
    if (i + 1 >= argc) throw Failure{option + " needs a value", 2};
    const std::string value = argv[++i];
    if (option == "--script") script = value;
    else if (option == "--save") save = value;
    else if (option == "--mode") mode = value;
    else if (option == "--scramble") seed = value;
    else if (option == "--db") db = value;
    else throw Failure{"unknown option " + option + "\n" + kUsage, 2};
  }
  if (script.empty()) throw Failure{"play needs --script FILE", 2};
  std::vector<SScriptLine> lines;
  std::string error;
  if (!ParseSessionScript(ReadWholeFile(script), lines, error)) throw Failure{script + ": " + error, 2};

  CScriptRunner runner([](const std::string& line) { std::printf("%s\n", line.c_str()); });
  CGameSession& session = runner.GetSession();
  // With a log, solves and the game in progress are kept in it as the game keeps them.
  CSolveLog log;
  std::unique_ptr<CSessionLog> logged;
  std::unique_ptr<CLoggedSolvePrinter> printer;
  if (!db.empty()) {
    log.Open(db);
    const std::string trouble = log.TakeMessage();
    if (!trouble.empty()) std::fprintf(stderr, "%s\n", trouble.c_str());
    logged = std::make_unique<CSessionLog>(log, session);
    printer = std::make_unique<CLoggedSolvePrinter>(session, *logged);
  }
  session.SetPuzzle(MakePuzzle(argv[2]), false);
  session.GetPuzzle()->ResetView(kDefaultWidth, kDefaultHeight);
  if (!mode.empty()) {
    int n = 0;
    if (!ParseInt(mode, INT_MIN, INT_MAX, n) || !session.SetMode(n))
      throw Failure{std::string(session.GetPuzzle()->GetName()) + " has no mode " + mode};
  }
  if (!seed.empty()) {
    int n = 0;
    if (!ParseInt(seed, INT_MIN, INT_MAX, n)) throw Failure{"--scramble takes a whole number: " + seed, 2};
    session.Scramble(n);
  }
  runner.Run(lines);
  if (logged && !logged->Flush()) std::fprintf(stderr, "%s: %s\n", db.c_str(), log.TakeMessage().c_str());
  PrintSummary(*session.GetPuzzle());
  if (!save.empty() && !session.SaveFile(save.c_str())) throw Failure{"cannot write " + save};
  return 0;
}

int Check(int argc, char** argv) {
  if (argc != 3) throw Failure{kUsage, 2};
  if (LooksLikeId(argv[2])) throw Failure{"check takes a .puz file", 2};
  MakePuzzle(argv[2]);
  std::printf("%s: valid\n", argv[2]);
  return 0;
}

int Run(int argc, char** argv) {
  SetDesktopServices(&Console());
  if (argc < 2) throw Failure{kUsage, 2};
  const std::string command = argv[1];
  if (command == "list" && argc == 2) return List();
  if (command == "save") return Save(argc, argv);
  if (command == "render") return Render(argc, argv);
  if (command == "sheet") return SheetCommand(argc, argv);
  if (command == "info") return Info(argc, argv);
  if (command == "solve") return Solve(argc, argv);
  if (command == "scheme") return SchemeCommand(argc, argv);
  if (command == "check") return Check(argc, argv);
  if (IsStatsCommand(command)) return RunStatsCommand(argc, argv);
  if (command == "play") return Play(argc, argv);
  if (command == "--help" || command == "-h" || command == "help") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  throw Failure{kUsage, 2};
}

}  // namespace

int main(int argc, char** argv) {
  int status = 0;
  try {
    status = Run(argc, argv);
  } catch (const Failure& f) {
    std::fprintf(stderr, "gyrix-tool: %s\n", f.message.c_str());
    status = f.status;
  }
  SetDesktopServices(nullptr);
  return status;
}
