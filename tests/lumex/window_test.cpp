// Bitmap-drawn windows and the library's dialogs on the headless desktop.
#include <lumex/lumex.h>
#include <platform/platform.h>
#include <platform/eventloop.h>
#include <platform/services.h>

#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <list>
#include <string>
#include <vector>

namespace {

void EnsureDesktop() {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  ASSERT_TRUE(CEventLoop::Init());
}

// The shared palette as the program lays it out: standard colours at 0-7 and 248-255, so the
// default transparent colour (cyan) is index 254.
void MakeSharedPalette() {
  PALETTEENTRY entries[256];
  for (int i = 0; i < 256; ++i) entries[i] = PALETTEENTRY{BYTE(i), BYTE(i), BYTE(i), 0};
  for (int i = 0; i < 8; ++i) {
    entries[i] = CDib::cm_peWindows[i];
    entries[248 + i] = CDib::cm_peWindows[8 + i];
  }
  CDibWnd::cm_palette.CreatePalette(entries, 256);
  CDibWnd::cm_nTransIndex = 254;
}

struct Recorder : public CWnd {
  std::vector<std::string> log;
  void Note(const char* what, CPoint p) {
    log.push_back(std::string(what) + " " + std::to_string(p.x) + "," + std::to_string(p.y));
  }
  void OnLButtonDown(UINT, CPoint p) override { Note("down", p); }
  void OnLButtonUp(UINT, CPoint p) override { Note("up", p); }
  BOOL OnCommand(WPARAM w, LPARAM) override {
    log.push_back("command " + std::to_string(LOWORD(w)) + " " + std::to_string(HIWORD(w)));
    return TRUE;
  }
};

class FakeServices : public CDesktopServices {
 public:
  FakeServices() { SetDesktopServices(this); }
  ~FakeServices() override { SetDesktopServices(nullptr); }
  int MessageBox(CWnd*, const char* text, const char* caption, UINT type) override {
    texts.push_back(text);
    captions.push_back(caption);
    types.push_back(type);
    return IDOK;
  }
  int ChooseFile(CWnd*, const FileChooserRequest& r, std::string& path) override {
    request = r;
    if (!answer.empty()) path = answer;
    return answer.empty() ? 0 : 1;
  }
  int OpenDocument(const char*) override { return 1; }
  std::vector<std::string> texts, captions;
  std::vector<UINT> types;
  FileChooserRequest request;
  std::string answer;
};

class DibWindows : public testing::Test {
 protected:
  void SetUp() override {
    EnsureDesktop();
    MakeSharedPalette();
    ASSERT_TRUE(top.CreateEx(0, nullptr, "top", WS_POPUP | WS_VISIBLE, CRect(0, 0, 200, 100),
                             nullptr, 0));
    ASSERT_TRUE(under.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(10, 10, 110, 60), &top, 7));
  }
  void TearDown() override {
    CEventLoop::SetModalHook(nullptr);
    top.DestroyWindow();
    UnregisterBitmapResources(LumexInstance());
  }

  // A strip of count images, each w x h: the left half of each image opaque (index 10 + k),
  // the right half transparent.
  std::vector<BYTE> StripBmp(int count, int w, int h) {
    CDib strip;
    EXPECT_EQ(strip.Create(&CDibWnd::cm_palette, count * w, h, 254), 1);
    for (int k = 0; k < count; ++k)
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w / 2; ++x) strip.SetBit(k * w + x, y, BYTE(10 + k));
    return strip.EncodeBmp();
  }

  void RegisterStrip(int id, const std::vector<BYTE>& bytes) {
    stored.push_back(bytes);
    entries.push_back(BitmapResource{id, nullptr, stored.back().data(), stored.back().size()});
    RegisterBitmapResources(LumexInstance(), &entries.back(), 1);
  }

  Recorder top, under;
  std::list<std::vector<BYTE>> stored;
  std::list<BitmapResource> entries;
};

}  // namespace

