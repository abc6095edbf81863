// CFrame: a run-length-encoded copy of an area of an 8-bit image in which index 254 is
// transparent. Frames are small sprites (arrows, markers, digits) drawn into a CDib at any
// position, mirrored or not, optionally through a colour map.
//
// Rows are stored bottom row first, each covering exactly the frame's width. Two encodings:
//   mapped (Create):          an opaque pixel is its index byte; n transparent pixels are
//                             the pair 254, n
//   unmapped (CreateUnmapped): m opaque pixels are m followed by the m indices; n transparent
//                             pixels are the pair n, 254
// Runs longer than 255 are split into 255-pixel runs followed by the rest. A frame does not
// know which encoding it holds: mapped frames are drawn with a colour map, unmapped ones
// without.
#pragma once

#include <cordak/object.h>
#include <platform/types.h>

#include <vector>

class CDib;

class CFrame : public CUObject {
 public:
  static constexpr BYTE cm_transparent = 254;

  CFrame() = default;
  ~CFrame() override = default;

  // Encodes the whole image, or the area r (inclusive: right and bottom are the last pixel, as
  // CDib::GetRect gives them). The area is cut to the image; 0 (frame unchanged) when nothing
  // is left or the image is not 8-bit.
  int Create(CDib* dib);
  int Create(CDib* dib, CRect& r);
  int CreateUnmapped(CDib* dib);
  int CreateUnmapped(CDib* dib, CRect& r);

  // Draws the frame with its top-left corner at `at`. Pixels outside dest are not written.
  // With colourMap (mapped frames), an opaque index i is drawn as colourMap[i], and not at all
  // when that is 254. Unmapped frames are drawn with a null map.
  void Draw(CDib* dest, CPoint at, int mirrored = 0, unsigned char* colourMap = nullptr);

  // Image effects on index-254 backgrounds.
  // Every transparent pixel of the area r (inclusive) next to an opaque one, left, right, above
  // or below, takes the outline index.
  static void AddOutline(CDib* dib, CRect& r, unsigned char outline = 0);
  // dest becomes src sheared by half a pixel per row on a transparent background, wider by
  // (height - 1) / 2: SlantLeft moves the top rows left, SkewRight moves them right.
  static int SlantLeft(CDib& src, CDib& dest);
  static int SkewRight(CDib& src, CDib& dest);

  int Width() const { return m_width; }
  int Height() const { return m_height; }
  WORD GetExtra() const { return m_extra; }
  void SetExtra(WORD extra) { m_extra = extra; }
  const std::vector<BYTE>& GetData() const { return m_data; }

  // Width (2 bytes), height (2), data size (4), the data, extra (2). A damaged record
  // (negative size, or fewer bytes in the buffer than it needs) leaves the frame as it was.
  void Read(CUBuffer& buffer) override;
  void Write(CUBuffer& buffer) override;

 private:
  int Encode(CDib* dib, const CRect& r, bool mapped);

  WORD m_width = 0;
  WORD m_height = 0;
  std::vector<BYTE> m_data;
  WORD m_extra = 0;
};

// One row of pixels in either encoding, appended to out.
void EncodeMappedRow(const BYTE* pixels, int width, std::vector<BYTE>& out);
void EncodeUnmappedRow(const BYTE* pixels, int width, std::vector<BYTE>& out);
