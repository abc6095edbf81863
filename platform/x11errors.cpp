#include <platform/x11errors.h>

#include <X11/Xlib.h>
#include <X11/Xproto.h>

namespace {

int (*g_previous)(Display*, XErrorEvent*) = nullptr;

int OnXError(Display* display, XErrorEvent* error) {
  if (error->error_code == BadWindow && error->request_code == X_SendEvent) return 0;
  return g_previous ? g_previous(display, error) : 0;
}

}  // namespace

void IgnoreHarmlessX11Errors() {
  int (*previous)(Display*, XErrorEvent*) = XSetErrorHandler(OnXError);
  if (previous != OnXError) g_previous = previous;
}
