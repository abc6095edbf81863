#include <gyrix/engine/canvas.h>

#include <platform/dc.h>

#include <algorithm>
#include <vector>

namespace {

// Room for the standard colours and the background in a 256-entry table.
constexpr int kMaxModelColours = 256 - 17;

}  // namespace

CPuzzleCanvas::CPuzzleCanvas(const CPolyModel& model, int width, int height, COLORREF background)
    : m_background(background) {
  std::vector<PALETTEENTRY> entries;
  auto add = [&entries](COLORREF c) { entries.push_back(PALETTEENTRY{GetRValue(c), GetGValue(c), GetBValue(c), 0}); };
  const int own = std::min(model.GetPaletteCount(), kMaxModelColours);
  for (int i = 0; i < own; ++i) add(model.GetPaletteEntry(i));
  for (COLORREF c : CPolyModel::cm_standardColours) add(c);
  m_backgroundIndex = static_cast<int>(entries.size());
  add(background);
  palette.CreatePalette(entries.data(), static_cast<int>(entries.size()));
  if (dib.Create(&palette, width, height, m_backgroundIndex)) dc = dib.GetMemDC(nullptr);
}

CPuzzleCanvas::CPuzzleCanvas(const std::vector<COLORREF>& colours, int width, int height, COLORREF background)
    : m_background(background) {
  std::vector<COLORREF> table;
  auto add = [&table](COLORREF c) {
    c &= 0xFFFFFF;
    if (table.size() < 256 && std::find(table.begin(), table.end(), c) == table.end()) table.push_back(c);
  };
  // The list may not crowd out the standard colours and the background.
  for (COLORREF c : colours)
    if (table.size() < static_cast<size_t>(kMaxModelColours)) add(c);
  for (COLORREF c : CPolyModel::cm_standardColours) add(c);
  add(background);
  m_backgroundIndex = static_cast<int>(std::find(table.begin(), table.end(), background & 0xFFFFFF) - table.begin());
  std::vector<PALETTEENTRY> entries;
  for (COLORREF c : table) entries.push_back(PALETTEENTRY{GetRValue(c), GetGValue(c), GetBValue(c), 0});
  palette.CreatePalette(entries.data(), static_cast<int>(entries.size()));
  if (dib.Create(&palette, width, height, m_backgroundIndex)) dc = dib.GetMemDC(nullptr);
}

CPuzzleCanvas::~CPuzzleCanvas() {
  if (dc) dib.ReleaseMemDC(dc);
}

void CPuzzleCanvas::Clear() {
  if (dc) dc->FillSolidRect(0, 0, dib.Width(), dib.Height(), m_background);
}

void CPuzzleCanvas::NoOutline() {
  if (dc) dc->SelectStockObject(NULL_PEN);
}
