#include <gyrix/shell/puzzleapp.h>

#include <gyrix/shell/puzzledlg.h>

BOOL CPuzzleApp::InitInstance() {
  Enable3dControls();
  CPuzzleDlg dialog(nullptr);
  dialog.SetStartFile(m_startFile);
  m_pMainWnd = &dialog;
  dialog.DoModal();
  m_pMainWnd = nullptr;
  // No event loop of our own: returning FALSE ends the program.
  return FALSE;
}
