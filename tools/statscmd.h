// The solve-log commands of gyrix-tool: stats, export and import.
#pragma once

#include <string>

bool IsStatsCommand(const std::string& command);
// Runs one; errors go to stderr. Returns the exit status (2 for a wrong command line).
int RunStatsCommand(int argc, char** argv);
