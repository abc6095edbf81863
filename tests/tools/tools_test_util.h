// Shared pieces of the tests of puzzle files and gyrix-tool: a scratch folder, whole-file
// reads and writes, quiet message boxes, and running the tool.
#pragma once

#include <platform/services.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Bytes = std::vector<char>;

Bytes ReadAll(const std::string& path);
void WriteAll(const std::string& path, const Bytes& bytes);

// A folder of its own for each test, removed afterwards.
struct ScratchFolder : ::testing::Test {
  void SetUp() override;
  void TearDown() override;
  std::string Path(const char* name) const { return folder + name; }
  std::string folder;
};

// Message boxes are answered and remembered instead of shown.
class CQuietServices : public CDesktopServices {
 public:
  CQuietServices() { SetDesktopServices(this); }
  ~CQuietServices() override { SetDesktopServices(nullptr); }
  int MessageBox(CWnd*, const char* text, const char* caption, UINT) override {
    messages.push_back(text ? text : "");
    captions.push_back(caption ? caption : "");
    return IDOK;
  }
  int ChooseFile(CWnd*, const FileChooserRequest&, std::string&) override { return 0; }
  int OpenDocument(const char*) override { return 0; }
  std::vector<std::string> messages, captions;
};

// Runs gyrix-tool with the arguments (a shell command line); output is stdout and stderr.
struct ToolRun {
  int status = -1;
  std::string output;
};
ToolRun RunTool(const std::string& arguments);
