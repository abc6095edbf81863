// The solver: state extraction, distance tables and their search, and the lights puzzle's hint.
#include <gyrix/solver/solver.h>

#include <gyrix/solver/chain.h>
#include <gyrix/solver/planesolve.h>
#include <gyrix/solver/table.h>
#include <gyrix/solver/twophase.h>

#include <gyrix/puzzles/catalogue.h>
#include <gyrix/puzzles/orbix.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>

namespace {

// Type ids the optimal tables serve.
constexpr int kCube2 = 0;
constexpr int kCube3 = 1;
// Their turns depend on the position: a fixed permutation of facelets does not describe them.
constexpr int kSquareOne = 14;
constexpr int kSlider = 29;
constexpr int kPyramid = 4;
constexpr int kSkewb = 6;
constexpr int kOctahedron2 = 9;
constexpr int kXCube = 16;
constexpr int kDiamond = 34;
// A table never needs more than this many turns of search beyond it.
constexpr int kLongestSearch = 40;
constexpr long kDefaultTableStates = 4000000;
// How long a chain's words are improved once every place has one, and how many starting turns
// a solve tries (the shortest solution is kept).
constexpr double kChainFillSeconds = 2.0;
constexpr int kChainVariants = 24;

bool HasOptimalTable(int type, int mode) {
  switch (type) {
    case kCube2:
    case kPyramid:
    case kSkewb:
    case kXCube:
    case kDiamond:
      return true;
    case kOctahedron2:
      return mode == 2;
    default:
      return false;
  }
}

// The turns the pyramid's tips make alone: turn 3g + 1 for each corner g.
bool IsPyramidTipTurn(int turn) { return (turn - 1) % 3 == 0; }

// A puzzle of the type and mode as it starts, or null.
std::unique_ptr<CPuzzle> ReferencePuzzle(int typeId, int mode) {
  std::unique_ptr<CPuzzle> reference(CreatePuzzle(typeId));
  if (!reference || reference->GetTypeId() != typeId) return nullptr;
  if (mode > 0 && !reference->SetMode(mode)) return nullptr;
  return reference;
}

// Whether every turn of the puzzle is a fixed permutation of its facelets (turns computed from
// the position have none).
bool TurnsArePermutations(const CPuzzle& puzzle) {
  if (puzzle.GetMoveCount() == 0 || puzzle.GetTypeId() == kSquareOne || puzzle.GetTypeId() == kSlider) return false;
  for (int k = 0; k < puzzle.GetMoveCount(); ++k)
    if (!puzzle.GetMove(k) || puzzle.GetMove(k)->GetLength() != puzzle.GetMoveMaskLength()) return false;
  return true;
}

std::mutex g_tablesLock;
std::map<std::pair<int, int>, std::shared_ptr<CStateSpace>> g_tables;
CTableReport g_lastReport;

std::shared_ptr<CStateSpace> TableFor(int typeId, int mode, const CSolveOptions& options) {
  const std::pair<int, int> key(typeId, mode);
  std::lock_guard<std::mutex> lock(g_tablesLock);
  auto found = g_tables.find(key);
  const long limit = options.maxTableStates > 0 ? options.maxTableStates : kDefaultTableStates;
  if (found != g_tables.end() && found->second->GetStateLimit() == limit) return found->second;

  std::unique_ptr<CPuzzle> reference = ReferencePuzzle(key.first, key.second);
  if (!reference) return nullptr;
  CStateSpace::Shape shape;
  const int n = reference->GetMoveMaskLength();
  for (int id = 0; id < n; ++id) shape.solved.push_back(reference->GetFaceletColour(id));
  for (int k = 0; k < reference->GetMoveCount(); ++k) {
    const CMove* move = reference->GetMove(k);
    std::vector<int> perm(n);
    for (int i = 0; i < n; ++i) perm[i] = move->GetEntry(i);
    shape.turns.push_back(perm);
    shape.excluded.push_back(key.first == kPyramid && IsPyramidTipTurn(k + 1));
  }
  // The diamond is solved only in its one position; the others whenever every face shows
  // one colour, whichever.
  shape.anyColours = key.first != kDiamond;
  auto space = std::make_shared<CStateSpace>(shape, limit);
  const auto start = std::chrono::steady_clock::now();
  CTableReport report;
  report.typeId = key.first;
  report.mode = key.second;
  const std::string folder = options.useCache ? CacheFolder() : std::string();
  if (!folder.empty()) {
    char name[64];
    std::snprintf(name, sizeof name, "table-%d-%d.bin", key.first, key.second);
    report.cachePath = folder + name;
    report.loaded = space->Load(report.cachePath);
  }
  if (!report.loaded) {
    space->Build(options.cancel, options.progress);
    if (space->IsCancelled()) return nullptr;
    report.rebuilt = true;
    if (!report.cachePath.empty()) space->Save(report.cachePath);
  }
  report.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  report.states = space->GetStateCount();
  report.completeDepth = space->GetCompleteDepth();
  report.whole = space->IsWhole();
  report.largestDistance = space->GetLargestDistance();
  report.bytes = space->GetStateCount() * 9;
  g_lastReport = report;
  g_tables[key] = space;
  return space;
}

std::mutex g_chainsLock;
std::map<std::pair<int, int>, std::shared_ptr<CStabiliserChain>> g_chains;

std::shared_ptr<CStabiliserChain> ChainFor(int typeId, int mode, const CSolveOptions& options) {
  const std::pair<int, int> key(typeId, mode);
  std::lock_guard<std::mutex> lock(g_chainsLock);
  const auto found = g_chains.find(key);
  if (found != g_chains.end()) return found->second;
  std::unique_ptr<CPuzzle> reference = ReferencePuzzle(typeId, mode);
  if (!reference || !TurnsArePermutations(*reference)) return nullptr;
  CStabiliserChain::Shape shape;
  const int n = reference->GetMoveMaskLength();
  for (int id = 0; id < n; ++id) shape.solved.push_back(reference->GetFaceletColour(id));
  for (int k = 0; k < reference->GetMoveCount(); ++k) {
    std::vector<int> perm(n);
    for (int i = 0; i < n; ++i) perm[i] = reference->GetMove(k)->GetEntry(i);
    shape.turns.push_back(perm);
  }
  auto chain = std::make_shared<CStabiliserChain>(shape);
  CTableReport report;
  report.typeId = typeId;
  report.mode = mode;
  const auto start = std::chrono::steady_clock::now();
  const std::string folder = options.useCache ? CacheFolder() : std::string();
  if (!folder.empty()) {
    char name[64];
    std::snprintf(name, sizeof name, "chain-%d-%d.bin", typeId, mode);
    report.cachePath = folder + name;
    report.loaded = chain->Load(report.cachePath);
  }
  if (!report.loaded) {
    if (!chain->Build(options.cancel, options.progress, kChainFillSeconds)) return nullptr;
    report.rebuilt = true;
    if (!report.cachePath.empty()) chain->Save(report.cachePath);
  }
  report.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const CStabiliserChain::Report built = chain->GetReport();
  report.states = built.entries;
  report.largestDistance = built.longestWord;
  {
    std::lock_guard<std::mutex> reportLock(g_tablesLock);
    g_lastReport = report;
  }
  g_chains[key] = chain;
  return chain;
}

CSolveResult SolveByChain(int type, int mode, const std::vector<int>& colours, const CSolveOptions& options) {
  CSolveResult result;
  result.method = "stabiliser-chain";
  const std::shared_ptr<CStabiliserChain> chain = ChainFor(type, mode, options);
  if (!chain) {
    result.status = options.cancel && options.cancel->load() ? kSolveCancelled : kSolveUnsupported;
    result.message = "Gyrix cannot build the tables for this puzzle.";
    return result;
  }
  CStabiliserChain::Answer answer;
  const int found = chain->Solve(colours, kChainVariants, options.cancel, answer);
  if (found == -1) {
    result.status = kSolveCancelled;
  } else if (found == -2) {
    result.status = kSolveUnsupported;
    result.message = "Gyrix gave up: these colours fit too many arrangements.";
  } else if (found == 0) {
    result.status = kSolveUnsolvable;
    result.message = "No sequence of turns can solve this position.";
  } else {
    result.status = kSolveFound;
    result.turns = answer.turns;
    result.length = answer.length;
  }
  return result;
}

CSolveResult SolveOrbix(const CPuzzle& puzzle) {
  CSolveResult result;
  result.method = "lights";
  const auto* orbix = dynamic_cast<const COrbixPuzzle*>(&puzzle);
  const int mode = puzzle.GetMode();
  if (!orbix || mode < 1 || mode > COrbixPuzzle::kModes) return result;
  const COrbixPuzzle::CTables& tables = COrbixPuzzle::Tables();
  const std::vector<int>& distance = tables.distanceOf[mode - 1];
  int pattern = orbix->GetPattern();
  auto distanceOf = [&](int p) { return (p >= 0 && p < static_cast<int>(distance.size())) ? distance[p] : -1; };
  int left = distanceOf(pattern);
  if (left < 0) {
    result.status = kSolveUnsolvable;
    result.message = "This position cannot be solved.";
    return result;
  }
  result.distance = left;
  // Each click is one that lowers the number of clicks still needed.
  while (left > 0) {
    bool stepped = false;
    for (int light = 1; light <= COrbixPuzzle::kLights && !stepped; ++light) {
      const int next = COrbixPuzzle::ClickPattern(pattern, mode, light);
      if (next >= 0 && distanceOf(next) == left - 1) {
        result.turns.push_back(light);
        pattern = next;
        left -= 1;
        stepped = true;
      }
    }
    if (!stepped) {
      // Mode 4's clicks that toggle the other lights are not single lights; no table walk
      // finds them, so the hint gives up honestly.
      result.status = kSolveUnsupported;
      result.message = "Gyrix cannot find the next click here.";
      result.turns.clear();
      return result;
    }
  }
  result.length = static_cast<int>(result.turns.size());
  result.status = kSolveFound;
  return result;
}

// The 3x3x3: two phases, searching on for a shorter solution for a few milliseconds.
CSolveResult SolveByTwoPhases(const std::vector<int>& colours, const CSolveOptions& options) {
  CSolveResult result;
  result.method = "two-phase";
  CTwoPhaseOptions twoPhase;
  twoPhase.cancel = options.cancel;
  int faceTurns = 0;
  result.status = SolveCube3TwoPhase(colours, twoPhase, result.turns, faceTurns);
  if (result.status == kSolveUnsolvable) result.message = "No sequence of turns can solve this position.";
  if (result.status == kSolveUnsupported) result.message = "Gyrix cannot read this cube's pieces.";
  if (result.status != kSolveFound) result.turns.clear();
  result.length = static_cast<int>(result.turns.size());
  return result;
}

}  // namespace

