// The graphics library's hot paths: loading a background tile, quantising a photo-like image,
// converting it to the shared palette, and drawing sprite frames.
#include <lumex/lumex.h>
#include <platform/palette.h>

#include <benchmark/benchmark.h>

#include <random>

namespace {

std::vector<BYTE> GradientBmp(int w, int h) {
  std::vector<BYTE> bits(std::size_t(BmpRowBytes(w, 24)) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      BYTE* p = bits.data() + std::size_t(BmpRowBytes(w, 24)) * y + 3 * x;
      p[0] = BYTE(x * 255 / w);
      p[1] = BYTE(y * 255 / h);
      p[2] = BYTE((x + y) * 127 / (w + h));
    }
  std::vector<BYTE> file;
  AppendBmpFile(file, w, h, 24, nullptr, 0, bits.data());
  return file;
}

void MakePalette(CPalette& pal) {
  PALETTEENTRY entries[256];
  for (int i = 0; i < 256; ++i) entries[i] = PALETTEENTRY{BYTE(i), BYTE(255 - i), BYTE(i / 2), 0};
  pal.CreatePalette(entries, 256);
}

void BM_LoadTile(benchmark::State& state) {
  std::vector<BYTE> file = GradientBmp(256, 256);
  for (auto _ : state) {
    CDib dib;
    benchmark::DoNotOptimize(dib.LoadFromMemory(file.data(), file.size()));
  }
}
BENCHMARK(BM_LoadTile);

void BM_QuantizeAndConvert(benchmark::State& state) {
  std::vector<BYTE> file = GradientBmp(256, 256);
  for (auto _ : state) {
    CDib dib;
    dib.LoadFromMemory(file.data(), file.size());
    CQuantizer q;
    CPalette pal;
    q.Quantize(dib, pal);
    benchmark::DoNotOptimize(dib.ConvertTo256Colors(pal));
  }
}
BENCHMARK(BM_QuantizeAndConvert)->Unit(benchmark::kMillisecond);

void BM_DrawFrame(benchmark::State& state) {
  CPalette pal;
  MakePalette(pal);
  CDib sprite, screen;
  sprite.Create(&pal, 64, 64, 254);
  std::mt19937 rng(1);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x)
      if ((x - 32) * (x - 32) + (y - 32) * (y - 32) < 900) sprite.SetBit(x, y, BYTE(rng() % 200));
  screen.Create(&pal, 640, 480, 0);
  CFrame frame;
  frame.CreateUnmapped(&sprite);
  int i = 0;
  for (auto _ : state) {
    frame.Draw(&screen, CPoint((i * 37) % 700 - 30, (i * 53) % 540 - 30), i & 1, nullptr);
    ++i;
  }
}
BENCHMARK(BM_DrawFrame);

}  // namespace
