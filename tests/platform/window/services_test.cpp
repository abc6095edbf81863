// Desktop services: the message box, the file chooser and its fallback, opening documents,
// the program's file name; the joystick through SDL's virtual joystick; presenting.
#include "window_test_util.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class Services : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureDesktop();
    ASSERT_TRUE(owner.CreateEx(0, nullptr, "owner", WS_POPUP | WS_CAPTION | WS_VISIBLE, ScreenRect(0, 0, 320, 240),
                               nullptr, 0));
    folder = fs::temp_directory_path() / ("gyrix-window-" + std::to_string(::getpid()));
    fs::create_directories(folder / "sub");
    std::ofstream(folder / "a.puz") << "x";
    std::ofstream(folder / "b.bmp") << "x";
  }
  void TearDown() override {
    CEventLoop::SetModalHook(nullptr);
    owner.DestroyWindow();
    fs::remove_all(folder);
  }
  CRecordingWnd owner;
  fs::path folder;
};

TEST_F(Services, TheMessageBoxIsModalToTheFocusWindowAndAnswersItsButtons) {
  owner.SetFocus();
  std::string caption;
  bool ownerDisabled = false;
  CEventLoop::SetModalHook([&](CWnd* box) {
    caption = box->WindowText();
    ownerDisabled = !owner.IsWindowEnabled();
    CEventLoop::InjectKeyPress(VK_RETURN);
  });
  EXPECT_EQ(MessageBox(nullptr, "This puzzle does not execute move macros", "Error", MB_OK | MB_ICONEXCLAMATION), IDOK);
  EXPECT_EQ(caption, "Error");
  EXPECT_TRUE(ownerDisabled);
  CEventLoop::SetModalHook([&](CWnd*) { CEventLoop::InjectText("n"); });
  EXPECT_EQ(MessageBox(&owner, "Replace it?", "Save As", MB_YESNO | MB_ICONQUESTION), IDNO);
  CEventLoop::SetModalHook([&](CWnd*) { CEventLoop::InjectKeyPress(VK_ESCAPE); });
  EXPECT_EQ(MessageBox(&owner, "Sure?", "Q", MB_OKCANCEL), IDCANCEL);
  EXPECT_EQ(MessageBox(&owner, "Noted.", "Q", MB_OK), IDOK);  // Escape on a plain box means OK
}

TEST_F(Services, FiltersAreReadFromNulSeparatedAndBarSeparatedLists) {
  const char nul[] = "Puzzle Files\0*.puz\0Bitmaps\0*.bmp;*.dib\0";
  auto f = ParseFileFilter(nul);
  ASSERT_EQ(f.size(), 2u);
  EXPECT_EQ(f[1].description, "Bitmaps");
  EXPECT_EQ(f[1].patterns, "*.bmp;*.dib");
  auto bars = ParseFileFilter("Bitmap Files|*.bmp||");
  ASSERT_EQ(bars.size(), 1u);
  EXPECT_EQ(bars[0].patterns, "*.bmp");
  auto none = ParseFileFilter(nullptr);
  ASSERT_EQ(none.size(), 1u);
  EXPECT_EQ(none[0].description, "All Files");
}

TEST_F(Services, WithoutAnExternalChooserTheOwnDialogPicksAFile) {
  CSystemDesktopServices system;
  system.m_choosers = {"no-such-chooser-program"};
  FileChooserRequest open;
  open.filters = ParseFileFilter("Puzzle Files\0*.puz\0");
  open.startFolder = folder.string();
  std::vector<std::string> listed;
  CEventLoop::SetModalHook([&](CWnd* d) {
    EXPECT_EQ(d->WindowText(), "Open");
    for (CWnd* c : d->Children())
      if (c->GetDlgCtrlID() == 1148) c->SetWindowText("a.puz");
    CEventLoop::InjectKeyPress(VK_RETURN);
  });
  std::string path = "unchanged";
  EXPECT_EQ(system.ChooseFile(&owner, open, path), 1);
  EXPECT_EQ(fs::path(path), fs::canonical(folder) / "a.puz");
  // Cancel leaves the path alone; a file that is not there is refused.
  CEventLoop::SetModalHook([&](CWnd*) { CEventLoop::InjectKeyPress(VK_ESCAPE); });
  path = "unchanged";
  EXPECT_EQ(system.ChooseFile(&owner, open, path), 0);
  EXPECT_EQ(path, "unchanged");
  CFakeServices fake;  // answers the "not found" box
  CEventLoop::SetModalHook([&](CWnd* d) {
    d->GetDlgItem(1148)->SetWindowText("missing.puz");
    CEventLoop::InjectKeyPress(VK_RETURN);
    EXPECT_FALSE(d->ModalEnding());
    CEventLoop::InjectKeyPress(VK_ESCAPE);
  });
  EXPECT_EQ(system.ChooseFile(&owner, open, path), 0);
  EXPECT_EQ(fake.messages.size(), 1u);
}

