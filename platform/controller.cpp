#include <platform/controller.h>

#include <SDL.h>

namespace {

bool StartControllers() {
  // As the joystick: read without a window in focus.
  static const bool background = SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  (void)background;
  if (SDL_WasInit(SDL_INIT_GAMECONTROLLER)) return true;
  return SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
}

// A pad: the database maps its face buttons. A joystick of another kind (a 6-axis ball with
// two buttons) stays the joystick's.
bool IsPad(SDL_GameController* c) {
  return SDL_GameControllerHasButton(c, SDL_CONTROLLER_BUTTON_A) && SDL_GameControllerHasButton(c, SDL_CONTROLLER_BUTTON_B) &&
         SDL_GameControllerHasButton(c, SDL_CONTROLLER_BUTTON_X) && SDL_GameControllerHasButton(c, SDL_CONTROLLER_BUTTON_Y);
}

SDL_GameController* OpenPad() {
  static SDL_GameController* open = nullptr;
  SDL_GameControllerUpdate();
  if (open && !SDL_GameControllerGetAttached(open)) {
    SDL_GameControllerClose(open);
    open = nullptr;
  }
  if (open) return open;
  for (int i = 0; i < SDL_NumJoysticks(); ++i) {
    if (!SDL_IsGameController(i)) continue;
    SDL_GameController* c = SDL_GameControllerOpen(i);
    if (!c) continue;
    if (IsPad(c)) return open = c;
    SDL_GameControllerClose(c);
  }
  return nullptr;
}

float Axis(SDL_GameController* c, SDL_GameControllerAxis axis) {
  return static_cast<float>(SDL_GameControllerGetAxis(c, axis)) / 32767.0f;
}

}  // namespace

bool ReadController(SControllerState& state) {
  state = SControllerState();
  if (!StartControllers() || SDL_NumJoysticks() <= 0) return false;
  SDL_GameController* c = OpenPad();
  if (!c) return false;
  struct Map {
    SDL_GameControllerButton button;
    unsigned bit;
  };
  const Map buttons[] = {{SDL_CONTROLLER_BUTTON_A, kPadSouth},
                         {SDL_CONTROLLER_BUTTON_B, kPadEast},
                         {SDL_CONTROLLER_BUTTON_X, kPadWest},
                         {SDL_CONTROLLER_BUTTON_Y, kPadNorth},
                         {SDL_CONTROLLER_BUTTON_BACK, kPadBack},
                         {SDL_CONTROLLER_BUTTON_START, kPadStart},
                         {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, kPadLeftShoulder},
                         {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, kPadRightShoulder},
                         {SDL_CONTROLLER_BUTTON_DPAD_UP, kPadUp},
                         {SDL_CONTROLLER_BUTTON_DPAD_DOWN, kPadDown},
                         {SDL_CONTROLLER_BUTTON_DPAD_LEFT, kPadLeft},
                         {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, kPadRight}};
  for (const Map& m : buttons)
    if (SDL_GameControllerGetButton(c, m.button)) state.buttons |= m.bit;
  state.leftX = Axis(c, SDL_CONTROLLER_AXIS_LEFTX);
  state.leftY = Axis(c, SDL_CONTROLLER_AXIS_LEFTY);
  state.rightX = Axis(c, SDL_CONTROLLER_AXIS_RIGHTX);
  state.rightY = Axis(c, SDL_CONTROLLER_AXIS_RIGHTY);
  return true;
}
