#include "pngwriter.h"

#include <platform/bitmap.h>
#include <platform/image32.h>

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// libpng reports errors by longjmp; nothing with a destructor may live between setjmp and
// the calls that can fail, so the rows and palette are prepared before. An empty palette
// writes RGB rows.
bool EncodePng(std::FILE* out, int width, int height, const std::vector<png_color>& palette,
               const std::vector<png_bytep>& rows) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, out);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               palette.empty() ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
  png_write_info(png, info);
  png_write_image(png, const_cast<png_bytepp>(rows.data()));
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

std::string WriteRows(const char* path, int width, int height, const std::vector<png_color>& palette,
                      const std::vector<png_bytep>& rows) {
  const std::string temporary = std::string(path) + ".tmp-png";
  std::FILE* out = std::fopen(temporary.c_str(), "wb");
  if (!out) return std::string("cannot write ") + path + ": " + std::strerror(errno);
  bool ok = EncodePng(out, width, height, palette, rows);
  ok = (std::fflush(out) == 0) && ok;
  ok = (std::fclose(out) == 0) && ok;
  if (!ok || std::rename(temporary.c_str(), path) != 0) {
    const std::string reason = std::string("cannot write ") + path + ": " + std::strerror(errno);
    std::remove(temporary.c_str());
    return reason;
  }
  return {};
}

}  // namespace

std::string WriteIndexedPng(const CBitmap& image, const char* path) {
  if (image.BitsPerPixel() != 8 || !image.Bits()) return "the image is not an 8-bit bitmap";
  const int width = image.Width();
  const int height = image.Height();

  std::vector<png_color> palette;
  for (int i = 0; i < image.ColorTableSize(); ++i) {
    const RGBQUAD& q = image.ColorTable()[i];
    palette.push_back(png_color{q.rgbRed, q.rgbGreen, q.rgbBlue});
  }
  if (palette.empty()) palette.push_back(png_color{0, 0, 0});
  // Every index must name a colour; pixels beyond the table are shown as its last entry.
  std::vector<std::vector<png_byte>> pixels(height, std::vector<png_byte>(width));
  const int last = static_cast<int>(palette.size()) - 1;
  std::vector<png_bytep> rows(height);
  for (int y = 0; y < height; ++y) {
    const BYTE* src = image.RowAddress(y);
    for (int x = 0; x < width; ++x) pixels[y][x] = static_cast<png_byte>(src[x] > last ? last : src[x]);
    rows[y] = pixels[y].data();
  }

  return WriteRows(path, width, height, palette, rows);
}

std::string WriteRgbPng(const CImage32& image, const char* path) {
  if (image.IsEmpty()) return "the image is empty";
  const int width = image.Width(), height = image.Height();
  std::vector<std::vector<png_byte>> pixels(height, std::vector<png_byte>(static_cast<std::size_t>(width) * 3));
  std::vector<png_bytep> rows(height);
  for (int y = 0; y < height; ++y) {
    const std::uint32_t* src = image.Row(y);
    png_byte* to = pixels[y].data();
    for (int x = 0; x < width; ++x) {
      to[3 * x] = static_cast<png_byte>(src[x] >> 16);
      to[3 * x + 1] = static_cast<png_byte>(src[x] >> 8);
      to[3 * x + 2] = static_cast<png_byte>(src[x]);
    }
    rows[y] = pixels[y].data();
  }
  return WriteRows(path, width, height, {}, rows);
}
