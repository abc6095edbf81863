#include <gyrix/stats/exchange.h>

#include <gyrix/puzzles/catalogue.h>
#include <gyrix/stats/json.h>

#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <ctime>
#include <map>
#include <tuple>

namespace {

struct CTimerCode {
  int typeId;
  const char* code;
};

// By type id: the 2x2x2 to 5x5x5 cubes, the Pyramid, the Skewb and the Dodecahedron.
const CTimerCode kTimerCodes[] = {
    {0, "222so"}, {1, "333"}, {2, "444wca"}, {3, "555wca"}, {4, "pyrso"}, {6, "skbso"}, {7, "mgmp"},
};

// Bounds on what a file may hold, so a hostile one cannot exhaust memory or the clock.
constexpr std::size_t kMaxImportBytes = 256u << 20;
constexpr int kMaxSessionNumber = 100000;
constexpr double kMaxSolveMs = 1e11;        // about three years
constexpr double kMaxUnixSeconds = 1e11;
constexpr std::size_t kMaxText = 1u << 20;  // a scramble or comment

std::string TypeName(int typeId) {
  const CPuzzleType* type = GetPuzzleType(typeId);
  return type ? type->name : "Unnamed";
}

std::string Number(std::int64_t v) { return std::to_string(v); }

// The solves of one exported session.
struct CGroup {
  std::int64_t session;
  int typeId;
  int mode;
  std::vector<const CSolve*> solves;
};

std::string Iso8601(std::int64_t unixMs) {
  const std::time_t seconds = static_cast<std::time_t>(unixMs / 1000);
  std::tm utc {};
  gmtime_r(&seconds, &utc);
  char text[40];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &utc);
  char ms[8];
  std::snprintf(ms, sizeof ms, ".%03dZ", static_cast<int>(((unixMs % 1000) + 1000) % 1000));
  return std::string(text) + ms;
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\n\r") == std::string::npos) return text;
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + '"';
}

// A value the timer may write as the JSON text of itself.
bool Unwrap(const CJsonValue& value, CJsonValue& out, std::string& error) {
  if (!value.IsString()) {
    out = value;
    return true;
  }
  return ParseJson(value.text, out, error);
}

bool WholeNumber(const CJsonValue& v, double low, double high, double& out) {
  if (!v.IsNumber() || v.number < low || v.number > high || std::floor(v.number) != v.number) return false;
  out = v.number;
  return true;
}

// A session this program exported without a code of the timer's is named "Type[ mode N] - ...".
bool TypeFromExportedName(const std::string& name, int& typeId, int& mode) {
  for (int id = 0; id < kPuzzleTypeCount; ++id) {
    const std::string type = TypeName(id);
    if (name.compare(0, type.size(), type) != 0) continue;
    std::string rest = name.substr(type.size());
    int m = 0;
    if (rest.rfind(" mode ", 0) == 0) {
      char* end = nullptr;
      const long parsed = std::strtol(rest.c_str() + 6, &end, 10);
      if (end == rest.c_str() + 6 || parsed < 0 || parsed > 1000) continue;
      m = static_cast<int>(parsed);
      rest = end;
    }
    if (!rest.empty() && rest.rfind(" - ", 0) != 0) continue;
    typeId = id;
    mode = m;
    return true;
  }
  return false;
}

}  // namespace

const char* TimerCodeForType(int typeId) {
  for (const CTimerCode& c : kTimerCodes)
    if (c.typeId == typeId) return c.code;
  return nullptr;
}

int TypeForTimerCode(const std::string& code) {
  for (const CTimerCode& c : kTimerCodes)
    if (code == c.code) return c.typeId;
  return CSolve::kForeignType;
}

