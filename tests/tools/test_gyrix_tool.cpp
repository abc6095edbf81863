#include "tools_test_util.h"

#include <gyrix/engine.h>
#include <gyrix/puzzles.h>

#include <lumex/dib.h>
#include <platform/dc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<int> Colours(const CPuzzle& p) {
  std::vector<int> c;
  for (int id = 0; id < p.GetFaceletCount(); ++id) c.push_back(p.GetFaceletColour(id));
  return c;
}

std::unique_ptr<CPuzzle> Load(const std::string& path) {
  CQuietServices quiet;
  return std::unique_ptr<CPuzzle>(LoadPuzzleFile(path.c_str()));
}

unsigned BigEndian(const Bytes& b, size_t at) {
  return (unsigned(static_cast<unsigned char>(b[at])) << 24) | (unsigned(static_cast<unsigned char>(b[at + 1])) << 16) |
         (unsigned(static_cast<unsigned char>(b[at + 2])) << 8) | unsigned(static_cast<unsigned char>(b[at + 3]));
}

using GyrixTool = ScratchFolder;

}  // namespace

// What list shows in the turns column: the turns of a built type, in each of its modes.
static std::string ExpectedTurns(int id) {
  if (!IsPuzzleBuilt(id)) return "-";
  std::unique_ptr<CPuzzle> p(CreatePuzzle(id));
  const int modes = GetPuzzleType(id)->modes;
  if (modes == 0) return std::to_string(p->GetMoveCount());
  std::string counts;
  for (int mode = 1; mode <= modes; ++mode) {
    EXPECT_TRUE(p->SetMode(mode)) << id;
    if (mode > 1) counts += '/';
    counts += std::to_string(p->GetMoveCount());
  }
  return counts;
}

TEST_F(GyrixTool, ListsEveryTypeItsTurnsAndWhetherItIsBuilt) {
  const ToolRun run = RunTool("list");
  ASSERT_EQ(run.status, 0) << run.output;
  std::istringstream lines(run.output);
  std::string line;
  std::getline(lines, line);  // heading
  int rows = 0;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    int id = -1, facelets = -1;
    std::string name, className, turns;
    fields >> id >> name >> className >> facelets >> turns;
    EXPECT_EQ(id, rows);
    EXPECT_EQ(name, CPuzzle::GetTypeName(id));
    EXPECT_EQ(className, GetPuzzleType(id)->className);
    EXPECT_EQ(turns, ExpectedTurns(id)) << line;
    EXPECT_EQ(line.substr(line.size() - (IsPuzzleBuilt(id) ? 3 : 2)), IsPuzzleBuilt(id) ? "yes" : "no");
    ++rows;
  }
  EXPECT_EQ(rows, kPuzzleTypeCount);
}

TEST_F(GyrixTool, SavesTurnedScrambledAndNotatedPuzzles) {
  const std::string turned = Path("turned.puz");
  ToolRun run = RunTool("save 0 '" + turned + "' --turns 1,-3,5");
  ASSERT_EQ(run.status, 0) << run.output;
  std::unique_ptr<CPuzzle> expected(CreatePuzzle(0));
  for (int m : {1, -3, 5}) expected->DoMove(m, 1);
  std::unique_ptr<CPuzzle> loaded = Load(turned);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(Colours(*loaded), Colours(*expected));

  // The same seed scrambles the same way; the scramble starts the clock and asks for a solve.
  const std::string a = Path("a.puz"), b = Path("b.puz");
  ASSERT_EQ(RunTool("save 1 '" + a + "' --scramble 42").status, 0);
  ASSERT_EQ(RunTool("save 1 '" + b + "' --scramble 42").status, 0);
  std::unique_ptr<CPuzzle> first = Load(a), second = Load(b);
  ASSERT_TRUE(first && second);
  EXPECT_EQ(Colours(*first), Colours(*second));
  EXPECT_EQ(first->IsScramblePending(), 1);
  EXPECT_EQ(first->IsSolved(), 0);

  // Notation: a turn and its inverse leave the cube solved, with both turns in the history.
  const std::string notated = Path("notated.puz");
  run = RunTool("save 1 '" + notated + "' --moves \"R R'\"");
  ASSERT_EQ(run.status, 0) << run.output;
  loaded = Load(notated);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->GetHistorySize(), 2);
  EXPECT_EQ(loaded->GetHistoryMove(0), -loaded->GetHistoryMove(1));
  std::unique_ptr<CPuzzle> solved(CreatePuzzle(1));
  EXPECT_EQ(Colours(*loaded), Colours(*solved));
  run = RunTool("save 1 '" + notated + "' --moves R");
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_NE(Colours(*Load(notated)), Colours(*solved));
}

