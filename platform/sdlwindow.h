// The desktop side of a top-level window, on SDL2. Only the layer's own sources include this.
//
// The back buffer is an 8-bit bitmap whose colour table is the palette the window is shown
// with. Presenting wraps its pixels as an SDL_PIXELFORMAT_INDEX8 surface (no copy) and blits
// that onto the window surface, which SDL converts to the display's format.
#pragma once

#include <platform/bitmap.h>
#include <platform/image32.h>
#include <platform/types.h>

#include <SDL.h>

#include <array>

class CPalette;

class CWnd;

struct TopLevelState {
  SDL_Window* window = nullptr;
  Uint32 windowId = 0;
  CBitmap buffer;                   // 8 bits, client size, bottom-up rows
  SDL_Surface* indexed = nullptr;   // wraps buffer's pixels
  std::array<RGBQUAD, 256> shownColours{};  // what the SDL palette holds now
  bool coloursValid = false;
  const CPalette* lockedPalette = nullptr;  // the only palette realising may show, if any
  CRect presentDirty;               // client area painted but not yet shown
  CWnd* lastFocus = nullptr;        // focus to give back when the window is activated again
  bool minimized = false;
  bool maximized = false;
  CSize minTrack{1, 1};             // the smallest client size allowed
  CImage32 smoothFrame;             // 32 bits, client size, made when first asked for
  CRect smoothRect;                 // the part of smoothFrame presented over the buffer
  SDL_Surface* smoothSurface = nullptr;  // wraps smoothFrame's pixels

  ~TopLevelState();
  // Makes the back buffer (and its surface) the given size, keeping the colour table.
  bool ResizeBuffer(int width, int height);
  // Shows the dirty part of the back buffer in the window; FALSE when SDL refused.
  bool Present();
  void MarkDirty(const CRect& r);
  // The 32-bit frame at the buffer's size (its surface made again when it moved).
  CImage32* SmoothFrame();
  // The presented picture: the buffer in its colours with the 32-bit frame's part over it.
  void ComposePresented(CImage32& out) const;

  // Window-side work that needs the window's inner state.
  static void OnWindowEvent(CWnd* top, const SDL_WindowEvent& e);
  static bool PaintTree(CWnd* top);
  // Paints w where it is invalid or where inheritedTop says (top-level client coordinates),
  // then its children; returns what it painted, in top-level client coordinates.
  static CRect PaintWindow(CWnd* w, const CRect& inheritedTop, bool inheritedErase,
                           const CRect& clipTop);
};

// The layer's default colours for a new back buffer: the 20 colours every desktop reserves at
// both ends, a 6x6x6 colour cube and greys between them.
const std::array<RGBQUAD, 256>& DefaultWindowColours();

// Reacts to a desktop window event (size, move, minimise, expose, activation).
void HandleWindowEvent(CWnd* top, const SDL_WindowEvent& e);
// Paints what is invalid in a top-level window and its children, then shows it; true when
// anything was painted.
bool PaintTopLevel(CWnd* top);

// SDL key code to virtual-key code (0 for keys the layer does not use).
int VirtualKeyFromSdl(SDL_Keycode key, SDL_Scancode scancode);
