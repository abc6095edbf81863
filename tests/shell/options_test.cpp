// The options dialog driven headless through its modal loop: colour buttons and their popup,
// the live preview, OK writing everything back and saving, Cancel and refusals changing nothing.
#include "shell_test_util.h"

#include <gyrix/shell/optionsdlg.h>
#include <gyrix/puzzles/schemes.h>
#include <gyrix/res/templates.h>

#include <lumex/bmpfile.h>
#include <lumex/resources.h>

#include <SDL.h>

#ifdef GYRIX_HAVE_X11
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <set>

namespace {

// Grey stand-ins at the real sizes of the colour button strip and the popup picture: the bar
// and the cells are placed by pixel.
void RegisterColourPictures() {
  static std::vector<BYTE> button, popup;
  static BitmapResource table[2];
  if (!button.empty()) return;
  const RGBQUAD grey[] = {{192, 192, 192, 0}, {255, 255, 255, 0}};
  auto make = [&](std::vector<BYTE>& out, int w, int h) {
    std::vector<BYTE> bits(static_cast<std::size_t>(BmpRowBytes(w, 8)) * h, 0);
    AppendBmpFile(out, w, h, 8, grey, 2, bits.data());
  };
  make(button, 216, 32);
  make(popup, 158, 47);
  table[0] = {IDB_COLOUR_BUTTON, nullptr, button.data(), button.size()};
  table[1] = {IDB_COLOUR_POPUP, nullptr, popup.data(), popup.size()};
  RegisterBitmapResources(nullptr, table, 2);
}

// Writes a window's back buffer as a binary PPM when GYRIX_SHOT_DIR names a folder.
void Shot(const CWnd* wnd, const char* name) {
  const char* dir = std::getenv("GYRIX_SHOT_DIR");
  const CBitmap* b = wnd ? wnd->GetBackBuffer() : nullptr;
  if (!dir || !b) return;
  std::ofstream out(std::string(dir) + "/" + name + ".ppm", std::ios::binary);
  out << "P6\n" << b->Width() << " " << b->Height() << "\n255\n";
  for (int y = 0; y < b->Height(); ++y)
    for (int x = 0; x < b->Width(); ++x) {
      COLORREF c = b->PixelColor(x, y);
      out.put(char(GetRValue(c))).put(char(GetGValue(c))).put(char(GetBValue(c)));
    }
}

// The image's colours, pixel by pixel.
std::vector<COLORREF> Pixels(CDib& dib) {
  std::vector<COLORREF> out;
  for (int y = 0; y < dib.Height(); ++y)
    for (int x = 0; x < dib.Width(); ++x) {
      COLORREF c = 0;
      dib.GetPixel(x, y, c);
      out.push_back(c);
    }
  return out;
}

// The preview's colours now (the image shares the dialog's palette, which a new tile changes).
std::vector<COLORREF> Render(COptionsDlg& dlg) {
  CDib image;
  EXPECT_TRUE(dlg.RenderPreview(image));
  return Pixels(image);
}

bool OnRealDisplay() {
  const char* driver = CEventLoop::VideoDriver();
  return driver && std::strcmp(driver, "x11") == 0;
}

// The preview box as the player sees it, inside its sunken frame: read from the screen on a
// real display, else from the back buffer through the colours it is shown with.
std::vector<COLORREF> ShownPreview(COptionsDlg& dlg) {
  CRect box;
  dlg.GetDlgItem(IDC_OPT_PREVIEW)->GetWindowRect(&box);
  box.DeflateRect(1, 1);
  std::vector<COLORREF> out;
#ifdef GYRIX_HAVE_X11
  if (OnRealDisplay()) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return out;
    XSync(display, False);
    XImage* shot = XGetImage(display, DefaultRootWindow(display), box.left, box.top, box.Width(),
                             box.Height(), AllPlanes, ZPixmap);
    for (int y = 0; shot && y < box.Height(); ++y)
      for (int x = 0; x < box.Width(); ++x) {
        const unsigned long p = XGetPixel(shot, x, y);
        out.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
      }
    if (shot) XDestroyImage(shot);
    XCloseDisplay(display);
    return out;
  }
#endif
  dlg.ScreenToClient(&box);
  CImage32 shown;
  dlg.GetPresentedImage(shown);
  for (int y = box.top; y < box.bottom && y < shown.Height(); ++y)
    for (int x = box.left; x < box.right && x < shown.Width(); ++x) out.push_back(shown.ColorAt(x, y));
  return out;
}