TEST_F(DibWindows, ButtonStripsSizeTheButtonToOneImage) {
  RegisterStrip(500, StripBmp(4, 30, 12));
  CDibButton button;
  ASSERT_EQ(button.CreateButton(CPoint(20, 20), &top, 42, LumexInstance(), 500, 16 | 32 | 64), 1);
  CRect client;
  button.GetClientRect(&client);
  EXPECT_EQ(client.Width(), 30);
  EXPECT_EQ(client.Height(), 12);
  EXPECT_EQ(button.ImageCount(), 4);
  EXPECT_EQ(button.CurrentImage(), 0);
  button.EnableWindow(FALSE);
  EXPECT_EQ(button.CurrentImage(), 3);  // the disabled image is the fourth

  CDibButton single;
  ASSERT_EQ(single.CreateButton(CPoint(0, 0), &top, 43, LumexInstance(), 500, 8 | 16 | 32 | 64), 1);
  EXPECT_EQ(single.ImageCount(), 1);
  single.GetClientRect(&client);
  EXPECT_EQ(client.Width(), 120);
  EXPECT_TRUE(single.IsSet(CDibWnd::cm_singleImage));
  EXPECT_FALSE(single.IsSet(CDibWnd::cm_transparent));

  CDibButton missing;
  EXPECT_EQ(missing.CreateButton(CPoint(0, 0), &top, 44, LumexInstance(), 501, 0), 0);
}

TEST_F(DibWindows, ClicksOnTransparentPixelsReachTheWindowBelow) {
  RegisterStrip(510, StripBmp(1, 40, 20));
  CDibButton button;
  ASSERT_EQ(button.CreateButton(CPoint(30, 20), &top, 42, LumexInstance(), 510, 2), 1);
  EXPECT_EQ(button.IsValidPoint(CPoint(5, 5)), 1);
  EXPECT_EQ(button.IsValidPoint(CPoint(30, 5)), 0);

  // A transparent pixel: the window underneath gets the click in its own coordinates.
  CEventLoop::InjectClick(&top, CPoint(30 + 30, 20 + 5));
  CEventLoop::ProcessPending();
  ASSERT_EQ(under.log.size(), 2u);
  EXPECT_EQ(under.log[0], "down 50,15");
  EXPECT_EQ(under.log[1], "up 50,15");
  EXPECT_TRUE(top.log.empty());

  // An opaque pixel: the button reports itself to its parent.
  under.log.clear();
  CEventLoop::InjectClick(&top, CPoint(30 + 5, 20 + 5));
  CEventLoop::ProcessPending();
  EXPECT_TRUE(under.log.empty());
  ASSERT_EQ(top.log.size(), 1u);
  EXPECT_EQ(top.log[0], "command 42 0");
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(DibWindows, TextIsPlacedByAlignmentAndEtchedUnlessTheShadowIsTransparent) {
  CDibCtrl ctrl;
  CRect rect(0, 0, 80, 40);
  ASSERT_TRUE(ctrl.Create(WS_CHILD | WS_VISIBLE, rect, &top, 5));
  ctrl.SetText("OK", CDibWnd::cm_alignHCenter | CDibWnd::cm_alignVCenter);
  CSize extent;
  {
    CClientDC dc(&ctrl);
    if (CFont* font = ctrl.GetTextFont()) dc.SelectObject(font);
    extent = dc.GetTextExtent("OK");
  }
  ASSERT_GT(extent.cx, 0);
  EXPECT_EQ(ctrl.GetTextPosition().x, (80 - extent.cx) / 2 - 2);
  EXPECT_EQ(ctrl.GetTextPosition().y, (40 - extent.cy) / 2 - 2);
  ctrl.SetText("OK", CDibWnd::cm_alignRight | CDibWnd::cm_alignLeft | CDibWnd::cm_alignBottom);
  EXPECT_EQ(ctrl.GetTextPosition().x, 80 - extent.cx);
  EXPECT_EQ(ctrl.GetTextPosition().y, 40 - extent.cy);

  auto countColours = [&](COLORREF etched) {
    CDib dib;
    EXPECT_EQ(dib.Create(&CDibWnd::cm_palette, 60, 30, 128), 1);
    ctrl.SetTextColor(RGB(0, 0, 0));
    ctrl.SetEtchedColor(etched);
    CDC* dc = dib.GetMemDC(nullptr);
    ctrl.PreBlt(dc, &dib);
    ctrl.TextOutA(dc, 5, 5, "OK");
    dib.ReleaseMemDC(dc);
    int black = 0, white = 0;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 60; ++x) {
        BYTE i = *dib.GetPixelAddress(x, y);
        black += i == 0;
        white += i == 255;
      }
    return std::pair(black, white);
  };
  auto etched = countColours(RGB(255, 255, 255));
  EXPECT_GT(etched.first, 0);
  EXPECT_GT(etched.second, 0);
  auto plain = countColours(CDibWnd::cm_clrTransparent);
  EXPECT_EQ(plain.first, etched.first);  // the text itself is the same
  EXPECT_EQ(plain.second, 0);
}

