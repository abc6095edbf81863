#include <gyrix/puzzles/schemes.h>
#include "sheet.h"

#include <gyrix/engine.h>
#include <gyrix/puzzles.h>

#include <cordak/urand.h>
#include <lumex/dib.h>
#include <platform/dc.h>
#include <platform/gdiobj.h>

#include <algorithm>
#include <cstdio>

namespace {

// Sheet colours: dark and greyish, so that no puzzle colour is mistaken for them.
constexpr COLORREF kPage = RGB(24, 28, 36);
constexpr COLORREF kPanel = RGB(40, 46, 58);
constexpr COLORREF kStrip = RGB(54, 62, 78);
constexpr COLORREF kTitleText = RGB(236, 238, 242);
constexpr COLORREF kCaptionText = RGB(150, 162, 182);

constexpr int kMargin = 16;
constexpr int kCellGap = 4;    // between the three pictures of one puzzle
constexpr int kGroupGap = 20;  // between puzzles side by side
constexpr int kRowGap = 14;
constexpr int kTitlePixels = 22;
constexpr int kLabelPixels = 14;
constexpr int kLabelPad = 4;  // above and below the two lines of a label
constexpr int kMinPicture = 24;
const char kFace[] = "MS Sans Serif";

// One built type in one of its modes, with a puzzle at rest (also used for the turn picture)
// and a scrambled one.
struct Entry {
  int typeId = 0;
  int mode = 0;
  std::unique_ptr<CPuzzle> rest;
  std::unique_ptr<CPuzzle> scrambled;
};

struct Layout {
  int groupsPerLine = 1;
  int rows = 1;
  int cellWidth = 0;
  int pictureHeight = 0;
  int left = 0;  // of the first group, so the lines are centred
  int height = 0;
};

class CFontChoice {
 public:
  CFontChoice(CDC* dc, int pixels, int weight) : m_dc(dc) {
    m_font.CreateFont(-pixels, 0, 0, 0, weight, 0, 0, 0, 0, 0, 0, 0, 0, kFace);
    m_old = dc->SelectObject(&m_font);
  }
  ~CFontChoice() { m_dc->SelectObject(m_old); }
  CFontChoice(const CFontChoice&) = delete;
  CFontChoice& operator=(const CFontChoice&) = delete;
  int LineHeight() const {
    TEXTMETRIC tm;
    m_dc->GetTextMetrics(&tm);
    return tm.tmHeight;
  }

