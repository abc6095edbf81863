#include <platform/text.h>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <tuple>

namespace text {
namespace {

// Code points of bytes 0x80..0x9F in Windows-1252 (0 where the byte is undefined).
const unsigned kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// Old Windows face names that have no free font of the same name, and what stands in for them.
struct Alias {
  const char* name;
  const char* family;
};
const Alias kAliases[] = {
    {"ms sans serif", "Liberation Sans"},   {"ms shell dlg", "Liberation Sans"},
    {"ms shell dlg 2", "Liberation Sans"},  {"system", "Liberation Sans"},
    {"microsoft sans serif", "Liberation Sans"}, {"ms serif", "Liberation Serif"},
    {"", "Liberation Sans"}};

// Em size in pixels when a font asks for height 0: 12 points at 96 dpi.
constexpr int kDefaultEm = 16;
constexpr int kMaxEm = 1000;

std::string Lower(const char* s) {
  std::string out(s ? s : "");
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string FamilyFor(const char* face) {
  const std::string lower = Lower(face);
  for (const Alias& a : kAliases)
    if (lower == a.name) return a.family;
  return face;
}

FT_Library Library() {
  static FT_Library library = [] {
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) != 0) lib = nullptr;
    return lib;
  }();
  return library;
}

bool Resolve(const char* face, int weight, bool italic, std::string& file, int& index) {
  // The library's own state is released at exit so leak checkers see a clean process.
  static const bool ready = [] {
    if (!FcInit()) return false;
    std::atexit(FcFini);
    return true;
  }();
  if (!ready) return false;
  const std::string family = FamilyFor(face);
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return false;
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT,
                      FcWeightFromOpenType(std::clamp(weight <= 0 ? FW_NORMAL : weight, 1, 1000)));
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return false;
  FcChar8* path = nullptr;
  bool ok = FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path;
  if (ok) {
    file = reinterpret_cast<const char*>(path);
    if (FcPatternGetInteger(match, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
  }
  FcPatternDestroy(match);
  return ok;
}

int Scale(long units, int em, int unitsPerEm) {
  return static_cast<int>(std::lround(static_cast<double>(units) * em / unitsPerEm));
}

int ScaleUp(long units, int em, int unitsPerEm) {
  return static_cast<int>(std::ceil(static_cast<double>(units) * em / unitsPerEm - 1e-9));
}

}  // namespace

unsigned CodePoint(unsigned char c) {
  if (c >= 0x80 && c < 0xA0) return kCp1252High[c - 0x80] ? kCp1252High[c - 0x80] : c;
  return c;
}

std::string ResolveFontFile(const char* face, int weight, bool italic) {
  std::string file;
  int index = 0;
  return Resolve(face, weight, italic, file, index) ? file : std::string();
}

Face::~Face() {
  if (m_face) FT_Done_Face(static_cast<FT_Face>(m_face));
}

bool Face::Open(const std::string& file, int index, const LOGFONT& lf) {
  FT_Library library = Library();
  if (!library) return false;
  FT_Face face = nullptr;
  if (FT_New_Face(library, file.c_str(), index, &face) != 0) return false;
  m_face = face;
  m_file = file;
  if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0) return false;

  const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  const int upem = face->units_per_EM;
  long winAscent = os2 ? os2->usWinAscent : face->ascender;
  long winDescent = os2 ? os2->usWinDescent : -face->descender;
  if (winAscent + winDescent <= 0) {
    winAscent = face->ascender;
    winDescent = -face->descender;
  }
  // A negative height asks for the em size, a positive one for the cell height.
  double wanted = kDefaultEm;
  if (lf.lfHeight < 0) wanted = -static_cast<double>(lf.lfHeight);
  else if (lf.lfHeight > 0) wanted = static_cast<double>(lf.lfHeight) * upem / (winAscent + winDescent);
  const int em = static_cast<int>(std::lround(std::clamp(wanted, 1.0, static_cast<double>(kMaxEm))));
  if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(em)) != 0) return false;

  const int weight = lf.lfWeight <= 0 ? FW_NORMAL : lf.lfWeight;
  m_emboldenSynth = weight >= FW_SEMIBOLD && !(face->style_flags & FT_STYLE_FLAG_BOLD);
  m_obliqueSynth = lf.lfItalic && !(face->style_flags & FT_STYLE_FLAG_ITALIC);
  m_underline = lf.lfUnderline != 0;
  m_strikeOut = lf.lfStrikeOut != 0;

  TEXTMETRIC& tm = m_metrics;
  tm.tmAscent = ScaleUp(winAscent, em, upem);
  tm.tmDescent = ScaleUp(winDescent, em, upem);
  tm.tmHeight = tm.tmAscent + tm.tmDescent;
  tm.tmInternalLeading = std::max(0, tm.tmHeight - em);
  // face->height is the font's line spacing (ascender + descender + line gap).
  tm.tmExternalLeading = std::max(0, Scale(face->height - (winAscent + winDescent), em, upem));
  tm.tmAveCharWidth = os2 && os2->xAvgCharWidth > 0 ? Scale(os2->xAvgCharWidth, em, upem)
                                                     : Scale(face->max_advance_width / 2, em, upem);
  tm.tmMaxCharWidth = Scale(face->max_advance_width, em, upem);
  tm.tmWeight = weight;
  tm.tmItalic = lf.lfItalic ? 1 : 0;
  tm.tmUnderlined = m_underline ? 1 : 0;
  tm.tmStruckOut = m_strikeOut ? 1 : 0;
  tm.tmFirstChar = 0x20;
  tm.tmLastChar = 0xFF;
  tm.tmDefaultChar = 0x1F;
  tm.tmBreakChar = 0x20;
  tm.tmPitchAndFamily = FT_IS_FIXED_WIDTH(face) ? 0 : 1;
  m_underlineOffset = std::max(1, Scale(-face->underline_position, em, upem));
  m_underlineThickness = std::max(1, Scale(face->underline_thickness, em, upem));
  if (tm.tmAveCharWidth < 1) tm.tmAveCharWidth = 1;
  return true;
}

