// The game's named commands and the keys bound to them. Keys, picture buttons and the
// controller all name a command here; the window carries it out. The bindings are a table the
// player's settings may change: every chord names at most one command.
#pragma once

#include <string>
#include <vector>

enum class ECommand {
  None,
  Undo,
  Redo,
  Scramble,     // another scramble from the running generator (M)
  NewScramble,  // a scramble seeded with the time (the scramble button)
  Reset,
  Open,
  Save,
  Options,
  Mode1,
  Mode2,
  Mode3,
  Mode4,
  ExecuteMove,
  Pause,
  Help,
  About,
  Challenges,
  CentreView,
  ZoomIn,
  ZoomOut,
  Hint,
  Solve,
  Statistics,
  Quit,
  // The facelet cursor: moves, turns from it (the drag to the facelet the move would reach),
  // the view turned a step, and a click on its facelet.
  CursorLeft,
  CursorRight,
  CursorUp,
  CursorDown,
  TurnLeft,
  TurnRight,
  TurnUp,
  TurnDown,
  ViewLeft,
  ViewRight,
  ViewUp,
  ViewDown,
  Click,
  KeyLayout,  // the cubes' speedcubing layout on and off (Ctrl+K)
  // The speedcubing layout's turns, as the player sees the cube.
  CubeR,
  CubeRPrime,
  CubeL,
  CubeLPrime,
  CubeU,
  CubeUPrime,
  CubeD,
  CubeDPrime,
  CubeF,
  CubeFPrime,
  CubeB,
  CubeBPrime,
  CubeWideR,
  CubeWideRPrime,
  CubeWideL,
  CubeWideLPrime,
  CubeM,
  CubeMPrime,
  CubeX,
  CubeXPrime,
  CubeY,
  CubeYPrime,
  CubeZ,
  CubeZPrime,
};

// The layouts of keys: the game's own, and the speedcubing one for the cubes, whose letters
// turn layers (the commands those letters had move to Ctrl+letter).
enum class EKeyLayout { Classic, Speedcube };

// The speedcubing layout's commands are the cube turns; the classic layout has the rest.
bool IsCubeTurnCommand(ECommand command);
EKeyLayout LayoutOf(ECommand command);

// Modifier bits of a chord.
constexpr int kModShift = 1;
constexpr int kModCtrl = 2;
constexpr int kModAlt = 4;

struct SKeyChord {
  int key = 0;   // a virtual key code
  int mods = 0;  // kModShift | kModCtrl | kModAlt
  bool operator==(const SKeyChord& o) const { return key == o.key && mods == o.mods; }
};

// "Ctrl+Shift+Z": the modifiers, then the key's name; empty for no key.
std::string ChordText(const SKeyChord& chord);
// The chord a text names (modifiers in any order and case); false for one no key makes.
bool ParseChord(const std::string& text, SKeyChord& chord);

struct SKeyBinding {
  SKeyChord chord;
  ECommand command = ECommand::None;
};

class CCommandTable {
 public:
  // The default bindings of the layout's commands.
  explicit CCommandTable(EKeyLayout layout = EKeyLayout::Classic);
  EKeyLayout GetLayout() const { return m_layout; }
  // The commands of this table's layout, in table order.
  std::vector<ECommand> Commands() const;

  static const char* Name(ECommand command);       // "Undo"; "" for None
  static ECommand FromName(const char* name);      // None when unknown (any case)
  static std::vector<ECommand> All();              // every command but None, in table order

  void SetDefaults();
  // The command a key with these modifiers names; None when unbound.
  ECommand Find(int key, int mods) const;
  // Binds the chord to the command, taking it from any command it named before.
  void Bind(SKeyChord chord, ECommand command);
  // Binds the chord unless another command has it: then false, the reason in problem, and
  // nothing changes.
  bool TryBind(SKeyChord chord, ECommand command, std::string* problem = nullptr);
  // The chords of one command replaced (none: the command has no key).
  void SetChords(ECommand command, const std::vector<SKeyChord>& chords);
  void Unbind(SKeyChord chord);
  std::vector<SKeyChord> ChordsOf(ECommand command) const;
  const std::vector<SKeyBinding>& Bindings() const { return m_bindings; }

  // The settings file's [Keys] section: a line "Command=Chord, Chord" per command, in table
  // order; a command with no key has an empty value. The settings file has no sections of
  // its own, so no command is named as a setting is.
  static constexpr const char* kSectionHeader = "[Keys]";
  std::string WriteSection() const;
  // Reads the section's lines (without the header) over the defaults: each command named takes
  // the chords listed. A line naming an unknown command, a chord no key makes or a chord
  // another command holds is skipped and told in problems; the rest is kept.
  void ReadSection(const std::string& lines, std::vector<std::string>& problems);
  // The settings file's text with its [Keys] section (the header to the next section or the
  // end) taken out, and the section's lines; empty when it has none.
  static std::string SplitSection(const std::string& file, std::string& section);

 private:
  EKeyLayout m_layout = EKeyLayout::Classic;
  std::vector<SKeyBinding> m_bindings;
};