std::string CacheFolder() {
  const char* cache = std::getenv("XDG_CACHE_HOME");
  if (cache && *cache == '/') return std::string(cache) + "/gyrix/";
  const char* home = std::getenv("HOME");
  if (home && *home == '/') return std::string(home) + "/.cache/gyrix/";
  return std::string();
}

void ForgetSolverTables() {
  ForgetPositionalTables();
  {
    std::lock_guard<std::mutex> lock(g_chainsLock);
    g_chains.clear();
  }
  std::lock_guard<std::mutex> lock(g_tablesLock);
  g_tables.clear();
}

CTableReport GetLastTableReport() {
  std::lock_guard<std::mutex> lock(g_tablesLock);
  return g_lastReport;
}

std::string GetSolveMethod(const CPuzzle& puzzle) {
  if (puzzle.GetTypeId() == COrbixPuzzle::kTypeId) return "lights";
  if (IsPositionalType(puzzle.GetTypeId())) return GetPositionalMethod(puzzle.GetTypeId());
  if (HasOptimalTable(puzzle.GetTypeId(), puzzle.GetMode())) return "optimal";
  if (puzzle.GetTypeId() == kCube3) return "two-phase";
  if (TurnsArePermutations(puzzle)) return "stabiliser-chain";
  return std::string();
}

