// Where the solve log lives: gyrix.db beside the program when the game keeps its settings
// there (a portable copy), else in $XDG_DATA_HOME/gyrix/ (an absolute path), else in
// ~/.local/share/gyrix/, which is created.
#pragma once

#include <string>

// settingsPath: where the game keeps Gyrix.ini; programFolder ends in '/'. xdgDataHome and
// home may be null.
std::string SolveLogPathFor(const std::string& settingsPath, const std::string& programFolder,
                            const char* xdgDataHome, const char* home);
