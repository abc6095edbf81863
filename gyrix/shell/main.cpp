// The game program: its one application object and the entry point.
#include <gyrix/shell/commandline.h>
#include <gyrix/shell/puzzleapp.h>

#include <platform/eventloop.h>

#include <cstdio>
#include <filesystem>

static CPuzzleApp theApp;

int main(int argc, char** argv) {
  const CCommandLine line = ParseCommandLine(argc, argv);
  if (line.action == CCommandLine::Action::Help) {
    std::fputs(GetUsageText().c_str(), stdout);
    return 0;
  }
  if (line.action == CCommandLine::Action::Version) {
    std::fputs(GetVersionText().c_str(), stdout);
    return 0;
  }
  for (const std::string& argument : line.ignored)
    std::fprintf(stderr, "gyrix: ignoring %s\n", argument.c_str());
  // The window makes the program's folder the current one: a relative path is resolved first.
  std::error_code ignored;
  theApp.SetStartFile(line.file.empty() ? line.file : std::filesystem::absolute(line.file, ignored).string());
  // Logging out or Ctrl+C closes the window as the player would, keeping the settings.
  CEventLoop::QuitOnSignals();
  return AfxWinMain();
}
