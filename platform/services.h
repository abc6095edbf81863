// Desktop services: message boxes, the beep, opening a file or address with the desktop's
// default application, the file open/save chooser, the program's own file name, and the
// clipboard. Message boxes, the chooser and opening addresses go through CDesktopServices,
// which tests replace.
#pragma once

#include <platform/wnd.h>

#include <string>
#include <utility>
#include <vector>

// One entry of a file filter: a description and its patterns ("*.bmp", "*.a;*.b").
struct FileFilter {
  std::string description;
  std::string patterns;
};
// A filter list as the program writes it: description and pattern pairs, each ended by a NUL
// and the whole list by a second NUL ("Bitmap Files\0*.bmp\0\0"); '|' may stand for the NULs.
// Null or empty gives "All Files" / "*.*".
std::vector<FileFilter> ParseFileFilter(const char* filter);

struct FileChooserRequest {
  bool save = false;
  std::vector<FileFilter> filters;
  std::string startFolder;  // empty: the current folder
  std::string fileName;     // initial name (may hold a folder)
  std::string title;        // empty: "Open" or "Save As"
  std::string defaultExtension;  // without the dot; added to a typed name that has none
};

class CDesktopServices {
 public:
  virtual ~CDesktopServices() = default;
  // Shows a modal message box; returns IDOK, IDCANCEL, IDYES or IDNO.
  virtual int MessageBox(CWnd* owner, const char* text, const char* caption, UINT type) = 0;
  // 1 with path set when the user chose a file, 0 when cancelled (path unchanged).
  virtual int ChooseFile(CWnd* owner, const FileChooserRequest& request, std::string& path) = 0;
  // Opens a file or an address with the desktop's default application; 1 when started.
  virtual int OpenDocument(const char* fileOrAddress) = 0;
};

// The services in use (never null). Installing null restores the desktop's own.
CDesktopServices* GetDesktopServices();
CDesktopServices* SetDesktopServices(CDesktopServices* services);

// The desktop's own services. The chooser uses zenity, else kdialog, when one is installed
// and can open a window; else the layer's own file dialog.
class CSystemDesktopServices : public CDesktopServices {
 public:
  int MessageBox(CWnd* owner, const char* text, const char* caption, UINT type) override;
  int ChooseFile(CWnd* owner, const FileChooserRequest& request, std::string& path) override;
  int OpenDocument(const char* fileOrAddress) override;

  // The pieces, open for tests: the program that opens documents ("xdg-open"), and the
  // external choosers tried in order.
  std::string m_opener = "xdg-open";
  std::vector<std::string> m_choosers = {"zenity", "kdialog"};
  // What an external chooser did: chosen, cancelled, or failed (not there, no display...).
  enum class ChooserResult { Chosen, Cancelled, Failed };
  ChooserResult RunExternalChooser(const std::string& program, CWnd* owner,
                                   const FileChooserRequest& request, std::string& path);
};

// The layer's own file dialog: folder field, list of folders and matching files, name field,
// OK and Cancel; saving over an existing file asks first.
int RunOwnFileDialog(CWnd* owner, const FileChooserRequest& request, std::string& path);

// The message box of the layer: caption, icon, text, buttons; owned by the window that has the
// focus when owner is null.
int MessageBox(CWnd* owner, const char* text, const char* caption = nullptr, UINT type = MB_OK);
int AfxMessageBox(const char* text, UINT type = MB_OK);

// A short tone through the sound device; best effort, silent without one.
BOOL MessageBeep(UINT type);

// Opens a file or address with the desktop's default application. Returns a value above 32
// when the application was started, else an error code (SE_ERR_NOASSOC when nothing opened).
constexpr std::intptr_t SE_ERR_FNF = 2;
constexpr std::intptr_t SE_ERR_NOASSOC = 31;
std::intptr_t ShellExecute(CWnd* wnd, const char* verb, const char* file, const char* parameters,
                           const char* directory, int show);

// The full file name of the running program (from /proc/self/exe); 0 on failure.
DWORD GetModuleFileName(HINSTANCE module, char* buffer, DWORD size);

// Finds a program on PATH; empty when it is not there.
std::string FindProgram(const std::string& name);

// Installs the desktop clipboard as Cordak's clipboard service (done by AfxWinMain).
void InstallClipboardService();

// The file dialog of the framework, on the chooser above.
constexpr DWORD OFN_READONLY = 0x1;
constexpr DWORD OFN_OVERWRITEPROMPT = 0x2;
constexpr DWORD OFN_HIDEREADONLY = 0x4;
constexpr DWORD OFN_FILEMUSTEXIST = 0x1000;

class CFileDialog {
 public:
  CFileDialog(BOOL openDialog, const char* defaultExtension = nullptr, const char* fileName = nullptr,
              DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* filter = nullptr,
              CWnd* parent = nullptr);
  // IDOK when a file was chosen, IDCANCEL otherwise.
  INT_PTR DoModal();
  std::string GetPathName() const { return m_path; }
  std::string GetFileName() const;

  std::string m_title;
  std::string m_initialFolder;

 private:
  FileChooserRequest m_request;
  CWnd* m_parent;
  std::string m_path;
};