TEST_F(GyrixTool, InfoAndCheckReadFilesAndReportDamage) {
  const std::string path = Path("game.puz");
  ASSERT_EQ(RunTool("save 3 '" + path + "' --turns 2").status, 0);
  ToolRun run = RunTool("info '" + path + "'");
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("Cube(5x5x5)"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("150"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("title       Gyrix - Cube(5x5x5)\n"), std::string::npos) << run.output;
  // The lights puzzle's title tells the clicks still needed for the position in the file.
  const std::string lights = Path("lights.puz");
  ASSERT_EQ(RunTool("save 13 '" + lights + "' --mode 4 --scramble 3").status, 0);
  std::unique_ptr<CPuzzle> saved = Load(lights);
  ASSERT_NE(saved, nullptr);
  const std::string title = "title       Gyrix - Orbix (Mode 4) [" +
                            std::to_string(static_cast<COrbixPuzzle&>(*saved).GetMovesRemaining()) + " Moves Remaining]";
  run = RunTool("info '" + lights + "'");
  EXPECT_NE(run.output.find(title), std::string::npos) << run.output;
  run = RunTool("check '" + path + "'");
  EXPECT_EQ(run.status, 0) << run.output;

  Bytes bytes = ReadAll(path);
  WriteAll(path, Bytes(bytes.begin(), bytes.end() - 1));
  run = RunTool("check '" + path + "'");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.output.find("different version of Gyrix or is invalid"), std::string::npos) << run.output;
  run = RunTool("check '" + Path("missing.puz") + "'");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.output.find("cannot open"), std::string::npos) << run.output;
}

