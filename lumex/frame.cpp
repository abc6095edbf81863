#include <lumex/frame.h>

#include <lumex/dib.h>

#include <cordak/buffer.h>

#include <algorithm>
#include <cstdint>

namespace {

constexpr BYTE kClear = CFrame::cm_transparent;

// Appends a run of n (>= 1) pixels as 255-pixel pieces followed by the rest, each piece
// written by put(length, offset).
template <typename Put>
void SplitRun(int n, Put put) {
  int offset = 0;
  for (int blocks = (n - 1) / 255; blocks > 0; --blocks, offset += 255) put(255, offset);
  put((n - 1) % 255 + 1, offset);
}

int RunLength(const BYTE* pixels, int from, int width, bool transparent) {
  int end = from;
  while (end < width && (pixels[end] == kClear) == transparent) ++end;
  return end - from;
}

// Where decoded pixels of one row go: clipped to the destination image, mirrored or not.
class RowWriter {
 public:
  RowWriter(BYTE* row, int left, int frameWidth, int destWidth, bool mirrored)
      : row_(row), left_(left), frameWidth_(frameWidth), destWidth_(destWidth),
        mirrored_(mirrored) {}

  void Put(int i, BYTE index) const {
    if (!row_ || i >= frameWidth_) return;
    std::int64_t x = mirrored_ ? std::int64_t(left_) + frameWidth_ - 1 - i : std::int64_t(left_) + i;
    if (x >= 0 && x < destWidth_) row_[x] = index;
  }

 private:
  BYTE* row_;  // null when the row lies outside the destination
  int left_, frameWidth_, destWidth_;
  bool mirrored_;
};

// Decoders read one row from data at pos; they never read past size, and a damaged row
// simply ends early.
void DecodeMappedRow(const std::vector<BYTE>& data, std::size_t& pos, int width,
                     const RowWriter& out, const BYTE* colourMap) {
  for (int i = 0; i < width && pos < data.size();) {
    BYTE b = data[pos++];
    if (b == kClear) {
      if (pos >= data.size()) return;
      i += data[pos++];
      continue;
    }
    BYTE mapped = colourMap[b];
    if (mapped != kClear) out.Put(i, mapped);
    ++i;
  }
}

void DecodeUnmappedRow(const std::vector<BYTE>& data, std::size_t& pos, int width,
                       const RowWriter& out) {
  for (int i = 0; i < width && pos + 1 < data.size();) {
    int count = data[pos++];
    if (data[pos] == kClear) {
      ++pos;
      i += count;
      continue;
    }
    for (int k = 0; k < count && pos < data.size(); ++k, ++i) out.Put(i, data[pos++]);
  }
}

bool ClipToImage(CDib* dib, const CRect& r, CRect& area) {
  if (!dib || dib->BitsPerPixel() != 8 || !dib->GetBits()) return false;
  area = CRect(std::max<LONG>(r.left, 0), std::max<LONG>(r.top, 0),
               std::min<LONG>(r.right, dib->Width() - 1), std::min<LONG>(r.bottom, dib->Height() - 1));
  return area.left <= area.right && area.top <= area.bottom;
}

// Copies src into a new transparent image shifted per row by shift(y), y from the top.
template <typename Shift>
int Shear(CDib& src, CDib& dest, Shift shift) {
  if (&src == &dest || src.BitsPerPixel() != 8 || !src.GetBits()) return 0;
  int extra = (src.Height() - 1) / 2;
  CDib sheared;
  if (!sheared.Create(src, src.Width() + extra, src.Height(), kClear)) return 0;
  for (int y = 0; y < src.Height(); ++y)
    src.CopyBits(&sheared, 0, y, src.Width(), 1, shift(y), y, kClear);
  dest = sheared;
  return dest.GetBits() ? 1 : 0;
}

}  // namespace

void EncodeMappedRow(const BYTE* pixels, int width, std::vector<BYTE>& out) {
  for (int x = 0; x < width;) {
    if (pixels[x] != kClear) {
      out.push_back(pixels[x++]);
      continue;
    }
    int n = RunLength(pixels, x, width, true);
    SplitRun(n, [&](int length, int) {
      out.push_back(kClear);
      out.push_back(BYTE(length));
    });
    x += n;
  }
}

void EncodeUnmappedRow(const BYTE* pixels, int width, std::vector<BYTE>& out) {
  for (int x = 0; x < width;) {
    bool transparent = pixels[x] == kClear;
    int n = RunLength(pixels, x, width, transparent);
    SplitRun(n, [&](int length, int offset) {
      out.push_back(BYTE(length));
      if (transparent) {
        out.push_back(kClear);
      } else {
        out.insert(out.end(), pixels + x + offset, pixels + x + offset + length);
      }
    });
    x += n;
  }
}

