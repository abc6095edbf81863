#include "window_test_util.h"

#include <cstdlib>

void EnsureDesktop() {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  ASSERT_TRUE(CEventLoop::Init());
  InstallClipboardService();
}

void CRecordingWnd::OnPaint() {
  CPaintDC dc(this);
  CRect r;
  GetClientRect(&r);
  dc.FillSolidRect(&r, fill);
  ++paints;
}

CRect ScreenRect(int x, int y, int w, int h) { return CRect(x, y, x + w, y + h); }
