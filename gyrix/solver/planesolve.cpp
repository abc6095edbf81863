#include <gyrix/solver/planesolve.h>

#include <gyrix/solver/planetable.h>

#include <gyrix/engine/puzzle.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>

namespace {

constexpr int kPyramorphix = 15;
constexpr int kBiCube = 17;
constexpr int kGem = 28;

bool HasPlaneCutTable(int type) { return type == kPyramorphix || type == kBiCube || type == kGem; }

struct CTypeTables {
  std::unique_ptr<CPlaneCutModel> model;
  std::unique_ptr<CPlaneCutTable> table;
};

std::mutex g_lock;
std::map<int, std::shared_ptr<CTypeTables>> g_tables;
CTableReport g_report;

// The model and table of a type, loaded from the cache or built (and cached); null when the
// model cannot be made or the build was cancelled.
std::shared_ptr<CTypeTables> TablesFor(int type, const CSolveOptions& options) {
  std::lock_guard<std::mutex> lock(g_lock);
  const auto found = g_tables.find(type);
  if (found != g_tables.end()) return found->second;
  auto tables = std::make_shared<CTypeTables>();
  tables->model = std::make_unique<CPlaneCutModel>(type);
  if (!tables->model->IsValid()) return nullptr;
  tables->table = std::make_unique<CPlaneCutTable>(*tables->model);
  CTableReport report;
  report.typeId = type;
  const auto start = std::chrono::steady_clock::now();
  const std::string folder = options.useCache ? CacheFolder() : std::string();
  if (!folder.empty()) {
    char name[64];
    std::snprintf(name, sizeof name, "planecut-%d.bin", type);
    report.cachePath = folder + name;
    report.loaded = tables->table->Load(report.cachePath);
  }
  if (!report.loaded) {
    if (!tables->table->Build(options.cancel)) return nullptr;
    report.rebuilt = true;
    if (!report.cachePath.empty()) tables->table->Save(report.cachePath);
  }
  report.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  report.states = static_cast<long>(tables->table->GetStateCount());
  report.largestDistance = tables->table->GetLargestDistance();
  report.completeDepth = report.largestDistance;
  report.whole = true;
  report.bytes = tables->table->GetBytes();
  g_report = report;
  g_tables[type] = tables;
  return tables;
}

CSolveResult Unsolvable() {
  CSolveResult result;
  result.status = kSolveUnsolvable;
  result.message = "No sequence of turns can solve this position.";
  return result;
}

CSolveResult SolveByTable(const CPositionSnapshot& snapshot, const CSolveOptions& options) {
  CSolveResult result;
  result.method = "optimal";
  const std::shared_ptr<CTypeTables> tables = TablesFor(snapshot.typeId, options);
  if (!tables) {
    result.status = options.cancel && options.cancel->load() ? kSolveCancelled : kSolveUnsupported;
    result.message = "Gyrix cannot build the tables for this puzzle.";
    return result;
  }
  CPlaneCutModel::State state;
  if (!tables->model->StateOf(snapshot, state)) return Unsolvable();
  const int found = tables->table->Solve(state, options.cancel, result.turns);
  if (found < 0) {
    result.status = kSolveCancelled;
    return result;
  }
  if (found == 0) return Unsolvable();
  result.status = kSolveFound;
  result.length = static_cast<int>(result.turns.size());
  result.distance = result.length;
  return result;
}

}  // namespace

bool IsPositionalType(int typeId) { return !GetPositionalMethod(typeId).empty(); }

std::string GetPositionalMethod(int typeId) {
  if (HasPlaneCutTable(typeId)) return "optimal";
  return std::string();
}

CSolveResult SolvePosition(const CPositionSnapshot& snapshot, const CSolveOptions& options) {
  if (HasPlaneCutTable(snapshot.typeId)) return SolveByTable(snapshot, options);
  CSolveResult result;
  result.status = kSolveUnsupported;
  result.message = std::string("Gyrix cannot solve the ") + CPuzzle::GetTypeName(snapshot.typeId) + " yet.";
  return result;
}

CTableReport GetPositionalTableReport() {
  std::lock_guard<std::mutex> lock(g_lock);
  return g_report;
}

void ForgetPositionalTables() {
  std::lock_guard<std::mutex> lock(g_lock);
  g_tables.clear();
}
