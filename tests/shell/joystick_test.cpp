// The main window polls the joystick between messages: a deflected stick turns the view.
#include "shell_test_util.h"

#include <SDL.h>

namespace {

class JoystickTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0);
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = 6;
    desc.nbuttons = 2;
    desc.name = "Spacetec SpaceOrb 360";
    m_index = SDL_JoystickAttachVirtualEx(&desc);
    ASSERT_GE(m_index, 0);
    m_joy = SDL_JoystickOpen(m_index);
    ASSERT_NE(m_joy, nullptr);
  }
  void TearDown() override {
    CloseWindow();
    if (m_joy) SDL_JoystickClose(m_joy);
    if (m_index >= 0) SDL_JoystickDetachVirtual(m_index);
    ShellTest::TearDown();
  }
  int m_index = -1;
  SDL_Joystick* m_joy = nullptr;
};

}  // namespace

TEST_F(JoystickTest, ADeflectedStickTurnsTheViewAndACentredOneDoesNot) {
  OpenWindow();
  CPuzzle* puzzle = m_dlg->GetPuzzle();
  ASSERT_NE(puzzle, nullptr);
  const int startX = puzzle->GetViewAngleX();
  const int startY = puzzle->GetViewAngleY();

  m_dlg->UpdateWindow();
  m_dlg->ContinueModal();  // centred: nothing moves, nothing to repaint, so the loop may sleep
  EXPECT_EQ(puzzle->GetViewAngleX(), startX);
  EXPECT_EQ(puzzle->GetViewAngleY(), startY);
  EXPECT_FALSE(m_dlg->GetUpdateRect(nullptr));

  SDL_JoystickSetVirtualAxis(m_joy, 1, 32767);  // the stick pushed all the way
  m_dlg->ContinueModal();
  EXPECT_TRUE(m_dlg->GetUpdateRect(nullptr));
  EXPECT_NE(puzzle->GetViewAngleX(), startX);
  EXPECT_EQ(puzzle->GetViewAngleY(), startY);

  SDL_JoystickSetVirtualAxis(m_joy, 1, 1000);  // back inside the dead zone
  const int heldX = puzzle->GetViewAngleX();
  m_dlg->ContinueModal();
  EXPECT_EQ(puzzle->GetViewAngleX(), heldX);
}
