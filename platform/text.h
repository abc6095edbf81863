// Fonts for the drawing context: fontconfig finds the file for a face name, FreeType renders
// its glyphs. Faces and rendered glyphs are cached for the life of the process. Text is 8-bit
// Windows-1252. Used from the user-interface thread only.
#pragma once

#include <platform/types.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace text {

// One rendered character: 1 byte per pixel, 1 where the glyph is solid.
struct Glyph {
  bool loaded = false;
  int left = 0;     // from the pen position to the first column
  int top = 0;      // from the baseline up to the first row
  int width = 0;
  int height = 0;
  int advance = 0;  // pen movement in pixels
  std::vector<BYTE> mask;
};

class Face {
 public:
  ~Face();
  Face(const Face&) = delete;
  Face& operator=(const Face&) = delete;

  const TEXTMETRIC& Metrics() const { return m_metrics; }
  // Underline offset below the baseline and thickness, in pixels.
  int UnderlineOffset() const { return m_underlineOffset; }
  int UnderlineThickness() const { return m_underlineThickness; }
  bool Underline() const { return m_underline; }
  bool StrikeOut() const { return m_strikeOut; }
  const Glyph& GlyphFor(unsigned char c);
  int Advance(unsigned char c) { return GlyphFor(c).advance; }
  // Width of the string (sum of advances).
  int Width(const char* s, int length);
  const std::string& File() const { return m_file; }

 private:
  friend Face* FaceFor(const LOGFONT& lf);
  Face() = default;
  bool Open(const std::string& file, int index, const LOGFONT& lf);

  void* m_face = nullptr;  // FT_Face
  std::string m_file;
  bool m_emboldenSynth = false;
  bool m_obliqueSynth = false;
  bool m_underline = false;
  bool m_strikeOut = false;
  int m_underlineOffset = 1;
  int m_underlineThickness = 1;
  TEXTMETRIC m_metrics;
  std::array<Glyph, 256> m_glyphs;
};

// The face for a font request (face name, height, weight, italic, underline); null only when
// no font at all can be loaded. The returned face lives until the process ends.
Face* FaceFor(const LOGFONT& lf);

// The font file a face name resolves to. "MS Sans Serif", "MS Shell Dlg" and "System" mean
// Liberation Sans, as an empty name does.
std::string ResolveFontFile(const char* face, int weight, bool italic);

// Unicode code point of a Windows-1252 byte.
unsigned CodePoint(unsigned char c);

}  // namespace text