// The same part of what the preview draws (smooth while the box is checked).
std::vector<COLORREF> DrawnPreview(COptionsDlg& dlg) {
  CDib image;
  CImage32 smooth;
  std::vector<COLORREF> out;
  const bool isSmooth = dlg.IsSmoothChecked();
  if (!dlg.RenderPreview(image, isSmooth ? &smooth : nullptr)) return out;
  for (int y = 1; y < image.Height() - 1; ++y)
    for (int x = 1; x < image.Width() - 1; ++x) {
      COLORREF c = 0;
      if (isSmooth) c = smooth.ColorAt(x, y);
      else image.GetPixel(x, y, c);
      out.push_back(c);
    }
  return out;
}

// Lets the desktop show what the dialog painted (a real display maps and exposes windows in
// its own time).
void LetTheScreenCatchUp() {
  const int rounds = OnRealDisplay() ? 40 : 1;
  for (int i = 0; i < rounds; ++i) {
    CEventLoop::ProcessPending();
    if (rounds > 1) SDL_Delay(25);
  }
}

// How many pixels of the preview the player sees differently from what it draws.
int PreviewPixelsWrong(COptionsDlg& dlg) {
  LetTheScreenCatchUp();
  const std::vector<COLORREF> shown = ShownPreview(dlg), drawn = DrawnPreview(dlg);
  if (shown.size() != drawn.size() || shown.empty()) return -1;
  int wrong = 0;
  for (std::size_t i = 0; i < shown.size(); ++i) wrong += shown[i] != drawn[i];
  return wrong;
}

CPoint Centre(CWnd* w) {
  CRect r;
  w->GetClientRect(&r);
  return r.CenterPoint();
}

class OptionsTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    RegisterColourPictures();
    m_tile = (m_folder / "green.bmp").string();
    WriteTileBitmap(m_tile, 0x00C000);
    WriteSettings("TilePath=\"" + m_tile + "\"\n");
  }

  // Opens the dialog from the main window; body drives it and must end it.
  void RunOptions(const std::function<void(COptionsDlg&)>& body) {
    bool ran = false;
    CEventLoop::SetModalHook([&](CWnd* wnd) {
      auto* dlg = dynamic_cast<COptionsDlg*>(wnd);
      if (!dlg || ran) return;
      ran = true;
      CEventLoop::ProcessPending();
      body(*dlg);
    });
    m_dlg->RunOptions();
    CEventLoop::SetModalHook(nullptr);
    EXPECT_TRUE(ran);
  }

  // Drops the button's popup and clicks a cell.
  static void PickColour(COptionsDlg& dlg, int button, int cell) {
    CColourButton& b = dlg.GetColourButton(button);
    CEventLoop::InjectClick(&b, Centre(&b));
    CColourPopup& popup = b.GetPopup();
    ASSERT_TRUE(popup.IsWindowVisible());
    CEventLoop::InjectClick(&popup, CColourPopup::CellRect(cell).CenterPoint());
    EXPECT_FALSE(popup.IsWindowVisible());
  }

  static void SetAnimSpeed(COptionsDlg& dlg, const char* text) { dlg.GetDlgItem(IDC_OPT_ANIM_SPEED)->SetWindowText(text); }

  std::string m_tile;
};

}  // namespace

TEST_F(OptionsTest, OnlyThePuzzlesOwnColoursGetColourButtons) {
  OpenWindow();
  // The puzzle with the fewest colours that can be made shows the most plain buttons.
  int fewest = 0, sides = 11;
  for (int type = 1; type <= 37; ++type) {
    CPuzzle* p = m_dlg->CreateConfiguredPuzzle(type);
    if (p && p->GetPaletteCount() - 1 < sides) {
      fewest = type;
      sides = p->GetPaletteCount() - 1;
    }
    delete p;
  }
  ASSERT_NE(fewest, 0);
  ASSERT_LT(sides, 10);
  m_dlg->SelectPuzzle(fewest);
  RunOptions([&](COptionsDlg& dlg) {
    for (int i = 0; i < sides; ++i) {
      EXPECT_NE(dlg.GetColourButton(i).GetSafeHwnd(), nullptr) << i;
      // Labelled with the puzzle's own name of the colour ("Side 1", or the lights' "Unlit").
      CUString name;
      dlg.GetPreviewPuzzle()->GetColourName(name, i + 1, 0);
      EXPECT_STREQ(dlg.GetColourButton(i).GetText(), static_cast<const char*>(name));
      EXPECT_EQ(dlg.GetColourButton(i).GetColour(), dlg.GetPreviewPuzzle()->GetPaletteEntry(i + 1));
    }
    for (int i = sides; i < 10; ++i) {
      EXPECT_EQ(dlg.GetColourButton(i).GetSafeHwnd(), nullptr) << i;
      ASSERT_NE(dlg.GetDlgItem(IDC_OPT_SIDE1 + i), nullptr);
      EXPECT_EQ(dlg.GetDlgItem(IDC_OPT_SIDE1 + i)->WindowText(), "Button" + std::to_string(i + 1));
    }
    EXPECT_STREQ(dlg.GetColourButton(10).GetText(), "Bkgrnd");
    EXPECT_STREQ(dlg.GetColourButton(11).GetText(), "Timer");
    Shot(&dlg, "options");
    CEventLoop::InjectKeyPress(VK_ESCAPE);
  });
}

