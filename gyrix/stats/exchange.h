// The solve log to and from the files of the most widely used web timer, and to CSV.
//
// That timer's file is one JSON object: "session1", "session2", ... each an array of solves
// [[penalty, ms], scramble, comment, unix seconds] (penalty 0, 2000 for +2, -1 for DNF), and
// "properties" with "sessionN" and "sessionData", a JSON string describing each session.
// Its puzzle codes map to the cubes, the Pyramid, the Skewb and the Dodecahedron here.
#pragma once

#include <gyrix/stats/solvelog.h>

#include <string>

// The timer's code for a type ("333"), or null for a type it has not.
const char* TimerCodeForType(int typeId);
// The type of a code, or CSolve::kForeignType.
int TypeForTimerCode(const std::string& code);

// Every counted solve (assisted ones are left out: the timer would count them), one exported
// session for each session, type and mode of the log.
std::string ExportTimerJson(CSolveLog& log);
// Every solve, assisted ones marked, with a header line.
std::string ExportCsv(CSolveLog& log);

struct CImportSummary {
  int sessions = 0;
  int solves = 0;
};

// Adds the file's sessions as imported sessions of their own, in one transaction. A file
// that is not the timer's layout is refused whole with a message naming what is wrong; the
// log is then as it was.
bool ImportTimerJson(CSolveLog& log, const std::string& text, CImportSummary& summary, std::string& error);
