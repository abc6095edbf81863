#include <platform/x11hints.h>

#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <string>

namespace {

// The Motif hints that window managers read for the functions and decorations of a frame.
struct MotifHints {
  unsigned long flags;
  unsigned long functions;
  unsigned long decorations;
  long inputMode;
  unsigned long status;
};
constexpr unsigned long kHintFunctions = 1, kHintDecorations = 2;
constexpr unsigned long kFunctionMove = 4, kFunctionClose = 32;
constexpr unsigned long kDecorBorder = 2, kDecorTitle = 8, kDecorMenu = 16;

// SDL reads the window type when it creates a window; the hint is set for this one window
// only, and whatever was there before comes back.
SDL_Window* CreateWithDialogType(const char* title, int x, int y, int w, int h, Uint32 flags) {
  const char* before = SDL_GetHint(SDL_HINT_X11_WINDOW_TYPE);
  const std::string saved = before ? before : "";
  SDL_SetHint(SDL_HINT_X11_WINDOW_TYPE, "_NET_WM_WINDOW_TYPE_DIALOG");
  SDL_Window* window = SDL_CreateWindow(title, x, y, w, h, flags);
  if (before) SDL_SetHint(SDL_HINT_X11_WINDOW_TYPE, saved.c_str());
  else SDL_ResetHint(SDL_HINT_X11_WINDOW_TYPE);
  return window;
}

}  // namespace

SDL_Window* CreateFixedDialogWindow(const char* title, int x, int y, int w, int h, Uint32 flags,
                                    SDL_Window* owner) {
  SDL_Window* window = CreateWithDialogType(title, x, y, w, h, flags & ~SDL_WINDOW_RESIZABLE);
  if (!window) return nullptr;
  // The transient-for hint; other drivers may not have it, which changes nothing.
  if (owner) SDL_SetWindowModalFor(window, owner);
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return window;
  // SDL writes Motif hints of its own (decorations only) when it creates a window; these
  // replace them before the window is first mapped.
  Display* display = info.info.x11.display;
  const Atom atom = XInternAtom(display, "_MOTIF_WM_HINTS", False);
  MotifHints hints{kHintFunctions | kHintDecorations, kFunctionMove | kFunctionClose,
                   kDecorBorder | kDecorTitle | kDecorMenu, 0, 0};
  XChangeProperty(display, info.info.x11.window, atom, atom, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&hints), 5);
  XFlush(display);
  return window;
}
