// A game controller, as the windowing library's controller database knows it (a pad with a
// d-pad or stick and the four face buttons A, B, X and Y, plugged in before or while the game
// runs). Read by polling, as the joystick is; a pad that is unplugged reads as none.
#pragma once

// Buttons, as bits of SControllerState::buttons. South, east, west and north are A, B, X, Y
// on the common layout.
constexpr unsigned kPadSouth = 1u << 0;
constexpr unsigned kPadEast = 1u << 1;
constexpr unsigned kPadWest = 1u << 2;
constexpr unsigned kPadNorth = 1u << 3;
constexpr unsigned kPadBack = 1u << 4;
constexpr unsigned kPadStart = 1u << 5;
constexpr unsigned kPadLeftShoulder = 1u << 6;
constexpr unsigned kPadRightShoulder = 1u << 7;
constexpr unsigned kPadUp = 1u << 8;
constexpr unsigned kPadDown = 1u << 9;
constexpr unsigned kPadLeft = 1u << 10;
constexpr unsigned kPadRight = 1u << 11;

struct SControllerState {
  unsigned buttons = 0;
  // Sticks from -1 to 1; down and right are positive.
  float leftX = 0, leftY = 0, rightX = 0, rightY = 0;
  bool operator==(const SControllerState& o) const {
    return buttons == o.buttons && leftX == o.leftX && leftY == o.leftY && rightX == o.rightX && rightY == o.rightY;
  }
};

// The first controller plugged in: true with its state, false when there is none (none was
// ever plugged in, or it was unplugged).
bool ReadController(SControllerState& state);
