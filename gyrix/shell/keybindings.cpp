// The keys of the game's commands in the settings file: a [Keys] section after the other
// settings, "Undo=Backspace, Ctrl+Z". A file without it plays with the default keys; a line
// that is not understood is told once and kept as it stands, and the rest is used.
#include <gyrix/shell/puzzledlg.h>

#include <gyrix/shell/helppages.h>
#include <gyrix/shell/keyhelp.h>
#include <gyrix/shell/keysdlg.h>

#include <cordak/file.h>

#include <cstdlib>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace {

bool ReadWholeFile(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  text = s.str();
  return true;
}

// The section's lines that name no command the program knows (a newer program's, a slip):
// written back as they were.
std::string UnknownLines(const std::string& section) {
  std::string kept;
  std::istringstream in(section);
  std::string line;
  while (std::getline(in, line)) {
    const size_t eq = line.find('=');
    std::string name = line.substr(0, eq);
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t' || name.back() == '\r')) name.pop_back();
    if (eq != std::string::npos && CCommandTable::FromName(name.c_str()) == ECommand::None) kept += line + "\n";
  }
  return kept;
}

}  // namespace

void CPuzzleDlg::LoadKeyBindings() {
  m_commandTable.SetDefaults();
  m_speedcubeTable.SetDefaults();
  m_keyProblems.clear();
  std::string text, section;
  if (!ReadWholeFile(SettingsFilePath(), text)) return;
  CCommandTable::SplitSection(text, section);
  if (section.empty()) return;
  m_commandTable.ReadSection(section, m_keyProblems);
  // Both tables read the section: a line neither knows is told once.
  std::vector<std::string> more;
  m_speedcubeTable.ReadSection(section, more);
  for (const std::string& p : more)
    if (std::find(m_keyProblems.begin(), m_keyProblems.end(), p) == m_keyProblems.end()) m_keyProblems.push_back(p);
  m_keptKeyLines = UnknownLines(section);
  if (!m_keyProblems.empty() && m_hWnd) PostMessage(WM_COMMAND, IDC_KEYS_MESSAGE, 0);
}

void CPuzzleDlg::SaveKeyBindings() {
  const std::string path = SettingsFilePath();
  std::string text, section;
  if (!ReadWholeFile(path, text)) return;
  std::string rest = CCommandTable::SplitSection(text, section);
  if (!rest.empty() && rest.back() != '\n') rest += '\n';
  // A setting written for the first time lands at the end of the file, inside the section:
  // it goes back among the others. Lines kept from the file as it was read stay.
  std::istringstream lines(section);
  std::string line;
  while (std::getline(lines, line)) {
    const size_t eq = line.find('=');
    std::string name = line.substr(0, eq);
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t' || name.back() == '\r')) name.pop_back();
    const bool command = eq != std::string::npos && CCommandTable::FromName(name.c_str()) != ECommand::None;
    if (!command && !line.empty() && m_keptKeyLines.find(line + "\n") == std::string::npos) rest += line + "\n";
  }
  const std::string updated = rest + CCommandTable::kSectionHeader + "\n" + m_commandTable.WriteSection() +
                              m_speedcubeTable.WriteSection() + m_keptKeyLines;
  if (updated == text) return;
  CUFile::ReplaceContents(path.c_str(), updated.data(), static_cast<int>(updated.size()));
}

std::string CPuzzleDlg::PlayerHelpFolder() {
  const char* cache = std::getenv("XDG_CACHE_HOME");
  if (cache && *cache == '/') return std::string(cache) + "/gyrix/help/";
  const char* home = std::getenv("HOME");
  if (home && *home == '/') return std::string(home) + "/.cache/gyrix/help/";
  return std::string();
}

std::string CPuzzleDlg::WriteHelpPages() const {
  // The pages as shipped where the copy cannot be written: they show the default keys.
  const std::string folder = PlayerHelpFolder();
  if (folder.empty() || !WriteHelpCopy(HelpFolder(), folder, m_commandTable, m_speedcubeTable)) return std::string();
  return folder;
}

void CPuzzleDlg::RunKeysDialog(CWnd* parent) {
  CKeysDlg dialog(parent ? parent : this, m_commandTable, m_speedcubeTable);
  if (dialog.DoModal() != IDOK) return;
  m_commandTable = dialog.GetClassic();
  m_speedcubeTable = dialog.GetSpeedcube();
  SaveSettings();
}

void CPuzzleDlg::ShowKeyProblems() {
  if (m_keyProblems.empty()) return;
  std::string text = "Some keys in the settings file were not understood and are left out:";
  for (const std::string& p : m_keyProblems) text += "\n" + p;
  m_keyProblems.clear();
  ::MessageBox(this, text.c_str(), "Gyrix", MB_OK | MB_ICONWARNING);
}
