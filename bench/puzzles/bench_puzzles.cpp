// Every built puzzle type, in each of its modes, as the window paints it at 1920 x 1080: a
// whole frame at rest just after the view moved, one frame half way through turn 1, and the
// hit test under the pointer, and a pointer move during a drag with the preview on (the hit
// test, the drag rule, the turn's facelets, the frame and the outlines over it). Targets:
// under 1 ms a frame on one core, under 20 us a hit test, a preview's move within a 60 Hz
// frame (16 ms), in practice near one frame's drawing. The cases are made from the catalogue when the program starts, so a family joins the
// table by being built.
#include <gyrix/engine.h>
#include <gyrix/engine/dragpreview.h>
#include <gyrix/puzzles.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

struct Case {
  int id = 0;
  int mode = 0;  // 0 for a type without modes
};

// The puzzle in the case's mode, viewed as a 1920 x 1080 window shows it; null (and the case
// marked failed) when the type refuses the mode.
std::unique_ptr<CPuzzle> Make(const Case& c, benchmark::State* state = nullptr) {
  std::unique_ptr<CPuzzle> p(CreatePuzzle(c.id));
  if (c.mode > 0 && !p->SetMode(c.mode)) {
    if (state) state->SkipWithError("the type refuses the mode");
    return nullptr;
  }
  p->ResetView(kWidth, kHeight);
  return p;
}

// "Draw/03 Cube(5x5x5)", with " mode 2" for a type with modes.
std::string CaseName(const char* what, const Case& c) {
  char id[8];
  std::snprintf(id, sizeof id, "%02d", c.id);
  std::string name = std::string(what) + "/" + id + " " + CPuzzle::GetTypeName(c.id);
  if (c.mode > 0) name += " mode " + std::to_string(c.mode);
  return name;
}

// The midpoint of turn 1, as the animation shows it half way.
int MidAngle(CPuzzle& p) { return p.GetMoveStep(1) * p.GetMoveFrames(1) / 2; }

void DrawAtRest(benchmark::State& state, Case c) {
  std::unique_ptr<CPuzzle> p = Make(c, &state);
  if (!p) return;
  CPuzzleCanvas canvas(*p, kWidth, kHeight);
  int step = 0;
  for (auto _ : state) {
    // A degree more each time, so the view and the painting order are rebuilt as after a
    // drag; a fresh view now and then keeps fixed-point rounding from piling up.
    if (++step % 360 == 0)
      p->ResetView(kWidth, kHeight);
    else
      p->RotateViewY(1);
    p->Draw(canvas.dc, &canvas.dib);
  }
}

void TurnFrame(benchmark::State& state, Case c) {
  std::unique_ptr<CPuzzle> p = Make(c, &state);
  if (!p) return;
  CPuzzleCanvas canvas(*p, kWidth, kHeight);
  const int angle = MidAngle(*p);
  for (auto _ : state) p->DrawMoveFrame(canvas.dc, &canvas.dib, 1, angle);
}

// Points on a grid over the painted puzzle's bounding box.
std::vector<POINT> GridOverThePuzzle(CPuzzleCanvas& canvas) {
  int left = kWidth, top = kHeight, right = 0, bottom = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      if (!canvas.IsBackground(x, y)) {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
  std::vector<POINT> points;
  if (right < left) return points;
  constexpr int kGrid = 17;
  for (int j = 0; j < kGrid; ++j)
    for (int i = 0; i < kGrid; ++i)
      points.push_back(POINT{left + (right - left) * i / (kGrid - 1), top + (bottom - top) * j / (kGrid - 1)});
  return points;
}

// One hit test a call, at the grid's points in turn.
void HitTest(benchmark::State& state, Case c) {
  std::unique_ptr<CPuzzle> p = Make(c, &state);
  if (!p) return;
  CPuzzleCanvas canvas(*p, kWidth, kHeight);
  p->Draw(canvas.dc, &canvas.dib);
  const std::vector<POINT> points = GridOverThePuzzle(canvas);
  if (points.empty()) {
    state.SkipWithError("nothing painted");
    return;
  }
  size_t next = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(p->GetFaceletAt(points[next]));
    next = (next + 1) % points.size();
  }
}

// A drag from the facelet under the middle of the puzzle over the grid's points: each move asks
// the rule and repaints the frame with what it would turn outlined, as the window does when
// what is shown changes.
void PreviewMove(benchmark::State& state, Case c) {
  std::unique_ptr<CPuzzle> p = Make(c, &state);
  if (!p) return;
  CPuzzleCanvas canvas(*p, kWidth, kHeight);
  p->Draw(canvas.dc, &canvas.dib);
  const std::vector<POINT> points = GridOverThePuzzle(canvas);
  const int from = points.empty() ? -1 : p->GetFaceletAt(points[points.size() / 2]);
  if (from < 0) {
    state.SkipWithError("no facelet in the middle");
    return;
  }
  CDragPreview preview;
  size_t next = 0;
  for (auto _ : state) {
    preview.Drag(*p, from, p->GetFaceletAt(points[next]));
    p->Draw(canvas.dc, &canvas.dib);
    preview.Paint(canvas.dc, *p);
    next = (next + 1) % points.size();
  }
}

void RegisterCases() {
  std::vector<Case> cases;
  for (int id = 0; id < kPuzzleTypeCount; ++id) {
    if (!IsPuzzleBuilt(id)) continue;
    const int modes = GetPuzzleType(id)->modes;
    for (int mode = modes > 0 ? 1 : 0; mode <= modes; ++mode) cases.push_back(Case{id, mode});
  }
  for (const Case& c : cases)
    benchmark::RegisterBenchmark(CaseName("Draw", c).c_str(), DrawAtRest, c)->Unit(benchmark::kMicrosecond);
  for (const Case& c : cases) {
    // A type whose turn 1 is not animated paints no frame of it.
    std::unique_ptr<CPuzzle> p = Make(c);
    if (!p || p->GetMoveCount() == 0 || p->GetAnimatedMove(1) < 0) continue;
    benchmark::RegisterBenchmark(CaseName("TurnFrame", c).c_str(), TurnFrame, c)->Unit(benchmark::kMicrosecond);
  }
  for (const Case& c : cases)
    benchmark::RegisterBenchmark(CaseName("GetFaceletAt", c).c_str(), HitTest, c)->Unit(benchmark::kMicrosecond);
  for (const Case& c : cases)
    benchmark::RegisterBenchmark(CaseName("PreviewMove", c).c_str(), PreviewMove, c)->Unit(benchmark::kMicrosecond);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RegisterCases();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
