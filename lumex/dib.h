// CDib: the off-screen image of the library. Usually 8 bits per pixel with a colour table
// taken from a palette, so that puzzles, tiles and buttons can all share one 256-colour palette;
// 4- and 24-bit images come from files and are converted with ConvertTo256Colors.
#pragma once

#include <cordak/object.h>
#include <platform/bitmap.h>
#include <platform/types.h>

#include <memory>

class CDC;
class CPalette;
class CRgn;
class CWnd;

#ifndef LUMEX_HAVE_BITMAPINFO
#define LUMEX_HAVE_BITMAPINFO
// The header of a device-independent bitmap, as stored in .bmp files (40 bytes).
struct BITMAPINFOHEADER {
  DWORD biSize = 40;
  LONG biWidth = 0;
  LONG biHeight = 0;
  WORD biPlanes = 1;
  WORD biBitCount = 0;
  DWORD biCompression = 0;
  DWORD biSizeImage = 0;
  LONG biXPelsPerMeter = 0;
  LONG biYPelsPerMeter = 0;
  DWORD biClrUsed = 0;
  DWORD biClrImportant = 0;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

// Header and a full colour table (1064 bytes).
struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[256];
};
static_assert(sizeof(BITMAPINFO) == 1064);
#endif

class CDib : public CBitmap, public CUObject {
 public:
  // The 16 standard colours: the 8 dark ones, then the 8 bright ones.
  static const PALETTEENTRY cm_peWindows[16];

  CDib();
  CDib(CDib& other);
  CDib& operator=(CDib& other);
  ~CDib() override;

  // The palette images are mapped onto when they are loaded without one of their own.
  static CPalette* GetGlobalPalette();
  static void SetGlobalPalette(CPalette* palette);

  // A new 8-bit image of width x height with pal's colours, every pixel byte set to fill.
  // 0 when pal is null or empty, or the size is impossible; the old image is then kept.
  int Create(CPalette* pal, int width, int height, int fill = 254);
  int Create(CDib& other, int width, int height, int fill = 254);

  // A .bmp file, or a bitmap resource of a module (null: the program). 8-bit images are mapped
  // to their palette, else to the global palette. 0 (image unchanged) when nothing loads.
  int Load(char const* path);
  int Load(HINSTANCE module, int id);
  int Load(HINSTANCE module, char const* name);
  // Takes over the pixels of an existing bitmap (a CBitmap handle); the other is left empty.
  int Load(void* bitmapHandle);
  // Loads a BMP held in memory (file or packed DIB).
  int LoadFromMemory(const BYTE* data, std::size_t size);

  BOOL DeleteObject() override;
  BOOL CreateCompatibleBitmap(CDC* dc, int width, int height) override;

  int Width() const { return m_bm.bmWidth; }
  int Height() const { return m_bm.bmHeight; }
  BYTE* GetBits() { return static_cast<BYTE*>(m_bm.bmBits); }
  CPalette* GetPalette() const { return m_palette; }
  void SetPalette(CPalette* palette) { m_palette = palette; }
  using CBitmap::GetColorTable;
  // The colour table (null for 24-bit images). Change it only through SetColorTable.
  const RGBQUAD* GetColorTable() const { return ColorTable(); }
  // (0, 0, width - 1, height - 1): right and bottom are the last pixel.
  void GetRect(CRect* rect) const;
  const BITMAP& GetBitmapHeader() const { return m_bm; }

  int StorageWidth() const;
  // The first byte of pixel (x, y), y from the top (for 4-bit images the byte holding it).
  // No range check: callers stay inside the image.
  BYTE* GetPixelAddress(int x, int y);

  int GetPixel(int x, int y, unsigned char& index);
  int GetPixel(int x, int y, unsigned long& colour);
  int GetPixel(CPoint p, unsigned char& index) { return GetPixel(p.x, p.y, index); }
  int GetPixel(CPoint p, unsigned long& colour) { return GetPixel(p.x, p.y, colour); }
  // The same for a COLORREF variable.
  int GetPixel(int x, int y, COLORREF& colour);
  int GetPixel(CPoint p, COLORREF& colour) { return GetPixel(p.x, p.y, colour); }
  void SetBit(int x, int y, unsigned char index);
  void SetBits(int index);
  int HitTest(CPoint p, int index);
  int HitTest(CPoint p, unsigned long colour);
  int HitTest(CPoint p, COLORREF colour) { return HitTest(p, static_cast<unsigned long>(colour)); }

  // Copies a block of 8-bit pixels into dest; w or h 0 means to the source's edge. The block is
  // cut to both images. Source bytes equal to a non-zero transparent are skipped. Returns 1
  // when something was copied.
  int CopyBits(CDib* dest, int sx, int sy, int w, int h, int dx, int dy,
               unsigned char transparent = 0);
  // This image becomes the part r (right and bottom exclusive) of src, with src's palette.
  int Copy(CDib& src, CRect& r);

  void Draw(CDC* dc, CPoint at, CRect* part = nullptr);
  void Draw(CDC* dc, CPoint at, int w, int h);
  // A one-pixel frame: left and top in c1 when raised (c2 otherwise), right and bottom in the
  // other colour. As with lines, the end points are left out, so the bottom-left and
  // the pixel left of the top-right corner stay as they were.
  static void Draw3DRect(CDC* dc, int x, int y, int w, int h, int raised, unsigned long c1,
                         unsigned long c2);
  static void Draw3DRect(CDC* dc, CRect& r, int raised, unsigned long c1, unsigned long c2);
  static void Draw3DRect(CDC* dc, CPoint p, int w, int h, int raised, unsigned long c1,
                         unsigned long c2);
  // Repeats the image from the context's origin until it covers r's width and height.
  void Tile(CDC* dc, CRect& r);
  void Tile(CDC* dc, CWnd* wnd);

  // A memory context with this image selected; give it back with ReleaseMemDC.
  CDC* GetMemDC(CDC* reference);
  void ReleaseMemDC(CDC* dc);

  int ConvertTo256Colors(CPalette& pal);
  int MapColorsToPalette(CPalette* pal, int setPalette);
  int CreatePalette(CPalette& pal, int setPalette);
  BITMAPINFO* GetBitmapInfo();

  void Write(CUBuffer& buffer) override;
  // The image as a .bmp file. The old file is replaced only once the new one is complete.
  int Save(char const* path);
  // The image as .bmp file bytes (what Write and Save store).
  std::vector<BYTE> EncodeBmp() const;

  // A region covering every pixel whose index differs from index (8-bit images).
  int CreateRegion(CRgn& rgn, int index);
  // Red, green and blue of every pixel, rows in memory order (bottom row first). Each array
  // needs Width() * Height() bytes. 0 for depths other than 4, 8 and 24.
  int FillRGBArrays(unsigned char* r, unsigned char* g, unsigned char* b);

 private:
  void UpdateHeader();
  int AdoptImage(CBitmap& image);
  int MapLoadedColors();
  COLORREF TableColor(int index) const;
  void CopyImageFrom(CDib& other);

  BITMAP m_bm{};
  CPalette* m_palette = nullptr;
  std::unique_ptr<BITMAPINFO> m_info;
  static CPalette* cm_pPalette;
};
