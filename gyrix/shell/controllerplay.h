// Play with a game controller: the pad's state, read on each pass of the loop, becomes the
// game's commands. The d-pad or the left stick moves the facelet cursor (held, it repeats);
// with the south button (A) held it turns from the cursor instead; A alone clicks. East (B)
// and the left shoulder undo, the right shoulder redoes, west (X) is Hint, north (Y)
// scrambles, Start pauses, and the right stick turns the view.
#pragma once

#include <gyrix/session/commands.h>

#include <platform/controller.h>

#include <cstdint>
#include <vector>

struct SPadAction {
  ECommand command = ECommand::None;
  // A view turn, in degrees about the upright and the level axis (command None).
  float viewY = 0, viewX = 0;
};

class CControllerPlay {
 public:
  static constexpr int kRepeatDelayMs = 400;  // a held direction repeats after this...
  static constexpr int kRepeatMs = 150;       // ...every this
  static constexpr float kStickPress = 0.5f;  // the left stick counts as a direction beyond this
  static constexpr float kStickDead = 0.2f;   // the right stick turns the view beyond this
  static constexpr float kViewDegreesPerSecond = 180;

  std::vector<SPadAction> Update(const SControllerState& state, std::uint64_t nowMs);
  // The pad is gone: nothing counts as held, and the next pad starts afresh.
  void Forget();

 private:
  enum { kNone = -1, kLeft, kRight, kUp, kDown };
  static int DirectionOf(const SControllerState& state);

  SControllerState m_last;
  bool m_known = false;
  int m_direction = kNone;
  std::uint64_t m_nextRepeat = 0;
  bool m_southUsed = false;  // A took part in a turn: its release is no click
  std::uint64_t m_lastMs = 0;
};