TEST_F(OptionsTest, ThePopupPicksOnReleaseAndClosesOnEscapeOrAClickOutside) {
  OpenWindow();
  const COLORREF original = m_dlg->GetPuzzle()->GetPaletteEntry(1);
  RunOptions([&](COptionsDlg& dlg) {
    CColourButton& side1 = dlg.GetColourButton(0);
    CColourPopup& popup = side1.GetPopup();
    const std::vector<COLORREF> before = Render(dlg);

    // The bar in each state image shows the nearest colour of the button's palette.
    side1.SetColour(0x0000FF);
    BYTE red = static_cast<BYTE>(CColourButton::SharedPalette()->GetNearestPaletteIndex(0x0000FF));
    for (auto [x, y] : {std::pair{6, 22}, {46, 24}, {79, 23}, {150, 24}})
      EXPECT_EQ(*side1.GetImage().GetPixelAddress(x, y), red) << x << "," << y;
    EXPECT_NE(*side1.GetImage().GetPixelAddress(6, 25), red);
    side1.SetColour(original);

    for (int way = 0; way < 2; ++way) {
      CEventLoop::InjectClick(&side1, Centre(&side1));
      ASSERT_TRUE(popup.IsWindowVisible());
      CEventLoop::InjectMouseMove(&popup, CColourPopup::CellRect(12).CenterPoint());
      CEventLoop::ProcessPending();
      Shot(&dlg, "popup");
      Shot(&popup, "popup-only");
      if (way == 0) CEventLoop::InjectKeyPress(VK_ESCAPE);
      else CEventLoop::InjectClick(&popup, CPoint(-20, 200));
      EXPECT_FALSE(popup.IsWindowVisible()) << way;
      EXPECT_NE(CWnd::GetCapture(), &popup);
    }
    EXPECT_EQ(dlg.GetPreviewPuzzle()->GetPaletteEntry(1), original);

    // Pressing over one cell and letting go over the frame picks nothing.
    CEventLoop::InjectClick(&side1, Centre(&side1));
    CEventLoop::InjectMouseButton(&popup, CColourPopup::CellRect(3).CenterPoint(), VK_LBUTTON, true);
    CEventLoop::InjectMouseButton(&popup, CPoint(2, 2), VK_LBUTTON, false);
    EXPECT_FALSE(popup.IsWindowVisible());
    EXPECT_EQ(dlg.GetPreviewPuzzle()->GetPaletteEntry(1), original);

    PickColour(dlg, 0, 12);
    EXPECT_EQ(dlg.GetPreviewPuzzle()->GetPaletteEntry(1), 0xFF0000u);
    EXPECT_EQ(side1.GetColour(), 0xFF0000u);
    // The yellow top is in view: a new colour for it shows in the preview.
    PickColour(dlg, 2, 13);
    EXPECT_EQ(dlg.GetPreviewPuzzle()->GetPaletteEntry(3), 0xFF00FFu);
    EXPECT_TRUE(before != Render(dlg));
    CEventLoop::InjectKeyPress(VK_ESCAPE);
  });
  // The main window's puzzle never saw the preview's colours.
  EXPECT_EQ(m_dlg->GetPuzzle()->GetPaletteEntry(1), original);
}