const Glyph& Face::GlyphFor(unsigned char c) {
  Glyph& g = m_glyphs[c];
  if (g.loaded) return g;
  g.loaded = true;
  FT_Face face = static_cast<FT_Face>(m_face);
  const FT_UInt glyphIndex = FT_Get_Char_Index(face, CodePoint(c));
  if (FT_Load_Glyph(face, glyphIndex, FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO) != 0) return g;
  FT_GlyphSlot slot = face->glyph;
  if (m_obliqueSynth) FT_GlyphSlot_Oblique(slot);
  if (m_emboldenSynth) FT_GlyphSlot_Embolden(slot);
  g.advance = static_cast<int>((slot->advance.x + 32) >> 6);
  if (FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0) return g;
  const FT_Bitmap& bm = slot->bitmap;
  g.left = slot->bitmap_left;
  g.top = slot->bitmap_top;
  g.width = static_cast<int>(bm.width);
  g.height = static_cast<int>(bm.rows);
  g.mask.assign(static_cast<std::size_t>(g.width) * g.height, 0);
  for (int y = 0; y < g.height; ++y) {
    const unsigned char* row = bm.buffer + static_cast<std::ptrdiff_t>(y) * bm.pitch;
    for (int x = 0; x < g.width; ++x) {
      const bool on = bm.pixel_mode == FT_PIXEL_MODE_MONO ? (row[x >> 3] >> (7 - (x & 7))) & 1
                                                          : row[x] >= 128;
      g.mask[static_cast<std::size_t>(y) * g.width + x] = on ? 1 : 0;
    }
  }
  return g;
}

int Face::Width(const char* s, int length) {
  long long width = 0;
  for (int i = 0; i < length; ++i) width += Advance(static_cast<unsigned char>(s[i]));
  return static_cast<int>(std::min<long long>(width, 1 << 29));  // far wider than any surface
}

Face* FaceFor(const LOGFONT& lf) {
  using Key = std::tuple<std::string, int, int, int, int, int>;
  static std::map<Key, std::unique_ptr<Face>> faces;
  static std::mutex mutex;
  std::lock_guard<std::mutex> lock(mutex);
  char name[LF_FACESIZE + 1] = {};
  std::memcpy(name, lf.lfFaceName, LF_FACESIZE);
  const int weight = lf.lfWeight <= 0 ? FW_NORMAL : lf.lfWeight;
  const Key key{Lower(name), lf.lfHeight, weight, lf.lfItalic ? 1 : 0, lf.lfUnderline ? 1 : 0,
                lf.lfStrikeOut ? 1 : 0};
  auto it = faces.find(key);
  if (it != faces.end()) return it->second.get();

  std::unique_ptr<Face> face(new Face);
  std::string file;
  int index = 0;
  bool ok = Resolve(name, weight, lf.lfItalic != 0, file, index) && face->Open(file, index, lf);
  if (!ok) {
    // A face that cannot be used falls back to the default face rather than drawing nothing.
    face.reset(new Face);
    ok = Resolve("", weight, lf.lfItalic != 0, file, index) && face->Open(file, index, lf);
  }
  Face* result = ok ? face.get() : nullptr;
  faces.emplace(key, ok ? std::move(face) : nullptr);
  return result;
}

}  // namespace text