std::string ExportTimerJson(CSolveLog& log) {
  const std::vector<CSolve> solves = log.ListSolves({});
  std::map<std::int64_t, CSolveSession> sessions;
  for (const CSolveSession& s : log.ListSessions()) sessions[s.id] = s;

  std::map<std::tuple<std::int64_t, int, int>, CGroup> byKey;
  std::vector<CGroup*> order;
  for (const CSolve& s : solves) {
    if (s.assisted) continue;
    auto [it, added] = byKey.try_emplace({s.session, s.typeId, s.mode}, CGroup{s.session, s.typeId, s.mode, {}});
    if (added) order.push_back(&it->second);
    it->second.solves.push_back(&s);
  }

  std::string out = "{";
  std::string data = "{";
  int number = 0;
  for (const CGroup* g : order) {
    ++number;
    const CSolveSession& session = sessions[g->session];
    std::string name, code;
    if (g->typeId == CSolve::kForeignType) {
      name = session.name;
      code = session.puzzle;
    } else {
      name = TypeName(g->typeId);
      if (g->mode != 0) name += " mode " + std::to_string(g->mode);
      name += " - " + session.name;
      const char* mapped = TimerCodeForType(g->typeId);
      code = mapped ? mapped : "";
    }
    out += (number > 1 ? ",\n" : "\n") + std::string("\"session") + std::to_string(number) + "\":[";
    int dnfs = 0;
    double sum = 0;
    int finished = 0;
    for (std::size_t i = 0; i < g->solves.size(); ++i) {
      const CSolve& s = *g->solves[i];
      if (i) out += ',';
      out += "[[" + std::to_string(s.penalty) + "," + Number(s.durationMs) + "],";
      AppendJsonString(out, s.scramble);
      out += ',';
      AppendJsonString(out, s.comment);
      out += ',';
      out += Number(s.startedMs / 1000);
      out += ']';
      if (s.penalty == CSolve::kDnfPenalty) {
        ++dnfs;
      } else {
        sum += static_cast<double>(s.CountedMs());
        ++finished;
      }
    }
    out += "]";
    const std::int64_t mean = finished ? std::llround(sum / finished) : -1;
    if (number > 1) data += ",";
    data += "\"" + std::to_string(number) + "\":{\"name\":";
    AppendJsonString(data, name);
    data += ",\"opt\":{";
    if (!code.empty()) {
      data += "\"scrType\":";
      AppendJsonString(data, code);
    }
    data += "},\"rank\":" + std::to_string(number) + ",\"stat\":[" + std::to_string(g->solves.size()) + "," +
            std::to_string(dnfs) + "," + Number(mean) + "],\"date\":[" +
            Number(g->solves.front()->startedMs / 1000) + "," + Number(g->solves.back()->startedMs / 1000) + "]}";
  }
  data += "}";
  if (number == 0) {
    // The timer expects at least its first session.
    out += "\n\"session1\":[]";
    number = 1;
    data = "{\"1\":{\"name\":\"1\",\"opt\":{},\"rank\":1,\"stat\":[0,0,-1],\"date\":[null,null]}}";
  }
  out += ",\n\"properties\":{\"sessionN\":" + std::to_string(number) + ",\"sessionData\":";
  AppendJsonString(out, data);
  out += "}\n}\n";
  return out;
}

std::string ExportCsv(CSolveLog& log) {
  std::map<std::int64_t, std::string> sessionNames;
  for (const CSolveSession& s : log.ListSessions()) sessionNames[s.id] = s.name;
  std::string out = "date,session,puzzle,mode,time_ms,penalty,turns,turns_per_second,assisted,scramble,comment\n";
  for (const CSolve& s : log.ListSolves({})) {
    const std::string puzzle = s.typeId == CSolve::kForeignType ? std::string("other") : TypeName(s.typeId);
    char tps[32];
    std::snprintf(tps, sizeof tps, "%.2f", s.TurnsPerSecond());
    const char* penalty = s.penalty == CSolve::kDnfPenalty ? "DNF" : s.penalty == CSolve::kPlusTwo ? "+2" : "";
    out += Iso8601(s.startedMs) + "," + CsvField(sessionNames[s.session]) + "," + CsvField(puzzle) + "," +
           std::to_string(s.mode) + "," + Number(s.durationMs) + "," + penalty + "," + std::to_string(s.turns) + "," +
           tps + "," + (s.assisted ? "yes" : "no") + "," + CsvField(s.scramble) + "," + CsvField(s.comment) + "\n";
  }
  return out;
}

