// The key tables of the help pages, made from the command tables.
#include <gyrix/shell/keyhelp.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

struct CommandHelp {
  ECommand command;
  const char* text;
};

const CommandHelp kHelp[] = {
    {ECommand::Undo, "Undo the last turn (it turns back, animated); once the turns since a scramble, reset, mode "
                     "switch, new puzzle or opened game are all undone, undo takes back that command too"},
    {ECommand::Redo, "Redo what the last undo took back; a new turn forgets it"},
    {ECommand::Scramble, "Scramble again, with the random numbers going on from where they were"},
    {ECommand::NewScramble, "A new scramble from the time, as the scrambled cube's button"},
    {ECommand::Reset, "Reset: solved, clock stopped, history cleared"},
    {ECommand::Open, "Open a saved game (<code>.puz</code>)"},
    {ECommand::Save, "Save the game"},
    {ECommand::Options, "Options"},
    {ECommand::Mode1, "Mode 1, on the puzzles that have modes (the title shows it)"},
    {ECommand::Mode2, "Mode 2"},
    {ECommand::Mode3, "Mode 3"},
    {ECommand::Mode4, "Mode 4"},
    {ECommand::ExecuteMove, "Execute Move: type turns in cube notation (cubes only); with the cursor on a facelet a "
                            "click switches, Enter clicks it"},
    {ECommand::Pause, "Pause the clock and hide the puzzle; any key or click goes on"},
    {ECommand::Help, "These help pages"},
    {ECommand::About, "About Gyrix"},
    {ECommand::Challenges, "The challenges"},
    {ECommand::CentreView, "Centre the view again, at its first size"},
    {ECommand::ZoomIn, "Zoom in (up to twice the first size)"},
    {ECommand::ZoomOut, "Zoom out (down to half the first size)"},
    {ECommand::Hint, "Hint: makes the next turn of a solution; the title shows how far the puzzle is from solved. The "
                     "first hint on a puzzle may think a while as Gyrix builds its tables (the title says so; any turn "
                     "stops it)"},
    {ECommand::Solve, "Solve: plays the whole solution, turn by turn; any key or click stops it where it is. A solve "
                      "helped by Hint or Solve is an assisted solve: the congratulations show no time"},
    {ECommand::Statistics, "Statistics of the puzzle and mode you play (see <a href=\"index.html#solves\">your "
                           "solves</a>)"},
    {ECommand::Quit, "End Gyrix (the settings are saved)"},
    {ECommand::CursorLeft, "Show the facelet cursor, or move it to the facelet that shows nearest to the left"},
    {ECommand::CursorRight, "Move the cursor right"},
    {ECommand::CursorUp, "Move the cursor up"},
    {ECommand::CursorDown, "Move the cursor down"},
    {ECommand::TurnLeft, "Turn from the cursor leftwards: the drag from its facelet to the one on its left"},
    {ECommand::TurnRight, "Turn from the cursor rightwards"},
    {ECommand::TurnUp, "Turn from the cursor upwards"},
    {ECommand::TurnDown, "Turn from the cursor downwards"},
    {ECommand::ViewLeft, "Turn the view 15 degrees, as a right-drag to the left"},
    {ECommand::ViewRight, "Turn the view 15 degrees to the right"},
    {ECommand::ViewUp, "Turn the view 15 degrees up"},
    {ECommand::ViewDown, "Turn the view 15 degrees down"},
    {ECommand::Click, "Click the cursor's facelet (the Orbix's lights)"},
    {ECommand::KeyLayout, "The speedcubing layout of keys on the cubes, on and off (the title shows it)"},
    {ECommand::CubeR, "R: the right layer"},
    {ECommand::CubeRPrime, "R'"},
    {ECommand::CubeL, "L: the left layer"},
    {ECommand::CubeLPrime, "L'"},
    {ECommand::CubeU, "U: the top layer"},
    {ECommand::CubeUPrime, "U'"},
    {ECommand::CubeD, "D: the bottom layer"},
    {ECommand::CubeDPrime, "D'"},
    {ECommand::CubeF, "F: the front layer"},
    {ECommand::CubeFPrime, "F'"},
    {ECommand::CubeB, "B: the back layer"},
    {ECommand::CubeBPrime, "B'"},
    {ECommand::CubeWideR, "r: the right two layers"},
    {ECommand::CubeWideRPrime, "r'"},
    {ECommand::CubeWideL, "l: the left two layers"},
    {ECommand::CubeWideLPrime, "l'"},
    {ECommand::CubeM, "M: the middle layers, as L turns"},
    {ECommand::CubeMPrime, "M'"},
    {ECommand::CubeX, "x: the whole cube, as R turns"},
    {ECommand::CubeXPrime, "x'"},
    {ECommand::CubeY, "y: the whole cube, as U turns"},
    {ECommand::CubeYPrime, "y'"},
    {ECommand::CubeZ, "z: the whole cube, as F turns"},
    {ECommand::CubeZPrime, "z'"},
};