TEST_F(OptionsTest, OkWritesEverythingBackAndSavesAndCancelWritesNothing) {
  OpenWindow();
  const std::string saved = ReadSettings();
  const COLORREF side2 = m_dlg->GetPuzzle()->GetPaletteEntry(2);
  RunOptions([&](COptionsDlg& dlg) {
    PickColour(dlg, 1, 9);
    PickColour(dlg, 10, 4);
    CEventLoop::InjectClick(dlg.GetDlgItem(IDC_OPT_SHOW_BUTTONS), CPoint(3, 3));
    SetAnimSpeed(dlg, "55");
    CEventLoop::InjectKeyPress(VK_ESCAPE);
  });
  EXPECT_EQ(ReadSettings(), saved);
  EXPECT_EQ(m_dlg->GetPuzzle()->GetPaletteEntry(2), side2);
  EXPECT_EQ(m_dlg->GetShowButtons(), 1);
  EXPECT_EQ(m_dlg->GetAnimSpeed(), 30);
  EXPECT_EQ(m_dlg->GetBackgroundColor(), 0x808000u);

  RunOptions([&](COptionsDlg& dlg) {
    PickColour(dlg, 1, 13);
    PickColour(dlg, 10, 4);
    PickColour(dlg, 11, 14);
    EXPECT_EQ(dlg.GetWorkingTimerColour(), 0u);  // the unshowable cyan is kept as black
    CEventLoop::InjectClick(dlg.GetDlgItem(IDC_OPT_SHOW_BUTTONS), CPoint(3, 3));
    SetAnimSpeed(dlg, "55");
    dlg.SendMessage(WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(m_dlg->GetPuzzle()->GetPaletteEntry(2), 0xFF00FFu);
  EXPECT_EQ(m_dlg->GetBackgroundColor(), 0x800000u);
  EXPECT_EQ(m_dlg->GetTimerColor(), 0u);
  EXPECT_EQ(m_dlg->GetShowButtons(), 0);
  EXPECT_EQ(m_dlg->GetAnimSpeed(), 55);
  EXPECT_EQ(m_dlg->GetPuzzle()->GetAnimationInterval(), 55);
  EXPECT_STREQ(m_dlg->GetTilePath(), m_tile.c_str());
  CEventLoop::ProcessPending();
  Shot(m_dlg, "main-after-ok");
  const std::string ini = ReadSettings();
  for (const char* key : {"ShowButtons=0", "TimerColor=0\n", "BackgroundColor=8388608", "AnimSpeed=55",
                          "Cube(3x3x3)2=16711935"})
    EXPECT_NE(ini.find(key), std::string::npos) << key << " missing from\n" << ini;
}

TEST_F(OptionsTest, AnimSpeedOutsideOneToHundredIsRefusedAndNothingApplied) {
  OpenWindow();
  const std::string saved = ReadSettings();
  for (const char* bad : {"0", "101", "fast"}) {
    m_services.messages.clear();
    RunOptions([&](COptionsDlg& dlg) {
      PickColour(dlg, 10, 4);
      SetAnimSpeed(dlg, bad);
      dlg.SendMessage(WM_COMMAND, IDOK, 0);
      EXPECT_NE(dlg.GetSafeHwnd(), nullptr) << bad;  // still open
      CEventLoop::InjectKeyPress(VK_ESCAPE);
    });
    ASSERT_EQ(m_services.messages.size(), 1u) << bad;
    EXPECT_NE(m_services.messages[0].find("integer"), std::string::npos) << m_services.messages[0];
    EXPECT_EQ(m_dlg->GetAnimSpeed(), 30);
    EXPECT_EQ(m_dlg->GetBackgroundColor(), 0x808000u);
    EXPECT_EQ(ReadSettings(), saved);
  }
}

TEST_F(OptionsTest, ATileThatDoesNotLoadIsRefusedWithAMessageAndTheDialogStaysOpen) {
  OpenWindow();
  ASSERT_NE(m_dlg->GetTile().GetBits(), nullptr);
  const std::string saved = ReadSettings();
  RunOptions([&](COptionsDlg& dlg) {
    CWnd* note = dlg.GetDlgItem(IDC_OPT_TILE_NOTE);
    ASSERT_NE(note, nullptr);
    EXPECT_TRUE(note->IsWindowVisible());  // the tile hides the background colour
    const std::vector<COLORREF> before = Render(dlg);
    CWnd* edit = dlg.GetDlgItem(IDC_OPT_TILE);
    edit->SetWindowText("no-such-tile");
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_OPT_TILE, EN_KILLFOCUS), 0);
    EXPECT_EQ(edit->WindowText(), "no-such-tile");
    EXPECT_TRUE(before == Render(dlg));
    EXPECT_TRUE(m_services.messages.empty());

    // OK names the tile, applies nothing and leaves the dialog open.
    PickColour(dlg, 10, 4);
    dlg.SendMessage(WM_COMMAND, IDOK, 0);
    ASSERT_EQ(m_services.messages.size(), 1u);
    EXPECT_NE(m_services.messages[0].find("no-such-tile"), std::string::npos);
    EXPECT_NE(dlg.GetSafeHwnd(), nullptr);
    EXPECT_EQ(CWnd::GetFocus(), edit);

    // A tile that does load shows in the preview at once, whatever the case of its extension.
    const std::string other = (m_folder / "Blue").string();
    WriteTileBitmap(other + ".BMP", 0xC00000);
    edit->SetWindowText((other + ".BMP").c_str());
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_OPT_TILE, EN_KILLFOCUS), 0);
    EXPECT_TRUE(before != Render(dlg));

    // An emptied box shows the background colour, and the note goes.
    edit->SetWindowText("");
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_OPT_TILE, EN_KILLFOCUS), 0);
    EXPECT_FALSE(note->IsWindowVisible());
    EXPECT_EQ(Render(dlg)[0], 0x800000u);
    CEventLoop::InjectKeyPress(VK_ESCAPE);
  });
  EXPECT_NE(m_dlg->GetTile().GetBits(), nullptr);
  EXPECT_STREQ(m_dlg->GetTilePath(), m_tile.c_str());
  EXPECT_EQ(m_dlg->GetBackgroundColor(), 0x808000u);
  EXPECT_EQ(ReadSettings(), saved);

  // The main window follows the same rule for the upper-case name.
  const std::string upper = (m_folder / "Stone.BMP").string();
  WriteTileBitmap(upper, 0x00C0C0);
  RunOptions([&](COptionsDlg& dlg) {
    dlg.GetDlgItem(IDC_OPT_TILE)->SetWindowText(upper.c_str());
    dlg.SendMessage(WM_COMMAND, IDOK, 0);
  });
  EXPECT_STREQ(m_dlg->GetTilePath(), upper.c_str());
  EXPECT_NE(m_dlg->GetTile().GetBits(), nullptr);
  EXPECT_NE(ReadSettings().find("Stone.BMP"), std::string::npos);
}

