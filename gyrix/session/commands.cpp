// The command names and the default key bindings.
#include <gyrix/session/commands.h>

#include <platform/keynames.h>
#include <platform/messages.h>

#include <algorithm>
#include <cstring>
#include <sstream>
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
    {ECommand::KeyLayout, "ToggleKeyLayout"},
    {ECommand::CubeR, "CubeR"},
    {ECommand::CubeRPrime, "CubeRPrime"},
    {ECommand::CubeL, "CubeL"},
    {ECommand::CubeLPrime, "CubeLPrime"},
    {ECommand::CubeU, "CubeU"},
    {ECommand::CubeUPrime, "CubeUPrime"},
    {ECommand::CubeD, "CubeD"},
    {ECommand::CubeDPrime, "CubeDPrime"},
    {ECommand::CubeF, "CubeF"},
    {ECommand::CubeFPrime, "CubeFPrime"},
    {ECommand::CubeB, "CubeB"},
    {ECommand::CubeBPrime, "CubeBPrime"},
    {ECommand::CubeWideR, "CubeWideR"},
    {ECommand::CubeWideRPrime, "CubeWideRPrime"},
    {ECommand::CubeWideL, "CubeWideL"},
    {ECommand::CubeWideLPrime, "CubeWideLPrime"},
    {ECommand::CubeM, "CubeM"},
    {ECommand::CubeMPrime, "CubeMPrime"},
    {ECommand::CubeX, "CubeX"},
    {ECommand::CubeXPrime, "CubeXPrime"},
    {ECommand::CubeY, "CubeY"},
    {ECommand::CubeYPrime, "CubeYPrime"},
    {ECommand::CubeZ, "CubeZ"},
    {ECommand::CubeZPrime, "CubeZPrime"},
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
    {{'K', kModCtrl}, ECommand::KeyLayout},
};

// The speedcubing timers' layout, by the keys' places on the keyboard.
const SKeyBinding kSpeedcubeBindings[] = {
    {{'I', 0}, ECommand::CubeR},          {{'K', 0}, ECommand::CubeRPrime},
    {{'J', 0}, ECommand::CubeU},          {{'F', 0}, ECommand::CubeUPrime},
    {{'H', 0}, ECommand::CubeF},          {{'G', 0}, ECommand::CubeFPrime},
    {{'D', 0}, ECommand::CubeL},          {{'E', 0}, ECommand::CubeLPrime},
    {{'S', 0}, ECommand::CubeD},          {{'L', 0}, ECommand::CubeDPrime},
    {{'W', 0}, ECommand::CubeB},          {{'O', 0}, ECommand::CubeBPrime},
    {{'U', 0}, ECommand::CubeWideR},      {{'M', 0}, ECommand::CubeWideRPrime},
    {{'V', 0}, ECommand::CubeWideL},      {{'R', 0}, ECommand::CubeWideLPrime},
    {{'T', 0}, ECommand::CubeX},          {{'Y', 0}, ECommand::CubeX},
    {{'B', 0}, ECommand::CubeXPrime},     {{'N', 0}, ECommand::CubeXPrime},
    {{VK_OEM_1, 0}, ECommand::CubeY},     {{'A', 0}, ECommand::CubeYPrime},
    {{'P', 0}, ECommand::CubeZ},          {{'Q', 0}, ECommand::CubeZPrime},
    {{'5', 0}, ECommand::CubeM},          {{'6', 0}, ECommand::CubeM},
    {{'X', 0}, ECommand::CubeMPrime},     {{VK_OEM_PERIOD, 0}, ECommand::CubeMPrime},
};

}  // namespace

bool IsCubeTurnCommand(ECommand command) {
  return static_cast<int>(command) >= static_cast<int>(ECommand::CubeR) &&
         static_cast<int>(command) <= static_cast<int>(ECommand::CubeZPrime);
}

EKeyLayout LayoutOf(ECommand command) { return IsCubeTurnCommand(command) ? EKeyLayout::Speedcube : EKeyLayout::Classic; }

CCommandTable::CCommandTable(EKeyLayout layout) : m_layout(layout) { SetDefaults(); }

std::vector<ECommand> CCommandTable::Commands() const {
  std::vector<ECommand> mine;
  for (ECommand command : All())
    if (LayoutOf(command) == m_layout) mine.push_back(command);
  return mine;
}

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
  if (m_layout == EKeyLayout::Speedcube) m_bindings.assign(std::begin(kSpeedcubeBindings), std::end(kSpeedcubeBindings));
  else m_bindings.assign(std::begin(kDefaultBindings), std::end(kDefaultBindings));
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

