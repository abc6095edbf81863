// A small JSON reader and writer for the files of other timers. The reader takes untrusted
// text: it limits nesting and says where the text goes wrong.
#pragma once

#include <string>
#include <vector>

struct CJsonMember;

class CJsonValue {
 public:
  enum Kind { kNull, kBool, kNumber, kString, kArray, kObject };

  Kind kind = kNull;
  bool boolean = false;
  double number = 0;
  std::string text;
  std::vector<CJsonValue> items;                            // an array
  std::vector<CJsonMember> members;  // an object, in the file's order

  bool IsNumber() const { return kind == kNumber; }
  bool IsString() const { return kind == kString; }
  bool IsArray() const { return kind == kArray; }
  bool IsObject() const { return kind == kObject; }
  // The last member of that name, or null.
  const CJsonValue* Find(const std::string& name) const;
};

struct CJsonMember {
  std::string first;  // the name
  CJsonValue second;
};

// Parses the whole text; on failure gives false and a message with the line of the fault.
bool ParseJson(const std::string& text, CJsonValue& out, std::string& error);

// Appends text as a JSON string literal, quotes included.
void AppendJsonString(std::string& out, const std::string& text);
