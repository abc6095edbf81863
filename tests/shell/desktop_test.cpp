// The game as a desktop starts it: its command line, a puzzle file to open at start, where
// its files live, and ending by a signal.
#include "shell_test_util.h"

#include <gyrix/shell/commandline.h>
#include <gyrix/shell/locations.h>
#include <gyrix/puzzles.h>

#include <csignal>
#include <fstream>

namespace {

CCommandLine Parse(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "gyrix");
  return ParseCommandLine(static_cast<int>(arguments.size()), arguments.data());
}

}  // namespace

TEST(CommandLine, AFileOpensHelpAndVersionPrintAndAnythingElseIsIgnored) {
  EXPECT_EQ(Parse({}).action, CCommandLine::Action::Play);
  EXPECT_EQ(Parse({}).file, "");
  EXPECT_EQ(Parse({"game.puz"}).file, "game.puz");
  EXPECT_EQ(Parse({"game.puz", "--help"}).action, CCommandLine::Action::Help);
  EXPECT_EQ(Parse({"-h"}).action, CCommandLine::Action::Help);
  EXPECT_EQ(Parse({"--version"}).action, CCommandLine::Action::Version);
  EXPECT_NE(GetVersionText().find("Gyrix 1.31"), std::string::npos);

  const CCommandLine odd = Parse({"--fullscreen", "a.puz", "b.puz", "-x"});
  EXPECT_EQ(odd.action, CCommandLine::Action::Play);
  EXPECT_EQ(odd.file, "a.puz");
  EXPECT_EQ(odd.ignored, (std::vector<std::string>{"--fullscreen", "b.puz", "-x"}));
  // A file whose name starts with a dash still opens after "--".
  EXPECT_EQ(Parse({"--", "--version"}).file, "--version");
}

TEST(Locations, APortableCopyKeepsItsSettingsAnInstalledOneUsesTheConfigFolder) {
  char name[] = "/tmp/gyrix-locations-XXXXXX";
  ASSERT_NE(mkdtemp(name), nullptr);
  const std::filesystem::path root = name;
  const std::string portable = (root / "portable").string() + "/";
  const std::string bin = (root / "usr/bin").string() + "/";
  std::filesystem::create_directories(portable);
  std::filesystem::create_directories(bin);
  std::filesystem::create_directories(root / "usr/share/gyrix");
  const std::string config = (root / "config").string();
  const std::string home = (root / "home").string();

  EXPECT_FALSE(IsInstalledLayout(portable));
  EXPECT_EQ(ResourceFolderFor(portable), portable);
  EXPECT_EQ(SettingsPathFor(portable, config.c_str(), home.c_str()), portable + "Gyrix.ini");

  EXPECT_TRUE(IsInstalledLayout(bin));
  EXPECT_EQ(ResourceFolderFor(bin), bin + "../share/gyrix/");
  EXPECT_EQ(SettingsPathFor(bin, config.c_str(), home.c_str()), config + "/gyrix/Gyrix.ini");
  EXPECT_TRUE(std::filesystem::is_directory(config + "/gyrix"));
  // Without an absolute XDG_CONFIG_HOME: ~/.config, made when missing.
  EXPECT_EQ(SettingsPathFor(bin, "relative", home.c_str()), home + "/.config/gyrix/Gyrix.ini");
  EXPECT_TRUE(std::filesystem::is_directory(home + "/.config/gyrix"));
  EXPECT_EQ(SettingsPathFor(bin, nullptr, nullptr), bin + "Gyrix.ini");

  // A settings file already beside the program wins.
  std::ofstream(bin + "Gyrix.ini") << "ShowTimer=0\n";
  EXPECT_EQ(SettingsPathFor(bin, config.c_str(), home.c_str()), bin + "Gyrix.ini");
  std::filesystem::remove_all(root);
}

TEST_F(ShellTest, AFileNamedAtStartOpensAsOpenWouldAndABadOneGetsTheSameBox) {
  const std::string good = (m_folder / "pyramid.puz").string();
  std::unique_ptr<CPuzzle> saved(CreatePuzzle(5));
  saved->DoMove(1, 1);
  ASSERT_EQ(saved->Save(good.c_str()), 1);

  OpenWindow();
  m_dlg->SetStartFile(good);
  m_dlg->OpenStartFile();
  EXPECT_TRUE(m_services.messages.empty());
  EXPECT_EQ(m_dlg->GetPuzzle()->GetTypeId(), 5);
  EXPECT_EQ(m_dlg->GetLastPuzzle(), 5);
  // Opened once only.
  m_dlg->OpenStartFile();
  EXPECT_TRUE(m_services.messages.empty());

  const std::string bad = (m_folder / "bad.puz").string();
  std::ofstream(bad, std::ios::binary) << "not a puzzle at all, just words";
  m_dlg->SetStartFile(bad);
  m_dlg->OpenStartFile();
  ASSERT_EQ(m_services.messages.size(), 1u);
  EXPECT_EQ(m_services.messages[0], CPolyModel::GetBadFileMessage());
  EXPECT_EQ(m_dlg->GetPuzzle()->GetTypeId(), 5);

  m_dlg->SetStartFile((m_folder / "missing.puz").string());
  m_dlg->OpenStartFile();
  ASSERT_EQ(m_services.messages.size(), 2u);
  EXPECT_NE(m_services.messages[1].find("missing.puz"), std::string::npos);
  EXPECT_EQ(m_dlg->GetPuzzle()->GetTypeId(), 5);
}

TEST_F(ShellTest, TermAndInterruptSignalsCloseTheWindowAndSaveTheSettings) {
  CEventLoop::QuitOnSignals();
  for (int sig : {SIGTERM, SIGINT}) {
    std::filesystem::remove(m_settings);
    CPuzzleDlg dlg(nullptr);
    CEventLoop::SetModalHook([&](CWnd* wnd) {
      if (wnd != &dlg) return;
      std::raise(sig);
    });
    dlg.DoModal();
    CEventLoop::SetModalHook(nullptr);
    EXPECT_TRUE(CEventLoop::QuitRequested());
    CEventLoop::ClearQuit();
    EXPECT_NE(ReadSettings().find("LastPuzzle=1"), std::string::npos) << sig;
    // The handler is spent after one signal; set it again for the next.
    CEventLoop::QuitOnSignals();
  }
  std::signal(SIGTERM, SIG_DFL);
  std::signal(SIGINT, SIG_DFL);
}
