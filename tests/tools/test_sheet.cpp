#include "tools_test_util.h"

#include <gyrix/engine.h>
#include <gyrix/puzzles.h>

#include <lumex/dib.h>
#include <platform/dc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

// One line of the picture map the sheet command prints.
struct Picture {
  int id = -1;
  int mode = 0;
  RECT r{};
  std::string state;
};

std::vector<Picture> ParseMap(const std::string& output) {
  std::istringstream lines(output);
  std::string line;
  std::getline(lines, line);  // what was written
  std::getline(lines, line);  // heading
  std::vector<Picture> pictures;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    Picture p;
    std::string mode, at, size;
    char comma = 0, times = 0;
    int w = 0, h = 0;
    fields >> p.id >> mode >> at >> size;
    std::istringstream(at) >> p.r.left >> comma >> p.r.top;
    std::istringstream(size) >> w >> times >> h;
    p.r.right = p.r.left + w;
    p.r.bottom = p.r.top + h;
    p.mode = mode == "-" ? 0 : std::stoi(mode);
    std::getline(fields >> std::ws, p.state);
    pictures.push_back(p);
  }
  return pictures;
}

std::unique_ptr<CPuzzle> Make(int id, int mode) {
  std::unique_ptr<CPuzzle> p(CreatePuzzle(id));
  if (mode > 0) {
    EXPECT_TRUE(p->SetMode(mode)) << id << " mode " << mode;
  }
  return p;
}

// The pixels of a rectangle, row by row.
std::vector<COLORREF> Pixels(const CDib& dib, const RECT& r) {
  std::vector<COLORREF> out;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) out.push_back(dib.PixelColor(x, y));
  return out;
}

// The colours the canvas was made with (the image's table is padded to 256 entries).
std::vector<COLORREF> Table(const CPuzzleCanvas& canvas) {
  std::vector<COLORREF> table;
  for (int i = 0; i < canvas.palette.GetEntryCount(); ++i) {
    const PALETTEENTRY& e = canvas.palette.Entries()[i];
    table.push_back(RGB(e.peRed, e.peGreen, e.peBlue));
  }
  return table;
}

bool Overlap(const RECT& a, const RECT& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

using SheetCommand = ScratchFolder;

}  // namespace

TEST_F(SheetCommand, ShowsEveryBuiltTypeAtRestScrambledAndTurningInItsOwnColours) {
  const std::string bmp = Path("sheet.bmp");
  // Room for a label that tells apart each of the 132 pictures of all 37 types and their modes.
  const ToolRun run = RunTool("sheet '" + bmp + "' --size 1200x900");
  ASSERT_EQ(run.status, 0) << run.output;
  CDib sheet;
  ASSERT_EQ(sheet.Load(bmp.c_str()), 1);
  ASSERT_EQ(sheet.Width(), 1200);
  ASSERT_EQ(sheet.Height(), 900);
  std::set<COLORREF> table;
  for (int i = 0; i < sheet.ColorTableSize(); ++i) {
    const RGBQUAD& q = sheet.ColorTable()[i];
    table.insert(RGB(q.rgbRed, q.rgbGreen, q.rgbBlue));
  }

  const std::vector<Picture> pictures = ParseMap(run.output);
  for (size_t i = 0; i < pictures.size(); ++i) {
    const RECT& r = pictures[i].r;
    EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= 1200 && r.bottom <= 900 && r.right > r.left &&
                r.bottom > r.top)
        << pictures[i].id << " " << pictures[i].state;
    for (size_t j = 0; j < i; ++j) EXPECT_FALSE(Overlap(r, pictures[j].r)) << i << " and " << j;
  }

  size_t at = 0;
  std::vector<std::vector<COLORREF>> labels;
  for (int id = 0; id < kPuzzleTypeCount; ++id) {
    if (!IsPuzzleBuilt(id)) continue;
    const int modes = GetPuzzleType(id)->modes;
    for (int mode = modes > 0 ? 1 : 0; mode <= modes; ++mode) {
      SCOPED_TRACE(std::string(CPuzzle::GetTypeName(id)) + " mode " + std::to_string(mode));
      std::unique_ptr<CPuzzle> p = Make(id, mode);
      std::set<COLORREF> own;
      for (int i = 0; i < p->GetPaletteCount(); ++i) {
        EXPECT_EQ(table.count(p->GetPaletteEntry(i)), 1u) << "colour " << i << " missing from the sheet";
        // Black also outlines every facelet, so it tells nothing about the colours.
        if (p->GetPaletteEntry(i) != 0) own.insert(p->GetPaletteEntry(i));
      }

      // Three pictures of the type, in order.
      ASSERT_LE(at + 3, pictures.size());
      const Picture* three = &pictures[at];
      at += 3;
      std::string turn = "no turns";
      if (p->GetMoveCount() > 0)
        turn = p->GetAnimatedMove(1) < 0 ? "turn 1 not animated"
                                         : "turn 1 at " + std::to_string(p->GetMoveStep(1) * p->GetMoveFrames(1) / 2) +
                                               " degrees";
      const std::string states[3] = {"at rest", "scrambled", turn};
      std::vector<COLORREF> drawn[3];
      for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(three[k].id, id);
        EXPECT_EQ(three[k].mode, mode);
        EXPECT_EQ(three[k].state, states[k]);
        drawn[k] = Pixels(sheet, three[k].r);
        const auto coloured = std::count_if(drawn[k].begin(), drawn[k].end(), [&](COLORREF c) { return own.count(c) > 0; });
        // A model without facelets ("Ultimate") paints nothing at all.
        if (p->GetFaceletCount() == 0) {
          EXPECT_EQ(coloured, 0) << states[k];
        } else {
          EXPECT_GT(coloured * 50, static_cast<long>(drawn[k].size())) << states[k] << ": hardly any of the puzzle's colours";
        }
        // The label above the picture: text on the label's ground.
        const RECT& r = three[k].r;
        labels.push_back(Pixels(sheet, RECT{r.left, r.top - 30, r.right, r.top}));
        std::set<COLORREF> inLabel(labels.back().begin(), labels.back().end());
        EXPECT_GE(inLabel.size(), 2u) << states[k] << ": no label";
      }
      // A type without turns has nothing to scramble.
      if (p->GetMoveCount() > 0) {
        EXPECT_TRUE(drawn[1] != drawn[0]) << "the scramble changed nothing";
      }
      if (turn != "no turns" && turn != "turn 1 not animated") {
        EXPECT_TRUE(drawn[2] != drawn[0]) << "no turn painted";
      }
    }
  }
  EXPECT_EQ(at, pictures.size()) << "pictures of types that are not built";
  // Each label names its own type and picture.
  for (size_t i = 0; i < labels.size(); ++i)
    for (size_t j = 0; j < i; ++j) EXPECT_TRUE(labels[i] != labels[j]) << "labels " << i << " and " << j << " are alike";
}

