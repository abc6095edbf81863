// Speed of the drawing layer on the screen-sized work the game does every frame.
#include <platform/platform.h>

#include <benchmark/benchmark.h>
#include <cairo.h>

#include <random>
#include <vector>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

// 288 convex quadrilaterals of about 40 x 40 pixels spread over the screen, like the facelets
// of the largest puzzle.
std::vector<std::vector<POINT>> Quads() {
  std::mt19937 rng(42);
  std::uniform_int_distribution<int> jitter(-4, 4);
  std::vector<std::vector<POINT>> quads;
  for (int j = 0; j < 12; ++j)
    for (int i = 0; i < 24; ++i) {
      const int x = 30 + i * 78, y = 40 + j * 85;
      quads.push_back({{x + jitter(rng), y + jitter(rng)},
                       {x + 40 + jitter(rng), y + 2 + jitter(rng)},
                       {x + 42 + jitter(rng), y + 40 + jitter(rng)},
                       {x + 2 + jitter(rng), y + 38 + jitter(rng)}});
    }
  return quads;
}

std::vector<RGBQUAD> Palette() {
  std::vector<RGBQUAD> table(256);
  for (int i = 0; i < 256; ++i)
    table[i] = RGBQUAD{BYTE((i * 37) & 0xFF), BYTE((i * 91) & 0xFF), BYTE((i * 53) & 0xFF), 0};
  return table;
}

const COLORREF kColours[6] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255),
                              RGB(255, 255, 0), RGB(255, 128, 0), RGB(255, 255, 255)};

void BM_FillQuads8Bit(benchmark::State& state) {
  const auto quads = Quads();
  const auto table = Palette();
  CBitmap bmp;
  bmp.CreateDIBSection(kWidth, kHeight, 8, table.data(), 256);
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  dc.SelectObject(&bmp);
  dc.SelectStockObject(NULL_PEN);
  CBrush brushes[6];
  for (int i = 0; i < 6; ++i) brushes[i].CreateSolidBrush(kColours[i]);
  for (auto _ : state) {
    for (std::size_t k = 0; k < quads.size(); ++k) {
      dc.SelectObject(&brushes[k % 6]);
      dc.Polygon(quads[k].data(), 4);
    }
    benchmark::DoNotOptimize(bmp.Bits());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(quads.size()));
}
BENCHMARK(BM_FillQuads8Bit)->Unit(benchmark::kMicrosecond);

// The same with a black outline, as the puzzles are drawn.
void BM_FillAndOutlineQuads8Bit(benchmark::State& state) {
  const auto quads = Quads();
  const auto table = Palette();
  CBitmap bmp;
  bmp.CreateDIBSection(kWidth, kHeight, 8, table.data(), 256);
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  dc.SelectObject(&bmp);
  for (auto _ : state) {
    for (std::size_t k = 0; k < quads.size(); ++k) {
      CBrush brush(kColours[k % 6]);
      CBrush* old = dc.SelectObject(&brush);
      dc.Polygon(quads[k].data(), 4);
      dc.SelectObject(old);
    }
    benchmark::DoNotOptimize(bmp.Bits());
  }
}
BENCHMARK(BM_FillAndOutlineQuads8Bit)->Unit(benchmark::kMicrosecond);

void BM_CairoFillQuadsArgb32(benchmark::State& state) {
  const auto quads = Quads();
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
  cairo_t* cr = cairo_create(surface);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  for (auto _ : state) {
    for (std::size_t k = 0; k < quads.size(); ++k) {
      const COLORREF c = kColours[k % 6];
      cairo_set_source_rgb(cr, GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0);
      cairo_move_to(cr, quads[k][0].x, quads[k][0].y);
      for (int i = 1; i < 4; ++i) cairo_line_to(cr, quads[k][i].x, quads[k][i].y);
      cairo_close_path(cr);
      cairo_fill(cr);
    }
    cairo_surface_flush(surface);
    benchmark::DoNotOptimize(cairo_image_surface_get_data(surface));
  }
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}
BENCHMARK(BM_CairoFillQuadsArgb32)->Unit(benchmark::kMicrosecond);

void BM_ClearAndTile(benchmark::State& state) {
  const auto table = Palette();
  CBitmap screen, tile;
  screen.CreateDIBSection(kWidth, kHeight, 8, table.data(), 256);
  tile.CreateDIBSection(64, 64, 8, table.data(), 256);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) tile.SetPixelValue(x, y, static_cast<std::uint32_t>((x ^ y) & 0xFF));
  CDC dc, tileDC;
  dc.CreateCompatibleDC(nullptr);
  dc.SelectObject(&screen);
  tileDC.CreateCompatibleDC(nullptr);
  tileDC.SelectObject(&tile);
  for (auto _ : state) {
    dc.FillSolidRect(0, 0, kWidth, kHeight, RGB(192, 192, 192));
    for (int y = 0; y < kHeight; y += 64)
      for (int x = 0; x < kWidth; x += 64) dc.BitBlt(x, y, 64, 64, &tileDC, 0, 0, SRCCOPY);
    benchmark::DoNotOptimize(screen.Bits());
  }
}
BENCHMARK(BM_ClearAndTile)->Unit(benchmark::kMicrosecond);

// A bare 2 MB clear, the floor under the tiling time on this machine.
void BM_Clear(benchmark::State& state) {
  const auto table = Palette();
  CBitmap screen;
  screen.CreateDIBSection(kWidth, kHeight, 8, table.data(), 256);
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  dc.SelectObject(&screen);
  for (auto _ : state) {
    dc.FillSolidRect(0, 0, kWidth, kHeight, RGB(192, 192, 192));
    benchmark::DoNotOptimize(screen.Bits());
  }
}
BENCHMARK(BM_Clear)->Unit(benchmark::kMicrosecond);

void BM_TextLine25Point(benchmark::State& state) {
  const auto table = Palette();
  CBitmap bmp;
  bmp.CreateDIBSection(kWidth, 100, 8, table.data(), 256);
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  dc.SelectObject(&bmp);
  CFont font;
  font.CreatePointFont(250, "Times New Roman");
  dc.SelectObject(&font);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(RGB(0, 0, 128));
  const char* line = "You have solved the Cube in 00:01:02 !!";  // 40 characters with the NUL left out
  dc.TextOut(10, 10, line);  // loads and caches the face and its glyphs
  for (auto _ : state) {
    dc.TextOut(10, 10, line);
    benchmark::DoNotOptimize(bmp.Bits());
  }
}
BENCHMARK(BM_TextLine25Point)->Unit(benchmark::kMicrosecond);

}  // namespace
