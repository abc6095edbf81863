// Feeds arbitrary bytes to the bitmap loader, then uses whatever loaded the way the program
// does: converts it to a palette, writes it back out, and encodes and draws it as a frame.
#include <lumex/lumex.h>
#include <platform/palette.h>

#include <cstddef>
#include <cstdint>

namespace {

CPalette& SharedPalette() {
  static CPalette palette;
  if (!palette.GetSafeHandle()) {
    PALETTEENTRY entries[256];
    for (int i = 0; i < 256; ++i)
      entries[i] = PALETTEENTRY{BYTE(i), BYTE((i * 7) & 0xFF), BYTE(255 - i), 0};
    palette.CreatePalette(entries, 256);
  }
  return palette;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CDib dib;
  if (!dib.LoadFromMemory(data, size)) return 0;
  if (dib.Width() * dib.Height() > 512 * 512) return 0;  // enough was checked by loading
  if (!dib.ConvertTo256Colors(SharedPalette())) return 0;
  std::vector<BYTE> again = dib.EncodeBmp();
  CDib reloaded;
  if (!reloaded.LoadFromMemory(again.data(), again.size())) __builtin_trap();

  CFrame mapped, unmapped;
  mapped.Create(&dib);
  unmapped.CreateUnmapped(&dib);
  CDib target;
  target.Create(&SharedPalette(), 17, 9, 0);
  BYTE identity[256];
  for (int i = 0; i < 256; ++i) identity[i] = BYTE(i);
  mapped.Draw(&target, CPoint(-3, -2), 1, identity);
  unmapped.Draw(&target, CPoint(5, 4), 0, nullptr);
  return 0;
}
