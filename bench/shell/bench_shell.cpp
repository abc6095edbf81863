// The main window's speed: composing the whole screen (tile, puzzle, buttons, clock) at two
// sizes, and start-up to the first composed frame, with the resident memory it needs.
#include <gyrix/shell/puzzledlg.h>
#include <gyrix/puzzles.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

void Desktop() {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  static bool ready = CEventLoop::Init();
  if (!ready) std::abort();
  static std::string settings = [] {
    char name[] = "/tmp/gyrix-bench-XXXXXX";
    if (!mkdtemp(name)) std::abort();
    std::string path = std::string(name) + "/Gyrix.ini";
    std::ofstream(path) << "TilePath=\"" << GYRIX_DEFAULT_TILE << "\"\n";
    return path;
  }();
  CPuzzleDlg::SetSettingsPathOverride(settings);
}

long ResidentKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  return 0;
}

void SizeClient(CPuzzleDlg& dlg, int w, int h) {
  dlg.MoveWindow(0, 0, w, h);
  CRect client;
  dlg.GetClientRect(&client);
  dlg.MoveWindow(0, 0, w + w - client.Width(), h + h - client.Height());
}

void Compose(CPuzzleDlg& dlg, CDib& screen) {
  CDC* dc = screen.GetMemDC(nullptr);
  dlg.ComposeScreen(dc, &screen);
  screen.ReleaseMemDC(dc);
}

void BM_ComposeScreen(benchmark::State& state) {
  Desktop();
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  CPuzzleDlg dlg(nullptr);
  dlg.CreateModeless(nullptr);
  SizeClient(dlg, w, h);
  dlg.GetPuzzle()->Scramble();  // the clock shows digits
  CDib screen;
  screen.Create(&CDibWnd::cm_palette, w, h, 0);
  for (auto _ : state) {
    Compose(dlg, screen);
    benchmark::DoNotOptimize(screen.GetBits());
  }
  state.counters["tile"] = dlg.GetTile().GetBits() ? 1 : 0;
  dlg.DestroyWindow();
}
BENCHMARK(BM_ComposeScreen)->Args({640, 520})->Args({1920, 1080})->Unit(benchmark::kMillisecond);

// A whole frame as the window shows it at 3840x2160: composing the screen, drawing the puzzle
// (classic, or smooth into the 32-bit frame) and presenting it. Args: type id, smooth.
void BM_ComposeDrawPresent4K(benchmark::State& state) {
  Desktop();
  CPuzzleDlg dlg(nullptr);
  dlg.CreateModeless(nullptr);
  dlg.SelectPuzzle(static_cast<int>(state.range(0)));
  dlg.SetSmooth(state.range(1) != 0);
  SizeClient(dlg, 3840, 2160);
  dlg.ShowWindow(SW_SHOW);
  // The first frame makes the screen's buffers; every later one reuses them, as in play.
  dlg.Invalidate(FALSE);
  dlg.UpdateWindow();
  for (auto _ : state) {
    dlg.Invalidate(FALSE);
    dlg.UpdateWindow();
  }
  CRect client;
  dlg.GetClientRect(&client);
  state.counters["width"] = client.Width();
  state.counters["smoothShown"] = dlg.GetSmoothFrameRect().IsRectEmpty() ? 0 : 1;
  dlg.DestroyWindow();
}
BENCHMARK(BM_ComposeDrawPresent4K)
    ->ArgsProduct({benchmark::CreateDenseRange(0, kPuzzleTypeCount - 1, 1), {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.05);

// From nothing to the first frame composed: settings, tile and palette, buttons, puzzle.
void BM_StartUpToFirstFrame(benchmark::State& state) {
  Desktop();
  long rss = 0;
  for (auto _ : state) {
    CPuzzleDlg dlg(nullptr);
    dlg.CreateModeless(nullptr);
    CRect client;
    dlg.GetClientRect(&client);
    CDib screen;
    screen.Create(&CDibWnd::cm_palette, client.Width(), client.Height(), 0);
    Compose(dlg, screen);
    rss = ResidentKilobytes();
    dlg.DestroyWindow();
  }
  state.counters["rss_MB"] = static_cast<double>(rss) / 1024.0;
}
BENCHMARK(BM_StartUpToFirstFrame)->Unit(benchmark::kMillisecond);

}  // namespace
