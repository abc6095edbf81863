// Arbitrary bytes as a timer's export file: the importer either takes all of it or nothing,
// and what it took exports and imports again to the same solves.
#include <gyrix/stats/exchange.h>

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CSolveLog log;
  log.OpenInMemory();
  const std::string text(reinterpret_cast<const char*>(data), size);
  CImportSummary summary;
  std::string error;
  if (!ImportTimerJson(log, text, summary, error)) {
    if (log.CountSolves() != 0 || error.empty()) std::abort();  // half-imported, or refused silently
    return 0;
  }
  if (log.CountSolves() != summary.solves) std::abort();
  CSolveLog again;
  again.OpenInMemory();
  CImportSummary second;
  if (!ImportTimerJson(again, ExportTimerJson(log), second, error)) std::abort();
  if (again.CountSolves() != summary.solves) std::abort();
  ExportCsv(log);
  return 0;
}
