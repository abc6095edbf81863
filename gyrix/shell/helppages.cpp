#include <gyrix/shell/helppages.h>

#include <gyrix/shell/locations.h>

#include <lumex/utils.h>
#include <platform/platform.h>

namespace {

constexpr int kShowNormal = 10;

std::function<std::string()>& Provider() {
  static std::function<std::string()> provider;
  return provider;
}

}  // namespace

std::string& HelpFolderOverride() {
  static std::string folder;
  return folder;
}

std::string HelpFolder() {
  if (!HelpFolderOverride().empty()) return HelpFolderOverride();
  return ResourceFolderFor(static_cast<const char*>(GetModulePath())) + "help/";
}

void SetHelpFolderOverride(const std::string& folder) { HelpFolderOverride() = folder; }

std::string HelpNotOpenedText(const std::string& folder) {
  return "No browser could be started to show the help pages.\n\nThey are in the folder\n" + folder +
         "\nand can be opened from there with any browser.";
}

void SetHelpFolderProvider(std::function<std::string()> provider) { Provider() = std::move(provider); }

bool OpenHelpPage(CWnd* owner, const char* page) {
  std::string folder = Provider() ? Provider()() : std::string();
  if (folder.empty()) folder = HelpFolder();
  if (ShellExecute(owner, "open", (folder + page).c_str(), nullptr, nullptr, kShowNormal) > 32) return true;
  MessageBox(owner, HelpNotOpenedText(folder).c_str(), "Gyrix", MB_OK | MB_ICONINFORMATION);
  return false;
}
