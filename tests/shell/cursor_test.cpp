// Play from the keyboard in the main window: the arrows show and move the facelet cursor,
// Shift+arrow turns from it and Ctrl+Z takes the turn back, Ctrl+arrow turns the view a step,
// Space clicks a light, and the mouse taken up again hides the cursor.
#include "shell_test_util.h"

#include <vector>

namespace {

std::vector<int> ColoursById(const CPuzzle& p) {
  std::vector<int> colours;
  for (int id = 0; id < p.GetMoveMaskLength(); ++id) colours.push_back(p.GetFaceletColour(id));
  return colours;
}

struct KeyboardPlay : ShellTest {
  void Chord(int modifier, int vk) {
    CEventLoop::InjectKey(modifier, true);
    Key(vk);
    CEventLoop::InjectKey(modifier, false);
    Settle();
  }
  // What the window shows, for comparing pictures.
  std::vector<BYTE> Picture() {
    CDib dib;
    Compose(dib);
    std::vector<BYTE> pixels;
    for (int y = 0; y < dib.Height(); ++y)
      for (int x = 0; x < dib.Width(); ++x) {
        BYTE b = 0;
        dib.GetPixel(x, y, b);
        pixels.push_back(b);
      }
    return pixels;
  }
};

TEST_F(KeyboardPlay, ArrowsMoveTheCursorShiftArrowTurnsAndUndoTakesItBack) {
  OpenWindow();
  m_dlg->SelectPuzzle(1);
  Settle();
  CPuzzle* p = m_dlg->GetPuzzle();
  const std::vector<BYTE> plain = Picture();
  EXPECT_FALSE(m_dlg->GetCursor().IsShown());
  Key(VK_RIGHT);
  Settle();
  ASSERT_TRUE(m_dlg->GetCursor().IsShown());
  const int first = m_dlg->GetCursor().GetFacelet();
  EXPECT_NE(Picture(), plain);  // the marker shows
  Key(VK_RIGHT);
  Settle();
  const int second = m_dlg->GetCursor().GetFacelet();
  EXPECT_NE(second, first);
  Key(VK_LEFT);
  Settle();
  EXPECT_EQ(m_dlg->GetCursor().GetFacelet(), first);

  // Shift+Up turns the layer the drag upwards from the cursor's facelet turns.
  const std::vector<int> before = ColoursById(*p);
  Chord(VK_SHIFT, VK_UP);
  for (int i = 0; i < 100 && p->IsBusy(); ++i) AdvanceClock(20);
  Settle();
  EXPECT_GT(p->GetHistoryPosition(), 0);
  EXPECT_NE(ColoursById(*p), before);
  EXPECT_TRUE(m_dlg->GetCursor().IsShown());
  Chord(VK_CONTROL, 'Z');
  for (int i = 0; i < 100 && p->IsBusy(); ++i) AdvanceClock(20);
  Settle();
  EXPECT_EQ(ColoursById(*p), before);

  // Two turns asked for within one turn's animation: both are made, the second from where the
  // cursor stands once the first has ended.
  const int size = p->GetHistorySize();
  CEventLoop::InjectKey(VK_SHIFT, true);
  Key(VK_UP);
  ASSERT_TRUE(p->IsBusy());
  Key(VK_RIGHT);
  CEventLoop::InjectKey(VK_SHIFT, false);
  for (int i = 0; i < 4; ++i) Settle();
  EXPECT_EQ(p->GetHistorySize(), size + 2);
  Chord(VK_CONTROL, 'Z');
  Chord(VK_CONTROL, 'Z');
  EXPECT_EQ(p->GetHistorySize(), size);
  EXPECT_EQ(ColoursById(*p), before);

  // The mouse moved hides the cursor; the picture is the plain one again.
  CEventLoop::InjectMouseMove(m_dlg, CPoint(5, 300));
  Settle();
  EXPECT_FALSE(m_dlg->GetCursor().IsShown());
}

TEST_F(KeyboardPlay, CtrlArrowTurnsTheViewAStepAndTheCursorStaysOnAFaceletThatShows) {
  OpenWindow();
  m_dlg->SelectPuzzle(7);
  Settle();
  CPuzzle* p = m_dlg->GetPuzzle();
  Key(VK_DOWN);
  Settle();
  ASSERT_TRUE(m_dlg->GetCursor().IsShown());
  const int angle = p->GetViewAngleY();
  Chord(VK_CONTROL, VK_RIGHT);
  EXPECT_NE(p->GetViewAngleY(), angle);
  Chord(VK_CONTROL, VK_LEFT);
  EXPECT_EQ(p->GetViewAngleY(), angle);
  for (int step = 0; step < 6; ++step) Chord(VK_CONTROL, VK_UP);
  const int at = m_dlg->GetCursor().GetFacelet();
  ASSERT_GE(at, 0);
  EXPECT_EQ(p->GetFaceletAt(FaceletCentre(at)), at);
}

TEST_F(KeyboardPlay, SpaceClicksTheLightUnderTheCursor) {
  OpenWindow();
  m_dlg->SelectPuzzle(13);
  Settle();
  CPuzzle* p = m_dlg->GetPuzzle();
  Key(VK_SPACE);  // shows the cursor first
  Settle();
  ASSERT_TRUE(m_dlg->GetCursor().IsShown());
  const std::vector<int> before = ColoursById(*p);
  // Walk until the cursor stands on a light a click switches.
  for (int i = 0; i < 20 && ColoursById(*p) == before; ++i) {
    Key(VK_SPACE);
    Settle();
    for (int k = 0; k < 50 && p->IsBusy(); ++k) AdvanceClock(20);
    if (ColoursById(*p) == before) {
      Key(i % 2 ? VK_RIGHT : VK_DOWN);
      Settle();
    }
  }
  EXPECT_NE(ColoursById(*p), before);
}

}  // namespace