 private:
  CDC* m_dc;
  CFont m_font;
  CFont* m_old = nullptr;
};

std::string MakeEntries(std::vector<Entry>& entries, int scheme, bool symbols) {
  for (int id = 0; id < kPuzzleTypeCount; ++id) {
    if (!IsPuzzleBuilt(id)) continue;
    const int modes = GetPuzzleType(id)->modes;
    for (int mode = modes > 0 ? 1 : 0; mode <= modes; ++mode) {
      Entry e;
      e.typeId = id;
      e.mode = mode;
      e.rest.reset(CreatePuzzle(id));
      e.scrambled.reset(CreatePuzzle(id));
      if (!e.rest || !e.scrambled) return "cannot make puzzle " + std::to_string(id);
      if (mode > 0 && (!e.rest->SetMode(mode) || !e.scrambled->SetMode(mode)))
        return std::string(e.rest->GetName()) + " refuses its mode " + std::to_string(mode);
      for (CPuzzle* p : {e.rest.get(), e.scrambled.get()}) {
        ApplyScheme(*p, scheme);
        p->SetShowSymbols(symbols);
      }
      Randomize(kSheetSeed);
      e.scrambled->Scramble();
      entries.push_back(std::move(e));
    }
  }
  if (entries.empty()) return "no puzzle type is built";
  return "";
}

// The id and, for a type with modes, the mode ("9m2"): what a cell too narrow for the name
// shows instead, so that its label still tells the type and mode apart.
std::string EntryTag(const Entry& e) {
  std::string tag = std::to_string(e.typeId);
  if (e.mode > 0) tag += 'm' + std::to_string(e.mode);
  return tag;
}

std::string EntryName(const Entry& e) { return EntryTag(e) + "  " + e.rest->GetName(); }

std::string NotBuiltText() {
  std::string text;
  int count = 0;
  for (int id = 0; id < kPuzzleTypeCount; ++id) {
    if (IsPuzzleBuilt(id)) continue;
    if (count++) text += ", ";
    text += std::to_string(id) + " " + CPuzzle::GetTypeName(id);
  }
  return count ? "Not built yet: " + text + "." : "";
}

// Places `count` groups of three pictures under `top`, with `footer` pixels of text below.
// height 0: square pictures and the height that follows; otherwise the pictures shrink to fit.
Layout Fit(int width, int height, int count, int groupsPerLine, int top, int labelHeight, int footer) {
  Layout l;
  l.groupsPerLine = groupsPerLine;
  l.rows = (count + groupsPerLine - 1) / groupsPerLine;
  const int across = width - 2 * kMargin - (groupsPerLine - 1) * kGroupGap - groupsPerLine * 2 * kCellGap;
  l.cellWidth = across / (3 * groupsPerLine);
  const int fixed = top + l.rows * labelHeight + (l.rows - 1) * kRowGap + footer + kMargin;
  if (height == 0) {
    l.pictureHeight = l.cellWidth;
    l.height = fixed + l.rows * l.pictureHeight;
  } else {
    l.pictureHeight = std::min(l.cellWidth, (height - fixed) / l.rows);
    l.height = height;
  }
  const int used = groupsPerLine * (3 * l.cellWidth + 2 * kCellGap) + (groupsPerLine - 1) * kGroupGap;
  l.left = (width - used) / 2;
  return l;
}

// The name on the first line, what the picture shows on the second: on one line the two
// would crowd each other out in narrow cells and with long names.
// A name wider than the cell gives way to the tag.
void DrawLabel(CDC* dc, const RECT& strip, int lineHeight, const std::string& name, const std::string& tag,
               const std::string& state) {
  dc->FillSolidRect(&strip, kStrip);
  constexpr int pad = 6;
  const UINT format = DT_LEFT | DT_TOP | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX;
  RECT box{strip.left + pad, strip.top + kLabelPad, strip.right - pad, strip.top + kLabelPad + lineHeight};
  {
    CFontChoice bold(dc, kLabelPixels, FW_BOLD);
    dc->SetTextColor(kTitleText);
    if (dc->GetTextExtent(name).cx <= box.right - box.left) {
      dc->DrawText(name, &box, format);
    } else {
      // The tag may use the whole strip.
      RECT wide{strip.left + 1, box.top, strip.right - 1, box.bottom};
      dc->DrawText(tag, &wide, format);
    }
  }
  box.top += lineHeight;
  box.bottom += lineHeight;
  CFontChoice regular(dc, kLabelPixels, FW_NORMAL);
  dc->SetTextColor(kCaptionText);
  dc->DrawText(state, &box, format);
}

// Paints the puzzle centred in the picture, clipped to it; turn 0 (or a turn the position
// refuses) paints it at rest.
// With a painter the puzzle is handed to it, clipped to the picture, instead of painted.
void DrawPicture(CPuzzleCanvas& sheet, CPuzzle& p, const RECT& picture, int turn, int angle,
                 CCoveragePainter* smooth) {
  const int w = picture.right - picture.left, h = picture.bottom - picture.top;
  const int side = std::min(w, h);
  p.ResetView(side, side);
  p.SetCentre(picture.left + w / 2, picture.top + h / 2);
  CDC* dc = sheet.dc;
  const int saved = dc->SaveDC();
  dc->IntersectClipRect(&picture);
  if (smooth) {
    smooth->Begin(picture);
    p.SetSmoothPainter(smooth, false);
  }
  if (turn != 0 && IsTurnAllowedNow(p, turn))
    p.DrawMoveFrame(dc, &sheet.dib, turn, angle);
  else
    p.Draw(dc, &sheet.dib);
  p.SetSmoothPainter(nullptr, false);
  dc->RestoreDC(saved);
}

}  // namespace

