// Reading and writing Windows BMP images held in memory. This is the only code that parses
// bitmap files; everything it reads may be damaged or hostile, so every size is checked
// against the bytes that are really there before anything is read or allocated.
#pragma once

#include <platform/types.h>

#include <cstddef>
#include <vector>

// A decoded image in the layout of a DIB section: rows bottom-up, each padded to 4 bytes.
// Decoding keeps three depths: 4 bits (4-bit and RLE4 files), 8 bits (1-bit, 8-bit and RLE8
// files, a 1-bit image becoming indices 0 and 1) and 24 bits (16-, 24- and 32-bit files).
struct BmpImage {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;
  std::vector<RGBQUAD> colors;  // colour table: 16 entries for 4 bits, 256 for 8, none for 24
  std::vector<BYTE> bits;       // height rows of RowBytes(width, bitsPerPixel) bytes

  int Stride() const;
};

// Largest width or height accepted, and largest pixel memory of a decoded image.
constexpr int kBmpMaxDimension = 32767;
constexpr std::size_t kBmpMaxPixelBytes = std::size_t(64) << 20;

// Bytes of one stored pixel row: the row's bits rounded up to a multiple of 4 bytes.
int BmpRowBytes(int width, int bitsPerPixel);

// A whole .bmp file ("BM", file header, info header, colour table, pixels). Returns 1 and
// fills image on success; 0 (image untouched) for anything that is not a complete, consistent
// BMP of a supported kind.
int DecodeBmpFile(const BYTE* data, std::size_t size, BmpImage& image);

// A packed DIB: info header, colour table and pixels with no file header, as bitmaps are kept
// in a module's resources.
int DecodePackedDib(const BYTE* data, std::size_t size, BmpImage& image);

// Either form, told apart by the leading "BM".
int DecodeBmp(const BYTE* data, std::size_t size, BmpImage& image);

// Appends a BMP file with a 40-byte info header and a 256-entry colour table (entries past
// colors' size are zero), pixel data at offset 1078, rows bottom-up as given in bits
// (height rows of BmpRowBytes(width, bitsPerPixel) bytes).
void AppendBmpFile(std::vector<BYTE>& out, int width, int height, int bitsPerPixel,
                   const RGBQUAD* colors, int colorCount, const BYTE* bits);