TEST_F(DibWindows, DrawShowsWhatLiesBehindTransparentPixels) {
  CDib image;
  ASSERT_EQ(image.Create(&CDibWnd::cm_palette, 4, 2, 254), 1);
  image.SetBit(0, 0, 9);
  image.SetBit(3, 1, 100);
  CDibCtrl ctrl;  // not created: drawn at the image's size
  ASSERT_EQ(ctrl.Init(image, 1, 1), 1);
  ctrl.SetFlag(CDibWnd::cm_tile, 0);
  CDib target;
  ASSERT_EQ(target.Create(&CDibWnd::cm_palette, 6, 4, 50), 1);
  CDC* dc = target.GetMemDC(nullptr);
  ctrl.Draw(dc, CPoint(1, 1));
  target.ReleaseMemDC(dc);
  EXPECT_EQ(*target.GetPixelAddress(1, 1), 9);
  EXPECT_EQ(*target.GetPixelAddress(4, 2), 100);
  EXPECT_EQ(*target.GetPixelAddress(2, 1), 50);
  EXPECT_EQ(*target.GetPixelAddress(0, 0), 50);

  ctrl.SetFlag(CDibWnd::cm_transparent, 0);  // opaque: transparent index copied too
  dc = target.GetMemDC(nullptr);
  ctrl.Draw(dc, CPoint(1, 1));
  target.ReleaseMemDC(dc);
  EXPECT_EQ(*target.GetPixelAddress(2, 1), 254);
}

TEST_F(DibWindows, ErrorBoxAndFileChooserGoThroughTheDesktopServices) {
  FakeServices services;
  Error("Cannot open %s (%d)", "cube.puz", 3);
  ASSERT_EQ(services.texts.size(), 1u);
  EXPECT_EQ(services.texts[0], "Cannot open cube.puz (3)");
  EXPECT_EQ(services.captions[0], "Error");
  EXPECT_EQ(services.types[0], MB_OK | MB_ICONWARNING);

  CUString path("start.puz");
  EXPECT_EQ(GetOpenSavePath(path, 1, nullptr, "Save Puzzle"), 0);
  EXPECT_STREQ(path, "start.puz");
  EXPECT_TRUE(services.request.save);
  EXPECT_EQ(services.request.title, "Save Puzzle");
  EXPECT_EQ(services.request.defaultExtension, "flm");
  ASSERT_EQ(services.request.filters.size(), 1u);
  EXPECT_EQ(services.request.filters[0].patterns, "*.*");

  services.answer = "/tmp/chosen.puz";
  static const char kFilter[] = "Puzzle Files\0*.puz\0";
  EXPECT_EQ(GetOpenSavePath(path, 0, kFilter, "Open"), 1);
  EXPECT_STREQ(path, "/tmp/chosen.puz");
  EXPECT_FALSE(services.request.save);
  EXPECT_EQ(services.request.filters[0].patterns, "*.puz");
  // A typed name without an extension gets the filter's own, not the chooser's old default.
  EXPECT_EQ(services.request.defaultExtension, "puz");
  static const char kBarFilter[] = "Puzzle Files|*.puz|All Files|*.*||";
  EXPECT_EQ(GetOpenSavePath(path, 1, kBarFilter, "Save"), 1);
  EXPECT_EQ(services.request.defaultExtension, "puz");
  static const char kTwoPatterns[] = "Pictures\0*.bmp;*.dib\0";
  EXPECT_EQ(GetOpenSavePath(path, 0, kTwoPatterns, "Open"), 1);
  EXPECT_EQ(services.request.defaultExtension, "flm");
  GetOpenSavePath(path, 0, "", "Open");  // an empty list must not be read past its end
  EXPECT_EQ(services.request.defaultExtension, "flm");

  top.SetWindowText("Gyrix");
  EXPECT_STREQ(GetWindowTextA(&top), "Gyrix");
  EXPECT_STREQ(GetWindowTextA(nullptr), "");
}

TEST_F(DibWindows, InputDialogKeepsTheValueOnCancelAndTakesItOnOk) {
  CUString value("R U");
  std::string shownText, shownTitle;
  CEventLoop::SetModalHook([&](CWnd* d) {
    auto* dialog = static_cast<CDialog*>(d);
    shownText = dialog->GetDlgItemText(IDC_INPUT_TEXT);
    shownTitle = d->WindowText();
    dialog->SetDlgItemText(IDC_INPUT_TEXT, "F2 B'");
    d->SendMessage(WM_COMMAND, IDCANCEL, 0);
  });
  CInputDialog cancelled(value, "Moves:", "Execute Move");
  EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
  EXPECT_EQ(shownText, "R U");
  EXPECT_EQ(shownTitle, "Execute Move");
  EXPECT_STREQ(value, "R U");

  CEventLoop::SetModalHook([&](CWnd* d) {
    static_cast<CDialog*>(d)->SetDlgItemText(IDC_INPUT_TEXT, "F2 B'");
    d->SendMessage(WM_COMMAND, IDOK, 0);
  });
  CInputDialog accepted(value, "Moves:", "Execute Move");
  EXPECT_EQ(accepted.DoModal(), IDOK);
  EXPECT_STREQ(value, "F2 B'");
}

