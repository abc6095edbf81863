#include <gyrix/stats/json.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kMaxDepth = 64;

class CJsonParser {
 public:
  explicit CJsonParser(const std::string& text) : m_text(text) {}

  bool Parse(CJsonValue& out, std::string& error) {
    SkipSpace();
    if (!Value(out, 0)) {
      error = Where() + m_error;
      return false;
    }
    SkipSpace();
    if (m_at != m_text.size()) {
      error = Where() + "text after the end of the data";
      return false;
    }
    return true;
  }

 private:
  std::string Where() const {
    int line = 1;
    for (std::size_t i = 0; i < m_at && i < m_text.size(); ++i) line += m_text[i] == '\n';
    return "line " + std::to_string(line) + ": ";
  }
  bool Fail(const char* what) {
    if (m_error.empty()) m_error = what;
    return false;
  }
  void SkipSpace() {
    while (m_at < m_text.size() && (m_text[m_at] == ' ' || m_text[m_at] == '\t' || m_text[m_at] == '\n' || m_text[m_at] == '\r'))
      ++m_at;
  }
  bool Literal(const char* word) {
    for (std::size_t i = 0; word[i]; ++i)
      if (m_at + i >= m_text.size() || m_text[m_at + i] != word[i]) return Fail("unknown word");
    while (*word++) ++m_at;
    return true;
  }
  bool Value(CJsonValue& out, int depth) {
    if (depth > kMaxDepth) return Fail("nested too deeply");
    if (m_at >= m_text.size()) return Fail("the data ends too soon");
    const char c = m_text[m_at];
    if (c == '{') return Object(out, depth);
    if (c == '[') return Array(out, depth);
    if (c == '"') {
      out.kind = CJsonValue::kString;
      return String(out.text);
    }
    if (c == 't') { out.kind = CJsonValue::kBool; out.boolean = true; return Literal("true"); }
    if (c == 'f') { out.kind = CJsonValue::kBool; out.boolean = false; return Literal("false"); }
    if (c == 'n') { out.kind = CJsonValue::kNull; return Literal("null"); }
    return Number(out);
  }
  bool Number(CJsonValue& out) {
    const std::size_t start = m_at;
    if (m_at < m_text.size() && m_text[m_at] == '-') ++m_at;
    auto digits = [&] {
      const std::size_t from = m_at;
      while (m_at < m_text.size() && m_text[m_at] >= '0' && m_text[m_at] <= '9') ++m_at;
      return m_at > from;
    };
    const std::size_t first = m_at;
    if (!digits()) return Fail("a value is missing or is not a number");
    if (m_text[first] == '0' && m_at - first > 1) return Fail("a number starts with a zero");
    if (m_at < m_text.size() && m_text[m_at] == '.') {
      ++m_at;
      if (!digits()) return Fail("a number has no digits after its point");
    }
    if (m_at < m_text.size() && (m_text[m_at] == 'e' || m_text[m_at] == 'E')) {
      ++m_at;
      if (m_at < m_text.size() && (m_text[m_at] == '+' || m_text[m_at] == '-')) ++m_at;
      if (!digits()) return Fail("a number has no exponent digits");
    }
    out.kind = CJsonValue::kNumber;
    out.number = std::strtod(m_text.substr(start, m_at - start).c_str(), nullptr);
    if (!std::isfinite(out.number)) return Fail("a number is out of range");
    return true;
  }
  static void PutUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xc0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3f));
    } else if (code < 0x10000) {
      out += static_cast<char>(0xe0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3f));
      out += static_cast<char>(0x80 | (code & 0x3f));
    } else {
      out += static_cast<char>(0xf0 | (code >> 18));
      out += static_cast<char>(0x80 | ((code >> 12) & 0x3f));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3f));
      out += static_cast<char>(0x80 | (code & 0x3f));
    }
  }
  bool Hex4(unsigned& out) {
    if (m_at + 4 > m_text.size()) return Fail("a \\u escape is cut short");
    out = 0;
    for (int i = 0; i < 4; ++i) {
      const char h = m_text[m_at++];
      out <<= 4;
      if (h >= '0' && h <= '9') out |= h - '0';
      else if (h >= 'a' && h <= 'f') out |= h - 'a' + 10;
      else if (h >= 'A' && h <= 'F') out |= h - 'A' + 10;
      else return Fail("a \\u escape has a character that is not hexadecimal");
    }
    return true;
  }
  bool String(std::string& out) {
    ++m_at;  // the opening quote
    out.clear();
    while (m_at < m_text.size()) {
      const char c = m_text[m_at++];
      if (c == '"') return true;
      if (static_cast<unsigned char>(c) < 0x20) return Fail("a string holds a control character");
      if (c != '\\') {
        out += c;
        continue;
      }
      if (m_at >= m_text.size()) break;
      const char e = m_text[m_at++];
      switch (e) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case '/': out += '/'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u': {
          unsigned code = 0;
          if (!Hex4(code)) return false;
          if (code >= 0xd800 && code < 0xdc00) {
            unsigned low = 0;
            if (m_at + 2 > m_text.size() || m_text[m_at] != '\\' || m_text[m_at + 1] != 'u')
              return Fail("a surrogate pair is broken");
            m_at += 2;
            if (!Hex4(low)) return false;
            if (low < 0xdc00 || low >= 0xe000) return Fail("a surrogate pair is broken");
            code = 0x10000 + ((code - 0xd800) << 10) + (low - 0xdc00);
          } else if (code >= 0xdc00 && code < 0xe000) {
            return Fail("a surrogate pair is broken");
          }
          PutUtf8(out, code);
          break;
        }
        default: return Fail("a string has an unknown escape");
      }
    }
    return Fail("a string is not closed");
  }
  bool Array(CJsonValue& out, int depth) {
    ++m_at;
    out.kind = CJsonValue::kArray;
    SkipSpace();
    if (m_at < m_text.size() && m_text[m_at] == ']') { ++m_at; return true; }
    while (true) {
      out.items.emplace_back();
      SkipSpace();
      if (!Value(out.items.back(), depth + 1)) return false;
      SkipSpace();
      if (m_at >= m_text.size()) return Fail("an array is not closed");
      const char c = m_text[m_at++];
      if (c == ']') return true;
      if (c != ',') return Fail("an array misses a comma");
    }
  }
  bool Object(CJsonValue& out, int depth) {
    ++m_at;
    out.kind = CJsonValue::kObject;
    SkipSpace();
    if (m_at < m_text.size() && m_text[m_at] == '}') { ++m_at; return true; }
    while (true) {
      SkipSpace();
      if (m_at >= m_text.size() || m_text[m_at] != '"') return Fail("an object's name is not a string");
      std::string name;
      if (!String(name)) return false;
      SkipSpace();
      if (m_at >= m_text.size() || m_text[m_at++] != ':') return Fail("an object misses a colon");
      SkipSpace();
      out.members.push_back({std::move(name), CJsonValue()});
      if (!Value(out.members.back().second, depth + 1)) return false;
      SkipSpace();
      if (m_at >= m_text.size()) return Fail("an object is not closed");
      const char c = m_text[m_at++];
      if (c == '}') return true;
      if (c != ',') return Fail("an object misses a comma");
    }
  }

  const std::string& m_text;
  std::size_t m_at = 0;
  std::string m_error;
};

}  // namespace

const CJsonValue* CJsonValue::Find(const std::string& name) const {
  for (auto it = members.rbegin(); it != members.rend(); ++it)
    if (it->first == name) return &it->second;
  return nullptr;
}

bool ParseJson(const std::string& text, CJsonValue& out, std::string& error) {
  out = CJsonValue();
  return CJsonParser(text).Parse(out, error);
}

void AppendJsonString(std::string& out, const std::string& text) {
  out += '"';
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"') out += "\\\"";
    else if (c == '\\') out += "\\\\";
    else if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else if (c == '\t') out += "\\t";
    else if (u < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", u);
      out += escape;
    } else out += c;
  }
  out += '"';
}
