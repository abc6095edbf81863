#include <platform/sdlwindow.h>
#include <platform/keynames.h>

#include <platform/eventloop.h>
#include <platform/wnd.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <map>
#include <vector>

// ---------------------------------------------------------------------------------------------
// Default colours

const std::array<RGBQUAD, 256>& DefaultWindowColours() {
  static const std::array<RGBQUAD, 256> colours = [] {
    std::array<RGBQUAD, 256> c{};
    // The desktop's 20 reserved colours: 10 at the start, 10 at the end (blue, green, red).
    static const BYTE low[10][3] = {{0, 0, 0},     {0, 0, 128},     {0, 128, 0},   {0, 128, 128},
                                    {128, 0, 0},   {128, 0, 128},   {128, 128, 0}, {192, 192, 192},
                                    {192, 220, 192}, {240, 202, 166}};
    static const BYTE high[10][3] = {{240, 251, 255}, {164, 160, 160}, {128, 128, 128},
                                     {255, 0, 0},     {0, 255, 0},     {255, 255, 0},
                                     {0, 0, 255},     {255, 0, 255},   {0, 255, 255},
                                     {255, 255, 255}};
    for (int i = 0; i < 10; ++i) {
      c[static_cast<std::size_t>(i)] = RGBQUAD{low[i][0], low[i][1], low[i][2], 0};
      c[static_cast<std::size_t>(246 + i)] = RGBQUAD{high[i][0], high[i][1], high[i][2], 0};
    }
    int n = 10;
    for (int r = 0; r < 6; ++r)
      for (int g = 0; g < 6; ++g)
        for (int b = 0; b < 6; ++b)
          c[static_cast<std::size_t>(n++)] =
              RGBQUAD{static_cast<BYTE>(b * 51), static_cast<BYTE>(g * 51), static_cast<BYTE>(r * 51), 0};
    for (int i = 0; n < 246; ++i, ++n) {
      BYTE v = static_cast<BYTE>(8 + i * 12);
      c[static_cast<std::size_t>(n)] = RGBQUAD{v, v, v, 0};
    }
    return c;
  }();
  return colours;
}

// ---------------------------------------------------------------------------------------------
// Back buffer and presenting

TopLevelState::~TopLevelState() {
  if (smoothSurface) SDL_FreeSurface(smoothSurface);
  if (indexed) SDL_FreeSurface(indexed);
  if (window) SDL_DestroyWindow(window);
}

bool TopLevelState::ResizeBuffer(int width, int height) {
  width = std::max(width, 1);
  height = std::max(height, 1);
  std::array<RGBQUAD, 256> table = DefaultWindowColours();
  if (buffer.ColorTableSize() == 256) buffer.GetColorTable(0, 256, table.data());
  CBitmap fresh;
  if (!fresh.CreateDIBSection(width, height, 8, table.data(), 256)) return false;
  buffer.Adopt(fresh);
  if (indexed) SDL_FreeSurface(indexed);
  // The buffer's rows run bottom-up; the surface starts at the top row and steps backwards.
  const int stride = buffer.Stride();
  indexed = SDL_CreateRGBSurfaceWithFormatFrom(buffer.RowAddress(0), width, height, 8, stride,
                                               SDL_PIXELFORMAT_INDEX8);
  if (!indexed) return false;
  indexed->pitch = -stride;
  coloursValid = false;
  // A frame of the old size shows nothing until it is drawn again at the new one.
  smoothRect.SetRectEmpty();
  MarkDirty(CRect(0, 0, width, height));
  return true;
}

CImage32* TopLevelState::SmoothFrame() {
  const int width = buffer.Width(), height = buffer.Height();
  if (width <= 0 || height <= 0) return nullptr;
  if (smoothFrame.Width() != width || smoothFrame.Height() != height || !smoothSurface) {
    if (smoothSurface) SDL_FreeSurface(smoothSurface);
    smoothSurface = nullptr;
    if (!smoothFrame.Resize(width, height)) return nullptr;
    smoothSurface = SDL_CreateRGBSurfaceWithFormatFrom(smoothFrame.Row(0), width, height, 32, width * 4,
                                                       SDL_PIXELFORMAT_RGB888);
    if (!smoothSurface) return nullptr;
  }
  return &smoothFrame;
}

void TopLevelState::ComposePresented(CImage32& out) const {
  if (!out.Resize(buffer.Width(), buffer.Height()) || out.IsEmpty()) return;
  const RECT all{0, 0, buffer.Width(), buffer.Height()};
  out.CopyFrom(buffer, all);
  if (!smoothRect.IsRectEmpty() && smoothFrame.Width() == out.Width() && smoothFrame.Height() == out.Height())
    out.CopyFrom(smoothFrame, smoothRect);
}

