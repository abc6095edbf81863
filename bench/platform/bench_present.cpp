// Presenting a window's 8-bit back buffer through its palette, and what an idle window costs.
#include <platform/platform.h>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <ctime>

namespace {

class CFullHdWindow : public CWnd {
 public:
  BOOL OnEraseBkgnd(CDC*) override { return TRUE; }
  void OnPaint() override { CPaintDC dc(this); }
};

bool StartDesktop() {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  return CEventLoop::Init();
}

void BM_Present1920x1080(benchmark::State& state) {
  if (!StartDesktop()) {
    state.SkipWithError("no desktop");
    return;
  }
  CFullHdWindow wnd;
  wnd.CreateEx(0, nullptr, "bench", WS_POPUP | WS_VISIBLE, CRect(0, 0, 1920, 1080), nullptr, 0);
  CBitmap* buffer = wnd.BackBuffer();
  for (int y = 0; y < buffer->Height(); ++y)
    for (int x = 0; x < buffer->Width(); ++x) buffer->SetPixelValue(x, y, static_cast<std::uint32_t>((x ^ y) & 0xFF));
  CEventLoop::ProcessPending();
  for (auto _ : state) {
    { CClientDC dc(&wnd); }  // marks the whole client area as drawn
    CEventLoop::PaintAll();  // shows it
  }
  state.SetItemsProcessed(state.iterations() * 1920 * 1080);
  wnd.DestroyWindow();
}
BENCHMARK(BM_Present1920x1080)->Unit(benchmark::kMillisecond);

// An idle window with the one-second clock timer: the loop should wake about once a second and
// use next to no processor time in between.
void BM_IdleSecondWithClockTimer(benchmark::State& state) {
  if (!StartDesktop()) {
    state.SkipWithError("no desktop");
    return;
  }
  CFullHdWindow wnd;
  wnd.CreateEx(0, nullptr, "idle", WS_POPUP | WS_VISIBLE, CRect(0, 0, 320, 200), nullptr, 0);
  wnd.SetTimer(1000, 1000);
  CEventLoop::ProcessPending();
  double wakeups = 0, cpuMs = 0;
  for (auto _ : state) {
    const std::clock_t start = std::clock();
    const std::uint64_t until = CEventLoop::Now() + 1000;
    int rounds = 0;
    while (CEventLoop::Now() < until) {
      CEventLoop::PumpMessage(TRUE);
      ++rounds;
    }
    wakeups += rounds;
    cpuMs += 1000.0 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
  }
  state.counters["wakeups_per_s"] = wakeups / static_cast<double>(state.iterations());
  state.counters["cpu_ms_per_s"] = cpuMs / static_cast<double>(state.iterations());
  wnd.DestroyWindow();
}
BENCHMARK(BM_IdleSecondWithClockTimer)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
