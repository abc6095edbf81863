// Painting the cubes at rest and mid-turn, and finding the facelet under the pointer.
#include <gyrix/engine.h>
#include <gyrix/puzzles.h>

#include <lumex/dib.h>
#include <platform/dc.h>
#include <platform/eventloop.h>
#include <platform/wnd.h>
#include <platform/palette.h>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

// An 8-bit image with the puzzle's colours, the standard colours and a background.
struct Canvas {
  Canvas(const CPuzzle& p, int width, int height) {
    std::vector<PALETTEENTRY> entries;
    auto add = [&entries](COLORREF c) { entries.push_back(PALETTEENTRY{GetRValue(c), GetGValue(c), GetBValue(c), 0}); };
    for (int i = 0; i < p.GetPaletteCount(); ++i) add(p.GetPaletteEntry(i));
    for (COLORREF c : CPolyModel::cm_standardColours) add(c);
    add(0x203040);
    palette.CreatePalette(entries.data(), static_cast<int>(entries.size()));
    dib.Create(&palette, width, height, static_cast<int>(entries.size()) - 1);
    dc = dib.GetMemDC(nullptr);
  }
  ~Canvas() { dib.ReleaseMemDC(dc); }
  CPalette palette;
  CDib dib;
  CDC* dc = nullptr;
};

// Args: type id, width, height.
void BM_Draw(benchmark::State& state) {
  std::unique_ptr<CPuzzle> p(CreatePuzzle(static_cast<int>(state.range(0))));
  const int w = static_cast<int>(state.range(1)), h = static_cast<int>(state.range(2));
  p->ResetView(w, h);
  Canvas canvas(*p, w, h);
  for (auto _ : state) {
    // A view change each time, so the view and the painting order are rebuilt as after a drag.
    p->RotateViewY(1);
    p->Draw(canvas.dc, &canvas.dib);
  }
}
BENCHMARK(BM_Draw)->Args({1, 640, 480})->Args({1, 1920, 1080})->Args({3, 640, 480})->Args({3, 1920, 1080})
    ->Unit(benchmark::kMicrosecond);

// One frame of a layer turn as the window paints it: the frames of turn 2 over and over, on
// a window of the headless desktop (its timer is never waited for).
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
  Canvas canvas(*p, w, h);
  for (auto _ : state) {
    if (p->GetCurrentMove() == 0) p->StartMove(&wnd, 2);
    p->AnimateStep(&wnd, canvas.dc, &canvas.dib);
  }
  wnd.DestroyWindow();
}
BENCHMARK(BM_AnimateStep)->Args({1, 1920, 1080})->Args({3, 1920, 1080})->Unit(benchmark::kMicrosecond);

// The facelet under points spread over the window, at rest on the 5x5x5.
void BM_GetFaceletAt(benchmark::State& state) {
  std::unique_ptr<CPuzzle> p(CreatePuzzle(3));
  p->ResetView(640, 480);
  Canvas canvas(*p, 640, 480);
  p->Draw(canvas.dc, &canvas.dib);
  int i = 0;
  for (auto _ : state) {
    const POINT at{(i * 37) % 640, (i * 53) % 480};
    benchmark::DoNotOptimize(p->GetFaceletAt(at));
    ++i;
  }
}
BENCHMARK(BM_GetFaceletAt)->Unit(benchmark::kMicrosecond);

}  // namespace
