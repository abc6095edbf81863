// The help pages beside the program, opened in the desktop's browser. When no browser opens,
// the player is told where the pages are, so that they can be opened by hand.
#pragma once

#include <functional>
#include <string>

class CWnd;

// The folder of the help pages, ending in '/'.
std::string HelpFolder();
// Tests: the help pages read from this folder instead ("" for the program's own).
void SetHelpFolderOverride(const std::string& folder);
// The main window may give the pages a folder of its own (a copy that shows the keys as the
// player set them): the function writes it and returns it, or returns "" for the help folder.
// Interface thread only.
void SetHelpFolderProvider(std::function<std::string()> provider);
// Opens one page (a file name in the help folder, or in the provider's); false, after a message box owned by
// owner that names the folder, when the desktop could not open it.
bool OpenHelpPage(CWnd* owner, const char* page);
// The message that box shows.
std::string HelpNotOpenedText(const std::string& folder);
