// CPuzzleApp: the application object. Its start-up hook runs the main window as a modal
// dialog; the program ends when that window closes.
#pragma once

#include <platform/app.h>

#include <string>

class CPuzzleApp : public CWinApp {
 public:
  CPuzzleApp() : CWinApp("Gyrix") {}
  BOOL InitInstance() override;
  // A puzzle file to open once the main window shows (from the command line).
  void SetStartFile(const std::string& path) { m_startFile = path; }

 private:
  std::string m_startFile;
};