TEST_F(OptionsTest, ARightDragTurnsThePreview) {
  OpenWindow();
  RunOptions([&](COptionsDlg& dlg) {
    Shot(&dlg, "options-start");
    const std::vector<COLORREF> before = Render(dlg);
    CWnd* box = dlg.GetDlgItem(IDC_OPT_PREVIEW);
    CRect r;
    box->GetWindowRect(&r);
    dlg.ScreenToClient(&r);
    const CPoint start = r.CenterPoint();
    CEventLoop::InjectMouseButton(&dlg, start, VK_RBUTTON, true);
    CEventLoop::InjectMouseMove(&dlg, start + CPoint(30, 20));
    CEventLoop::InjectMouseButton(&dlg, start + CPoint(30, 20), VK_RBUTTON, false);
    EXPECT_TRUE(before != Render(dlg));
    CEventLoop::InjectKeyPress(VK_ESCAPE);
  });
}

TEST_F(OptionsTest, BrowseTakesTheChosenTileAndHelpOpensTheOptionsPage) {
  OpenWindow();
  const std::string chosen = (m_folder / "red.bmp").string();
  WriteTileBitmap(chosen, 0x0000C0);
  m_services.chooserAnswer = chosen;
  RunOptions([&](COptionsDlg& dlg) {
    const std::vector<COLORREF> before = Render(dlg);
    dlg.SendMessage(WM_COMMAND, IDC_OPT_BROWSE, 0);
    ASSERT_FALSE(m_services.requests.empty());
    EXPECT_FALSE(m_services.requests.back().save);
    ASSERT_FALSE(m_services.requests.back().filters.empty());
    EXPECT_EQ(m_services.requests.back().filters[0].patterns, "*.bmp");
    EXPECT_EQ(dlg.GetDlgItem(IDC_OPT_TILE)->WindowText(), chosen);
    EXPECT_TRUE(before != Render(dlg));

    // A cancelled chooser changes nothing.
    m_services.chooserAnswer.clear();
    const std::vector<COLORREF> after = Render(dlg);
    dlg.SendMessage(WM_COMMAND, IDC_OPT_BROWSE, 0);
    EXPECT_EQ(dlg.GetDlgItem(IDC_OPT_TILE)->WindowText(), chosen);
    EXPECT_TRUE(after == Render(dlg));

    dlg.SendMessage(WM_COMMAND, IDHELP, 0);
    ASSERT_FALSE(m_services.opened.empty());
    EXPECT_NE(m_services.opened.back().find("options.html"), std::string::npos);
    CEventLoop::InjectKeyPress(VK_ESCAPE);
  });
}

