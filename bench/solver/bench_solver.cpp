// The solver per type: table build time and size, and over 100 seeded scrambles the median
// and worst solve time and solution length. Tables are built afresh (no cache) once per type.
#include <gyrix/solver/planesolve.h>
#include <gyrix/solver/solver.h>
#include <gyrix/solver/twophase.h>

#include <gyrix/puzzles.h>

#include <cordak/urand.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

namespace {

constexpr int kScrambles = 100;

void TableAndSolves(benchmark::State& state) {
  const int type = static_cast<int>(state.range(0));
  const int mode = static_cast<int>(state.range(1));
  std::unique_ptr<CPuzzle> p(CreatePuzzle(type));
  if (mode > 0) p->SetMode(mode);
  CSolveOptions options;
  options.useCache = false;
  std::vector<double> times;
  std::vector<int> lengths;
  CTableReport table;
  for (auto _ : state) {
    ForgetSolverTables();
    p->Reset();
    SolvePuzzle(*p, options);  // builds the table
    table = IsPositionalType(type) ? GetPositionalTableReport() : GetLastTableReport();
    times.clear();
    lengths.clear();
    for (int seed = 1; seed <= kScrambles; ++seed) {
      Randomize(seed);
      p->Scramble();
      const auto start = std::chrono::steady_clock::now();
      const CSolveResult r = SolvePuzzle(*p, options);
      times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
      if (r.status != kSolveFound) {
        state.SkipWithError("a scramble was not solved");
        return;
      }
      lengths.push_back(r.length);
    }
  }
  std::sort(times.begin(), times.end());
  std::sort(lengths.begin(), lengths.end());
  state.counters["build_s"] = table.seconds;
  state.counters["states"] = static_cast<double>(table.states);
  state.counters["MB"] = table.bytes / 1e6;
  state.counters["deepest"] = table.largestDistance;
  state.counters["whole"] = table.whole ? 1 : 0;
  state.counters["med_ms"] = times[times.size() / 2];
  state.counters["worst_ms"] = times.back();
  state.counters["med_len"] = lengths[lengths.size() / 2];
  state.counters["worst_len"] = lengths.back();
}

// The 3x3x3's two phases: the tables (built once per run), then 200 seeded scrambles; lengths
// in face turns, a half turn counted once.
void TwoPhaseSolves(benchmark::State& state) {
  std::unique_ptr<CPuzzle> p(CreatePuzzle(1));
  const CTwoPhaseTableReport table = GetTwoPhaseTableReport();
  std::vector<double> times;
  std::vector<int> lengths;
  for (auto _ : state) {
    times.clear();
    lengths.clear();
    for (int seed = 1; seed <= 2 * kScrambles; ++seed) {
      Randomize(seed);
      p->Reset();
      p->Scramble();
      std::vector<int> colours;
      for (int id = 0; id < p->GetMoveMaskLength(); ++id) colours.push_back(p->GetFaceletColour(id));
      std::vector<int> turns;
      int faceTurns = 0;
      const auto start = std::chrono::steady_clock::now();
      const int status = SolveCube3TwoPhase(colours, CTwoPhaseOptions{}, turns, faceTurns);
      times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
      if (status != kSolveFound) {
        state.SkipWithError("a scramble was not solved");
        return;
      }
      lengths.push_back(faceTurns);
    }
  }
  std::sort(times.begin(), times.end());
  std::sort(lengths.begin(), lengths.end());
  state.counters["build_s"] = table.seconds;
  state.counters["MB"] = table.bytes / 1e6;
  state.counters["med_ms"] = times[times.size() / 2];
  state.counters["worst_ms"] = times.back();
  state.counters["med_len"] = lengths[lengths.size() / 2];
  state.counters["worst_len"] = lengths.back();
}

}  // namespace

BENCHMARK(TwoPhaseSolves)->Iterations(1)->Unit(benchmark::kSecond);

BENCHMARK(TableAndSolves)
    ->ArgNames({"type", "mode"})
    ->Args({0, 0})
    ->Args({4, 0})
    ->Args({6, 0})
    ->Args({9, 2})
    ->Args({16, 0})
    ->Args({34, 1})
    ->Args({34, 2})
    ->Args({15, 0})
    ->Args({17, 0})
    ->Args({28, 0})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
