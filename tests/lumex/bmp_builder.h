// Builds BMP files of every kind the reader accepts, so tests can make good and bad ones.
#pragma once

#include <platform/types.h>

#include <cstdint>
#include <vector>

struct BmpSpec {
  std::uint32_t headerSize = 40;
  int width = 1;
  int height = 1;  // negative for top-down rows
  int bitCount = 8;
  std::uint32_t compression = 0;
  std::uint32_t colorsUsed = 0;
  std::uint32_t compressedSize = 0;
  std::vector<RGBQUAD> colors;
  std::vector<std::uint32_t> masks;  // written after a 40-byte header, or inside a larger one
  std::vector<BYTE> pixels;          // exactly as they go into the file
  bool fileHeader = true;
};

inline void PutLE(std::vector<BYTE>& out, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(BYTE(v >> (8 * i)));
}

inline std::vector<BYTE> BuildBmp(const BmpSpec& s) {
  std::vector<BYTE> info;
  PutLE(info, s.headerSize, 4);
  if (s.headerSize == 12) {
    PutLE(info, std::uint32_t(s.width), 2);
    PutLE(info, std::uint32_t(s.height), 2);
    PutLE(info, 1, 2);
    PutLE(info, std::uint32_t(s.bitCount), 2);
  } else {
    PutLE(info, std::uint32_t(s.width), 4);
    PutLE(info, std::uint32_t(s.height), 4);
    PutLE(info, 1, 2);
    PutLE(info, std::uint32_t(s.bitCount), 2);
    PutLE(info, s.compression, 4);
    PutLE(info, s.compressedSize, 4);
    PutLE(info, 2835, 4);
    PutLE(info, 2835, 4);
    PutLE(info, s.colorsUsed, 4);
    PutLE(info, 0, 4);
    for (std::uint32_t m : s.masks) PutLE(info, m, 4);
    while (info.size() < s.headerSize) info.push_back(0);
  }
  for (const RGBQUAD& c : s.colors) {
    info.push_back(c.rgbBlue);
    info.push_back(c.rgbGreen);
    info.push_back(c.rgbRed);
    if (s.headerSize != 12) info.push_back(0);
  }
  std::vector<BYTE> out;
  if (s.fileHeader) {
    out.push_back('B');
    out.push_back('M');
    PutLE(out, std::uint32_t(14 + info.size() + s.pixels.size()), 4);
    PutLE(out, 0, 4);
    PutLE(out, std::uint32_t(14 + info.size()), 4);
  }
  out.insert(out.end(), info.begin(), info.end());
  out.insert(out.end(), s.pixels.begin(), s.pixels.end());
  return out;
}

inline std::vector<RGBQUAD> GreyTable(int n) {
  std::vector<RGBQUAD> t(n);
  for (int i = 0; i < n; ++i) t[i] = RGBQUAD{BYTE(i), BYTE(i), BYTE(i), 0};
  return t;
}
