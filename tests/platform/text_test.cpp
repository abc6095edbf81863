// Fonts and text: face resolution, metrics, extents, drawing and DrawText layout.
#include <platform/platform.h>
#include <platform/text.h>

#include <gtest/gtest.h>

#include <string>

namespace {

const RGBQUAD kTable[3] = {{255, 255, 255, 0}, {0, 0, 0, 0}, {0, 0, 255, 0}};

struct TextDC {
  CBitmap bmp;
  CDC dc;
  CFont font;
  TextDC(int w, int h, const char* face = "Times New Roman", int tenths = 250) {
    bmp.CreateDIBSection(w, h, 8, kTable, 3);
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(&bmp);
    font.CreatePointFont(tenths, face);
    dc.SelectObject(&font);
    dc.SetBkMode(TRANSPARENT);
  }
  // Bounding box of the pixels that are not white (index 0).
  CRect Ink() const {
    CRect r(bmp.Width(), bmp.Height(), -1, -1);
    for (int y = 0; y < bmp.Height(); ++y)
      for (int x = 0; x < bmp.Width(); ++x)
        if (bmp.PixelValue(x, y) != 0) {
          r.left = std::min<LONG>(r.left, x);
          r.top = std::min<LONG>(r.top, y);
          r.right = std::max<LONG>(r.right, x + 1);
          r.bottom = std::max<LONG>(r.bottom, y + 1);
        }
    return r;
  }
};

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

TEST(Text, OldFaceNamesResolveToMetricCompatibleFonts) {
  EXPECT_TRUE(EndsWith(text::ResolveFontFile("Times New Roman", FW_NORMAL, false), "LiberationSerif-Regular.ttf"));
  EXPECT_TRUE(EndsWith(text::ResolveFontFile("MS Sans Serif", FW_NORMAL, false), "LiberationSans-Regular.ttf"));
  EXPECT_TRUE(EndsWith(text::ResolveFontFile("ms shell dlg", FW_BOLD, false), "LiberationSans-Bold.ttf"));
  EXPECT_TRUE(EndsWith(text::ResolveFontFile("System", FW_NORMAL, true), "LiberationSans-Italic.ttf"));
}

TEST(Text, PointSizesConvertAt96Dpi) {
  CFont font;
  ASSERT_TRUE(font.CreatePointFont(250, "Times New Roman"));
  LOGFONT lf;
  ASSERT_TRUE(font.GetLogFont(&lf));
  EXPECT_EQ(lf.lfHeight, -33);
  TextDC t(10, 10);
  TEXTMETRIC tm;
  ASSERT_TRUE(t.dc.GetTextMetrics(&tm));
  EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
  EXPECT_GE(tm.tmHeight, 33);
  EXPECT_LE(tm.tmHeight, 40);
  EXPECT_GT(tm.tmAveCharWidth, 5);
}

TEST(Text, ExtentsGrowWithTheString) {
  TextDC t(10, 10, "MS Sans Serif", 80);
  const CSize one = t.dc.GetTextExtent("W");
  const CSize word = t.dc.GetTextExtent("Window");
  const CSize words = t.dc.GetTextExtent("Window Window");
  EXPECT_GT(one.cx, 0);
  EXPECT_GT(word.cx, one.cx);
  EXPECT_EQ(words.cx, 2 * word.cx + t.dc.GetTextExtent(" ").cx);
  EXPECT_EQ(word.cy, one.cy);
  EXPECT_EQ(t.dc.GetTextExtent("").cx, 0);
  CFont bold;
  LOGFONT lf;
  t.font.GetLogFont(&lf);
  lf.lfWeight = FW_BOLD;
  bold.CreateFontIndirect(&lf);
  t.dc.SelectObject(&bold);
  EXPECT_GT(t.dc.GetTextExtent("Window").cx, word.cx);
}

TEST(Text, TextOutDrawsInTheTextColourInsideTheCell) {
  TextDC t(200, 60);
  t.dc.SetTextColor(RGB(250, 0, 0));
  ASSERT_TRUE(t.dc.TextOut(10, 5, "Gyrix"));
  const CRect ink = t.Ink();
  const CSize extent = t.dc.GetTextExtent("Gyrix");
  ASSERT_FALSE(ink.IsRectEmpty());
  EXPECT_GE(ink.left, 10);
  EXPECT_GE(ink.top, 5);
  EXPECT_LE(ink.right, 10 + extent.cx + 2);
  EXPECT_LE(ink.bottom, 5 + extent.cy);
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 200; ++x) ASSERT_NE(t.bmp.PixelValue(x, y), 1u) << "only red ink";
  // Opaque mode fills the cell with the background colour first.
  t.dc.SetBkMode(OPAQUE);
  t.dc.SetBkColor(RGB(0, 0, 0));
  t.dc.TextOut(0, 40, "ab");
  EXPECT_EQ(t.bmp.PixelValue(0, 40), 1u);
}

