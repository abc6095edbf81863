// Arbitrary bytes as a settings file with a [Keys] section: reading it never gives one key to
// two commands, and what was read writes out and reads back to the same keys without a word
// of complaint.
#include <gyrix/session/commands.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void CheckTable(const CCommandTable& table) {
  const auto& bindings = table.Bindings();
  for (size_t i = 0; i < bindings.size(); ++i)
    for (size_t j = i + 1; j < bindings.size(); ++j)
      if (bindings[i].chord == bindings[j].chord) std::abort();  // one key, two commands
  CCommandTable again(table.GetLayout());
  std::vector<std::string> problems;
  again.ReadSection(table.WriteSection(), problems);
  if (!problems.empty()) std::abort();  // the table's own text is not understood
  for (ECommand command : table.Commands())
    if (again.ChordsOf(command) != table.ChordsOf(command)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string file(reinterpret_cast<const char*>(data), size);
  std::string section;
  CCommandTable::SplitSection(file, section);
  for (EKeyLayout layout : {EKeyLayout::Classic, EKeyLayout::Speedcube}) {
    CCommandTable table(layout);
    std::vector<std::string> problems;
    table.ReadSection(section, problems);
    CheckTable(table);
  }
  // Each chord read alone names itself again.
  SKeyChord chord;
  if (ParseChord(file, chord) && ChordText(chord).empty()) std::abort();
  return 0;
}
