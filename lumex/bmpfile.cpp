#include <lumex/bmpfile.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

// Compression codes of the info header.
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::uint32_t kBiAlphaBitfields = 6;

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kCoreHeaderSize = 12;
constexpr std::size_t kInfoHeaderSize = 40;
// Info header sizes we read: the plain one, the two with colour masks, V4 and V5.
constexpr std::uint32_t kKnownInfoSizes[] = {40, 52, 56, 108, 124};

constexpr std::uint32_t kWrittenPixelOffset = 14 + 40 + 256 * 4;  // 1078

std::uint16_t U16(const BYTE* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t U32(const BYTE* p) {
  return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
         (std::uint32_t(p[3]) << 24);
}

void PutU16(std::vector<BYTE>& out, unsigned v) {
  out.push_back(BYTE(v));
  out.push_back(BYTE(v >> 8));
}
void PutU32(std::vector<BYTE>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(BYTE(v >> (8 * i)));
}

// What the info header says, checked for sense but not yet against the data.
struct DibHeader {
  std::size_t headerSize = 0;
  int width = 0;
  int height = 0;      // always positive
  bool topDown = false;
  int bitCount = 0;
  std::uint32_t compression = kBiRgb;
  std::uint32_t compressedSize = 0;
  int tableEntries = 0;  // colour table entries stored in the file
  int tableEntrySize = 4;
  std::size_t maskBytes = 0;  // masks stored after a 40-byte header
  std::uint32_t masks[3] = {0, 0, 0};
};

bool IsKnownInfoSize(std::uint32_t size) {
  return std::find(std::begin(kKnownInfoSizes), std::end(kKnownInfoSizes), size) !=
         std::end(kKnownInfoSizes);
}

bool CompressionFits(const DibHeader& h) {
  switch (h.compression) {
    case kBiRgb:
      return h.bitCount == 1 || h.bitCount == 4 || h.bitCount == 8 || h.bitCount == 16 ||
             h.bitCount == 24 || h.bitCount == 32;
    case kBiRle8: return h.bitCount == 8 && !h.topDown;
    case kBiRle4: return h.bitCount == 4 && !h.topDown;
    case kBiBitfields:
    case kBiAlphaBitfields: return h.bitCount == 16 || h.bitCount == 32;
    default: return false;
  }
}

int OutputDepth(int bitCount) {
  if (bitCount == 4) return 4;
  if (bitCount <= 8) return 8;
  return 24;
}

void SetDefaultMasks(DibHeader& h) {
  if (h.bitCount == 16) {
    h.masks[0] = 0x7C00; h.masks[1] = 0x03E0; h.masks[2] = 0x001F;
  } else {
    h.masks[0] = 0xFF0000; h.masks[1] = 0x00FF00; h.masks[2] = 0x0000FF;
  }
}

// Reads the header at data[0..size). False for anything we do not read or that makes no sense.
bool ParseHeader(const BYTE* data, std::size_t size, DibHeader& h) {
  if (size < 4) return false;
  std::uint32_t headerSize = U32(data);
  std::int64_t width = 0, height = 0;
  std::uint32_t colorsUsed = 0;
  if (headerSize == kCoreHeaderSize) {
    if (size < kCoreHeaderSize) return false;
    width = U16(data + 4);
    height = U16(data + 6);
    h.bitCount = U16(data + 10);
    h.tableEntrySize = 3;
  } else if (IsKnownInfoSize(headerSize)) {
    if (size < headerSize) return false;
    width = static_cast<std::int32_t>(U32(data + 4));
    height = static_cast<std::int32_t>(U32(data + 8));
    h.bitCount = U16(data + 14);
    h.compression = U32(data + 16);
    h.compressedSize = U32(data + 20);
    colorsUsed = U32(data + 32);
  } else {
    return false;
  }
  h.headerSize = headerSize;
  h.topDown = height < 0;
  height = height < 0 ? -height : height;
  if (width <= 0 || height <= 0 || width > kBmpMaxDimension || height > kBmpMaxDimension)
    return false;
  h.width = static_cast<int>(width);
  h.height = static_cast<int>(height);
  if (!CompressionFits(h)) return false;

  if (h.bitCount <= 8) {
    std::uint32_t full = 1u << h.bitCount;
    if (colorsUsed > full) return false;
    h.tableEntries = static_cast<int>(colorsUsed ? colorsUsed : full);
  } else {
    // True-colour images may carry a table of suggested colours; we skip it.
    if (colorsUsed > 256) return false;
    h.tableEntries = static_cast<int>(colorsUsed);
  }

  SetDefaultMasks(h);
  if (h.compression == kBiBitfields || h.compression == kBiAlphaBitfields) {
    if (headerSize >= 52) {
      for (int i = 0; i < 3; ++i) h.masks[i] = U32(data + 40 + 4 * i);
    } else {
      h.maskBytes = h.compression == kBiAlphaBitfields ? 16 : 12;
      if (size < headerSize + h.maskBytes) return false;
      for (int i = 0; i < 3; ++i) h.masks[i] = U32(data + headerSize + 4 * i);
    }
  }
  return std::size_t(BmpRowBytes(h.width, OutputDepth(h.bitCount))) * std::size_t(h.height) <=
         kBmpMaxPixelBytes;
}

// Colour table entries that lie between the header and the pixel data; missing ones stay black.
void ReadColorTable(const BYTE* data, std::size_t tableStart, std::size_t tableEnd,
                    const DibHeader& h, BmpImage& image) {
  int outEntries = OutputDepth(h.bitCount) == 4 ? 16 : OutputDepth(h.bitCount) == 8 ? 256 : 0;
  image.colors.assign(outEntries, RGBQUAD{});
  int entries = std::min(h.tableEntries, outEntries);
  for (int i = 0; i < entries; ++i) {
    std::size_t at = tableStart + std::size_t(i) * h.tableEntrySize;
    if (at + h.tableEntrySize > tableEnd) break;
    image.colors[i] = RGBQUAD{data[at], data[at + 1], data[at + 2], 0};
  }
}

// One channel of a masked pixel value, scaled to 0..255.
BYTE MaskedChannel(std::uint32_t value, std::uint32_t mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (((mask >> shift) & 1) == 0) ++shift;
  std::uint32_t max = mask >> shift;
  std::uint32_t v = (value & mask) >> shift;
  return static_cast<BYTE>((std::uint64_t(v) * 255 + max / 2) / max);
}

void ConvertRow(const BYTE* src, BYTE* dst, const DibHeader& h) {
  switch (h.bitCount) {
    case 1:
      for (int x = 0; x < h.width; ++x) dst[x] = (src[x >> 3] >> (7 - (x & 7))) & 1;
      break;
    case 4: std::memcpy(dst, src, std::size_t(h.width + 1) / 2); break;
    case 8: std::memcpy(dst, src, std::size_t(h.width)); break;
    case 24: std::memcpy(dst, src, std::size_t(h.width) * 3); break;
    default: {
      int bytes = h.bitCount / 8;
      for (int x = 0; x < h.width; ++x) {
        std::uint32_t v = bytes == 2 ? U16(src + 2 * x) : U32(src + 4 * x);
        dst[3 * x] = MaskedChannel(v, h.masks[2]);
        dst[3 * x + 1] = MaskedChannel(v, h.masks[1]);
        dst[3 * x + 2] = MaskedChannel(v, h.masks[0]);
      }
    }
  }
}

bool DecodeUncompressed(const BYTE* pixels, std::size_t available, const DibHeader& h,
                        BmpImage& image) {
  std::size_t srcStride = std::size_t(BmpRowBytes(h.width, h.bitCount));
  if (srcStride * std::size_t(h.height) > available) return false;
  int dstStride = image.Stride();
  for (int row = 0; row < h.height; ++row) {
    int stored = h.topDown ? h.height - 1 - row : row;  // keep the bottom row first
    ConvertRow(pixels + srcStride * row, image.bits.data() + std::size_t(dstStride) * stored, h);
  }
  return true;
}

// Run-length decoding of 8- and 4-bit images. Pixels that land outside the image are dropped;
// running out of data before the end marker (with rows still to come) is a damaged file.
class RleDecoder {
 public:
  RleDecoder(const BYTE* data, std::size_t size, BmpImage& image, int bitsPerPixel)
      : data_(data), size_(size), image_(image), nibbles_(bitsPerPixel == 4) {}

  bool Run() {
    while (pos_ + 2 <= size_) {
      BYTE count = data_[pos_], value = data_[pos_ + 1];
      pos_ += 2;
      if (count > 0) {
        EncodedRun(count, value);
        continue;
      }
      switch (value) {
        case 0: x_ = 0; ++y_; break;
        case 1: return true;
        case 2:
          if (pos_ + 2 > size_) return false;
          Advance(data_[pos_]);
          y_ += data_[pos_ + 1];
          pos_ += 2;
          break;
        default:
          if (!AbsoluteRun(value)) return false;
      }
      if (y_ > image_.height) y_ = image_.height;  // keeps the row counter bounded
    }
    return y_ >= image_.height;
  }

 private:
  void Put(BYTE index) {
    if (x_ < image_.width && y_ < image_.height) {
      BYTE* row = image_.bits.data() + std::size_t(image_.Stride()) * y_;
      if (!nibbles_) {
        row[x_] = index;
      } else if (x_ & 1) {
        row[x_ / 2] = BYTE((row[x_ / 2] & 0xF0) | (index & 0x0F));
      } else {
        row[x_ / 2] = BYTE((row[x_ / 2] & 0x0F) | (index << 4));
      }
    }
    Advance(1);
  }
  void Advance(int n) { x_ = std::min(x_ + n, image_.width); }

  void EncodedRun(int count, BYTE value) {
    for (int i = 0; i < count && x_ < image_.width; ++i)
      Put(nibbles_ ? BYTE(i & 1 ? value & 0x0F : value >> 4) : value);
  }

  bool AbsoluteRun(int count) {
    std::size_t bytes = nibbles_ ? std::size_t(count + 1) / 2 : std::size_t(count);
    if (pos_ + bytes > size_) return false;
    for (int i = 0; i < count; ++i) {
      BYTE b = data_[pos_ + (nibbles_ ? i / 2 : i)];
      Put(nibbles_ ? BYTE(i & 1 ? b & 0x0F : b >> 4) : b);
    }
    pos_ += bytes + (bytes & 1);  // runs are padded to 16 bits
    return true;
  }

  const BYTE* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
  BmpImage& image_;
  bool nibbles_;
  int x_ = 0;
  int y_ = 0;
};

// Decodes the DIB whose header starts at data + headerAt. pixelAt is where the file header
// says the pixels are (0 when there is no file header).
int DecodeDib(const BYTE* data, std::size_t size, std::size_t headerAt, std::size_t pixelAt,
              BmpImage& out) {
  DibHeader h;
  if (headerAt > size || !ParseHeader(data + headerAt, size - headerAt, h)) return 0;

  std::size_t tableStart = headerAt + h.headerSize + h.maskBytes;
  std::size_t tableEnd = tableStart + std::size_t(h.tableEntries) * h.tableEntrySize;
  if (pixelAt == 0) pixelAt = tableEnd;
  if (pixelAt < tableStart || pixelAt > size) return 0;
  tableEnd = std::min(tableEnd, pixelAt);  // a short table: the missing entries stay black

  BmpImage image;
  image.width = h.width;
  image.height = h.height;
  image.bitsPerPixel = OutputDepth(h.bitCount);
  ReadColorTable(data, tableStart, tableEnd, h, image);
  image.bits.assign(std::size_t(image.Stride()) * h.height, 0);

  const BYTE* pixels = data + pixelAt;
  std::size_t available = size - pixelAt;
  bool ok;
  if (h.compression == kBiRle8 || h.compression == kBiRle4) {
    if (h.compressedSize > available) return 0;
    if (h.compressedSize) available = h.compressedSize;
    ok = RleDecoder(pixels, available, image, h.bitCount).Run();
  } else {
    ok = DecodeUncompressed(pixels, available, h, image);
  }
  if (!ok) return 0;
  out = std::move(image);
  return 1;
}

}  // namespace