namespace {

struct ModifierName {
  int bit;
  const char* name;  // with its '+'
};
const ModifierName kModifierNames[] = {{kModCtrl, "Ctrl+"}, {kModAlt, "Alt+"}, {kModShift, "Shift+"}};

// Lines keep ", " between chords: no key's name holds it, while "," alone is a key.
constexpr const char* kChordSeparator = ", ";

std::string Trimmed(const std::string& s) {
  const size_t first = s.find_first_not_of(" \t\r");
  if (first == std::string::npos) return std::string();
  return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

std::vector<std::string> SplitChords(const std::string& value) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= value.size()) {
    const size_t at = value.find(kChordSeparator, start);
    const std::string part = Trimmed(value.substr(start, at == std::string::npos ? std::string::npos : at - start));
    if (!part.empty()) parts.push_back(part);
    if (at == std::string::npos) break;
    start = at + 2;
  }
  return parts;
}

}  // namespace

std::string ChordText(const SKeyChord& chord) {
  const std::string key = KeyName(chord.key);
  if (key.empty()) return std::string();
  std::string text;
  for (const ModifierName& m : kModifierNames)
    if (chord.mods & m.bit) text += m.name;
  return text + key;
}

bool ParseChord(const std::string& text, SKeyChord& chord) {
  std::string rest = Trimmed(text);
  int mods = 0;
  for (bool found = true; found;) {
    found = false;
    for (const ModifierName& m : kModifierNames) {
      const size_t n = std::strlen(m.name);
      // "Ctrl++" is Ctrl with the plus key: a modifier needs a key after it.
      if (rest.size() > n && strncasecmp(rest.c_str(), m.name, n) == 0) {
        mods |= m.bit;
        rest = rest.substr(n);
        found = true;
      }
    }
  }
  const int key = KeyFromName(rest);
  if (key == 0) return false;
  chord = SKeyChord{key, mods};
  return true;
}

bool CCommandTable::TryBind(SKeyChord chord, ECommand command, std::string* problem) {
  const ECommand holder = Find(chord.key, chord.mods);
  if (holder != ECommand::None && holder != command) {
    if (problem) *problem = ChordText(chord) + " is already the key of " + Name(holder);
    return false;
  }
  Bind(chord, command);
  return true;
}

void CCommandTable::SetChords(ECommand command, const std::vector<SKeyChord>& chords) {
  m_bindings.erase(std::remove_if(m_bindings.begin(), m_bindings.end(),
                                  [&](const SKeyBinding& b) { return b.command == command; }),
                   m_bindings.end());
  for (const SKeyChord& c : chords) Bind(c, command);
}

std::string CCommandTable::WriteSection() const {
  std::string text;
  for (ECommand command : Commands()) {
    text += Name(command);
    text += '=';
    bool first = true;
    for (const SKeyChord& chord : ChordsOf(command)) {
      const std::string t = ChordText(chord);
      if (t.empty()) continue;
      if (!first) text += kChordSeparator;
      text += t;
      first = false;
    }
    text += '\n';
  }
  return text;
}

void CCommandTable::ReadSection(const std::string& lines, std::vector<std::string>& problems) {
  // First every command's own keys, so that keys passed from one command to another in the
  // file do not collide with the defaults they replace.
  std::vector<std::pair<ECommand, std::vector<SKeyChord>>> wanted;
  std::istringstream in(lines);
  std::string line;
  while (std::getline(in, line)) {
    line = Trimmed(line);
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    const size_t eq = line.find('=');
    const std::string name = Trimmed(line.substr(0, eq));
    const ECommand command = eq == std::string::npos ? ECommand::None : FromName(name.c_str());
    if (command == ECommand::None) {
      problems.push_back("Unknown command in [Keys]: " + name);
      continue;
    }
    if (LayoutOf(command) != m_layout) continue;  // the other layout's table reads it
    std::vector<SKeyChord> chords;
    for (const std::string& part : SplitChords(line.substr(eq + 1))) {
      SKeyChord chord;
      if (ParseChord(part, chord)) chords.push_back(chord);
      else problems.push_back("Unknown key for " + name + ": " + part);
    }
    wanted.push_back({command, chords});
  }
  for (const auto& w : wanted) SetChords(w.first, {});
  for (const auto& w : wanted)
    for (const SKeyChord& chord : w.second) {
      std::string problem;
      if (!TryBind(chord, w.first, &problem)) problems.push_back(problem);
    }
}

std::string CCommandTable::SplitSection(const std::string& file, std::string& section) {
  section.clear();
  std::string rest;
  std::istringstream in(file);
  std::string line;
  bool inside = false;
  while (std::getline(in, line)) {
    const std::string trimmed = Trimmed(line);
    if (!trimmed.empty() && trimmed[0] == '[') inside = strcasecmp(trimmed.c_str(), kSectionHeader) == 0;
    if (inside) {
      if (strcasecmp(trimmed.c_str(), kSectionHeader) != 0) section += line + "\n";
    } else {
      rest += line + "\n";
    }
  }
  return rest;
}