TEST_F(GyrixTool, RendersWhatTheEngineDraws) {
  const std::string png = Path("cube.png");
  ToolRun run = RunTool("render 1 '" + png + "' --size 64x48 --turns 1");
  ASSERT_EQ(run.status, 0) << run.output;
  const Bytes bytes = ReadAll(png);
  ASSERT_GT(bytes.size(), 33u);
  EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 4), "PNG");
  EXPECT_EQ(std::string(bytes.begin() + 12, bytes.begin() + 16), "IHDR");
  EXPECT_EQ(BigEndian(bytes, 16), 64u);
  EXPECT_EQ(BigEndian(bytes, 20), 48u);
  EXPECT_EQ(bytes[25], 3);  // indexed colour

  // A saved puzzle, viewed from elsewhere, painted mid-turn: the BMP holds exactly the pixels
  // the engine paints into an image of the same colours.
  const std::string puz = Path("cube.puz");
  const std::string bmp = Path("frame.bmp");
  ASSERT_EQ(RunTool("save 1 '" + puz + "' --turns 4,-7").status, 0);
  run = RunTool("render '" + puz + "' '" + bmp + "' --size 90x70 --view 10,-20,30 --frame 5:40");
  ASSERT_EQ(run.status, 0) << run.output;
  CDib rendered;
  ASSERT_EQ(rendered.Load(bmp.c_str()), 1);
  ASSERT_EQ(rendered.Width(), 90);
  ASSERT_EQ(rendered.Height(), 70);

  std::unique_ptr<CPuzzle> p = Load(puz);
  ASSERT_NE(p, nullptr);
  p->ResetView(90, 70);
  p->RotateViewX(10);
  p->RotateViewY(-20);
  p->RotateViewZ(30);
  std::vector<PALETTEENTRY> entries(rendered.ColorTableSize());
  for (int i = 0; i < rendered.ColorTableSize(); ++i) {
    const RGBQUAD& q = rendered.ColorTable()[i];
    entries[i] = PALETTEENTRY{q.rgbRed, q.rgbGreen, q.rgbBlue, 0};
  }
  CPalette palette;
  palette.CreatePalette(entries.data(), static_cast<int>(entries.size()));
  CDib own;
  unsigned char background = 0;  // the corner shows the background
  rendered.GetPixel(0, 0, background);
  ASSERT_EQ(own.Create(&palette, 90, 70, background), 1);
  CDC* dc = own.GetMemDC(nullptr);
  p->DrawMoveFrame(dc, &own, 5, 40);
  own.ReleaseMemDC(dc);
  int differing = 0, inside = 0;
  for (int y = 0; y < 70; ++y)
    for (int x = 0; x < 90; ++x) {
      differing += own.PixelColor(x, y) != rendered.PixelColor(x, y);
      inside += rendered.PixelColor(x, y) == p->GetPaletteEntry(0);
    }
  EXPECT_EQ(differing, 0);
  EXPECT_GT(inside, 0);  // the cut shows the inside colour

  // A plane-cut puzzle works out the part a turn carries from its position, as in the game.
  ASSERT_EQ(RunTool("save 28 '" + puz + "'").status, 0);
  const Bytes rest = ReadAll(puz);
  ASSERT_EQ(RunTool("save 28 '" + puz + "' --turns 3").status, 0);
  EXPECT_NE(ReadAll(puz), rest);
  const std::string turning = Path("turning.png");
  ASSERT_EQ(RunTool("render 28 '" + png + "' --size 64x48 --view 0,180,0").status, 0);
  ASSERT_EQ(RunTool("render 28 '" + turning + "' --size 64x48 --view 0,180,0 --frame 3:30").status, 0);
  EXPECT_NE(ReadAll(turning), ReadAll(png));
}

TEST_F(GyrixTool, BadRequestsFailWithAReason) {
  const std::string out = Path("x.png");
  const struct {
    std::string arguments;
    const char* reason;
  } cases[] = {
      {"", "usage"},
      {"frobnicate", "usage"},
      {"render 37 '" + out + "'", "unknown puzzle id"},
      {"render 1 '" + Path("x.gif") + "'", ".png or .bmp"},
      {"render 1 '" + out + "' --size 0x10", "--size"},
      {"render 1 '" + out + "' --size 10x", "--size"},
      {"render 1 '" + out + "' --frame 13:45", "no turn 13"},
      {"render 1 '" + out + "' --view 1,2", "--view"},
      {"render 28 '" + out + "' --frame 6:30", "refuses turn 6"},  // a cut through a face
      {"save 28 '" + Path("x.puz") + "' --turns 3,8", "refuses turn 8"},
      {"save 1 '" + Path("x.puz") + "' --turns 1,,2", "--turns"},
      {"save 1 '" + Path("x.puz") + "' --turns 0", "no turn 0"},
      {"save 1 '" + Path("x.puz") + "' --mode 2", "no mode 2"},
      {"save 1 '" + Path("x.puz") + "' --scramble", "needs a value"},
      {"save 1 '" + Path("x.puz") + "' --moves xyz", "no moves"},
      {"save 1 '" + Path("no/such/folder/x.puz") + "'", "cannot write"},
      {"info 1", "info takes a .puz file"},
      {"sheet", "usage"},
      {"sheet '" + Path("x.gif") + "'", ".png or .bmp"},
      {"sheet '" + out + "' --size 1600", "--size"},
      {"sheet '" + out + "' --size 9000x100", "--size"},
      {"sheet '" + out + "' --size 120x90", "no room"},
      {"sheet '" + out + "' --scramble 3", "unknown option"},
      {"sheet '" + Path("no/such/folder/x.png") + "'", "no/such/folder"},
  };
  for (const auto& c : cases) {
    const ToolRun run = RunTool(c.arguments);
    EXPECT_NE(run.status, 0) << c.arguments;
    EXPECT_LT(run.status, 128) << c.arguments;  // an exit, not a crash
    EXPECT_NE(run.output.find(c.reason), std::string::npos) << c.arguments << ": " << run.output;
  }
}

