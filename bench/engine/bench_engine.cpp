// The engine's per-frame work: every animation frame transforms all vertices and sorts all
// facelets again; the largest model has 288 facelets. Also a turn on a large permutation
// puzzle and the puzzle file's reading and checking.
#include <gyrix/engine.h>

#include <cordak/buffer.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

// A sphere-like shell of quadrilateral facelets, each with its own four vertices, and turns
// that rotate one band of facelets.
class CShellPuzzle : public CPuzzle {
 public:
  static constexpr int kRings = 12;
  static constexpr int kSectors = 24;
  static constexpr int kFacelets = kRings * kSectors;

  CShellPuzzle() : CPuzzle(kFacelets) {
    m_typeId = 13;
    SetModelSize(3.5f);
    for (int r = 0; r < kRings; ++r) {
      for (int s = 0; s < kSectors; ++s) {
        int quad[4];
        for (int c = 0; c < 4; ++c) {
          const double theta = M_PI * (r + (c == 2 || c == 3)) / kRings;
          const double phi = 2 * M_PI * (s + (c == 1 || c == 2)) / kSectors;
          quad[c] = AddVertex(static_cast<float>(std::sin(theta) * std::cos(phi)),
                              static_cast<float>(std::sin(theta) * std::sin(phi)),
                              static_cast<float>(std::cos(theta)));
        }
        AddFacelet(quad, 4);
      }
    }
    const COLORREF palette[3] = {0, 0x80, 0xFF};
    SetPalette(palette, 3);
    for (int r = 0; r < kRings; ++r) {
      std::vector<int> perm(kFacelets);
      for (int i = 0; i < kFacelets; ++i) perm[i] = i;
      for (int s = 0; s < kSectors; ++s) perm[r * kSectors + s] = r * kSectors + (s + 1) % kSectors;
      AddMove(perm.data(), -1);
    }
    for (int id = 0; id < kFacelets; ++id) SetFaceletColour(id, 1 + id % 2);
    ResetView(640, 480);
  }
};

void BM_ViewAndSort288(benchmark::State& state) {
  CShellPuzzle p;
  int angle = 0;
  for (auto _ : state) {
    p.RotateViewY(++angle % 7);
    p.UpdateView();
    p.SortFacelets();
    benchmark::DoNotOptimize(p.GetFacelet(0));
  }
}
BENCHMARK(BM_ViewAndSort288);

void BM_TurnOn288Facelets(benchmark::State& state) {
  CShellPuzzle p;
  int move = 0;
  for (auto _ : state) {
    p.DoMove(1 + move++ % CShellPuzzle::kRings, 1);
    benchmark::DoNotOptimize(p.GetFaceletColour(0));
  }
}
BENCHMARK(BM_TurnOn288Facelets);

void BM_LoadAndCheckPuzzleFile(benchmark::State& state) {
  CShellPuzzle p;
  CUBuffer file;
  p.Write(file);
  CShellPuzzle target;
  for (auto _ : state) {
    file.SeekToBegin();
    benchmark::DoNotOptimize(target.LoadFromBuffer(file));
  }
  state.SetBytesProcessed(state.iterations() * file.GetSize());
}
BENCHMARK(BM_LoadAndCheckPuzzleFile);

}  // namespace
