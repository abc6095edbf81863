#include <gyrix/shell/helppages.h>

#include <gyrix/shell/locations.h>

#include <lumex/utils.h>
#include <platform/platform.h>

namespace {

constexpr int kShowNormal = 10;

}  // namespace

std::string HelpFolder() { return ResourceFolderFor(static_cast<const char*>(GetModulePath())) + "help/"; }

std::string HelpNotOpenedText(const std::string& folder) {
  return "No browser could be started to show the help pages.\n\nThey are in the folder\n" + folder +
         "\nand can be opened from there with any browser.";
}

bool OpenHelpPage(CWnd* owner, const char* page) {
  const std::string folder = HelpFolder();
  if (ShellExecute(owner, "open", (folder + page).c_str(), nullptr, nullptr, kShowNormal) > 32) return true;
  MessageBox(owner, HelpNotOpenedText(folder).c_str(), "Gyrix", MB_OK | MB_ICONINFORMATION);
  return false;
}
