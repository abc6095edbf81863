#include <platform/app.h>

#include <platform/eventloop.h>
#include <platform/services.h>

#include <SDL.h>

#include <cstdio>

namespace {
CWinApp* g_app = nullptr;
}

CWinApp::CWinApp(const char* appName) : m_pszAppName(appName) { g_app = this; }

CWinApp::~CWinApp() {
  if (g_app == this) g_app = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::Run() {
  if (!m_pMainWnd || !m_pMainWnd->GetSafeHwnd()) return ExitInstance();
  // The program ends when its main window is gone or something asked to quit.
  while (m_pMainWnd->GetSafeHwnd() && CEventLoop::PumpMessage(TRUE)) {
  }
  return ExitInstance();
}

int CWinApp::ExitInstance() { return 0; }

CWinApp* AfxGetApp() { return g_app; }

CWnd* AfxGetMainWnd() {
  return g_app ? g_app->m_pMainWnd : nullptr;
}

int AfxWinMain() {
  if (!CEventLoop::Init()) {
    std::fprintf(stderr, "Cannot open a window: %s\n", SDL_GetError());
    return 1;
  }
  InstallClipboardService();
  CWinApp* app = AfxGetApp();
  if (!app) return 1;
  if (!app->InitInstance()) return app->ExitInstance();
  return app->Run();
}
