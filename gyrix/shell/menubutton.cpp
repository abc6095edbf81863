// The picture-button tree: its layout tables, visibility, hit test and drawing, and the
// commands its leaves run.
#include <gyrix/shell/menubutton.h>

#include <gyrix/shell/puzzledlg.h>
#include <gyrix/puzzles.h>

#include <algorithm>
#include <iterator>

namespace {

constexpr int kButtonSize = 64;
constexpr int kMargin = 10;
constexpr int kShift = 2;  // how far a hovered button lifts and a pressed one sinks
// The Challenge banner's corner, this far left of and above the bottom-right corner.
constexpr int kBannerFromRight = 89;
constexpr int kBannerFromBottom = 43;
// The clock at the bottom-left: six digits and two colons with its margin.
constexpr int kClockRoom = 10 + 6 * 25 + 2 * 10;
// A puzzle drawn with the buttons keeps this far from every edge, clear of the columns, the
// top row, the clock and the banner; it takes at most this share of the view's larger side
// across; and the smallest window leaves it this many pixels.
constexpr int kPuzzleClearance = kMargin + kButtonSize + kMargin;
constexpr double kPuzzleShare = 0.7;
constexpr int kLeastPuzzle = 240;

// Where a top-level button sits: a column on the left, a row along the top, a column on the
// right, or the corner above the bottom-right.
enum class Anchor { TopLeft, TopRight, BottomRight };

struct TopLevelEntry {
  int bitmap;
  Anchor anchor;
  int column;  // TopLeft: 0..2 along the top row; TopRight: unused
  int row;     // rows of 64 pixels downwards
};

const TopLevelEntry kTopLevel[] = {
    {IDB_RESET, Anchor::TopLeft, 0, 0},   {IDB_OPEN, Anchor::TopLeft, 1, 0},
    {IDB_SAVE, Anchor::TopLeft, 2, 0},    {139, Anchor::TopRight, 0, 0},
    {IDB_SCRAMBLE, Anchor::TopLeft, 0, 1}, {IDB_SOLVE, Anchor::TopLeft, 0, 2},
    {IDB_OPTIONS, Anchor::TopLeft, 0, 3},  {IDB_STATISTICS, Anchor::TopLeft, 0, 4},
    {137, Anchor::TopRight, 0, 1},        {147, Anchor::TopRight, 0, 2},
    {161, Anchor::TopRight, 0, 3},        {179, Anchor::TopRight, 0, 4},
    {IDB_CHALLENGE, Anchor::BottomRight, 0, 0},
};

// One child of a menu: a leaf (id = bitmap) or a sub-menu with its own id.
struct MenuChild {
  int bitmap;
  int id;  // 0: the bitmap id
};

struct MenuEntry {
  int id;  // the menu this row fills
  MenuChild children[7];
};

// Every menu's children in order; the back button closes each column. Sub-menus (ids 900 and
// up) appear in a row of their own further down.
const MenuEntry kMenus[] = {
    {139, {{139, 900}, {151, 901}, {196, 904}, {IDB_BACK, 0}}},
    {900, {{138, 0}, {139, 0}, {140, 0}, {141, 0}, {185, 0}, {IDB_BACK, 0}}},
    {901, {{181, 0}, {192, 0}, {151, 0}, {188, 0}, {IDB_BACK, 0}}},
    {904, {{196, 0}, {197, 0}, {198, 0}, {202, 0}, {IDB_BACK, 0}}},
    {137, {{137, 902}, {154, 903}, {199, 0}, {IDB_BACK, 0}}},
    {902, {{137, 0}, {189, 0}, {193, 0}, {IDB_BACK, 0}}},
    {903, {{203, 0}, {153, 0}, {154, 0}, {190, 0}, {184, 0}, {IDB_BACK, 0}}},
    {147, {{147, 905}, {152, 0}, {186, 0}, {IDB_BACK, 0}}},
    {905, {{147, 0}, {156, 0}, {155, 0}, {201, 0}, {IDB_BACK, 0}}},
    {161, {{161, 0}, {144, 0}, {194, 0}, {195, 0}, {IDB_BACK, 0}}},
    {179, {{179, 0}, {180, 0}, {182, 0}, {187, 0}, {191, 0}, {IDB_BACK, 0}}},
};

// The leaf id that selects each puzzle type, by type id.
const int kPuzzleButtons[kPuzzleTypeCount] = {
    138, 139, 140, 141, 137, 144, 151, 147, 152, 153,  // 0-9
    154, 156, 155, 161, 179, 180, 181, 182, 184, 185,  // 10-19
    186, 187, 188, 189, 190, 191, 192, 193, 194, 195,  // 20-29
    196, 197, 198, 202, 203, 199, 201,                 // 30-36
};

const MenuEntry* FindMenu(int id) {
  for (const MenuEntry& menu : kMenus)
    if (menu.id == id) return &menu;
  return nullptr;
}

CMenuButton* ChildAt(CUNode* node) {
  return node ? static_cast<CMenuButton*>(node->GetObject()) : nullptr;
}

}  // namespace