int BmpImage::Stride() const { return BmpRowBytes(width, bitsPerPixel); }

int BmpRowBytes(int width, int bitsPerPixel) {
  return static_cast<int>(((std::int64_t(width) * bitsPerPixel + 31) / 32) * 4);
}

int DecodeBmpFile(const BYTE* data, std::size_t size, BmpImage& image) {
  if (!data || size < kFileHeaderSize + 4 || data[0] != 'B' || data[1] != 'M') return 0;
  // A file shorter than its header says has lost its tail.
  std::uint32_t fileSize = U32(data + 2);
  if (fileSize > size) return 0;
  std::uint32_t pixelAt = U32(data + 10);
  if (pixelAt != 0 && pixelAt < kFileHeaderSize + kCoreHeaderSize) return 0;
  return DecodeDib(data, size, kFileHeaderSize, pixelAt, image);
}

int DecodePackedDib(const BYTE* data, std::size_t size, BmpImage& image) {
  if (!data) return 0;
  return DecodeDib(data, size, 0, 0, image);
}

int DecodeBmp(const BYTE* data, std::size_t size, BmpImage& image) {
  if (data && size >= 2 && data[0] == 'B' && data[1] == 'M') return DecodeBmpFile(data, size, image);
  return DecodePackedDib(data, size, image);
}

