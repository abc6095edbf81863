// Shared pieces of the window layer's tests: a headless desktop and a window that records
// what it is told.
#pragma once

#include <platform/platform.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

// Starts the layer on the headless driver unless a test run chose another one.
void EnsureDesktop();

// A top-level or child window that writes down its messages.
class CRecordingWnd : public CWnd {
 public:
  std::vector<std::string> log;
  int paints = 0;
  COLORREF fill = RGB(255, 0, 0);

  void OnPaint() override;
  void OnLButtonDown(UINT, CPoint p) override { Note("ldown", p); }
  void OnLButtonUp(UINT, CPoint p) override { Note("lup", p); }
  void OnRButtonDown(UINT, CPoint p) override { Note("rdown", p); }
  void OnMouseMove(UINT, CPoint p) override { Note("move", p); }
  void OnKeyDown(UINT key, UINT, UINT) override { log.push_back("key " + std::to_string(key)); }
  void OnChar(UINT ch, UINT, UINT) override { log.push_back(std::string("char ") + static_cast<char>(ch)); }
  void OnTimer(UINT_PTR id) override { log.push_back("timer " + std::to_string(id)); }
  BOOL OnCommand(WPARAM w, LPARAM) override {
    log.push_back("command " + std::to_string(LOWORD(w)) + " " + std::to_string(HIWORD(w)));
    return TRUE;
  }
  void Note(const char* what, CPoint p) {
    log.push_back(std::string(what) + " " + std::to_string(p.x) + "," + std::to_string(p.y));
  }
};

// Replaces the desktop services for one test: message boxes are answered and remembered.
class CFakeServices : public CDesktopServices {
 public:
  CFakeServices() { m_previous = SetDesktopServices(this); }
  ~CFakeServices() override { SetDesktopServices(nullptr); }
  int MessageBox(CWnd* owner, const char* text, const char* caption, UINT) override {
    messages.push_back(text ? text : "");
    captions.push_back(caption ? caption : "");
    owners.push_back(owner);
    return answer;
  }
  int ChooseFile(CWnd*, const FileChooserRequest&, std::string&) override { return 0; }
  int OpenDocument(const char* target) override {
    opened.push_back(target);
    return 1;
  }
  std::vector<std::string> messages, captions, opened;
  std::vector<CWnd*> owners;
  int answer = IDOK;

 private:
  CDesktopServices* m_previous = nullptr;
};

// A fake clock for timers, restored when the test ends.
class CFakeClock {
 public:
  CFakeClock() { CEventLoop::SetClock([this] { return now; }); }
  ~CFakeClock() { CEventLoop::SetClock(nullptr); }
  std::uint64_t now = 1000000;
};

CRect ScreenRect(int x, int y, int w, int h);
