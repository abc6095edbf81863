// The keys the player changed, in the settings file's [Keys] section: they play, survive a
// restart with the other settings, and a line that is not understood is told once, kept in
// the file, and costs nothing else.
#include "shell_test_util.h"

#include <string>

namespace {

TEST_F(ShellTest, KeysFromTheSettingsFilePlayAndComeBackAfterARestart) {
  WriteSettings("LastPuzzle=0\nSmooth=0\n[Keys]\nUndo=U\nScramble=Ctrl+M\nTeleport=T\n");
  OpenWindow();
  Settle();
  // Told once, with the line that was not understood.
  ASSERT_EQ(m_services.messages.size(), 1u);
  EXPECT_NE(m_services.messages[0].find("Teleport"), std::string::npos) << m_services.messages[0];
  CPuzzle* p = m_dlg->GetPuzzle();
  ASSERT_EQ(p->GetTypeId(), 0);

  Key('M');  // no longer the scramble
  Settle();
  EXPECT_TRUE(p->IsSolved());
  CEventLoop::InjectKey(VK_CONTROL, true);
  Key('M');
  CEventLoop::InjectKey(VK_CONTROL, false);
  Settle();
  EXPECT_FALSE(m_dlg->GetPuzzle()->IsSolved());
  Key('U');
  Settle();
  EXPECT_TRUE(m_dlg->GetPuzzle()->IsSolved());

  CloseWindow();
  const std::string saved = ReadSettings();
  const size_t section = saved.find("[Keys]\n");
  ASSERT_NE(section, std::string::npos) << saved;
  EXPECT_NE(saved.find("\nUndo=U\n", section), std::string::npos) << saved;
  EXPECT_NE(saved.find("\nScramble=Ctrl+M\n", section), std::string::npos) << saved;
  EXPECT_NE(saved.find("\nTeleport=T\n", section), std::string::npos) << saved;  // kept for a newer program
  EXPECT_NE(saved.find("Smooth=0\n"), std::string::npos);
  // The other settings stay ahead of the section.
  EXPECT_LT(saved.find("LastPuzzle="), section);

  m_services.messages.clear();
  OpenWindow();
  Settle();
  EXPECT_EQ(m_dlg->GetCommandTable().Find('U', 0), ECommand::Undo);
  EXPECT_EQ(m_dlg->GetCommandTable().Find('M', 0), ECommand::None);
  EXPECT_EQ(m_services.messages.size(), 1u);  // the unknown line is still there, and told again
}

TEST_F(ShellTest, WithoutASectionTheKeysAreTheDefaultsAndTheFileGetsOne) {
  WriteSettings("LastPuzzle=1\n");
  OpenWindow();
  Settle();
  EXPECT_TRUE(m_services.messages.empty());
  EXPECT_EQ(m_dlg->GetCommandTable().Find(VK_BACK, 0), ECommand::Undo);
  CloseWindow();
  const std::string saved = ReadSettings();
  EXPECT_NE(saved.find("[Keys]\nUndo=Backspace, Ctrl+Z\n"), std::string::npos) << saved;
}

}  // namespace