void AppendBmpFile(std::vector<BYTE>& out, int width, int height, int bitsPerPixel,
                   const RGBQUAD* colors, int colorCount, const BYTE* bits) {
  std::size_t pixelBytes = std::size_t(BmpRowBytes(width, bitsPerPixel)) * std::size_t(height);
  out.reserve(out.size() + kWrittenPixelOffset + pixelBytes);
  out.push_back('B');
  out.push_back('M');
  PutU32(out, static_cast<std::uint32_t>(pixelBytes + kWrittenPixelOffset));
  PutU16(out, 0);
  PutU16(out, 0);
  PutU32(out, kWrittenPixelOffset);

  PutU32(out, kInfoHeaderSize);
  PutU32(out, static_cast<std::uint32_t>(width));
  PutU32(out, static_cast<std::uint32_t>(height));
  PutU16(out, 1);
  PutU16(out, static_cast<unsigned>(bitsPerPixel));
  for (int i = 0; i < 6; ++i) PutU32(out, 0);  // compression, sizes, resolution, colour counts

  for (int i = 0; i < 256; ++i) {
    RGBQUAD c = colors && i < colorCount ? colors[i] : RGBQUAD{};
    out.push_back(c.rgbBlue);
    out.push_back(c.rgbGreen);
    out.push_back(c.rgbRed);
    out.push_back(0);
  }
  if (bits) out.insert(out.end(), bits, bits + pixelBytes);
  else out.resize(out.size() + pixelBytes, 0);
}
