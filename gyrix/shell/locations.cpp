#include <gyrix/shell/locations.h>

#include <cordak/file.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* kSettingsFileName = "Gyrix.ini";
constexpr const char* kInstalledResources = "../share/gyrix/";

bool IsFolder(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Each folder of the path in turn, so that a fresh home gets ~/.config as well.
void CreateFolders(const std::string& path) {
  for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
    CUFile::CreateFolder(path.substr(0, slash).c_str());
}

}  // namespace

bool IsInstalledLayout(const std::string& programFolder) {
  return EndsWith(programFolder, "/bin/") && IsFolder(programFolder + kInstalledResources);
}

std::string ResourceFolderFor(const std::string& programFolder) {
  return IsInstalledLayout(programFolder) ? programFolder + kInstalledResources : programFolder;
}

std::string SettingsPathFor(const std::string& programFolder, const char* xdgConfigHome, const char* home) {
  const std::string beside = programFolder + kSettingsFileName;
  if (IsFile(beside)) return beside;
  const bool writable = !programFolder.empty() && access(programFolder.c_str(), W_OK) == 0;
  if (writable && !IsInstalledLayout(programFolder)) return beside;
  std::string config;
  if (xdgConfigHome && *xdgConfigHome == '/') config = xdgConfigHome;
  else if (home && *home == '/') config = std::string(home) + "/.config";
  else return beside;  // nowhere better: opening fails quietly and the defaults hold
  config += "/gyrix/";
  CreateFolders(config);
  return config + kSettingsFileName;
}
