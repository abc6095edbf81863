#include <platform/xconnection.h>

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <poll.h>

#include <cerrno>
#include <cstdio>

namespace xconnection {
namespace {

Display* g_display = nullptr;
int g_errors = 0;

int LogError(Display* display, XErrorEvent* error) {
  char text[256] = "";
  XGetErrorText(display, error->error_code, text, sizeof text);
  ++g_errors;
  std::fprintf(stderr, "gyrix: X error ignored: %s (request %d.%d, resource 0x%lx)\n", text,
               error->request_code, error->minor_code, error->resourceid);
  return 0;
}

}  // namespace

void InstallErrorHandler() { XSetErrorHandler(LogError); }

void NoteWindow(SDL_Window* window) {
  if (g_display || !window) return;
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11) g_display = info.info.x11.display;
}

bool WaitForInput(int timeoutMs) {
  if (!g_display) return false;
  // Events Xlib has already read, or SDL has queued, need no wait; XPending also sends what
  // is still buffered, which the server must see before we sleep.
  if (XPending(g_display) > 0 || SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT)) return true;
  pollfd connection{ConnectionNumber(g_display), POLLIN, 0};
  while (poll(&connection, 1, timeoutMs) < 0 && errno == EINTR) {
  }
  return true;
}

int ErrorCount() { return g_errors; }

}  // namespace xconnection
