// One frame of a layer turn as the window's animation timer paints it. Painting every puzzle
// at rest and mid-turn, and the hit test, are measured for every built type in bench_puzzles.
#include <gyrix/engine.h>
#include <gyrix/puzzles.h>

#include <platform/eventloop.h>
#include <platform/wnd.h>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

// The frames of turn 2 over and over, on a window of the headless desktop (its timer is never
// waited for). Args: type id, width, height.
void BM_AnimateStep(benchmark::State& state) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  if (!CEventLoop::Init()) {
    state.SkipWithError("no desktop");
    return;
  }
  CWnd wnd;
  wnd.CreateEx(0, nullptr, "bench", WS_POPUP, CRect(0, 0, 100, 100), nullptr, 0);
  std::unique_ptr<CPuzzle> p(CreatePuzzle(static_cast<int>(state.range(0))));
  const int w = static_cast<int>(state.range(1)), h = static_cast<int>(state.range(2));
  p->ResetView(w, h);
  CPuzzleCanvas canvas(*p, w, h);
  for (auto _ : state) {
    if (p->GetCurrentMove() == 0) p->StartMove(&wnd, 2);
    p->AnimateStep(&wnd, canvas.dc, &canvas.dib);
  }
  wnd.DestroyWindow();
}
BENCHMARK(BM_AnimateStep)->Args({1, 1920, 1080})->Args({3, 1920, 1080})->Unit(benchmark::kMicrosecond);

}  // namespace
