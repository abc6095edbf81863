#include <gyrix/stats/location.h>

#include <sys/stat.h>

namespace {

constexpr const char* kLogFileName = "gyrix.db";

void CreateFolders(const std::string& path) {
  for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
    mkdir(path.substr(0, slash).c_str(), 0755);
}

}  // namespace

std::string SolveLogPathFor(const std::string& settingsPath, const std::string& programFolder,
                            const char* xdgDataHome, const char* home) {
  const std::size_t slash = settingsPath.rfind('/');
  const std::string settingsFolder = slash == std::string::npos ? std::string() : settingsPath.substr(0, slash + 1);
  if (!programFolder.empty() && settingsFolder == programFolder) return programFolder + kLogFileName;
  std::string data;
  if (xdgDataHome && *xdgDataHome == '/') data = xdgDataHome;
  else if (home && *home == '/') data = std::string(home) + "/.local/share";
  else return programFolder + kLogFileName;  // nowhere better
  data += "/gyrix/";
  CreateFolders(data);
  return data + kLogFileName;
}