bool IsTurnAllowedNow(CPuzzle& p, int move) {
  auto* planeCut = dynamic_cast<CPlaneCutPuzzle*>(&p);
  return !planeCut || planeCut->CanMove(move);
}

std::string PaintSheet(int width, int height, int maxSide, Sheet& out, int scheme, bool symbols, bool smooth) {
  std::vector<Entry> entries;
  std::string problem = MakeEntries(entries, scheme, symbols);
  if (!problem.empty()) return problem;
  const int count = static_cast<int>(entries.size());
  const auto noRoom = [count](int w, int h) {
    char text[160];
    std::snprintf(text, sizeof text, "a sheet of %dx%d has no room for %d puzzle pictures of %d pixels", w, h,
                  3 * count, kMinPicture);
    return std::string(text);
  };
  if (width < 2 * kMargin + 3 * kMinPicture + 2 * kCellGap) return noRoom(width, height);

  // Every puzzle's colours in one table, and the sheet's own.
  std::vector<COLORREF> colours;
  for (const Entry& e : entries)
    for (CPuzzle* p : {e.rest.get(), e.scrambled.get()})
      for (int i = 0; i < p->GetPaletteCount(); ++i) colours.push_back(p->GetPaletteEntry(i));
  for (COLORREF c : {kPanel, kStrip, kTitleText, kCaptionText}) colours.push_back(c);

  // Text is measured on a scrap image before the sheet's height is known.
  int titleHeight = 0, lineHeight = 0, footerHeight = 0;
  const std::string footer = NotBuiltText();
  {
    CPuzzleCanvas scrap(colours, 1, 1, kPage);
    if (!scrap.IsValid()) return "cannot make the image";
    {
      CFontChoice title(scrap.dc, kTitlePixels, FW_BOLD);
      titleHeight = title.LineHeight();
    }
    CFontChoice label(scrap.dc, kLabelPixels, FW_NORMAL);
    lineHeight = label.LineHeight();
    if (!footer.empty()) {
      RECT box{0, 0, width - 2 * kMargin, 0};
      footerHeight = scrap.dc->DrawText(footer, &box, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT) + kRowGap;
    }
  }
  const int labelHeight = 2 * lineHeight + 2 * kLabelPad;
  const int top = kMargin + titleHeight + 4 + lineHeight + 10;

  Layout layout;
  if (height == 0) {
    // Two puzzles a line reads well; more only when the sheet would be too tall.
    int groups = std::min(count, 2);
    layout = Fit(width, 0, count, groups, top, labelHeight, footerHeight);
    while (layout.height > maxSide && groups < count)
      layout = Fit(width, 0, count, ++groups, top, labelHeight, footerHeight);
  } else {
    for (int groups = 1; groups <= count; ++groups) {
      const Layout l = Fit(width, height, count, groups, top, labelHeight, footerHeight);
      if (std::min(l.cellWidth, l.pictureHeight) > std::min(layout.cellWidth, layout.pictureHeight)) layout = l;
    }
  }
  if (std::min(layout.cellWidth, layout.pictureHeight) < kMinPicture || layout.height > maxSide)
    return noRoom(width, height ? height : layout.height);

  out.canvas = std::make_unique<CPuzzleCanvas>(colours, width, layout.height, kPage);
  CPuzzleCanvas& sheet = *out.canvas;
  if (!sheet.IsValid()) return "cannot make the image";
  CDC* dc = sheet.dc;
  dc->SetBkMode(TRANSPARENT);
  std::vector<std::unique_ptr<CCoveragePainter>> painters;

  {
    int built = 0;
    for (int id = 0; id < kPuzzleTypeCount; ++id) built += IsPuzzleBuilt(id) ? 1 : 0;
    const std::string title = "Gyrix puzzle sheet: " + std::to_string(built) + " of " +
                              std::to_string(kPuzzleTypeCount) + " types built";
    const std::string caption = "Each type (and each mode) at rest, scrambled with seed " +
                                std::to_string(kSheetSeed) + ", and half way through turn 1.";
    {
      CFontChoice font(dc, kTitlePixels, FW_BOLD);
      dc->SetTextColor(kTitleText);
      dc->TextOut(kMargin, kMargin, title);
    }
    CFontChoice font(dc, kLabelPixels, FW_NORMAL);
    dc->SetTextColor(kCaptionText);
    dc->TextOut(kMargin, kMargin + titleHeight + 4, caption);
  }

  const int rowHeight = labelHeight + layout.pictureHeight;
  for (int n = 0; n < count; ++n) {
    Entry& e = entries[n];
    const int row = n / layout.groupsPerLine, column = n % layout.groupsPerLine;
    const int groupLeft = layout.left + column * (3 * layout.cellWidth + 2 * kCellGap + kGroupGap);
    const int y = top + row * (rowHeight + kRowGap);
    const std::string name = EntryName(e);

    // A type without an animated turn 1 shows its rest view again, saying why.
    int turn = 0, angle = 0;
    std::string turnState, turnLabel;
    if (e.rest->GetMoveCount() == 0) {
      turnState = turnLabel = "no turns";
    } else if (e.rest->GetAnimatedMove(1) < 0) {
      turnState = turnLabel = "turn 1 not animated";
    } else {
      turn = 1;
      angle = e.rest->GetMoveStep(1) * e.rest->GetMoveFrames(1) / 2;
      turnState = "turn 1 at " + std::to_string(angle) + " degrees";
      turnLabel = "turn 1 at " + std::to_string(angle) + "\xB0";  // the degree sign in the font's code page
    }
    const struct {
      CPuzzle* puzzle;
      std::string state, label;
      int turn;
    } pictures[3] = {{e.rest.get(), "at rest", "at rest", 0},
                     {e.scrambled.get(), "scrambled", "scrambled", 0},
                     {e.rest.get(), turnState, turnLabel, turn}};

    for (int k = 0; k < 3; ++k) {
      const int x = groupLeft + k * (layout.cellWidth + kCellGap);
      const RECT strip{x, y, x + layout.cellWidth, y + labelHeight};
      const RECT picture{x, y + labelHeight, x + layout.cellWidth, y + rowHeight};
      DrawLabel(dc, strip, lineHeight, name, EntryTag(e), pictures[k].label);
      dc->FillSolidRect(&picture, kPanel);
      if (smooth) painters.push_back(std::make_unique<CCoveragePainter>());
      DrawPicture(sheet, *pictures[k].puzzle, picture, pictures[k].turn, angle, smooth ? painters.back().get() : nullptr);
      out.cells.push_back(SheetCell{e.typeId, e.mode, pictures[k].state, picture});
    }
  }

  if (!footer.empty()) {
    const int y = top + layout.rows * rowHeight + (layout.rows - 1) * kRowGap + kRowGap;
    RECT box{kMargin, y, width - kMargin, layout.height};
    CFontChoice font(dc, kLabelPixels, FW_NORMAL);
    dc->SetTextColor(kCaptionText);
    dc->DrawText(footer, &box, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  }
  if (smooth) {
    out.smooth = std::make_unique<CImage32>();
    if (!out.smooth->Resize(width, layout.height)) return "cannot make the image";
    out.smooth->CopyFrom(sheet.dib, RECT{0, 0, width, layout.height});
    for (auto& painter : painters) painter->Paint(*out.smooth);
  }
  return "";
}
