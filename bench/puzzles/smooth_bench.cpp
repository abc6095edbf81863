// Smooth against classic drawing of every built type at 1920x1080: the classic 8-bit painting,
// and the same puzzle handed to the coverage painter and painted into a 32-bit picture.
#include <gyrix/engine.h>
#include <gyrix/puzzles.h>

#include <lumex/coverage.h>
#include <platform/image32.h>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

constexpr int kWidth = 1920, kHeight = 1080;

void DrawClassic(benchmark::State& state, int id) {
  std::unique_ptr<CPuzzle> p(CreatePuzzle(id));
  p->ResetView(kWidth, kHeight);
  CPuzzleCanvas canvas(*p, kWidth, kHeight);
  for (auto _ : state) {
    p->Draw(canvas.dc, &canvas.dib);
    benchmark::DoNotOptimize(canvas.dib.GetBits());
  }
}

void DrawSmooth(benchmark::State& state, int id) {
  std::unique_ptr<CPuzzle> p(CreatePuzzle(id));
  p->ResetView(kWidth, kHeight);
  CPuzzleCanvas canvas(*p, kWidth, kHeight);
  CImage32 background(kWidth, kHeight), picture(kWidth, kHeight);
  background.CopyFrom(canvas.dib, RECT{0, 0, kWidth, kHeight});
  CCoveragePainter painter;
  for (auto _ : state) {
    painter.Begin(RECT{0, 0, kWidth, kHeight});
    p->SetSmoothPainter(&painter, false);
    p->Draw(canvas.dc, &canvas.dib);
    p->SetSmoothPainter(nullptr, false);
    // The background comes back only where the puzzle may have painted, as in the window.
    picture.CopyFrom(background, painter.GetBounds());
    painter.Paint(picture);
    benchmark::DoNotOptimize(picture.Row(0));
  }
}

const bool registered = [] {
  for (int id = 0; id < kPuzzleTypeCount; ++id) {
    if (!IsPuzzleBuilt(id)) continue;
    const std::string name = GetPuzzleType(id)->name;
    benchmark::RegisterBenchmark(("BM_DrawClassic1080/" + name).c_str(), DrawClassic, id)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("BM_DrawSmooth1080/" + name).c_str(), DrawSmooth, id)
        ->Unit(benchmark::kMicrosecond);
  }
  return true;
}();

}  // namespace
