// Shared pieces of the game window's tests: a headless desktop with a fake clock and fake
// desktop services, small stand-in bitmaps, a settings file in a temporary folder, and the
// real main window driven by injected input.
#pragma once

#include <gyrix/shell/puzzledlg.h>
#include <gyrix/shell/menubutton.h>
#include <gyrix/puzzles.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// Message boxes, file choosers and opened documents are recorded and answered here.
class CShellFakeServices : public CDesktopServices {
 public:
  CShellFakeServices() { SetDesktopServices(this); }
  ~CShellFakeServices() override { SetDesktopServices(nullptr); }
  int MessageBox(CWnd*, const char* text, const char* caption, UINT) override {
    messages.push_back(text ? text : "");
    captions.push_back(caption ? caption : "");
    return IDOK;
  }
  int ChooseFile(CWnd*, const FileChooserRequest& request, std::string& path) override {
    requests.push_back(request);
    if (chooserAnswer.empty()) return 0;
    path = chooserAnswer;
    return 1;
  }
  int OpenDocument(const char* target) override {
    opened.push_back(target ? target : "");
    return openerWorks ? 1 : 0;
  }
  std::vector<std::string> messages, captions, opened;
  std::vector<FileChooserRequest> requests;
  std::string chooserAnswer;  // empty: the chooser is cancelled
  bool openerWorks = true;    // false: the desktop has no browser to open a page with
};

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Creates the main window (modeless) on the current settings file.
  void OpenWindow(int width = 640, int height = 520);
  void CloseWindow();
  // Lets the fake clock run until no turn animates or plays any more.
  void Settle();
  void AdvanceClock(std::uint64_t ms);
  // The screen as ComposeScreen draws it.
  void Compose(CDib& out);

  // A front-facing facelet's centre on the screen, or (-1, -1).
  CPoint FaceletCentre(int id);
  // Drags from one facelet to another with the left button; true when both were visible.
  bool DragFacelets(int from, int to);
  // Finds and drags a pair of visible facelets that makes the turn; false when none does.
  bool DragTurn(int turn);
  void ClickAt(CPoint p, int button = VK_LBUTTON);
  void Key(int vk) { CEventLoop::InjectKeyPress(vk); }
  CPoint ButtonCentre(CMenuButton* b) const { return b->GetRect().CenterPoint(); }
  // The visible button with this id (top level, or a child of the open menu).
  CMenuButton* VisibleButton(int id) const;

  std::string ReadSettings() const;
  void WriteSettings(const std::string& text) const;

  std::filesystem::path m_folder;
  std::string m_settings;
  std::uint64_t m_now = 1000000;
  CShellFakeServices m_services;
  CPuzzleDlg* m_dlg = nullptr;
};

// Registers stand-in pictures for every bitmap the window uses (once per process), in place of
// the program's own, so that tests can tell exactly what is drawn where.
void RegisterStandInBitmaps();
// Writes an 8-bit BMP of one colour (with a red square in the middle) to path.
void WriteTileBitmap(const std::string& path, COLORREF colour, int size = 32);
