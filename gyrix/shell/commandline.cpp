#include <gyrix/shell/commandline.h>

#include <gyrix/shell/aboutdlg.h>

#include <cstdio>

namespace {

bool IsOption(const std::string& argument) { return argument.size() > 1 && argument[0] == '-'; }

}  // namespace

CCommandLine ParseCommandLine(int argc, const char* const* argv) {
  CCommandLine line;
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i] ? argv[i] : "";
    if (!optionsEnded && argument == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && (argument == "--help" || argument == "-h")) {
      line.action = CCommandLine::Action::Help;
      return line;
    } else if (!optionsEnded && argument == "--version") {
      line.action = CCommandLine::Action::Version;
      return line;
    } else if ((optionsEnded || !IsOption(argument)) && line.file.empty() && !argument.empty()) {
      line.file = argument;
    } else {
      // One window shows one puzzle: a second file has nowhere to go.
      line.ignored.push_back(argument);
    }
  }
  return line;
}

std::string GetUsageText() {
  return "Usage: gyrix [FILE.puz]\n"
         "       gyrix --help | --version\n"
         "\n"
         "Gyrix is a collection of twisty puzzles. Given a puzzle file saved by the game,\n"
         "it starts with that puzzle, as the Open command would load it.\n"
         "\n"
         "  -h, --help   print this help and end\n"
         "  --version    print the version and end\n";
}

std::string GetVersionText() {
  char version[32];
  std::snprintf(version, sizeof version, "%.2f", CAboutDlg::kVersion);
  return std::string("Gyrix ") + version + "\n";
}
