#include "tools_test_util.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

Bytes ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void ScratchFolder::SetUp() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  folder = ::testing::TempDir() + "gyrix-tools-" + std::to_string(getpid()) + "-" + info->name() + "/";
  std::filesystem::create_directories(folder);
}

void ScratchFolder::TearDown() { std::filesystem::remove_all(folder); }

ToolRun RunTool(const std::string& arguments) {
  ToolRun run;
  const std::string command = std::string("'") + GYRIX_TOOL + "' " + arguments + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  char chunk[4096];
  size_t n = 0;
  while ((n = fread(chunk, 1, sizeof chunk, pipe)) > 0) run.output.append(chunk, n);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return run;
}
