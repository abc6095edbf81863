// Play from a game controller: the pad's state becomes the cursor's moves and turns, clicks,
// the commands of its buttons and view turns; a real virtual pad plugged in plays in the main
// window, wins over the joystick, and unplugged leaves the game as it is.
#include "shell_test_util.h"

#include <gyrix/shell/controllerplay.h>

#include <SDL.h>

#include <chrono>
#include <thread>
#include <vector>

namespace {

std::vector<ECommand> Commands(const std::vector<SPadAction>& actions) {
  std::vector<ECommand> out;
  for (const SPadAction& a : actions)
    if (a.command != ECommand::None) out.push_back(a.command);
  return out;
}

SControllerState Pad(unsigned buttons, float lx = 0, float ly = 0, float rx = 0, float ry = 0) {
  SControllerState s;
  s.buttons = buttons;
  s.leftX = lx, s.leftY = ly, s.rightX = rx, s.rightY = ry;
  return s;
}

TEST(ControllerPlay, DirectionsMoveTheCursorRepeatWhenHeldAndTurnWithTheSouthButton) {
  CControllerPlay play;
  std::uint64_t t = 1000;
  EXPECT_TRUE(Commands(play.Update(Pad(0), t)).empty());
  // Held from the first read: nothing, the pad may have been plugged in with it held.
  EXPECT_EQ(Commands(play.Update(Pad(kPadRight), t += 20)), std::vector<ECommand>{ECommand::CursorRight});
  EXPECT_TRUE(Commands(play.Update(Pad(kPadRight), t += 20)).empty());
  t += CControllerPlay::kRepeatDelayMs;
  EXPECT_EQ(Commands(play.Update(Pad(kPadRight), t)), std::vector<ECommand>{ECommand::CursorRight});
  EXPECT_TRUE(Commands(play.Update(Pad(kPadRight), t += 20)).empty());
  EXPECT_EQ(Commands(play.Update(Pad(kPadRight), t += CControllerPlay::kRepeatMs)), std::vector<ECommand>{ECommand::CursorRight});
  EXPECT_TRUE(Commands(play.Update(Pad(0), t += 20)).empty());
  // The left stick pushed past its mark, its stronger axis.
  EXPECT_TRUE(Commands(play.Update(Pad(0, 0.3f, -0.2f), t += 20)).empty());
  EXPECT_EQ(Commands(play.Update(Pad(0, 0.4f, -0.9f), t += 20)), std::vector<ECommand>{ECommand::CursorUp});
  EXPECT_TRUE(Commands(play.Update(Pad(0), t += 20)).empty());
  // A held: a direction turns, and letting A go is no click.
  EXPECT_TRUE(Commands(play.Update(Pad(kPadSouth), t += 20)).empty());
  EXPECT_EQ(Commands(play.Update(Pad(kPadSouth | kPadDown), t += 20)), std::vector<ECommand>{ECommand::TurnDown});
  EXPECT_TRUE(Commands(play.Update(Pad(kPadSouth), t += 20)).empty());
  EXPECT_TRUE(Commands(play.Update(Pad(0), t += 20)).empty());
  // A alone: a click when it is let go.
  play.Update(Pad(kPadSouth), t += 20);
  EXPECT_EQ(Commands(play.Update(Pad(0), t += 20)), std::vector<ECommand>{ECommand::Click});
}

TEST(ControllerPlay, ButtonsGiveTheirCommandsOnceAndTheRightStickTurnsTheView) {
  CControllerPlay play;
  std::uint64_t t = 0;
  play.Update(Pad(0), t);
  const std::vector<ECommand> all = Commands(play.Update(
      Pad(kPadEast | kPadWest | kPadNorth | kPadStart | kPadLeftShoulder | kPadRightShoulder), t += 20));
  EXPECT_EQ(all, (std::vector<ECommand>{ECommand::Undo, ECommand::Undo, ECommand::Redo, ECommand::Hint,
                                        ECommand::Scramble, ECommand::Pause}));
  EXPECT_TRUE(Commands(play.Update(Pad(kPadEast | kPadWest | kPadNorth | kPadStart), t += 20)).empty());
  play.Update(Pad(0), t += 20);
  // Half a second at full right: 90 degrees about the upright axis; a small push does nothing.
  const std::vector<SPadAction> view = play.Update(Pad(0, 0, 0, 1.0f, 0.1f), t += 500);
  ASSERT_EQ(view.size(), 1u);
  EXPECT_FLOAT_EQ(view[0].viewY, 90.0f);
  EXPECT_EQ(view[0].viewX, 0.0f);
  // Unplugged and plugged in again with a button held: no command.
  play.Forget();
  EXPECT_TRUE(Commands(play.Update(Pad(kPadEast), t += 20)).empty());
}

class VirtualPad : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER), 0);
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.name = "Gyrix test pad";
    m_index = SDL_JoystickAttachVirtualEx(&desc);
    ASSERT_GE(m_index, 0);
    m_joy = SDL_JoystickOpen(m_index);
    ASSERT_NE(m_joy, nullptr);
    ASSERT_TRUE(SDL_IsGameController(m_index));
  }
  void TearDown() override {
    CloseWindow();
    Unplug();
    ShellTest::TearDown();
  }
  void Unplug() {
    if (m_joy) SDL_JoystickClose(m_joy);
    if (m_index >= 0) SDL_JoystickDetachVirtual(m_index);
    m_joy = nullptr;
    m_index = -1;
  }
  // Presses or lets go a button and lets the window read the pad.
  void Button(SDL_GameControllerButton b, bool down) {
    SDL_JoystickSetVirtualButton(m_joy, b, down ? 1 : 0);
    Poll();
  }
  void Poll() {
    AdvanceClock(20);
    m_dlg->ContinueModal();
    Settle();
    for (int i = 0; i < 200 && m_dlg->GetPuzzle()->IsBusy(); ++i) {
      AdvanceClock(20);
      m_dlg->ContinueModal();
    }
    Settle();
  }
  int m_index = -1;
  SDL_Joystick* m_joy = nullptr;
};

