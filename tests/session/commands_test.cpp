// The command table's keys as the settings file keeps them: chords named and read back, the
// [Keys] section written, read over the defaults, and what it holds that is wrong refused
// without losing the rest.
#include <gyrix/session/commands.h>

#include <platform/messages.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(KeyChords, EveryDefaultKeyIsNamedAndReadBackAsItself) {
  CCommandTable table;
  for (const SKeyBinding& b : table.Bindings()) {
    const std::string text = ChordText(b.chord);
    ASSERT_FALSE(text.empty()) << CCommandTable::Name(b.command);
    SKeyChord back;
    ASSERT_TRUE(ParseChord(text, back)) << text;
    EXPECT_EQ(back, b.chord) << text;
  }
  EXPECT_EQ(ChordText({'Z', kModCtrl | kModShift}), "Ctrl+Shift+Z");
  EXPECT_EQ(ChordText({VK_BACK, 0}), "Backspace");
  SKeyChord c;
  // Modifiers in any order and case; a plus key after a modifier.
  ASSERT_TRUE(ParseChord("shift+ctrl+z", c));
  EXPECT_EQ(c, (SKeyChord{'Z', kModCtrl | kModShift}));
  ASSERT_TRUE(ParseChord("Ctrl+=", c));
  EXPECT_EQ(c, (SKeyChord{VK_OEM_PLUS, kModCtrl}));
  ASSERT_TRUE(ParseChord(" left ", c));
  EXPECT_EQ(c, (SKeyChord{VK_LEFT, 0}));
  for (const char* bad : {"", "Ctrl+", "Hyper+Z", "NoSuchKey", "Ctrl+Shift+"}) EXPECT_FALSE(ParseChord(bad, c)) << bad;
}

TEST(KeySection, WrittenAndReadBackItGivesTheSameTable) {
  CCommandTable table;
  table.SetChords(ECommand::Undo, {{'U', 0}, {VK_BACK, 0}});
  table.SetChords(ECommand::About, {});
  table.Bind({VK_OEM_COMMA, kModCtrl}, ECommand::Options);
  const std::string section = table.WriteSection();
  EXPECT_NE(section.find("Undo=U, Backspace\n"), std::string::npos) << section;
  EXPECT_NE(section.find("About=\n"), std::string::npos) << section;
  EXPECT_NE(section.find("Options=O, Ctrl+,\n"), std::string::npos) << section;

  CCommandTable read;
  std::vector<std::string> problems;
  read.ReadSection(section, problems);
  EXPECT_TRUE(problems.empty());
  for (ECommand command : CCommandTable::All()) EXPECT_EQ(read.ChordsOf(command), table.ChordsOf(command)) << CCommandTable::Name(command);
  EXPECT_EQ(read.Find('A', 0), ECommand::None);
}

TEST(KeySection, WhatIsWrongIsToldAndSkippedAndTheRestIsKept) {
  CCommandTable table;
  std::vector<std::string> problems;
  table.ReadSection("Undo=U\nFly=F\nRedo=Ctrl+Y, Warp+9\nReset=M\nScramble=Q\n; a comment\n\n", problems);
  ASSERT_EQ(problems.size(), 2u);
  EXPECT_NE(problems[0].find("Fly"), std::string::npos);
  EXPECT_NE(problems[1].find("Warp+9"), std::string::npos);
  EXPECT_EQ(table.Find('U', 0), ECommand::Undo);
  EXPECT_EQ(table.Find(VK_BACK, 0), ECommand::None);  // Undo's keys are the file's now
  EXPECT_EQ(table.Find('Y', kModCtrl), ECommand::Redo);
  // M passes from Scramble to Reset, which the file gives new keys too: no collision.
  EXPECT_EQ(table.Find('M', 0), ECommand::Reset);
  EXPECT_EQ(table.Find('Q', 0), ECommand::Scramble);
  EXPECT_EQ(table.Find('R', 0), ECommand::None);
  EXPECT_EQ(table.Find('O', 0), ECommand::Options);  // not in the file: the default

  // A key the file gives to a second command while a command it leaves alone has it.
  CCommandTable clash;
  problems.clear();
  clash.ReadSection("Reset=O\n", problems);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0], "O is already the key of Options");
  EXPECT_EQ(clash.Find('O', 0), ECommand::Options);
  EXPECT_TRUE(clash.ChordsOf(ECommand::Reset).empty());

  std::string why;
  EXPECT_FALSE(clash.TryBind({'H', 0}, ECommand::Undo, &why));
  EXPECT_EQ(why, "H is already the key of Hint");
  EXPECT_TRUE(clash.TryBind({'H', 0}, ECommand::Hint));
}

TEST(KeySection, ItIsFoundInTheFileAndTakenOutWithTheRestLeftAlone) {
  std::string section;
  const std::string rest =
      CCommandTable::SplitSection("Smooth=1\n[Keys]\nUndo=U\nRedo=Ctrl+Y\n[Other]\nX=1\nAnimSpeed=150\n", section);
  EXPECT_EQ(section, "Undo=U\nRedo=Ctrl+Y\n");
  EXPECT_EQ(rest, "Smooth=1\n[Other]\nX=1\nAnimSpeed=150\n");
  EXPECT_EQ(CCommandTable::SplitSection("Smooth=1\n", section), "Smooth=1\n");
  EXPECT_TRUE(section.empty());
  CCommandTable::SplitSection("[keys]\nUndo=U", section);
  EXPECT_EQ(section, "Undo=U\n");
}

}  // namespace