void TopLevelState::MarkDirty(const CRect& r) {
  CRect clipped;
  clipped.IntersectRect(r, CRect(0, 0, buffer.Width(), buffer.Height()));
  presentDirty.UnionRect(presentDirty, clipped);
}

bool TopLevelState::Present() {
  if (!window || !indexed || presentDirty.IsRectEmpty()) return true;
  const RGBQUAD* table = buffer.ColorTable();
  if (table && (!coloursValid || std::memcmp(table, shownColours.data(), sizeof(shownColours)) != 0)) {
    std::memcpy(shownColours.data(), table, sizeof(shownColours));
    SDL_Color colours[256];
    for (int i = 0; i < 256; ++i)
      colours[i] = SDL_Color{table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 255};
    SDL_SetPaletteColors(indexed->format->palette, colours, 0, 256);
    coloursValid = true;
    presentDirty = CRect(0, 0, buffer.Width(), buffer.Height());
  }
  // The window surface is replaced whenever the window changes size: fetch it every time.
  SDL_Surface* target = SDL_GetWindowSurface(window);
  if (!target) return false;
  SDL_Rect r{presentDirty.left, presentDirty.top, presentDirty.Width(), presentDirty.Height()};
  SDL_Rect d = r;
  bool ok = SDL_BlitSurface(indexed, &r, target, &d) == 0;
  CRect smooth;
  if (smoothSurface && smooth.IntersectRect(smoothRect, presentDirty)) {
    SDL_Rect from{smooth.left, smooth.top, smooth.Width(), smooth.Height()};
    SDL_Rect to = from;
    ok = SDL_BlitSurface(smoothSurface, &from, target, &to) == 0 && ok;
  }
  SDL_Rect shown{presentDirty.left, presentDirty.top, presentDirty.Width(), presentDirty.Height()};
  ok = SDL_UpdateWindowSurfaceRects(window, &shown, 1) == 0 && ok;
  presentDirty.SetRectEmpty();
  return ok;
}

// ---------------------------------------------------------------------------------------------
// Keys

int VirtualKeyFromSdl(SDL_Keycode key, SDL_Scancode scancode) {
  if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
  if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
  if (key >= SDLK_F1 && key <= SDLK_F12) return VK_F1 + (key - SDLK_F1);
  if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return VK_NUMPAD0 + 1 + (key - SDLK_KP_1);
  switch (key) {
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return VK_TAB;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_PAUSE: return VK_PAUSE;
    case SDLK_CAPSLOCK: return VK_CAPITAL;
    case SDLK_PAGEUP: return VK_PRIOR;
    case SDLK_PAGEDOWN: return VK_NEXT;
    case SDLK_END: return VK_END;
    case SDLK_HOME: return VK_HOME;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_UP: return VK_UP;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_INSERT: return VK_INSERT;
    case SDLK_DELETE: return VK_DELETE;
    case SDLK_KP_0: return VK_NUMPAD0;
    case SDLK_KP_MULTIPLY: return VK_MULTIPLY;
    case SDLK_KP_PLUS: return VK_ADD;
    case SDLK_KP_MINUS: return VK_SUBTRACT;
    case SDLK_KP_PERIOD: return VK_DECIMAL;
    case SDLK_KP_DIVIDE: return VK_DIVIDE;
    case SDLK_NUMLOCKCLEAR: return VK_NUMLOCK;
    case SDLK_SCROLLLOCK: return VK_SCROLL;
    case SDLK_LSHIFT: return VK_LSHIFT;
    case SDLK_RSHIFT: return VK_RSHIFT;
    case SDLK_LCTRL: return VK_LCONTROL;
    case SDLK_RCTRL: return VK_RCONTROL;
    case SDLK_LALT: return VK_LMENU;
    case SDLK_RALT: return VK_RMENU;
    case SDLK_SEMICOLON: return VK_OEM_1;
    case SDLK_EQUALS: return VK_OEM_PLUS;
    case SDLK_COMMA: return VK_OEM_COMMA;
    case SDLK_MINUS: return VK_OEM_MINUS;
    case SDLK_PERIOD: return VK_OEM_PERIOD;
    case SDLK_SLASH: return VK_OEM_2;
    case SDLK_BACKQUOTE: return VK_OEM_3;
    case SDLK_LEFTBRACKET: return VK_OEM_4;
    case SDLK_BACKSLASH: return VK_OEM_5;
    case SDLK_RIGHTBRACKET: return VK_OEM_6;
    case SDLK_QUOTE: return VK_OEM_7;
    default: break;
  }
  // Keyboard layouts whose letters are not Latin: fall back to the key's position.
  if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) return 'A' + (scancode - SDL_SCANCODE_A);
  return 0;
}