// Every control of the dialog brings its own palette; the preview must still be shown in its
// colours while a popup is open, after one closed and after Browse. Run under xvfb-run, this
// reads the real screen.
TEST_F(OptionsTest, ThePreviewIsShownAsDrawnWithPopupsOpenOrClosedAndAfterBrowse) {
  OpenWindow();
  const std::string chosen = (m_folder / "sand.bmp").string();
  WriteTileBitmap(chosen, RGB(220, 190, 120));
  m_services.chooserAnswer = chosen;
  RunOptions([&](COptionsDlg& dlg) {
    EXPECT_EQ(PreviewPixelsWrong(dlg), 0) << "at the start";
    CColourButton& side1 = dlg.GetColourButton(0);
    CEventLoop::InjectMouseMove(&side1, Centre(&side1));
    CEventLoop::InjectClick(&side1, Centre(&side1));
    ASSERT_TRUE(side1.GetPopup().IsWindowVisible());
    EXPECT_EQ(PreviewPixelsWrong(dlg), 0) << "with the popup open";
    CEventLoop::InjectKeyPress(VK_ESCAPE);
    EXPECT_EQ(PreviewPixelsWrong(dlg), 0) << "after the popup";
    dlg.SendMessage(WM_COMMAND, IDC_OPT_BROWSE, 0);
    EXPECT_EQ(dlg.GetDlgItem(IDC_OPT_TILE)->WindowText(), chosen);
    EXPECT_EQ(PreviewPixelsWrong(dlg), 0) << "after Browse";
    CEventLoop::InjectMouseMove(&side1, Centre(&side1));
    EXPECT_EQ(PreviewPixelsWrong(dlg), 0) << "after hovering a colour button";
    CEventLoop::InjectKeyPress(VK_ESCAPE);
  });
}

TEST_F(OptionsTest, NoControlCoversAnother) {
  OpenWindow();
  RunOptions([&](COptionsDlg& dlg) {
    std::vector<std::pair<int, CRect>> shown;
    const int ids[] = {IDC_OPT_PREVIEW, IDC_OPT_TILE, IDC_OPT_BROWSE, IDC_OPT_SHOW_BUTTONS, IDC_OPT_SHOW_TIMER,
                       IDC_OPT_ANIM_SPEED, IDC_OPT_TILE_NOTE, IDC_OPT_ABOUT, IDOK, IDCANCEL};
    auto add = [&](int id, CWnd* w) {
      if (!w || !w->GetSafeHwnd() || !w->IsWindowVisible()) return;
      CRect r;
      w->GetWindowRect(&r);
      shown.emplace_back(id, r);
    };
    for (int id : ids) add(id, dlg.GetDlgItem(id));
    // The colour buttons size themselves to their picture.
    for (int i = 0; i < 12; ++i) add(IDC_OPT_SIDE1 + i, &dlg.GetColourButton(i));
    ASSERT_GT(shown.size(), 12u);
    // The colour buttons' pictures are a little taller than the rows they stand in, so a
    // column of them overlaps at the edges; nothing else may touch another control.
    auto colour = [](int id) { return id >= IDC_OPT_SIDE1 && id <= IDC_OPT_TIMER; };
    for (std::size_t i = 0; i < shown.size(); ++i)
      for (std::size_t j = i + 1; j < shown.size(); ++j) {
        if (colour(shown[i].first) && colour(shown[j].first)) continue;
        CRect both;
        EXPECT_FALSE(both.IntersectRect(shown[i].second, shown[j].second))
            << "controls " << shown[i].first << " and " << shown[j].first;
      }
    CEventLoop::InjectKeyPress(VK_ESCAPE);
  });
}

