// Internal to the window layer: X errors that must not end the program.
#pragma once

// SDL wakes its own event wait by sending an event to the newest window over a second
// connection to the X server. The server may take that request after the main connection has
// destroyed the window (a dialog that just closed), and Xlib's default answer to the BadWindow
// is to end the program, settings unsaved. The event had nowhere to go and nothing is lost:
// such errors are dropped; every other error goes to the handler that was there before.
void IgnoreHarmlessX11Errors();
