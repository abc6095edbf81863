// The library's window helpers: the error box, the file chooser, window text, the joystick
// readers and a one-line text input dialog.
#pragma once

#include <cordak/ustring.h>
#include <platform/dialog.h>
#include <platform/joystick.h>

// Formats the text (printf style) and shows it in a message box captioned "Error" with a
// warning icon and an OK button, owned by the window that has the focus.
void Error(char const* fmt, ...) __attribute__((format(printf, 1, 2)));

// The open (save 0) or save chooser. filter is a list of description and pattern pairs, each
// ended by a NUL and the list by a second NUL; null offers all files. The initial name comes
// from path. 1 with path set to the chosen file; 0 (path unchanged) when cancelled.
int GetOpenSavePath(CUString& path, int save, char const* filter, char const* title);

// The window's text in one static string shared by all calls (valid until the next call).
char* GetWindowTextA(CWnd* wnd);

// Reads joystick 1 with every value, then centres the six axes on 0: raw values within
// deadZone of the middle (0x8000) count as the middle. 0, or the joystick error code (then the
// axes are as the joystick layer left them).
UINT joyGetJoystickInfo(JOYINFOEX& info, int deadZone);
// 1 when joystick 1 is a "Spacetec SpaceOrb 360".
int joySpaceOrbInUse();
// The product name of joystick n into name (size bytes); 0, or JOYERR_NOCANDO (166) when
// there is no such joystick.
UINT joyGetOEMProductName(unsigned joystick, char* name, int size = MAXPNAMELEN);

// Dialog template 130 of this library: a prompt, an edit field, OK and Cancel.
constexpr UINT IDD_LUMEX_INPUT = 130;
constexpr int IDC_INPUT_PROMPT = 1031;
constexpr int IDC_INPUT_TEXT = 1032;

// Asks for one line of text. OK stores the edited text in value; Cancel leaves it alone.
class CInputDialog : public CDialog {
 public:
  CInputDialog(CUString& value, char const* prompt, char const* title);

  BOOL OnInitDialog() override;
  void OnOK() override;

 private:
  CUString m_prompt;
  CUString m_text;
  CUString& m_value;
  CUString m_title;
};