// Colour schemes: read from the settings (an unknown one is the classic), stored colours over
// the scheme's, the scheme button in the dialog, and OK forgetting every stored colour.
TEST_F(OptionsTest, ASchemeGivesEveryPuzzleItsColoursAndSingleColoursStillChange) {
  WriteSettings("TilePath=\"" + m_tile + "\"\nColourScheme=9\n");
  OpenWindow();
  EXPECT_EQ(m_dlg->GetColourScheme(), 0);
  CloseWindow();

  WriteSettings("TilePath=\"" + m_tile + "\"\nColourScheme=2\nCube(3x3x3)2=255\nPyramid1=123\n");
  OpenWindow();
  ASSERT_EQ(m_dlg->GetColourScheme(), 2);
  std::vector<COLORREF> blind = GetSchemePalette(2, 1);
  for (int i = 1; i < 7; ++i)
    EXPECT_EQ(m_dlg->GetPuzzle()->GetPaletteEntry(i), i == 2 ? 255u : blind[i]) << i;

  RunOptions([&](COptionsDlg& dlg) {
    EXPECT_EQ(dlg.GetWorkingScheme(), 2);
    CWnd* button = dlg.GetDlgItem(IDC_OPT_SCHEME);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->WindowText(), "Scheme: Colour-blind safe");
    CEventLoop::InjectClick(button, Centre(button));
    CEventLoop::InjectClick(button, Centre(button));
    CEventLoop::InjectClick(button, Centre(button));
    EXPECT_EQ(dlg.GetWorkingScheme(), 1);
    EXPECT_EQ(button->WindowText(), "Scheme: Standard");
    const std::vector<COLORREF> standard = GetSchemePalette(1, 1);
    for (int i = 1; i < 7; ++i) {
      EXPECT_EQ(dlg.GetPreviewPuzzle()->GetPaletteEntry(i), standard[i]) << i;
      EXPECT_EQ(dlg.GetColourButton(i - 1).GetColour(), standard[i]) << i;
    }
    PickColour(dlg, 3, 13);  // side 4 becomes magenta after the scheme
    dlg.SendMessage(WM_COMMAND, IDOK, 0);
  });
  ASSERT_EQ(m_dlg->GetColourScheme(), 1);
  const std::vector<COLORREF> standard = GetSchemePalette(1, 1);
  for (int i = 1; i < 7; ++i)
    EXPECT_EQ(m_dlg->GetPuzzle()->GetPaletteEntry(i), i == 4 ? 0xFF00FFu : standard[i]) << i;
  const std::string ini = ReadSettings();
  EXPECT_NE(ini.find("ColourScheme=1"), std::string::npos) << ini;
  EXPECT_EQ(ini.find("Pyramid1="), std::string::npos) << ini;
  EXPECT_NE(ini.find("Cube(3x3x3)4=16711935"), std::string::npos) << ini;
  // Every colour of the scheme is in the shared palette exactly.
  PALETTEENTRY entries[256];
  const int count = static_cast<int>(CDibWnd::cm_palette.GetPaletteEntries(0, 256, entries));
  for (COLORREF c : GetSchemeColours(1)) {
    bool found = false;
    for (int i = 0; i < count; ++i) found = found || RGB(entries[i].peRed, entries[i].peGreen, entries[i].peBlue) == c;
    EXPECT_TRUE(found) << std::hex << c;
  }
  // The pyramid, whose stored colour was forgotten, comes in the scheme's colours.
  CPuzzle* pyramid = m_dlg->CreateConfiguredPuzzle(4);
  EXPECT_EQ(pyramid->GetPaletteEntry(1), GetSchemePalette(1, 4)[1]);
  delete pyramid;
}