TEST_F(GyrixTool, SolveGivesTurnsThatSaveTurnsIntoASolvedPuzzle) {
  ::setenv("XDG_CACHE_HOME", folder.c_str(), 1);
  for (const char* kind : {"34 --mode 1", "34 --mode 2"}) {
    SCOPED_TRACE(kind);
    const std::string base = std::string(kind) + " --scramble 9";
    ToolRun run = RunTool("solve " + base);
    ASSERT_EQ(run.status, 0) << run.output;
    const size_t at = run.output.find("solution: ");
    ASSERT_NE(at, std::string::npos) << run.output;
    const std::string turns = run.output.substr(at + 10, run.output.find('\n', at) - at - 10);
    EXPECT_NE(run.output.find("method optimal\n"), std::string::npos);
    EXPECT_NE(run.output.find("\ndistance "), std::string::npos);
    const std::string out = Path("solved.puz");
    ASSERT_EQ(RunTool("save " + base.substr(0, 2) + " '" + out + "' " + base.substr(3) + " --turns " + turns).status,
              0);
    run = RunTool("info '" + out + "'");
    EXPECT_NE(run.output.find("solved      1"), std::string::npos) << run.output;
    // A file solves the same way.
    const std::string scrambled = Path("scrambled.puz");
    ASSERT_EQ(RunTool("save " + base.substr(0, 2) + " '" + scrambled + "' " + base.substr(3)).status, 0);
    run = RunTool("solve '" + scrambled + "'");
    EXPECT_NE(run.output.find("solution: " + turns + "\n"), std::string::npos) << run.output;
  }
  ToolRun run = RunTool("solve 23");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.output, "nothing to solve\n");
  ::unsetenv("XDG_CACHE_HOME");
}

// The scheme command prints every type's side colours as RRGGBB; render and sheet draw with
// a scheme; an unknown scheme is refused.
TEST_F(GyrixTool, PrintsAndDrawsColourSchemes) {
  ToolRun run = RunTool("scheme colour-blind");
  ASSERT_EQ(run.status, 0) << run.output;
  std::vector<std::string> lines;
  for (std::size_t at = 0, next; at < run.output.size(); at = next + 1) {
    next = run.output.find('\n', at);
    if (next == std::string::npos) next = run.output.size();
    lines.push_back(run.output.substr(at, next - at));
  }
  ASSERT_EQ(lines.size(), 37u);
  // The cube's first side in the colour-blind scheme, written red first.
  const COLORREF first = GetSchemePalette(2, 1)[1];
  char expected[32];
  std::snprintf(expected, sizeof expected, "1 %02X%02X%02X ", GetRValue(first), GetGValue(first), GetBValue(first));
  EXPECT_EQ(lines[1].rfind(expected, 0), 0u) << lines[1];
  EXPECT_EQ(std::count(lines[13].begin(), lines[13].end(), ' '), 2) << "the lights puzzle has two sides";
  EXPECT_EQ(RunTool("scheme classic").output.substr(0, 46), "0 00FF00 FF00FF FFFF00 FF0000 FF8000 0000FF\n1 ");
  run = RunTool("scheme sepia");
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.output.find("unknown scheme sepia"), std::string::npos);

  const std::string bmp = Path("cube.bmp");
  ASSERT_EQ(RunTool("render 1 '" + bmp + "' --size 80x80 --scheme standard").status, 0);
  CDib rendered;
  ASSERT_EQ(rendered.Load(bmp.c_str()), 1);
  std::set<COLORREF> seen;
  for (int y = 0; y < rendered.Height(); ++y)
    for (int x = 0; x < rendered.Width(); ++x) {
      COLORREF c = 0;
      rendered.GetPixel(x, y, c);
      seen.insert(c & 0xFFFFFF);
    }
  EXPECT_FALSE(seen.count(0xFF00FF)) << "the classic magenta is gone";
  EXPECT_TRUE(seen.count(0x0000FF) || seen.count(0xFFFFFF)) << "the standard colours show";
  EXPECT_EQ(RunTool("render 1 '" + bmp + "' --scheme nope").status, 2);
  EXPECT_EQ(RunTool("sheet '" + Path("sheet.png") + "' --scheme high-contrast").status, 0);
}

