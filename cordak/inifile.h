// CUIniFile: settings kept as key=value lines in a plain text file.
//
// Integers are written unquoted (Key=12), strings between double quotes
// (Key="text"). There are no sections, comments or escapes. A key is a run of
// characters other than line feed, carriage return, tab, space and '='; only
// the first word of a line is taken as a key, never a word inside a value.
//
// Writes that the format cannot hold are refused (0, file unchanged): an empty
// key, a key with a blank, '=' or line break, a value with a line break or one
// of '"', '[' and ']' (they would end the quoted value early), and keys or
// values longer than 999 characters (the readers stop there).
//
// Every write (a new key, a replaced or deleted one, and creating the file)
// replaces the whole file through a temporary file in the same folder, flushed
// and then renamed over it, so a failure or a death at any point leaves the
// previous file or the new one.
#pragma once

#include <cordak/file.h>
#include <cordak/ustring.h>

#include <string>

class CUIniFile : public CUFile
{
public:
    CUIniFile();

    using CUFile::Open;
    // Opens the file for reading and writing (read-only when it cannot be
    // written), or creates it when it does not exist. 0 for an empty path or
    // a file that can be neither opened nor created.
    virtual int Open(char const* path);

    // 1 when a line has this key (case-sensitive); the file position is then
    // just after the key and its delimiter.
    int FindKey(char const* key);
    // The integer after the key, or defaultValue when the key is missing or no
    // number follows it on its line.
    int ReadIniInt(char const* key, int defaultValue);
    // value = defaultValue, then the key's value when the key is found
    // (quoted, or else the rest of its line). 1 when found.
    int ReadIniString(char const* key, CUString& value, char const* defaultValue);
    // Replace the key's line, or add one at the end. 1 on success.
    int WriteIniInt(char const* key, int value);
    int WriteIniString(char const* key, char const* value);
    // Removes every line of the key. 1 when the key is no longer in the file.
    int DeleteKey(char const* key);
    // As the string forms, with the value obfuscated (see cordak/crypt.h).
    int ReadIniPassword(char const* key, CUString& value, char const* defaultValue);
    int WriteIniPassword(char const* key, char const* value);

private:
    struct Line;
    int LoadContent(std::string& content);
    int FindLine(char const* key, std::string& content, Line& line);
    int WriteLine(char const* key, char const* line);
    static bool HoldsOnly(std::string const& content, Line const& found, char const* key, char const* line);
    int Rewrite(std::string const& content, char const* dropKey, char const* addLine);
};