std::vector<int> ColoursOf(const CPuzzle& p) {
  std::vector<int> colours;
  for (int id = 0; id < p.GetMoveMaskLength(); ++id) colours.push_back(p.GetFaceletColour(id));
  return colours;
}

TEST_F(VirtualPad, TheDPadMovesTheCursorAHeldTurnsBUndoesAndUnpluggingLeavesTheGame) {
  WriteSettings("LastPuzzle=1\n");
  OpenWindow();
  Poll();
  CPuzzle* p = m_dlg->GetPuzzle();
  Button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
  Button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, false);
  ASSERT_TRUE(m_dlg->GetCursor().IsShown());
  const std::vector<int> before = ColoursOf(*p);
  Button(SDL_CONTROLLER_BUTTON_A, true);
  Button(SDL_CONTROLLER_BUTTON_DPAD_UP, true);
  Button(SDL_CONTROLLER_BUTTON_DPAD_UP, false);
  Button(SDL_CONTROLLER_BUTTON_A, false);
  EXPECT_NE(ColoursOf(*p), before);
  const std::vector<int> turned = ColoursOf(*p);
  Button(SDL_CONTROLLER_BUTTON_B, true);
  Button(SDL_CONTROLLER_BUTTON_B, false);
  EXPECT_EQ(ColoursOf(*p), before);
  Button(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, true);
  Button(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, false);
  EXPECT_EQ(ColoursOf(*p), turned);
  // The right stick turns the view.
  const int yaw = p->GetViewAngleY();
  SDL_JoystickSetVirtualAxis(m_joy, SDL_CONTROLLER_AXIS_RIGHTX, 32767);
  Poll();
  Poll();
  SDL_JoystickSetVirtualAxis(m_joy, SDL_CONTROLLER_AXIS_RIGHTX, 0);
  EXPECT_NE(p->GetViewAngleY(), yaw);
  // Unplugged with A held: the game stays as it is.
  SDL_JoystickSetVirtualButton(m_joy, SDL_CONTROLLER_BUTTON_A, 1);
  Poll();
  Unplug();
  Poll();
  EXPECT_EQ(ColoursOf(*m_dlg->GetPuzzle()), turned);
  EXPECT_EQ(m_dlg->GetPuzzle(), p);
}

TEST_F(VirtualPad, TheNorthButtonScramblesAndWestHints) {
  WriteSettings("LastPuzzle=34\n");
  OpenWindow();
  Poll();
  CPuzzle* p = m_dlg->GetPuzzle();
  ASSERT_EQ(p->GetTypeId(), 34);
  const std::vector<int> solved = ColoursOf(*p);
  Button(SDL_CONTROLLER_BUTTON_Y, true);
  Button(SDL_CONTROLLER_BUTTON_Y, false);
  const std::vector<int> scrambled = ColoursOf(*m_dlg->GetPuzzle());
  EXPECT_NE(scrambled, solved);
  Button(SDL_CONTROLLER_BUTTON_X, true);
  Button(SDL_CONTROLLER_BUTTON_X, false);
  // The hint thinks on its worker, then turns.
  for (int i = 0; i < 500 && ColoursOf(*m_dlg->GetPuzzle()) == scrambled; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    Poll();
  }
  EXPECT_NE(ColoursOf(*m_dlg->GetPuzzle()), scrambled);
}

}  // namespace