TEST(LumexJoystick, DeadZoneCentresTheAxesAndTheProductIsRecognised) {
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0);
  JOYINFOEX info;
  EXPECT_NE(joyGetJoystickInfo(info, 1000), 0u);  // none attached yet
  EXPECT_EQ(joySpaceOrbInUse(), 0);

  SDL_VirtualJoystickDesc desc{};
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  desc.naxes = 6;
  desc.nbuttons = 2;
  desc.name = "SPACETEC SpaceOrb 360 (virtual)";
  int index = SDL_JoystickAttachVirtualEx(&desc);
  ASSERT_GE(index, 0);
  SDL_Joystick* joy = SDL_JoystickOpen(index);
  ASSERT_NE(joy, nullptr);
  SDL_JoystickSetVirtualAxis(joy, 0, 0x8100 - 0x8000);  // inside the dead zone
  SDL_JoystickSetVirtualAxis(joy, 1, 32767);            // full deflection
  SDL_JoystickSetVirtualAxis(joy, 2, -32768);
  SDL_JoystickSetVirtualAxis(joy, 3, 1001);              // just outside
  SDL_JoystickUpdate();

  ASSERT_EQ(joyGetJoystickInfo(info, 1000), 0u);
  EXPECT_EQ(info.dwXpos, 0u);
  EXPECT_EQ(info.dwYpos, 0x7FFFu);
  EXPECT_EQ(static_cast<LONG>(info.dwZpos), -0x8000);
  EXPECT_EQ(info.dwRpos, 1001u);
  EXPECT_EQ(joySpaceOrbInUse(), 1);
  char name[MAXPNAMELEN];
  EXPECT_EQ(joyGetOEMProductName(0, name), 0u);
  EXPECT_EQ(joyGetOEMProductName(5, name), 166u);
  EXPECT_STREQ(name, "");

  SDL_JoystickClose(joy);
  SDL_JoystickDetachVirtual(index);
}

namespace {

const DialogItemTemplate kPanelItems[] = {
    {DialogItemKind::Label, 1200, "Time", 5, 5, 40, 10},
};
const DialogTemplate kPanelTemplate = {100, 60, "Panel", "MS Sans Serif", 8,
                                       WS_POPUP | WS_CAPTION, WS_EX_DLGMODALFRAME, kPanelItems, 1};
const DialogTemplateRegistration kPanelRegistration(9701, &kPanelTemplate);

class CPanel : public CDibDialog {
 public:
  explicit CPanel(CWnd* parent) : CDibDialog(9701, parent) {}
  BOOL OnInitDialog() override {
    CDibDialog::OnInitDialog();
    initialised = Init(LumexInstance(), 520, 1, 0);
    return TRUE;
  }
  int initialised = 0;
};

}  // namespace

TEST_F(DibWindows, DialogsTakeTheirImageSizeAndDrawControlsTransparently) {
  RegisterStrip(520, StripBmp(1, 90, 50));
  CPanel panel(&top);
  CRect client;
  DWORD exStyle = 0;
  HBRUSH brush = nullptr;
  int bkMode = 0;
  COLORREF background = 0;
  CEventLoop::SetModalHook([&](CWnd* d) {
    d->GetClientRect(&client);
    exStyle = d->GetExStyle();
    CDib scratch;
    scratch.Create(&CDibWnd::cm_palette, 4, 4, 0);
    CDC* dc = scratch.GetMemDC(nullptr);
    brush = panel.OnCtlColor(dc, d->GetDlgItem(1200), CTLCOLOR_STATIC);
    bkMode = dc->GetBkMode();
    scratch.ReleaseMemDC(dc);
    background = panel.GetBackgroundColor();
    static_cast<CDialog*>(d)->EndDialog(IDOK);
  });
  EXPECT_EQ(panel.DoModal(), IDOK);
  EXPECT_EQ(panel.initialised, 1);
  EXPECT_EQ(client.Width(), 90);
  EXPECT_EQ(client.Height(), 50);
  EXPECT_EQ(exStyle & (WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE), 0u);
  ASSERT_NE(brush, nullptr);
  EXPECT_TRUE(brush->IsNull());
  EXPECT_EQ(bkMode, TRANSPARENT);
  EXPECT_EQ(background, 0xC0C0C0u);
}
