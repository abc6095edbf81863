// Where the game's files live. A portable copy keeps everything in the program's folder. An
// installed program (bin/gyrix beside share/gyrix/) finds its tile and help pages in
// share/gyrix/ and keeps its settings in the user's configuration folder.
#pragma once

#include <string>

// The folder with Web.bmp and help/, ending in '/'; programFolder ends in '/'.
std::string ResourceFolderFor(const std::string& programFolder);
bool IsInstalledLayout(const std::string& programFolder);

// Gyrix.ini beside the program when it is already there, or when the program is a portable
// copy in a folder it can write; otherwise in $XDG_CONFIG_HOME/gyrix/ (an absolute path),
// else ~/.config/gyrix/, which is created. xdgConfigHome and home may be null.
std::string SettingsPathFor(const std::string& programFolder, const char* xdgConfigHome, const char* home);
