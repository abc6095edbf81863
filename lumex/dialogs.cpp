#include <lumex/dialogs.h>

#include <platform/services.h>

#include <strings.h>

#include <cctype>
#include <cstdarg>
#include <cstring>
#include <string>

namespace {

const DialogItemTemplate kInputItems[] = {
    {DialogItemKind::Label, IDC_INPUT_PROMPT, "Question goes here...", 5, 3, 177, 18},
    {DialogItemKind::Edit, IDC_INPUT_TEXT, "", 5, 22, 177, 14, WS_TABSTOP | ES_AUTOHSCROLL},
    {DialogItemKind::DefPushButton, IDOK, "OK", 27, 41, 50, 14, WS_TABSTOP},
    {DialogItemKind::PushButton, IDCANCEL, "Cancel", 109, 41, 50, 14, WS_TABSTOP},
};

const DialogTemplate kInputTemplate = {
    186, 62, "Input Dialog", "MS Sans Serif", 8,
    WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME,
    kInputItems, static_cast<int>(std::size(kInputItems)),
};

const DialogTemplateRegistration kInputRegistration(IDD_LUMEX_INPUT, &kInputTemplate);

// The longest file name the chooser starts with.
constexpr int kMaxInitialName = 259;

const char kSpaceOrbName[] = "Spacetec SpaceOrb 360";

// Six axes in JOYINFOEX order.
DWORD JOYINFOEX::*const kAxes[] = {&JOYINFOEX::dwXpos, &JOYINFOEX::dwYpos, &JOYINFOEX::dwZpos,
                                   &JOYINFOEX::dwRpos, &JOYINFOEX::dwUpos, &JOYINFOEX::dwVpos};

// The extension a typed name without one receives. The chooser's historical default is "flm",
// which would turn a saved puzzle "game" into "game.flm"; when the filter's first pattern names
// one extension ("*.puz"), that extension is the sensible default.
std::string DefaultExtension(char const* filter) {
  if (!filter || !*filter) return "flm";
  // Skip the description: it ends at the first NUL or '|'.
  char const* p = filter;
  while (*p && *p != '|') ++p;
  ++p;
  if (p[0] != '*' || p[1] != '.') return "flm";
  std::string ext;
  for (p += 2; std::isalnum(static_cast<unsigned char>(*p)) && ext.size() < 16; ++p) ext += *p;
  bool single = *p == '\0' || *p == '|';
  return single && !ext.empty() ? ext : "flm";
}

}  // namespace

void Error(char const* fmt, ...) {
  CUString text;
  va_list args;
  va_start(args, fmt);
  text.FormatWithArgList(fmt, args);
  va_end(args);
  MessageBox(CWnd::GetFocus(), text, "Error", MB_OK | MB_ICONWARNING);
}

int GetOpenSavePath(CUString& path, int save, char const* filter, char const* title) {
  std::string initial(static_cast<char const*>(path));
  if (initial.size() > kMaxInitialName) initial.resize(kMaxInitialName);
  static const char kAllFiles[] = "All Files\0*.*\0";
  CFileDialog dialog(save ? FALSE : TRUE, DefaultExtension(filter).c_str(), initial.c_str(),
                     OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, filter ? filter : kAllFiles,
                     CWnd::GetFocus());
  if (title) dialog.m_title = title;
  if (dialog.DoModal() != IDOK) return 0;
  path = dialog.GetPathName().c_str();
  return 1;
}

char* GetWindowTextA(CWnd* wnd) {
  static CUString text;
  text = wnd ? wnd->WindowText().c_str() : "";
  return text;
}

UINT joyGetJoystickInfo(JOYINFOEX& info, int deadZone) {
  info.dwSize = sizeof(JOYINFOEX);
  info.dwFlags = JOY_RETURNALL;
  UINT result = joyGetPosEx(JOYSTICKID1, &info);
  if (result != JOYERR_NOERROR) return result;
  long low = 0x8000L - deadZone, high = 0x8000L + deadZone;
  for (auto axis : kAxes) {
    DWORD& value = info.*axis;
    if (long(value) >= low && long(value) <= high) value = 0x8000;
    value -= 0x8000;
  }
  return 0;
}

UINT joyGetOEMProductName(unsigned joystick, char* name, int size) {
  if (name && size > 0) name[0] = '\0';
  if (!name || size <= 0 || joystick >= joyGetNumDevs()) return JOYERR_NOCANDO;
  return joyGetProductName(joystick, name, size) == JOYERR_NOERROR ? 0 : JOYERR_NOCANDO;
}

int joySpaceOrbInUse() {
  char name[MAXPNAMELEN] = {};
  if (joyGetOEMProductName(0, name, sizeof name) != 0) return 0;
  return strncasecmp(name, kSpaceOrbName, std::strlen(kSpaceOrbName)) == 0 ? 1 : 0;
}

CInputDialog::CInputDialog(CUString& value, char const* prompt, char const* title)
    : CDialog(IDD_LUMEX_INPUT, CWnd::GetFocus()), m_prompt(prompt), m_text(value),
      m_value(value), m_title(title) {}

BOOL CInputDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  SetDlgItemText(IDC_INPUT_PROMPT, m_prompt);
  SetDlgItemText(IDC_INPUT_TEXT, m_text);
  SetWindowText(m_title);
  return TRUE;
}

void CInputDialog::OnOK() {
  m_text = GetDlgItemText(IDC_INPUT_TEXT).c_str();
  m_value = m_text;
  CDialog::OnOK();
}