TEST_F(Services, SavingOverAFileAsksFirst) {
  CSystemDesktopServices system;
  system.m_choosers = {};
  FileChooserRequest save;
  save.save = true;
  save.filters = ParseFileFilter("Puzzle Files\0*.puz\0");
  save.startFolder = folder.string();
  save.defaultExtension = "puz";
  CFakeServices fake;
  fake.answer = IDNO;
  CEventLoop::SetModalHook([&](CWnd* d) {
    d->GetDlgItem(1148)->SetWindowText("a");  // gets the default extension: a.puz exists
    CEventLoop::InjectKeyPress(VK_RETURN);
    EXPECT_FALSE(d->ModalEnding());
    fake.answer = IDYES;
    CEventLoop::InjectKeyPress(VK_RETURN);
  });
  std::string path;
  EXPECT_EQ(system.ChooseFile(&owner, save, path), 1);
  EXPECT_EQ(fs::path(path), fs::canonical(folder) / "a.puz");
  ASSERT_EQ(fake.messages.size(), 2u);
  EXPECT_NE(fake.messages[0].find("already exists"), std::string::npos);
}

TEST_F(Services, AChooserThatCannotReachTheDisplayIsNotACancel) {
  // A stand-in chooser that fails the way a desktop chooser does without a display.
  fs::path script = folder / "fake-zenity";
  std::ofstream(script) << "#!/bin/sh\necho 'cannot open display: :99' >&2\nexit 1\n";
  fs::permissions(script, fs::perms::owner_all);
  CSystemDesktopServices system;
  FileChooserRequest request;
  std::string path;
  EXPECT_EQ(system.RunExternalChooser(script.string(), &owner, request, path),
            CSystemDesktopServices::ChooserResult::Failed);
  std::ofstream(script) << "#!/bin/sh\nexit 1\n";
  EXPECT_EQ(system.RunExternalChooser(script.string(), &owner, request, path),
            CSystemDesktopServices::ChooserResult::Cancelled);
  std::ofstream(script) << "#!/bin/sh\necho /tmp/chosen.puz\n";
  EXPECT_EQ(system.RunExternalChooser(script.string(), &owner, request, path),
            CSystemDesktopServices::ChooserResult::Chosen);
  EXPECT_EQ(path, "/tmp/chosen.puz");
  EXPECT_TRUE(owner.IsWindowEnabled());
  EXPECT_EQ(system.RunExternalChooser((folder / "absent").string(), &owner, request, path),
            CSystemDesktopServices::ChooserResult::Failed);
}

TEST_F(Services, OpeningADocumentReportsAMissingOrFailingOpener) {
  CSystemDesktopServices system;
  system.m_opener = "no-such-opener-program";
  EXPECT_EQ(system.OpenDocument("https://example.invalid/help"), 0);
  fs::path failing = folder / "fake-open";
  std::ofstream(failing) << "#!/bin/sh\nexit 3\n";
  fs::permissions(failing, fs::perms::owner_all);
  system.m_opener = failing.string();
  EXPECT_EQ(system.OpenDocument("https://example.invalid/help"), 0);
  // The argument reaches the opener as one word, never through a shell.
  fs::path recording = folder / "record-open";
  fs::path out = folder / "opened.txt";
  std::ofstream(recording) << "#!/bin/sh\nprintf '%s' \"$1\" > '" << out.string() << "'\n";
  fs::permissions(recording, fs::perms::owner_all);
  system.m_opener = recording.string();
  EXPECT_EQ(system.OpenDocument("mailto:a@b.c; rm -rf x"), 1);
  std::ifstream in(out);
  std::string got((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(got, "mailto:a@b.c; rm -rf x");
  CFakeServices fake;
  EXPECT_GT(ShellExecute(&owner, "open", "https://example.invalid", nullptr, nullptr, SW_SHOWDEFAULT), 32);
  EXPECT_EQ(fake.opened, (std::vector<std::string>{"https://example.invalid"}));
}

TEST_F(Services, ModuleFileNameIsThisProgram) {
  char name[4096];
  ASSERT_GT(GetModuleFileName(nullptr, name, sizeof name), 0u);
  EXPECT_EQ(fs::path(name).filename(), "platform_window_tests");
  char tiny[4];
  EXPECT_EQ(GetModuleFileName(nullptr, tiny, sizeof tiny), 0u);  // too small: nothing half-written
  EXPECT_STREQ(tiny, "");
}

TEST(Joystick, VirtualJoystickAxesAreCentredRawValuesWithButtonsAsAMask) {
  EnsureDesktop();
  JOYINFOEX info;
  char name[64];
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0);
  const int before = SDL_NumJoysticks();
  if (before == 0) {
    EXPECT_EQ(joyGetPosEx(JOYSTICKID1, &info), JOYERR_UNPLUGGED);
    EXPECT_EQ(joyGetProductName(JOYSTICKID1, name, sizeof name), JOYERR_NOCANDO);
    EXPECT_STREQ(name, "");
  }
  const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 6, 8, 0);
  ASSERT_GE(index, 0);
  SDL_Joystick* joy = SDL_JoystickOpen(index);
  ASSERT_NE(joy, nullptr);
  const UINT id = static_cast<UINT>(index);
  ASSERT_EQ(joyGetPosEx(id, &info), JOYERR_NOERROR);
  EXPECT_EQ(info.dwXpos, 0x8000u);
  EXPECT_EQ(info.dwRpos, 0x8000u);
  EXPECT_EQ(info.dwButtons, 0u);
  SDL_JoystickSetVirtualAxis(joy, 0, 32767);
  SDL_JoystickSetVirtualAxis(joy, 1, -32768);
  SDL_JoystickSetVirtualAxis(joy, 3, 256);  // just off centre: the dead zone is the reader's job
  SDL_JoystickSetVirtualButton(joy, 0, 1);
  SDL_JoystickSetVirtualButton(joy, 2, 1);
  ASSERT_EQ(joyGetPosEx(id, &info), JOYERR_NOERROR);
  EXPECT_EQ(info.dwXpos, 0xFFFFu);
  EXPECT_EQ(info.dwYpos, 0u);
  EXPECT_EQ(info.dwRpos, 0x8100u);
  EXPECT_EQ(info.dwZpos, 0x8000u);
  EXPECT_EQ(info.dwButtons, 0x5u);
  EXPECT_EQ(info.dwButtonNumber, 2u);
  ASSERT_EQ(joyGetProductName(id, name, sizeof name), JOYERR_NOERROR);
  EXPECT_GT(std::strlen(name), 0u);
  JOYCAPS caps;
  ASSERT_EQ(joyGetDevCaps(id, &caps, sizeof caps), JOYERR_NOERROR);
  EXPECT_EQ(caps.wNumAxes, 6u);
  EXPECT_EQ(caps.wNumButtons, 8u);
  SDL_JoystickClose(joy);
  SDL_JoystickDetachVirtual(index);
  EXPECT_NE(joyGetPosEx(id, &info), JOYERR_NOERROR);  // unplugged
  EXPECT_EQ(joyGetPosEx(99, &info), JOYERR_PARMS);
}

