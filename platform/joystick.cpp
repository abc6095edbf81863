#include <platform/joystick.h>

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kMaxAxes = 6;
constexpr UINT kMaxJoysticks = 16;

bool StartJoysticks() {
  // Reading the joystick needs no window and no focus; its state is refreshed by each read.
  // Set once even when someone else started the joystick subsystem first, or SDL drops every
  // change that arrives while no window of ours has the input focus.
  static const bool background = SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  (void)background;
  if (SDL_WasInit(SDL_INIT_JOYSTICK)) return true;
  return SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
}

// The open device for an index, reopened when it was unplugged or the list changed.
SDL_Joystick* Device(UINT id) {
  static SDL_Joystick* open[kMaxJoysticks] = {};
  static SDL_JoystickID openId[kMaxJoysticks] = {};
  if (!StartJoysticks() || id >= kMaxJoysticks) return nullptr;
  SDL_JoystickUpdate();
  const int index = static_cast<int>(id);
  if (index >= SDL_NumJoysticks()) {
    if (open[id]) SDL_JoystickClose(open[id]);
    open[id] = nullptr;
    return nullptr;
  }
  const SDL_JoystickID wanted = SDL_JoystickGetDeviceInstanceID(index);
  if (open[id] && (!SDL_JoystickGetAttached(open[id]) || openId[id] != wanted)) {
    SDL_JoystickClose(open[id]);
    open[id] = nullptr;
  }
  if (!open[id]) {
    open[id] = SDL_JoystickOpen(index);
    openId[id] = wanted;
  }
  return open[id];
}

DWORD RawAxis(SDL_Joystick* joy, int axis) {
  if (axis >= SDL_JoystickNumAxes(joy)) return 0x8000;
  return static_cast<DWORD>(static_cast<int>(SDL_JoystickGetAxis(joy, axis)) + 32768);
}

DWORD PovOf(SDL_Joystick* joy) {
  if (SDL_JoystickNumHats(joy) < 1) return JOY_POVCENTERED;
  switch (SDL_JoystickGetHat(joy, 0)) {
    case SDL_HAT_UP: return 0;
    case SDL_HAT_RIGHTUP: return 4500;
    case SDL_HAT_RIGHT: return 9000;
    case SDL_HAT_RIGHTDOWN: return 13500;
    case SDL_HAT_DOWN: return 18000;
    case SDL_HAT_LEFTDOWN: return 22500;
    case SDL_HAT_LEFT: return 27000;
    case SDL_HAT_LEFTUP: return 31500;
    default: return JOY_POVCENTERED;
  }
}

}  // namespace

UINT joyGetNumDevs() { return kMaxJoysticks; }

UINT joyGetDevCaps(UINT id, JOYCAPS* caps, UINT size) {
  if (!caps || size < sizeof(JOYCAPS) || id >= kMaxJoysticks) return JOYERR_PARMS;
  SDL_Joystick* joy = Device(id);
  if (!joy) return JOYERR_UNPLUGGED;
  *caps = JOYCAPS{};
  caps->wMid = SDL_JoystickGetVendor(joy);
  caps->wPid = SDL_JoystickGetProduct(joy);
  const char* name = SDL_JoystickName(joy);
  std::strncpy(caps->szPname, name ? name : "", MAXPNAMELEN - 1);
  caps->wNumAxes = static_cast<UINT>(std::min(SDL_JoystickNumAxes(joy), kMaxAxes));
  caps->wNumButtons = static_cast<UINT>(std::min(SDL_JoystickNumButtons(joy), 32));
  std::snprintf(caps->szRegKey, MAXPNAMELEN, "Joystick%u", id + 1);
  return JOYERR_NOERROR;
}

UINT joyGetPosEx(UINT id, JOYINFOEX* info) {
  if (!info || id >= kMaxJoysticks) return JOYERR_PARMS;
  SDL_Joystick* joy = Device(id);
  if (!joy) return JOYERR_UNPLUGGED;
  DWORD* axes[kMaxAxes] = {&info->dwXpos, &info->dwYpos, &info->dwZpos,
                           &info->dwRpos, &info->dwUpos, &info->dwVpos};
  for (int a = 0; a < kMaxAxes; ++a) *axes[a] = RawAxis(joy, a);
  DWORD buttons = 0, pressed = 0;
  const int count = std::min(SDL_JoystickNumButtons(joy), 32);
  for (int b = 0; b < count; ++b) {
    if (SDL_JoystickGetButton(joy, b)) {
      buttons |= 1u << b;
      ++pressed;
    }
  }
  info->dwButtons = buttons;
  info->dwButtonNumber = pressed;
  info->dwPOV = PovOf(joy);
  return JOYERR_NOERROR;
}

UINT joyGetProductName(UINT id, char* name, int size) {
  if (name && size > 0) name[0] = '\0';
  if (!name || size <= 0 || id >= kMaxJoysticks) return JOYERR_NOCANDO;
  SDL_Joystick* joy = Device(id);
  const char* product = joy ? SDL_JoystickName(joy) : nullptr;
  if (!product) return JOYERR_NOCANDO;
  std::snprintf(name, static_cast<std::size_t>(size), "%s", product);
  return JOYERR_NOERROR;
}