namespace {

std::vector<COLORREF> BitmapPixels(const std::string& path) {
  CDib dib;
  std::vector<COLORREF> out;
  if (dib.Load(path.c_str()) != 1) return out;
  for (int y = 0; y < dib.Height(); ++y)
    for (int x = 0; x < dib.Width(); ++x) {
      COLORREF c = 0;
      dib.GetPixel(x, y, c);
      out.push_back(c & 0xFFFFFF);
    }
  return out;
}

}  // namespace

// --symbols marks the facelets, with a scheme or without, at rest and in a turn's frame; the
// picture differs from the plain one only by black and white marks.
TEST_F(GyrixTool, RenderAndSheetDrawSymbolsOnFacelets) {
  for (const std::string extra : {"", " --scheme colour-blind", " --frame 1:45", " --scheme high-contrast --frame -2:30"}) {
    const std::string plain = Path("plain.bmp"), marked = Path("marked.bmp");
    ASSERT_EQ(RunTool("render 1 '" + plain + "' --size 200x200 --scramble 4" + extra).status, 0) << extra;
    ASSERT_EQ(RunTool("render 1 '" + marked + "' --size 200x200 --symbols --scramble 4" + extra).status, 0) << extra;
    const std::vector<COLORREF> a = BitmapPixels(plain), b = BitmapPixels(marked);
    ASSERT_EQ(a.size(), b.size());
    int changed = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
      if (a[i] == b[i]) continue;
      ++changed;
      EXPECT_TRUE(b[i] == 0 || b[i] == 0xFFFFFF) << extra << " " << std::hex << b[i];
    }
    EXPECT_GT(changed, 200) << extra;
  }
  EXPECT_EQ(RunTool("sheet '" + Path("sheet.png") + "' --symbols --scheme colour-blind").status, 0);
  EXPECT_EQ(RunTool("save 1 '" + Path("x.puz") + "' --symbols").status, 2) << "save draws nothing";
}

TEST_F(GyrixTool, SmoothRendersAndSheetsAreRgbPictures) {
  const std::string plain = Path("plain.png"), smooth = Path("smooth.png"), turning = Path("turning.png");
  ASSERT_EQ(RunTool("render 1 '" + plain + "' --size 80x60").status, 0);
  ToolRun run = RunTool("render 1 '" + smooth + "' --size 80x60 --smooth");
  ASSERT_EQ(run.status, 0) << run.output;
  const Bytes bytes = ReadAll(smooth);
  ASSERT_GT(bytes.size(), 33u);
  EXPECT_EQ(BigEndian(bytes, 16), 80u);
  EXPECT_EQ(BigEndian(bytes, 20), 60u);
  EXPECT_EQ(bytes[24], 8);
  EXPECT_EQ(bytes[25], 2);  // RGB
  EXPECT_NE(ReadAll(plain), bytes);
  ASSERT_EQ(RunTool("render 1 '" + turning + "' --size 80x60 --smooth --frame 1:45").status, 0);
  EXPECT_NE(ReadAll(turning), bytes);
  // Only a PNG holds 32-bit colour.
  run = RunTool("render 1 '" + Path("smooth.bmp") + "' --smooth");
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.output.find("32-bit PNG"), std::string::npos) << run.output;

  const std::string sheet = Path("sheet.png");
  run = RunTool("sheet '" + sheet + "' --smooth --size 900x4000");
  ASSERT_EQ(run.status, 0) << run.output;
  const Bytes sheetBytes = ReadAll(sheet);
  ASSERT_GT(sheetBytes.size(), 33u);
  EXPECT_EQ(BigEndian(sheetBytes, 16), 900u);
  EXPECT_EQ(sheetBytes[25], 2);
  EXPECT_EQ(RunTool("sheet '" + Path("sheet.bmp") + "' --smooth").status, 2);
}
