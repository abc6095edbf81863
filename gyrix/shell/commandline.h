// The game's command line. A desktop opening a puzzle file passes its path; --help and
// --version print and end. Nothing else on the command line changes what the game does.
#pragma once

#include <string>
#include <vector>

struct CCommandLine {
  enum class Action { Play, Help, Version };
  Action action = Action::Play;
  std::string file;                  // the puzzle file to open at start; empty for none
  std::vector<std::string> ignored;  // arguments that change nothing, for a warning
};

CCommandLine ParseCommandLine(int argc, const char* const* argv);
// What --help and --version print.
std::string GetUsageText();
std::string GetVersionText();