// A window that shows a test pattern of palette indices.
class CPattern : public CWnd {
 public:
  BOOL OnEraseBkgnd(CDC*) override { return TRUE; }
  void OnPaint() override {
    CPaintDC dc(this);
    CBitmap* buffer = BackBuffer();
    for (int y = 0; y < buffer->Height(); ++y)
      for (int x = 0; x < buffer->Width(); ++x) buffer->SetPixelValue(x, y, static_cast<std::uint32_t>((x + y * 3) & 0xFF));
  }
};

// Reads what the desktop holds for a window, by title; checks every pixel's colour.
int WrongPixels(const char* title, int width, int height) {
  SDL_Surface* shown = nullptr;
  for (Uint32 id = 1; id < 1024 && !shown; ++id) {
    SDL_Window* w = SDL_GetWindowFromID(id);
    if (w && std::string(SDL_GetWindowTitle(w)) == title) shown = SDL_GetWindowSurface(w);
  }
  if (!shown) return -1;
  int wrong = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      Uint32 pixel = 0;
      std::memcpy(&pixel, static_cast<Uint8*>(shown->pixels) + y * shown->pitch + x * shown->format->BytesPerPixel,
                  shown->format->BytesPerPixel);
      Uint8 r, g, b;
      SDL_GetRGB(pixel, shown->format, &r, &g, &b);
      const int i = (x + y * 3) & 0xFF;
      wrong += !(r == i && g == 10 && b == 255 - i);
    }
  return wrong;
}

TEST(Present, TheBackBufferReachesTheWindowThroughItsPalette) {
  EnsureDesktop();
  CPattern wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, "present", WS_POPUP | WS_VISIBLE, ScreenRect(0, 0, 64, 48), nullptr, 0));
  // A palette realised on the window's context becomes the colours it is shown with.
  PALETTEENTRY entries[256] = {};
  for (int i = 0; i < 256; ++i) entries[i] = PALETTEENTRY{static_cast<BYTE>(i), 10, static_cast<BYTE>(255 - i), 0};
  CPalette palette;
  ASSERT_TRUE(palette.CreatePalette(entries, 256));
  {
    CClientDC dc(&wnd);
    dc.SelectPalette(&palette, FALSE);
    EXPECT_GT(dc.RealizePalette(), 0u);
    EXPECT_EQ(dc.RealizePalette(), 0u);  // nothing changes the second time
  }
  wnd.Invalidate(FALSE);
  CEventLoop::ProcessPending();
  EXPECT_EQ(WrongPixels("present", 64, 48), 0);
  // After a resize the window surface is a new one; presenting still fills all of it.
  wnd.MoveWindow(0, 0, 100, 70);
  CEventLoop::ProcessPending();
  EXPECT_EQ(WrongPixels("present", 100, 70), 0);
  wnd.DestroyWindow();
}

}  // namespace
