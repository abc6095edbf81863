// The help pages beside the program, opened in the desktop's browser. When no browser opens,
// the player is told where the pages are, so that they can be opened by hand.
#pragma once

#include <string>

class CWnd;

// The folder of the help pages, ending in '/'.
std::string HelpFolder();
// Opens one page (a file name in the help folder); false, after a message box owned by
// owner that names the folder, when the desktop could not open it.
bool OpenHelpPage(CWnd* owner, const char* page);
// The message that box shows.
std::string HelpNotOpenedText(const std::string& folder);
