#include <gyrix/shell/controllerplay.h>

#include <cmath>

namespace {

struct ButtonCommand {
  unsigned bit;
  ECommand command;
};

const ButtonCommand kButtons[] = {
    {kPadEast, ECommand::Undo},          {kPadLeftShoulder, ECommand::Undo}, {kPadRightShoulder, ECommand::Redo},
    {kPadWest, ECommand::Hint},          {kPadNorth, ECommand::Scramble},    {kPadStart, ECommand::Pause},
};

constexpr ECommand kCursor[4] = {ECommand::CursorLeft, ECommand::CursorRight, ECommand::CursorUp, ECommand::CursorDown};
constexpr ECommand kTurn[4] = {ECommand::TurnLeft, ECommand::TurnRight, ECommand::TurnUp, ECommand::TurnDown};

}  // namespace

int CControllerPlay::DirectionOf(const SControllerState& s) {
  if (s.buttons & kPadLeft) return kLeft;
  if (s.buttons & kPadRight) return kRight;
  if (s.buttons & kPadUp) return kUp;
  if (s.buttons & kPadDown) return kDown;
  // The stick's stronger axis, once it is pushed far enough.
  const float x = s.leftX, y = s.leftY;
  if (std::fabs(x) < kStickPress && std::fabs(y) < kStickPress) return kNone;
  if (std::fabs(x) >= std::fabs(y)) return x < 0 ? kLeft : kRight;
  return y < 0 ? kUp : kDown;
}

void CControllerPlay::Forget() {
  m_last = SControllerState();
  m_known = false;
  m_direction = kNone;
  m_southUsed = false;
}

std::vector<SPadAction> CControllerPlay::Update(const SControllerState& state, std::uint64_t nowMs) {
  std::vector<SPadAction> actions;
  const unsigned pressed = m_known ? state.buttons & ~m_last.buttons : 0;
  const unsigned released = m_known ? m_last.buttons & ~state.buttons : 0;
  const bool south = (state.buttons & kPadSouth) != 0;
  if (pressed & kPadSouth) m_southUsed = false;

  for (const ButtonCommand& b : kButtons)
    if (pressed & b.bit) actions.push_back({b.command});

  // A direction: new, or held long enough to repeat.
  const int direction = m_known ? DirectionOf(state) : kNone;
  bool fire = false;
  if (direction != m_direction) {
    fire = direction != kNone;
    m_nextRepeat = nowMs + kRepeatDelayMs;
  } else if (direction != kNone && nowMs >= m_nextRepeat) {
    fire = true;
    m_nextRepeat = nowMs + kRepeatMs;
  }
  m_direction = direction;
  if (fire) {
    actions.push_back({south ? kTurn[direction] : kCursor[direction]});
    if (south) m_southUsed = true;
  }
  // A alone, let go: a click on the cursor's facelet.
  if ((released & kPadSouth) && !m_southUsed) actions.push_back({ECommand::Click});

  // The right stick turns the view at a speed that follows how far it is pushed.
  const float seconds = m_known && nowMs > m_lastMs ? static_cast<float>(nowMs - m_lastMs) / 1000.0f : 0.0f;
  auto turn = [&](float v) { return std::fabs(v) < kStickDead ? 0.0f : v * kViewDegreesPerSecond * seconds; };
  SPadAction view;
  view.viewY = turn(state.rightX);
  view.viewX = turn(state.rightY);
  if (view.viewY != 0 || view.viewX != 0) actions.push_back(view);

  m_last = state;
  m_known = true;
  m_lastMs = nowMs;
  return actions;
}