bool ImportTimerJson(CSolveLog& log, const std::string& text, CImportSummary& summary, std::string& error) {
  summary = {};
  if (text.size() > kMaxImportBytes) {
    error = "the file is too large to be a timer's export";
    return false;
  }
  CJsonValue root;
  std::string parseError;
  if (!ParseJson(text, root, parseError)) {
    error = "the file is not JSON (" + parseError + ")";
    return false;
  }
  if (!root.IsObject()) {
    error = "the file does not hold an object of sessions";
    return false;
  }

  // What the properties say of each session: its name and puzzle code.
  std::map<int, std::pair<std::string, std::string>> described;
  if (const CJsonValue* properties = root.Find("properties")) {
    CJsonValue props;
    if (!Unwrap(*properties, props, parseError) || !props.IsObject()) {
      error = "\"properties\" is not an object";
      return false;
    }
    if (const CJsonValue* dataValue = props.Find("sessionData")) {
      CJsonValue data;
      if (!Unwrap(*dataValue, data, parseError) || !data.IsObject()) {
        error = "\"sessionData\" is not an object";
        return false;
      }
      for (const auto& [key, entry] : data.members) {
        char* end = nullptr;
        const long number = std::strtol(key.c_str(), &end, 10);
        if (key.empty() || *end || number < 1 || number > kMaxSessionNumber || !entry.IsObject()) continue;
        std::string name = std::to_string(number), code;
        if (const CJsonValue* n = entry.Find("name")) {
          if (n->IsString()) name = n->text.substr(0, 200);
          else if (n->IsNumber()) name = std::to_string(static_cast<long long>(n->number));
        }
        if (const CJsonValue* opt = entry.Find("opt"); opt && opt->IsObject())
          if (const CJsonValue* type = opt->Find("scrType"); type && type->IsString()) code = type->text.substr(0, 64);
        described[static_cast<int>(number)] = {name, code};
      }
    }
  }

  struct CReadSession {
    int number;
    std::vector<CSolve> solves;
  };
  std::vector<CReadSession> read;
  std::size_t total = 0;
  for (const auto& [key, value] : root.members) {
    if (key.rfind("session", 0) != 0) continue;
    const std::string digits = key.substr(7);
    char* end = nullptr;
    const long number = std::strtol(digits.c_str(), &end, 10);
    if (digits.empty() || *end || digits[0] == '-' || digits[0] == '+') continue;  // sessionData and friends
    if (number < 1 || number > kMaxSessionNumber) {
      error = "\"" + key + "\" is not a session number the timer writes";
      return false;
    }
    CJsonValue list;
    if (!Unwrap(value, list, parseError) || !list.IsArray()) {
      error = "\"" + key + "\" is not a list of solves";
      return false;
    }
    CReadSession session{static_cast<int>(number), {}};
    for (std::size_t i = 0; i < list.items.size(); ++i) {
      const CJsonValue& item = list.items[i];
      const std::string where = key + ", solve " + std::to_string(i + 1) + ": ";
      if (!item.IsArray() || item.items.empty() || !item.items[0].IsArray() || item.items[0].items.size() < 2) {
        error = where + "not [[penalty, time], scramble, comment, date]";
        return false;
      }
      double penalty = 0, ms = 0, date = 0;
      if (!WholeNumber(item.items[0].items[0], -1, 2000, penalty) ||
          (penalty != 0 && penalty != 2000 && penalty != -1)) {
        error = where + "the penalty is not 0, 2000 or -1";
        return false;
      }
      if (!WholeNumber(item.items[0].items[1], 0, kMaxSolveMs, ms)) {
        error = where + "the time is not a whole number of milliseconds";
        return false;
      }
      CSolve s;
      s.penalty = static_cast<int>(penalty);
      s.durationMs = static_cast<std::int64_t>(ms);
      if (item.items.size() > 1 && !item.items[1].IsString()) {
        error = where + "the scramble is not text";
        return false;
      }
      if (item.items.size() > 2 && !item.items[2].IsString()) {
        error = where + "the comment is not text";
        return false;
      }
      if (item.items.size() > 3 && !WholeNumber(item.items[3], 0, kMaxUnixSeconds, date)) {
        error = where + "the date is not a whole number of seconds";
        return false;
      }
      if (item.items.size() > 1) s.scramble = item.items[1].text.substr(0, kMaxText);
      if (item.items.size() > 2) s.comment = item.items[2].text.substr(0, kMaxText);
      s.startedMs = static_cast<std::int64_t>(date) * 1000;
      session.solves.push_back(std::move(s));
    }
    total += session.solves.size();
    read.push_back(std::move(session));
  }
  if (read.empty()) {
    error = "the file holds no sessions (\"session1\", ...)";
    return false;
  }

  const bool ok = log.Transaction([&] {
    for (CReadSession& r : read) {
      const auto d = described.find(r.number);
      CSolveSession session;
      session.name = d != described.end() ? d->second.first : std::to_string(r.number);
      session.puzzle = d != described.end() ? d->second.second : std::string();
      session.imported = true;
      const std::int64_t id = log.AddSession(session);
      if (id <= 0) return false;
      // Without a code the timer means its 3x3x3, unless the name is one this program gave.
      int type = CSolve::kForeignType, mode = 0;
      if (!session.puzzle.empty()) type = TypeForTimerCode(session.puzzle);
      else if (!TypeFromExportedName(session.name, type, mode)) type = TypeForTimerCode("333");
      for (CSolve& s : r.solves) {
        s.session = id;
        s.typeId = type;
        s.mode = mode;
        if (log.AddSolve(s) <= 0) return false;
      }
    }
    return true;
  });
  if (!ok) {
    error = "the solve log could not take the solves: " + log.TakeMessage();
    return false;
  }
  summary.sessions = static_cast<int>(read.size());
  summary.solves = static_cast<int>(total);
  return true;
}
