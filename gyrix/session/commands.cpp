// The command names and the default key bindings.
#include <gyrix/session/commands.h>

#include <platform/messages.h>

#include <algorithm>
#include <strings.h>

namespace {

struct CommandName {
  ECommand command;
  const char* name;
};

const CommandName kCommandNames[] = {
    {ECommand::Undo, "Undo"},
    {ECommand::Redo, "Redo"},
    {ECommand::Scramble, "Scramble"},
    {ECommand::NewScramble, "NewScramble"},
    {ECommand::Reset, "Reset"},
    {ECommand::Open, "Open"},
    {ECommand::Save, "Save"},
    {ECommand::Options, "Options"},
    {ECommand::Mode1, "Mode1"},
    {ECommand::Mode2, "Mode2"},
    {ECommand::Mode3, "Mode3"},
    {ECommand::Mode4, "Mode4"},
    {ECommand::ExecuteMove, "ExecuteMove"},
    {ECommand::Pause, "Pause"},
    {ECommand::Help, "Help"},
    {ECommand::About, "About"},
    {ECommand::Challenges, "Challenges"},
    {ECommand::CentreView, "CentreView"},
    {ECommand::ZoomIn, "ZoomIn"},
    {ECommand::ZoomOut, "ZoomOut"},
    {ECommand::Hint, "Hint"},
    {ECommand::Solve, "Solve"},
    {ECommand::Statistics, "Statistics"},
    {ECommand::Quit, "Quit"},
    {ECommand::CursorLeft, "CursorLeft"},
    {ECommand::CursorRight, "CursorRight"},
    {ECommand::CursorUp, "CursorUp"},
    {ECommand::CursorDown, "CursorDown"},
    {ECommand::TurnLeft, "TurnLeft"},
    {ECommand::TurnRight, "TurnRight"},
    {ECommand::TurnUp, "TurnUp"},
    {ECommand::TurnDown, "TurnDown"},
    {ECommand::ViewLeft, "ViewLeft"},
    {ECommand::ViewRight, "ViewRight"},
    {ECommand::ViewUp, "ViewUp"},
    {ECommand::ViewDown, "ViewDown"},
    {ECommand::Click, "Click"},
};

// The keys the game has always had, plus the editors' undo and redo.
const SKeyBinding kDefaultBindings[] = {
    {{VK_BACK, 0}, ECommand::Undo},
    {{'Z', kModCtrl}, ECommand::Undo},
    {{'Y', kModCtrl}, ECommand::Redo},
    {{'Z', kModCtrl | kModShift}, ECommand::Redo},
    {{'M', 0}, ECommand::Scramble},
    {{'R', 0}, ECommand::Reset},
    {{'L', 0}, ECommand::Open},
    {{'S', 0}, ECommand::Save},
    {{'O', 0}, ECommand::Options},
    {{'1', 0}, ECommand::Mode1},
    {{'2', 0}, ECommand::Mode2},
    {{'3', 0}, ECommand::Mode3},
    {{'4', 0}, ECommand::Mode4},
    {{'E', 0}, ECommand::ExecuteMove},
    {{VK_RETURN, 0}, ECommand::ExecuteMove},
    {{VK_PAUSE, 0}, ECommand::Pause},
    {{VK_F1, 0}, ECommand::Help},
    {{'A', 0}, ECommand::About},
    {{'C', 0}, ECommand::CentreView},
    {{VK_OEM_PLUS, 0}, ECommand::ZoomIn},
    {{VK_OEM_PLUS, kModShift}, ECommand::ZoomIn},
    {{VK_ADD, 0}, ECommand::ZoomIn},
    {{VK_OEM_MINUS, 0}, ECommand::ZoomOut},
    {{VK_SUBTRACT, 0}, ECommand::ZoomOut},
    {{'H', 0}, ECommand::Hint},
    {{'H', kModShift}, ECommand::Solve},
    {{'T', 0}, ECommand::Statistics},
    {{VK_ESCAPE, 0}, ECommand::Quit},
    {{VK_LEFT, 0}, ECommand::CursorLeft},
    {{VK_RIGHT, 0}, ECommand::CursorRight},
    {{VK_UP, 0}, ECommand::CursorUp},
    {{VK_DOWN, 0}, ECommand::CursorDown},
    {{VK_LEFT, kModShift}, ECommand::TurnLeft},
    {{VK_RIGHT, kModShift}, ECommand::TurnRight},
    {{VK_UP, kModShift}, ECommand::TurnUp},
    {{VK_DOWN, kModShift}, ECommand::TurnDown},
    {{VK_LEFT, kModCtrl}, ECommand::ViewLeft},
    {{VK_RIGHT, kModCtrl}, ECommand::ViewRight},
    {{VK_UP, kModCtrl}, ECommand::ViewUp},
    {{VK_DOWN, kModCtrl}, ECommand::ViewDown},
    {{VK_SPACE, 0}, ECommand::Click},
};

}  // namespace

CCommandTable::CCommandTable() { SetDefaults(); }

const char* CCommandTable::Name(ECommand command) {
  for (const CommandName& c : kCommandNames)
    if (c.command == command) return c.name;
  return "";
}

ECommand CCommandTable::FromName(const char* name) {
  if (!name) return ECommand::None;
  for (const CommandName& c : kCommandNames)
    if (strcasecmp(c.name, name) == 0) return c.command;
  return ECommand::None;
}

std::vector<ECommand> CCommandTable::All() {
  std::vector<ECommand> all;
  for (const CommandName& c : kCommandNames) all.push_back(c.command);
  return all;
}

void CCommandTable::SetDefaults() {
  m_bindings.assign(std::begin(kDefaultBindings), std::end(kDefaultBindings));
}

ECommand CCommandTable::Find(int key, int mods) const {
  for (const SKeyBinding& b : m_bindings)
    if (b.chord == SKeyChord{key, mods}) return b.command;
  return ECommand::None;
}

void CCommandTable::Bind(SKeyChord chord, ECommand command) {
  Unbind(chord);
  if (command != ECommand::None && chord.key != 0) m_bindings.push_back(SKeyBinding{chord, command});
}

void CCommandTable::Unbind(SKeyChord chord) {
  m_bindings.erase(std::remove_if(m_bindings.begin(), m_bindings.end(),
                                  [&](const SKeyBinding& b) { return b.chord == chord; }),
                   m_bindings.end());
}

std::vector<SKeyChord> CCommandTable::ChordsOf(ECommand command) const {
  std::vector<SKeyChord> chords;
  for (const SKeyBinding& b : m_bindings)
    if (b.command == command) chords.push_back(b.chord);
  return chords;
}
