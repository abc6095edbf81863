// The help's key tables come from the command tables: the pages shipped hold the default keys,
// and the copy the game opens shows the keys the player set.
#include <gyrix/shell/keyhelp.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include <platform/messages.h>

namespace {

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

const std::string kHelp = GYRIX_HELP_SOURCE;

TEST(KeyHelp, TheShippedPageHoldsTheDefaultKeysAndEveryCommandIsDescribed) {
  const std::string page = Read(kHelp + "keys.html");
  ASSERT_NE(page.find("<!-- keys:classic -->"), std::string::npos);
  ASSERT_NE(page.find("<!-- keys:speedcube -->"), std::string::npos);
  EXPECT_EQ(WithKeyTables(page, CCommandTable(), CCommandTable(EKeyLayout::Speedcube)), page)
      << "the page's key tables are not the default keys";
  for (ECommand command : CCommandTable::All()) EXPECT_STRNE(CommandHelpText(command), "") << CCommandTable::Name(command);
}

TEST(KeyHelp, TheCopyShowsTheKeysAsSetAndTheOtherFilesAsTheyAre) {
  namespace fs = std::filesystem;
  const fs::path to = fs::temp_directory_path() / ("gyrix-keyhelp-" + std::to_string(::getpid()));
  CCommandTable classic, speedcube(EKeyLayout::Speedcube);
  classic.SetChords(ECommand::Undo, {{'U', 0}});
  classic.SetChords(ECommand::Reset, {});
  speedcube.SetChords(ECommand::CubeR, {{'9', 0}});
  ASSERT_TRUE(WriteHelpCopy(kHelp, to.string(), classic, speedcube));
  const std::string keys = Read((to / "keys.html").string());
  EXPECT_NE(keys.find("<tr><td><kbd>U</kbd></td><td>Undo"), std::string::npos);
  EXPECT_NE(keys.find("<tr><td>(no key)</td><td>Reset"), std::string::npos);
  EXPECT_NE(keys.find("<tr><td><kbd>9</kbd></td><td>R: the right layer"), std::string::npos);
  EXPECT_EQ(keys.find("<kbd>Backspace</kbd> or"), std::string::npos);
  EXPECT_EQ(Read((to / "style.css").string()), Read(kHelp + "style.css"));
  EXPECT_EQ(Read((to / "puzzles.html").string()), Read(kHelp + "puzzles.html"));
  // Written again over the first copy.
  classic.SetChords(ECommand::Undo, {{VK_BACK, 0}});
  ASSERT_TRUE(WriteHelpCopy(kHelp, to.string(), classic, speedcube));
  EXPECT_NE(Read((to / "keys.html").string()).find("<kbd>Backspace</kbd></td><td>Undo"), std::string::npos);
  fs::remove_all(to);
  // A place that cannot be written.
  EXPECT_FALSE(WriteHelpCopy(kHelp, "/proc/gyrix-no-such-place/help", classic, speedcube));
}

}  // namespace