namespace {

// The keys whose codes the game knows, first the one that names a code.
std::vector<SDL_Keycode> KnownKeys() {
  std::vector<SDL_Keycode> keys;
  for (SDL_Keycode k = SDLK_a; k <= SDLK_z; ++k) keys.push_back(k);
  for (SDL_Keycode k = SDLK_0; k <= SDLK_9; ++k) keys.push_back(k);
  for (SDL_Keycode k = SDLK_F1; k <= SDLK_F12; ++k) keys.push_back(k);
  for (SDL_Keycode k = SDLK_KP_1; k <= SDLK_KP_9; ++k) keys.push_back(k);
  const SDL_Keycode others[] = {
      SDLK_BACKSPACE, SDLK_TAB,       SDLK_RETURN,       SDLK_KP_ENTER,     SDLK_ESCAPE,     SDLK_SPACE,
      SDLK_PAUSE,     SDLK_CAPSLOCK,  SDLK_PAGEUP,       SDLK_PAGEDOWN,     SDLK_END,        SDLK_HOME,
      SDLK_LEFT,      SDLK_UP,        SDLK_RIGHT,        SDLK_DOWN,         SDLK_INSERT,     SDLK_DELETE,
      SDLK_KP_0,      SDLK_KP_MULTIPLY, SDLK_KP_PLUS,    SDLK_KP_MINUS,     SDLK_KP_PERIOD,  SDLK_KP_DIVIDE,
      SDLK_NUMLOCKCLEAR, SDLK_SCROLLLOCK, SDLK_SEMICOLON, SDLK_EQUALS,      SDLK_COMMA,      SDLK_MINUS,
      SDLK_PERIOD,    SDLK_SLASH,     SDLK_BACKQUOTE,    SDLK_LEFTBRACKET,  SDLK_BACKSLASH,  SDLK_RIGHTBRACKET,
      SDLK_QUOTE};
  keys.insert(keys.end(), std::begin(others), std::end(others));
  return keys;
}

}  // namespace

std::string KeyName(int virtualKey) {
  if (virtualKey == 0) return std::string();
  for (SDL_Keycode k : KnownKeys())
    if (VirtualKeyFromSdl(k, SDL_SCANCODE_UNKNOWN) == virtualKey) return SDL_GetKeyName(k);
  return std::string();
}

int KeyFromName(const std::string& name) {
  if (name.empty()) return 0;
  const SDL_Keycode key = SDL_GetKeyFromName(name.c_str());
  if (key == SDLK_UNKNOWN) return 0;
  return VirtualKeyFromSdl(key, SDL_SCANCODE_UNKNOWN);
}

// ---------------------------------------------------------------------------------------------
// Cursors

struct CursorTag {
  int stockId;
  SDL_SystemCursor sdl;
};

namespace {

const CursorTag kCursors[] = {
    {IDC_ARROW, SDL_SYSTEM_CURSOR_ARROW},
    {IDC_IBEAM, SDL_SYSTEM_CURSOR_IBEAM},
    {IDC_WAIT, SDL_SYSTEM_CURSOR_WAIT},
    {IDC_HAND, SDL_SYSTEM_CURSOR_HAND},
};

HCURSOR g_current = nullptr;
std::map<std::pair<HINSTANCE, int>, HCURSOR>& CursorResources() {
  static std::map<std::pair<HINSTANCE, int>, HCURSOR> resources;
  return resources;
}

SDL_Cursor* SdlCursor(const CursorTag* tag) {
  static std::map<int, SDL_Cursor*> made;
  auto it = made.find(tag->stockId);
  if (it != made.end()) return it->second;
  SDL_Cursor* c = SDL_CreateSystemCursor(tag->sdl);
  made[tag->stockId] = c;
  return c;
}

}  // namespace

HCURSOR LoadCursor(HINSTANCE module, int id) {
  for (const CursorTag& c : kCursors)
    if (c.stockId == id) return &c;
  auto it = CursorResources().find({module, id});
  return it == CursorResources().end() ? nullptr : it->second;
}

void RegisterCursorResource(HINSTANCE module, int id, int stockId) {
  HCURSOR c = LoadCursor(nullptr, stockId);
  if (c) CursorResources()[{module, id}] = c;
}

HCURSOR SetCursor(HCURSOR cursor) {
  HCURSOR old = g_current;
  g_current = cursor;
  if (cursor && cursor != old && CEventLoop::IsInitialised()) {
    if (SDL_Cursor* c = SdlCursor(cursor)) SDL_SetCursor(c);
  }
  return old;
}

HCURSOR GetCursor() { return g_current; }
