// The help page of the puzzles lists what the menus hold, in their order.
#include "shell_test_util.h"

#include <fstream>
#include <regex>
#include <sstream>

namespace {

// The names in the last cell of each row of the page's table, a row a list.
std::vector<std::vector<std::string>> PageRows(const std::string& html) {
  std::vector<std::vector<std::string>> rows;
  const std::regex row("<tr>(.*?)</tr>");
  const std::regex cell("<td[^>]*>(.*?)</td>");
  for (auto r = std::sregex_iterator(html.begin(), html.end(), row); r != std::sregex_iterator(); ++r) {
    const std::string inside = (*r)[1];
    std::string last;
    for (auto c = std::sregex_iterator(inside.begin(), inside.end(), cell); c != std::sregex_iterator(); ++c) last = (*c)[1];
    if (last.empty()) continue;  // the heading
    std::vector<std::string> names;
    std::stringstream list(last);
    for (std::string item; std::getline(list, item, ',');) {
      item = item.substr(item.find_first_not_of(' '));
      names.push_back(item.substr(0, item.find(" (")));  // a note in brackets is not the name
    }
    rows.push_back(names);
  }
  return rows;
}

std::string NameOf(CMenuButton* leaf) {
  const int type = CPuzzleDlg::PuzzleTypeForButton(leaf->GetId());
  return type < 0 ? "" : CPuzzle::GetTypeName(type);
}

}  // namespace

TEST_F(ShellTest, ThePuzzlePageListsTheMenusAsTheWindowShowsThem) {
  std::ifstream in(std::string(GYRIX_HELP_SOURCE) + "puzzles.html");
  ASSERT_TRUE(in.good());
  std::stringstream text;
  text << in.rdbuf();
  const auto rows = PageRows(text.str());

  // The window's own tree: each sub-menu is one row of its puzzles; the puzzles a category
  // holds itself come in its order, one row or several.
  OpenWindow();
  std::vector<std::string> pageOrder, menuOrder;
  for (const auto& r : rows) pageOrder.insert(pageOrder.end(), r.begin(), r.end());
  std::vector<std::vector<std::string>> subMenus;
  int categories = 0;
  for (int i = 0; i < m_dlg->GetTopLevelButtonCount(); ++i) {
    CMenuButton* category = m_dlg->GetTopLevelButton(i);
    if (!category->HasChildren()) continue;
    ++categories;
    for (CUNode* n = category->GetChildren().GetHeadNode(); n; n = n->GetNext()) {
      auto* child = static_cast<CMenuButton*>(n->GetObject());
      if (child->HasChildren()) {
        std::vector<std::string> names;
        for (CUNode* m = child->GetChildren().GetHeadNode(); m; m = m->GetNext())
          if (std::string name = NameOf(static_cast<CMenuButton*>(m->GetObject())); !name.empty()) names.push_back(name);
        subMenus.push_back(names);
        menuOrder.insert(menuOrder.end(), names.begin(), names.end());
      } else if (std::string name = NameOf(child); !name.empty()) {
        menuOrder.push_back(name);
      }
    }
  }
  EXPECT_EQ(categories, 5);
  EXPECT_EQ(pageOrder, menuOrder);
  for (const auto& group : subMenus) EXPECT_NE(std::find(rows.begin(), rows.end(), group), rows.end()) << group.front();
  // Every type is in the menus once.
  std::vector<std::string> sorted = menuOrder;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end());
  EXPECT_EQ(static_cast<int>(sorted.size()), kPuzzleTypeCount);
}