TEST_F(SheetCommand, TheDefaultSheetIsTheSameEveryTime) {
  const std::string a = Path("a.png"), b = Path("b.png");
  const ToolRun first = RunTool("sheet '" + a + "'");
  ASSERT_EQ(first.status, 0) << first.output;
  ASSERT_EQ(RunTool("sheet '" + b + "'").status, 0);
  const Bytes bytes = ReadAll(a);
  ASSERT_GT(bytes.size(), 33u);
  EXPECT_EQ(bytes, ReadAll(b));
  EXPECT_EQ(std::string(bytes.begin() + 12, bytes.begin() + 16), "IHDR");
  const auto big = [&bytes](size_t at) {
    unsigned v = 0;
    for (size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
    return v;
  };
  EXPECT_EQ(big(16), 1600u);
  // As tall as the pictures need, which the first line reports.
  const size_t size = first.output.find(": 1600x");
  ASSERT_NE(size, std::string::npos) << first.output;
  EXPECT_EQ(big(20), std::stoul(first.output.substr(size + 7)));
  EXPECT_GT(big(20), 400u);
}

// The colour table of a picture of several puzzles.
TEST(PuzzleCanvasColours, EachColourOnceAndRoomForTheStandardOnesAndTheBackground) {
  // Two colours that are not standard ones, and white, which is.
  const COLORREF orange = 0x0080FF, teal = 0x808020, background = 0x102030;
  CPuzzleCanvas canvas(std::vector<COLORREF>{orange, teal, orange, 0xFFFFFF}, 8, 6, background);
  ASSERT_TRUE(canvas.IsValid());
  const std::vector<COLORREF> table = Table(canvas);
  EXPECT_EQ(table[0], orange);
  EXPECT_EQ(table[1], teal);
  EXPECT_EQ(std::set<COLORREF>(table.begin(), table.end()).size(), table.size()) << "a colour twice";
  for (COLORREF c : CPolyModel::cm_standardColours) EXPECT_EQ(std::count(table.begin(), table.end(), c), 1);
  EXPECT_EQ(table.size(), 2u + 16 + 1);  // white is a standard colour already
  EXPECT_EQ(table[canvas.GetBackgroundIndex()], background);
  EXPECT_TRUE(canvas.IsBackground(7, 5));
  canvas.dc->FillSolidRect(0, 0, 4, 6, teal);
  EXPECT_EQ(canvas.At(3, 0), teal);
  canvas.Clear();
  EXPECT_TRUE(canvas.IsBackground(3, 0));

  // The background in the list is used where it stands.
  CPuzzleCanvas listed(std::vector<COLORREF>{teal, background}, 2, 2, background);
  EXPECT_EQ(listed.GetBackgroundIndex(), 1);
  EXPECT_EQ(Table(listed).size(), 2u + 16);

  // Too many colours: the list gives way, the standard colours and the background stay.
  std::vector<COLORREF> many;
  for (int i = 0; i < 300; ++i) many.push_back(RGB(1 + i % 250, 7 + i / 250, 3));
  CPuzzleCanvas full(many, 2, 2, background);
  ASSERT_TRUE(full.IsValid());
  const std::vector<COLORREF> fullTable = Table(full);
  const std::set<COLORREF> kept(fullTable.begin(), fullTable.end());
  EXPECT_EQ(fullTable.size(), 256u);
  EXPECT_EQ(kept.size(), 256u);
  for (COLORREF c : CPolyModel::cm_standardColours) EXPECT_EQ(kept.count(c), 1u);
  EXPECT_EQ(kept.count(background), 1u);
  EXPECT_EQ(kept.count(many[0]), 1u);
  EXPECT_EQ(kept.count(many[299]), 0u);
}