TEST(Text, WordBreakWrapsInsideTheRectangle) {
  TextDC t(300, 300, "Times New Roman", 250);
  const char* message = "Congratulations!\r\n\r\nYou have solved the Cube puzzle in 00:01:02.";
  CRect calc(45, 30, 292, 0);
  const int height = t.dc.DrawText(message, -1, &calc, DT_CENTER | DT_WORDBREAK | DT_CALCRECT);
  TEXTMETRIC tm;
  t.dc.GetTextMetrics(&tm);
  EXPECT_EQ(height % tm.tmHeight, 0);
  EXPECT_GE(height / tm.tmHeight, 4) << "the long line must wrap";
  EXPECT_LE(calc.Width(), 247);
  EXPECT_EQ(calc.Height(), height);
  EXPECT_EQ(t.Ink().right, -1) << "DT_CALCRECT draws nothing";
  CRect box(45, 30, 292, 295);
  t.dc.SetTextColor(RGB(0, 0, 0));
  t.dc.DrawText(message, -1, &box, DT_CENTER | DT_WORDBREAK);
  const CRect ink = t.Ink();
  EXPECT_GE(ink.left, 45);
  EXPECT_LE(ink.right, 292);
  EXPECT_GE(ink.top, 30);
  EXPECT_LE(ink.bottom, 30 + height);
  // Centred: the margins left and right of the widest line are about equal.
  EXPECT_NEAR(ink.left - 45, 292 - ink.right, 12);
}

TEST(Text, SingleLineCentresVerticallyAndClipsToTheRectangle) {
  TextDC t(100, 60, "MS Sans Serif", 80);
  CRect box(0, 0, 100, 60);
  t.dc.DrawText("OK", -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  const CRect ink = t.Ink();
  EXPECT_NEAR((ink.top + ink.bottom) / 2, 30, 4);
  EXPECT_NEAR((ink.left + ink.right) / 2, 50, 3);
  TextDC small(100, 60, "Times New Roman", 250);
  CRect tiny(0, 0, 20, 10);
  small.dc.DrawText("Wide text", -1, &tiny, DT_SINGLELINE);
  const CRect clipped = small.Ink();
  EXPECT_LE(clipped.right, 20);
  EXPECT_LE(clipped.bottom, 10);
}

TEST(Text, PrefixesAreRemovedUnlessAskedNotTo) {
  TextDC t(200, 40, "MS Sans Serif", 80);
  CRect a(0, 0, 200, 40), b(0, 0, 200, 40);
  t.dc.DrawText("&About...", -1, &a, DT_SINGLELINE | DT_CALCRECT);
  t.dc.DrawText("About...", -1, &b, DT_SINGLELINE | DT_CALCRECT);
  EXPECT_EQ(a.Width(), b.Width());
  CRect c(0, 0, 200, 40);
  t.dc.DrawText("&About...", -1, &c, DT_SINGLELINE | DT_CALCRECT | DT_NOPREFIX);
  EXPECT_GT(c.Width(), b.Width());
}

TEST(Text, OverlongLinesEndInAnEllipsisAndAbsurdSizesAreSafe) {
  TextDC t(200, 40, "MS Sans Serif", 80);
  CRect r(0, 0, 60, 20);
  t.dc.DrawText("A caption much too long for its button", -1, &r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_CALCRECT);
  EXPECT_LE(r.Width(), 60);
  EXPECT_GT(r.Width(), 30);
  for (LONG height : {LONG(INT32_MIN), LONG(-1), LONG(0), LONG(INT32_MAX)}) {
    CFont font;
    LOGFONT lf;
    lf.lfHeight = height;
    ASSERT_TRUE(font.CreateFontIndirect(&lf));
    t.dc.SelectObject(&font);
    const CSize size = t.dc.GetTextExtent("Hi");
    EXPECT_GT(size.cy, 0) << height;
    EXPECT_LT(size.cy, 2000) << height;
    t.dc.TextOut(0, 0, "Hi");
    t.dc.SelectObject(&t.font);
    CFont points;
    EXPECT_TRUE(points.CreatePointFontIndirect(&lf));
  }
}

TEST(Text, UnderlinedFontsAndMnemonicsDrawBelowTheBaseline) {
  TextDC plain(120, 40, "MS Sans Serif", 100);
  plain.dc.TextOut(2, 2, "ab");
  TEXTMETRIC tm;
  plain.dc.GetTextMetrics(&tm);
  LOGFONT lf;
  plain.font.GetLogFont(&lf);
  lf.lfUnderline = 1;
  TextDC underlined(120, 40, "MS Sans Serif", 100);
  CFont font;
  font.CreateFontIndirect(&lf);
  underlined.dc.SelectObject(&font);
  underlined.dc.TextOut(2, 2, "ab");
  EXPECT_GT(underlined.Ink().bottom, 2 + tm.tmAscent);
  EXPECT_LE(plain.Ink().bottom, 2 + tm.tmAscent + 1) << "'a' and 'b' sit on the baseline";
  TextDC marked(120, 40, "MS Sans Serif", 100);
  CRect r(2, 2, 120, 40);
  marked.dc.DrawText("&ab", -1, &r, DT_SINGLELINE);
  EXPECT_GT(marked.Ink().bottom, 2 + tm.tmAscent);
  EXPECT_LT(marked.Ink().right, underlined.Ink().right) << "only the marked letter is underlined";
}