CSolveResult SolvePuzzle(const CPuzzle& puzzle, const CSolveOptions& options) {
  if (puzzle.GetTypeId() == COrbixPuzzle::kTypeId) return SolveOrbix(puzzle);
  if (IsPositionalType(puzzle.GetTypeId())) return SolvePosition(TakePositionSnapshot(puzzle), options);
  if (puzzle.GetMoveCount() == 0) {
    CSolveResult result;
    result.status = kSolveNothing;
    result.message = "This puzzle has no turns: there is nothing to solve.";
    return result;
  }
  std::vector<int> colours;
  for (int id = 0; id < puzzle.GetMoveMaskLength(); ++id) colours.push_back(puzzle.GetFaceletColour(id));
  return SolveColours(puzzle.GetTypeId(), puzzle.GetMode(), colours, options);
}

CSolveResult SolveColours(int type, int mode, const std::vector<int>& colours, const CSolveOptions& options) {
  if (type == kCube3) return SolveByTwoPhases(colours, options);
  if (!HasOptimalTable(type, mode) && type != COrbixPuzzle::kTypeId && !IsPositionalType(type) && type != kSquareOne &&
      type != kSlider)
    return SolveByChain(type, mode, colours, options);
  CSolveResult result;
  if (!HasOptimalTable(type, mode)) {
    result.status = kSolveUnsupported;
    result.message = std::string("Gyrix cannot solve the ") + CPuzzle::GetTypeName(type) + " yet.";
    return result;
  }
  result.method = "optimal";
  std::shared_ptr<CStateSpace> space = TableFor(type, mode, options);
  if (!space) {
    result.status = options.cancel && options.cancel->load() ? kSolveCancelled : kSolveUnsupported;
    result.message = "Gyrix cannot build the tables for this puzzle.";
    return result;
  }
  CStateSpace::Answer answer;
  const int found = space->Solve(colours, kLongestSearch, options.cancel, answer);
  if (found == -1) {
    result.status = kSolveCancelled;
    return result;
  }
  if (found < 0) {
    result.status = kSolveUnsupported;
    result.message = "Gyrix gave up: no solution found within its search limit.";
    return result;
  }
  if (found == 0) {
    result.status = kSolveUnsolvable;
    result.message = "No sequence of turns can solve this position.";
    return result;
  }
  result.status = kSolveFound;
  result.turns = answer.turns;
  result.length = answer.length;
  result.distance = answer.length;
  return result;
}