CMenuButton* CMenuButton::cm_openMenu = nullptr;

CMenuButton::CMenuButton(CFrame* image, int bitmapId, int x, int y, int id)
    : m_image(image), m_bitmapId(bitmapId), m_x(x), m_y(y), m_id(id ? id : bitmapId) {}

CMenuButton::~CMenuButton() {
  if (cm_openMenu == this) cm_openMenu = nullptr;
}

void CMenuButton::AddChild(CMenuButton* child) {
  m_children.AddTail(child);
  child->m_parent = this;
}

CRect CMenuButton::GetRect() const {
  int w = m_image ? m_image->Width() : 0;
  int h = m_image ? m_image->Height() : 0;
  return SetupRect(CPoint(m_x, m_y), w, h);
}

void CMenuButton::CloseMenu() {
  if (cm_openMenu) cm_openMenu = cm_openMenu->m_parent;
}

CMenuButton* CMenuButton::FindById(int id) {
  if (id == -1) {
    cm_openMenu = this;
    return this;
  }
  if (id == m_id && HasChildren()) {
    cm_openMenu = this;
    return this;
  }
  for (CUNode* n = m_children.GetHeadNode(); n; n = n->GetNext())
    if (CMenuButton* found = ChildAt(n)->FindById(id)) return found;
  cm_openMenu = nullptr;
  return nullptr;
}

CMenuButton* CMenuButton::HitButton(CPuzzleDlg* wnd) {
  if (!wnd || wnd->IsMessageShown()) return nullptr;
  CWnd* focus = CWnd::GetFocus();
  if (focus != wnd && !wnd->IsChild(focus)) return nullptr;
  if (HasChildren() && cm_openMenu) {
    if (this == cm_openMenu) {
      for (CUNode* n = m_children.GetHeadNode(); n; n = n->GetNext())
        if (CMenuButton* hit = ChildAt(n)->HitButton(wnd)) return hit;
    }
    if (cm_openMenu != m_parent) return nullptr;
  }
  if (m_parent && m_parent != cm_openMenu) return nullptr;
  POINT cursor;
  GetCursorPos(&cursor);
  wnd->ScreenToClient(&cursor);
  return GetRect().PtInRect(cursor) ? this : nullptr;
}

void CMenuButton::DrawButton(CPuzzleDlg* wnd, CDib* dib) {
  if (HasChildren() && cm_openMenu) {
    if (this == cm_openMenu)
      for (CUNode* n = m_children.GetHeadNode(); n; n = n->GetNext()) ChildAt(n)->DrawButton(wnd, dib);
    if (cm_openMenu != m_parent) return;
  }
  if (m_parent && m_parent != cm_openMenu) return;
  if (!m_image) return;
  CPoint at(m_x, m_y);
  if (HitButton(wnd) == this) {
    int shift = IsPressed(VK_LBUTTON) ? kShift : -kShift;
    at.Offset(shift, shift);
  }
  CRect client;
  wnd->GetClientRect(&client);
  if (client.PtInRect(at)) m_image->Draw(dib, at);
}

// ---------------------------------------------------------------------------------------------
// The tree of the main window

void CPuzzleDlg::BuildButtons() {
  if (!CDibWnd::cm_palette.GetEntryCount()) return;
  CMenuButton* open = CMenuButton::GetOpenMenu();
  int openId = open ? open->GetId() : 0;
  CMenuButton::SetOpenMenu(nullptr);
  m_hovered = nullptr;
  m_buttons.DeleteAll();

  CRect client;
  if (m_hWnd) GetClientRect(&client);
  const int left = client.left + kMargin;
  const int top = client.top + kMargin;
  const int right = client.right - kButtonSize;
  auto make = [this](int bitmap, int x, int y, int id) {
    return new CMenuButton(GetCachedFrame(bitmap, FALSE), bitmap, x, y, id);
  };
  // Fills a menu column from the top of the right edge, sub-menus recursively.
  auto fill = [&](auto& self, CMenuButton* menu) -> void {
    const MenuEntry* entry = FindMenu(menu->GetId());
    if (!entry) return;
    int row = 0;
    for (const MenuChild& c : entry->children) {
      if (c.bitmap == 0) break;
      CMenuButton* child = make(c.bitmap, right, top + kButtonSize * row++, c.id);
      menu->AddChild(child);
      if (c.id != 0) self(self, child);
    }
  };
  for (const TopLevelEntry& e : kTopLevel) {
    int x = 0, y = 0;
    switch (e.anchor) {
      case Anchor::TopLeft: x = left + kButtonSize * e.column; y = top + kButtonSize * e.row; break;
      case Anchor::TopRight: x = right; y = top + kButtonSize * e.row; break;
      case Anchor::BottomRight: x = client.right - kBannerFromRight; y = client.bottom - kBannerFromBottom; break;
    }
    CMenuButton* button = make(e.bitmap, x, y, 0);
    m_buttons.Add(button);
    fill(fill, button);
  }
  for (int i = 0; i < 10; ++i) m_digits[i] = GetCachedFrame(IDB_DIGIT0 + i, TRUE);
  m_digits[10] = GetCachedFrame(IDB_COLON, TRUE);
  OpenMenuById(openId);
}

