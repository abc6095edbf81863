// The cubes as the window paints them: a whole frame at rest, one frame of a layer turn (the
// cube's own layer ordering included), and the hit test the pointer uses. Target: under 1 ms
// per frame at 1920 x 1080 and under 20 us for a hit test on the 5x5x5.
#include <gyrix/puzzles.h>

#include <lumex/dib.h>
#include <platform/dc.h>
#include <platform/palette.h>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

// An 8-bit back buffer with the cube's colours and a memory context drawing into it.
struct Canvas {
  Canvas(const CPuzzle& p, int width, int height) {
    std::vector<PALETTEENTRY> entries;
    for (int i = 0; i < p.GetPaletteCount(); ++i) {
      const COLORREF c = p.GetPaletteEntry(i);
      entries.push_back(PALETTEENTRY{GetRValue(c), GetGValue(c), GetBValue(c), 0});
    }
    entries.push_back(PALETTEENTRY{0x40, 0x30, 0x20, 0});
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
void BM_DrawAtRest(benchmark::State& state) {
  std::unique_ptr<CPuzzle> cube(CreatePuzzle(static_cast<int>(state.range(0))));
  const int w = static_cast<int>(state.range(1));
  const int h = static_cast<int>(state.range(2));
  cube->ResetView(w, h);
  Canvas canvas(*cube, w, h);
  int angle = 0;
  for (auto _ : state) {
    cube->RotateViewY(++angle % 3);  // the view changes, as while the player drags it
    cube->Draw(canvas.dc, &canvas.dib);
  }
}
BENCHMARK(BM_DrawAtRest)->Args({1, 640, 480})->Args({3, 640, 480})->Args({1, 1920, 1080})->Args({3, 1920, 1080});

// One frame of a middle-layer turn, as the animation timer paints it.
void BM_TurnFrame(benchmark::State& state) {
  std::unique_ptr<CPuzzle> cube(CreatePuzzle(static_cast<int>(state.range(0))));
  const int w = static_cast<int>(state.range(1));
  const int h = static_cast<int>(state.range(2));
  cube->ResetView(w, h);
  Canvas canvas(*cube, w, h);
  const int move = cube->GetSize() / 2 + 1;
  int angle = 0;
  for (auto _ : state) {
    angle = angle % 90 + 15;
    cube->DrawMoveFrame(canvas.dc, &canvas.dib, move, angle);
  }
}
BENCHMARK(BM_TurnFrame)->Args({1, 640, 480})->Args({3, 640, 480})->Args({1, 1920, 1080})->Args({3, 1920, 1080});

void BM_HitTest5(benchmark::State& state) {
  std::unique_ptr<CPuzzle> cube(CreatePuzzle(3));
  cube->ResetView(640, 480);
  Canvas canvas(*cube, 640, 480);
  cube->Draw(canvas.dc, &canvas.dib);
  int x = 0;
  for (auto _ : state) {
    x = (x + 7) % 200;
    benchmark::DoNotOptimize(cube->GetFaceletAt(POINT{220 + x, 140 + x}));
  }
}
BENCHMARK(BM_HitTest5);

}  // namespace
