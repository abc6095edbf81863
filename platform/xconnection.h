// The X server connection under SDL's X11 driver. An X protocol error is logged and never
// ends the program (Xlib's own handler exits), and the event loop waits on the connection
// itself, so SDL never sends its wake-up event to a window that may be gone by the time the
// server reads it.
#pragma once

struct SDL_Window;

namespace xconnection {

// Installs the logging error handler; call before SDL's video init, which keeps it and calls
// it from its own handler.
void InstallErrorHandler();
// Remembers the X connection of a window SDL has created (nothing under other drivers).
void NoteWindow(SDL_Window* window);
// Waits until the X connection has input or timeoutMs passes (-1: no limit). False when there
// is no X connection to wait on; the caller then waits through SDL.
bool WaitForInput(int timeoutMs);
// X errors logged so far (tests).
int ErrorCount();

}  // namespace xconnection