CSize CPuzzleDlg::MinimumClientSize() {
  // The tallest column: the right-hand buttons, or the longest menu with its back button.
  int rows = 0, leftColumns = 0, leftRows = 0;
  for (const TopLevelEntry& e : kTopLevel) {
    if (e.anchor == Anchor::TopRight) rows = std::max(rows, e.row + 1);
    if (e.anchor == Anchor::TopLeft) {
      leftColumns = std::max(leftColumns, e.column + 1);
      leftRows = std::max(leftRows, e.row + 1);
    }
  }
  for (const MenuEntry& menu : kMenus) {
    int count = 0;
    while (count < static_cast<int>(std::size(menu.children)) && menu.children[count].bitmap != 0) ++count;
    rows = std::max(rows, count);
  }
  // The banner sits a margin below the tallest column, the clock below the left column.
  const int height = std::max(kMargin + rows * kButtonSize + kMargin + kBannerFromBottom,
                              kMargin + leftRows * kButtonSize + kMargin + kBannerFromBottom);
  // The top row must not reach the right column, nor the clock the banner; and the puzzle
  // keeps a useful size between them.
  const int width = std::max({kMargin + leftColumns * kButtonSize + kMargin + kButtonSize,
                              kClockRoom + kMargin + kBannerFromRight, 2 * kPuzzleClearance + kLeastPuzzle});
  return CSize(width, std::max(height, 2 * kPuzzleClearance + kLeastPuzzle));
}

int CPuzzleDlg::PuzzleRoom(CSize client) {
  const int across = std::min(client.cx, client.cy) - 2 * kPuzzleClearance;
  return std::max(static_cast<int>(across / kPuzzleShare), 1);
}

void CPuzzleDlg::OpenMenuById(int id) {
  CMenuButton::SetOpenMenu(nullptr);
  for (int i = 0; i < m_buttons.GetCount(); ++i)
    if (GetTopLevelButton(i)->FindById(id)) return;
  CMenuButton::SetOpenMenu(nullptr);
}

CMenuButton* CPuzzleDlg::HitButtons() {
  if (!m_showButtons || IsMessageShown()) return nullptr;
  for (int i = 0; i < m_buttons.GetCount(); ++i)
    if (CMenuButton* hit = GetTopLevelButton(i)->HitButton(this)) return hit;
  if (CMenuButton* open = CMenuButton::GetOpenMenu()) return open->HitButton(this);
  return nullptr;
}

int CPuzzleDlg::PuzzleTypeForButton(int id) {
  for (int type = 0; type < static_cast<int>(std::size(kPuzzleButtons)); ++type)
    if (kPuzzleButtons[type] == id) return type;
  return -1;
}

void CPuzzleDlg::RunButtonCommand(int id) {
  switch (id) {
    case IDB_RESET: RunCommand(ECommand::Reset); return;
    case IDB_OPEN: RunCommand(ECommand::Open); return;
    case IDB_SAVE: RunCommand(ECommand::Save); return;
    case IDB_SCRAMBLE: RunCommand(ECommand::NewScramble); return;
    case IDB_OPTIONS: RunCommand(ECommand::Options); return;
    case IDB_STATISTICS: RunCommand(ECommand::Statistics); return;
    case IDB_SOLVE: RunCommand(ECommand::Solve); return;
    case IDB_CHALLENGE: RunCommand(ECommand::Challenges); return;
    case IDB_BACK: {
      CMenuButton::CloseMenu();
      CMenuButton* open = CMenuButton::GetOpenMenu();
      m_lastMenu = open ? open->GetId() : 0;
      return;
    }
    default: break;
  }
  int type = PuzzleTypeForButton(id);
  if (type >= 0) SelectPuzzle(type);
}