// Symbols on facelets: off without the key (an older settings file), read from Symbols=1,
// shown in the preview as soon as the box is ticked, given to the game on OK and written back;
// Cancel keeps what was. A puzzle the window gets later (a new type, an undo) has them too.
TEST_F(OptionsTest, SymbolsOnFaceletsAreReadWrittenDefaultedAndShownInThePreview) {
  OpenWindow();
  EXPECT_FALSE(m_dlg->GetSymbols());
  EXPECT_FALSE(m_dlg->GetPuzzle()->GetShowSymbols());
  RunOptions([&](COptionsDlg& dlg) {
    CButton* box = static_cast<CButton*>(dlg.GetDlgItem(IDC_OPT_SYMBOLS));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->GetCheck(), 0);
    const std::vector<COLORREF> plain = Render(dlg);
    CEventLoop::InjectClick(box, CPoint(3, 3));
    EXPECT_EQ(box->GetCheck(), 1);
    EXPECT_TRUE(dlg.GetPreviewPuzzle()->GetShowSymbols());
    const std::vector<COLORREF> marked = Render(dlg);
    ASSERT_EQ(plain.size(), marked.size());
    int changed = 0;
    for (std::size_t i = 0; i < plain.size(); ++i) {
      if (plain[i] == marked[i]) continue;
      ++changed;
      EXPECT_TRUE(marked[i] == 0x000000u || marked[i] == 0xFFFFFFu) << std::hex << marked[i];
    }
    EXPECT_GT(changed, 50);
    EXPECT_EQ(PreviewPixelsWrong(dlg), 0) << "the preview shows the symbols as drawn";
    CEventLoop::InjectKeyPress(VK_ESCAPE);
  });
  EXPECT_FALSE(m_dlg->GetSymbols());
  EXPECT_FALSE(m_dlg->GetPuzzle()->GetShowSymbols());

  RunOptions([&](COptionsDlg& dlg) {
    CEventLoop::InjectClick(dlg.GetDlgItem(IDC_OPT_SYMBOLS), CPoint(3, 3));
    dlg.SendMessage(WM_COMMAND, IDOK, 0);
  });
  EXPECT_TRUE(m_dlg->GetSymbols());
  EXPECT_TRUE(m_dlg->GetPuzzle()->GetShowSymbols());
  EXPECT_NE(ReadSettings().find("Symbols=1"), std::string::npos) << ReadSettings();
  m_dlg->SelectPuzzle(4);
  EXPECT_TRUE(m_dlg->GetPuzzle()->GetShowSymbols());
  m_dlg->GetSession().Undo();
  ASSERT_EQ(m_dlg->GetPuzzle()->GetTypeId(), 1);
  EXPECT_TRUE(m_dlg->GetPuzzle()->GetShowSymbols()) << "a puzzle restored by undo";
  CloseWindow();

  // Read back, and ticked in the dialog that opens.
  OpenWindow();
  EXPECT_TRUE(m_dlg->GetSymbols());
  EXPECT_TRUE(m_dlg->GetPuzzle()->GetShowSymbols());
  RunOptions([&](COptionsDlg& dlg) {
    EXPECT_EQ(static_cast<CButton*>(dlg.GetDlgItem(IDC_OPT_SYMBOLS))->GetCheck(), 1);
    EXPECT_TRUE(dlg.GetPreviewPuzzle()->GetShowSymbols());
    CEventLoop::InjectClick(dlg.GetDlgItem(IDC_OPT_SYMBOLS), CPoint(3, 3));
    dlg.SendMessage(WM_COMMAND, IDOK, 0);
  });
  EXPECT_FALSE(m_dlg->GetPuzzle()->GetShowSymbols());
  EXPECT_NE(ReadSettings().find("Symbols=0"), std::string::npos) << ReadSettings();
  CloseWindow();

  // A value other than 0 is on, as for the other switches.
  WriteSettings("TilePath=\"" + m_tile + "\"\nSymbols=7\n");
  OpenWindow();
  EXPECT_TRUE(m_dlg->GetSymbols());
}

// The high-contrast scheme's wide outline stays on a puzzle restored by undo.
TEST_F(OptionsTest, APuzzleRestoredByUndoKeepsTheSchemesOutline) {
  WriteSettings("TilePath=\"" + m_tile + "\"\nColourScheme=3\n");
  OpenWindow();
  EXPECT_EQ(m_dlg->GetPuzzle()->GetOutlineWidth(), 2);
  m_dlg->SelectPuzzle(4);
  m_dlg->GetSession().Undo();
  ASSERT_EQ(m_dlg->GetPuzzle()->GetTypeId(), 1);
  EXPECT_EQ(m_dlg->GetPuzzle()->GetOutlineWidth(), 2);
}

// The shared palette made for any tile, or none, holds every colour of each scheme exactly and
// the black and white the symbols are drawn in.
TEST_F(OptionsTest, EverySchemesColoursAndTheSymbolInksAreInTheSharedPalette) {
  CDib tile;
  ASSERT_TRUE(CPuzzleDlg::LoadTileBitmap(m_tile.c_str(), tile));
  for (int s = 0; s < kColourSchemeCount; ++s)
    for (CDib* from : {&tile, static_cast<CDib*>(nullptr)}) {
      CPalette palette;
      CPuzzleDlg::MakeTilePalette(from, palette, s);
      PALETTEENTRY entries[256];
      const int count = static_cast<int>(palette.GetPaletteEntries(0, 256, entries));
      std::set<COLORREF> held;
      for (int i = 0; i < count; ++i) held.insert(RGB(entries[i].peRed, entries[i].peGreen, entries[i].peBlue));
      std::vector<COLORREF> wanted = GetSchemeColours(s);
      for (int t = 0; t < kPuzzleTypeCount; ++t) {
        const std::vector<COLORREF> own = GetSchemePalette(s, t);
        wanted.insert(wanted.end(), own.begin(), own.end());
      }
      wanted.push_back(0x000000);
      wanted.push_back(0xFFFFFF);
      for (COLORREF c : wanted) EXPECT_TRUE(held.count(c)) << "scheme " << s << (from ? " tile " : " no tile ") << std::hex << c;
    }
}
