// CWinApp: the application object. The program defines one static instance of a class derived
// from it and calls AfxWinMain from main(); AfxWinMain connects to the desktop, installs the
// clipboard, runs InitInstance and, when that returns TRUE, the event loop until the main
// window closes.
#pragma once

#include <platform/wnd.h>

class CWinApp {
 public:
  explicit CWinApp(const char* appName = nullptr);
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;
  virtual ~CWinApp();

  // Start-up hook: make the main window here. FALSE ends the program without an event loop.
  virtual BOOL InitInstance();
  // Runs the event loop until the main window is destroyed or PostQuitMessage.
  virtual int Run();
  virtual int ExitInstance();
  // Accepted for compatibility: the layer's controls always have the 3-D look.
  void Enable3dControls() {}

  CWnd* m_pMainWnd = nullptr;
  HINSTANCE m_hInstance = nullptr;
  const char* m_pszAppName = nullptr;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
// The program's entry: returns the process exit code (1 when there is no display).
int AfxWinMain();