std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '<') out += "&lt;";
    else if (c == '>') out += "&gt;";
    else if (c == '&') out += "&amp;";
    else out += c;
  }
  return out;
}

// "<kbd>Ctrl</kbd>+<kbd>Z</kbd>"
std::string ChordHtml(const SKeyChord& chord) {
  const std::string text = ChordText(chord);
  std::string html;
  size_t start = 0;
  // The modifiers end in '+'; the key's own name may be "+" or hold one ("Keypad +").
  for (const char* m : {"Ctrl+", "Alt+", "Shift+"}) {
    const std::string mod(m);
    if (text.compare(start, mod.size(), mod) == 0) {
      html += "<kbd>" + mod.substr(0, mod.size() - 1) + "</kbd>+";
      start += mod.size();
    }
  }
  return html + "<kbd>" + Escaped(text.substr(start)) + "</kbd>";
}

std::string Replaced(const std::string& page, const std::string& mark, const std::string& rows) {
  const std::string open = "<!-- keys:" + mark + " -->", close = "<!-- end -->";
  const size_t a = page.find(open);
  if (a == std::string::npos) return page;
  const size_t from = a + open.size();
  const size_t b = page.find(close, from);
  if (b == std::string::npos) return page;
  return page.substr(0, from) + "\n" + rows + page.substr(b);
}

}  // namespace

const char* CommandHelpText(ECommand command) {
  for (const CommandHelp& h : kHelp)
    if (h.command == command) return h.text;
  return "";
}

std::string KeyTableRows(const CCommandTable& table) {
  std::string rows;
  for (ECommand command : table.Commands()) {
    std::string keys;
    for (const SKeyChord& chord : table.ChordsOf(command)) {
      if (ChordText(chord).empty()) continue;
      if (!keys.empty()) keys += " or ";
      keys += ChordHtml(chord);
    }
    if (keys.empty()) keys = "(no key)";
    rows += "<tr><td>" + keys + "</td><td>" + CommandHelpText(command) + "</td></tr>\n";
  }
  return rows;
}

std::string WithKeyTables(const std::string& page, const CCommandTable& classic, const CCommandTable& speedcube) {
  return Replaced(Replaced(page, "classic", KeyTableRows(classic)), "speedcube", KeyTableRows(speedcube));
}

bool WriteHelpCopy(const std::string& from, const std::string& to, const CCommandTable& classic,
                   const CCommandTable& speedcube) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::create_directories(to, error);
  if (error) return false;
  for (const auto& entry : fs::directory_iterator(from, error)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    std::string page = text.str();
    if (entry.path().extension() == ".html") page = WithKeyTables(page, classic, speedcube);
    const fs::path target = fs::path(to) / entry.path().filename();
    const fs::path temporary = target.string() + ".new";
    {
      std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
      if (!(out << page)) return false;
    }
    fs::rename(temporary, target, error);
    if (error) return false;
  }
  return !error;
}