int CFrame::Create(CDib* dib) {
  if (!dib) return 0;
  CRect whole;
  dib->GetRect(&whole);
  return Encode(dib, whole, true);
}

int CFrame::Create(CDib* dib, CRect& r) { return Encode(dib, r, true); }

int CFrame::CreateUnmapped(CDib* dib) {
  if (!dib) return 0;
  CRect whole;
  dib->GetRect(&whole);
  return Encode(dib, whole, false);
}

int CFrame::CreateUnmapped(CDib* dib, CRect& r) { return Encode(dib, r, false); }

int CFrame::Encode(CDib* dib, const CRect& r, bool mapped) {
  CRect area;
  if (!ClipToImage(dib, r, area)) return 0;
  int width = area.right - area.left + 1;
  std::vector<BYTE> data;
  data.reserve(std::size_t(2) * width * (area.bottom - area.top + 1));
  for (int y = area.bottom; y >= area.top; --y) {
    const BYTE* row = dib->GetPixelAddress(area.left, y);
    if (mapped) EncodeMappedRow(row, width, data);
    else EncodeUnmappedRow(row, width, data);
  }
  m_width = WORD(width);
  m_height = WORD(area.bottom - area.top + 1);
  m_data = std::move(data);
  return 1;
}

void CFrame::Draw(CDib* dest, CPoint at, int mirrored, unsigned char* colourMap) {
  if (!dest || dest->BitsPerPixel() != 8 || !dest->GetBits() || m_data.empty()) return;
  // Nothing to do when the frame lies wholly outside the image.
  if (std::int64_t(at.x) + m_width <= 0 || at.x >= dest->Width() ||
      std::int64_t(at.y) + m_height <= 0 || at.y >= dest->Height())
    return;
  std::size_t pos = 0;
  for (int k = 0; k < m_height && pos < m_data.size(); ++k) {
    std::int64_t y = std::int64_t(at.y) + m_height - 1 - k;
    BYTE* row = y >= 0 && y < dest->Height() ? dest->GetPixelAddress(0, int(y)) : nullptr;
    RowWriter out(row, at.x, m_width, dest->Width(), mirrored != 0);
    if (colourMap) DecodeMappedRow(m_data, pos, m_width, out, colourMap);
    else DecodeUnmappedRow(m_data, pos, m_width, out);
  }
}

void CFrame::AddOutline(CDib* dib, CRect& r, unsigned char outline) {
  CRect area;
  if (!ClipToImage(dib, r, area)) return;
  // Decide from the image as it was, so new outline pixels do not grow further outlines.
  CDib before(*dib);
  auto opaque = [&](int x, int y) {
    unsigned char index = kClear;
    return before.GetPixel(x, y, index) && index != kClear;
  };
  for (int y = area.top; y <= area.bottom; ++y)
    for (int x = area.left; x <= area.right; ++x) {
      if (*dib->GetPixelAddress(x, y) != kClear) continue;
      if (opaque(x - 1, y) || opaque(x + 1, y) || opaque(x, y - 1) || opaque(x, y + 1))
        *dib->GetPixelAddress(x, y) = outline;
    }
}

int CFrame::SlantLeft(CDib& src, CDib& dest) {
  return Shear(src, dest, [](int y) { return y / 2; });
}

int CFrame::SkewRight(CDib& src, CDib& dest) {
  int last = src.Height() - 1;
  return Shear(src, dest, [last](int y) { return (last - y) / 2; });
}

void CFrame::Read(CUBuffer& buffer) {
  constexpr int kHeaderBytes = 8, kExtraBytes = 2;
  if (buffer.GetSize() - buffer.GetOffset() < kHeaderBytes + kExtraBytes) return;
  unsigned short width = 0, height = 0, extra = 0;
  int size = 0;
  buffer >> width >> height >> size;
  if (size < 0 || size > buffer.GetSize() - buffer.GetOffset() - kExtraBytes) return;
  std::vector<BYTE> data(static_cast<std::size_t>(size));
  if (size > 0) buffer.Read(data.data(), size);
  buffer >> extra;
  m_width = width;
  m_height = height;
  m_data = std::move(data);
  m_extra = extra;
}

void CFrame::Write(CUBuffer& buffer) {
  buffer << static_cast<unsigned short>(m_width) << static_cast<unsigned short>(m_height)
         << static_cast<int>(m_data.size());
  if (!m_data.empty()) buffer.Write(m_data.data(), static_cast<int>(m_data.size()));
  buffer << static_cast<unsigned short>(m_extra);
}
