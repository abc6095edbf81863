// CPuzzleApp: the application object. Its start-up hook runs the main window as a modal
// dialog; the program ends when that window closes.
#pragma once

#include <platform/app.h>

class CPuzzleApp : public CWinApp {
 public:
  CPuzzleApp() : CWinApp("Gyrix") {}
  BOOL InitInstance() override;
};
