// A scratch folder for one test, removed with everything in it afterwards.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

class CScratchFolder {
 public:
  CScratchFolder() {
    char name[] = "/tmp/gyrix-stats-XXXXXX";
    m_path = mkdtemp(name) ? name : "/tmp";
  }
  ~CScratchFolder() {
    std::error_code ignored;
    if (m_path != "/tmp") std::filesystem::remove_all(m_path, ignored);
  }
  std::string operator/(const std::string& name) const { return m_path + "/" + name; }
  const std::string& Path() const { return m_path; }

 private:
  std::string m_path;
};
