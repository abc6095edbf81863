#include <platform/services.h>

#include <platform/controls.h>
#include <platform/dialog.h>
#include <platform/eventloop.h>

#include <cordak/clipboard.h>
#include <cordak/ustring.h>

#include <SDL.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// ---------------------------------------------------------------------------------------------
// Running helper programs, never through a shell

struct Spawned {
  pid_t pid = -1;
  int out = -1;  // the child's standard output, when captured
  int err = -1;  // its standard error, when captured
};

Spawned Spawn(const std::string& program, const std::vector<std::string>& args, bool capture) {
  Spawned s;
  int outPipe[2] = {-1, -1}, errPipe[2] = {-1, -1};
  if (capture && (pipe2(outPipe, O_CLOEXEC) != 0 || pipe2(errPipe, O_CLOEXEC) != 0)) return s;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  if (capture) {
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
  } else {
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  }
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  int rc = posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (capture) {
    close(outPipe[1]);
    close(errPipe[1]);
  }
  if (rc != 0) {
    if (capture) {
      close(outPipe[0]);
      close(errPipe[0]);
    }
    return s;
  }
  s.pid = pid;
  if (capture) {
    s.out = outPipe[0];
    s.err = errPipe[0];
  }
  return s;
}

// Helpers that outlive the wait (a browser that keeps running) are reaped later.
std::vector<pid_t>& Unreaped() {
  static std::vector<pid_t> pids;
  return pids;
}

void ReapFinished() {
  std::erase_if(Unreaped(), [](pid_t p) { return waitpid(p, nullptr, WNOHANG) != 0; });
}

bool IsExecutableFile(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

bool IsFolder(const std::string& path) {
  struct stat st {};
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Exists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

// ---------------------------------------------------------------------------------------------
// Text encodings: the program's text is 8-bit (Latin-1), the desktop's is UTF-8

std::string Latin1ToUtf8(const char* text) {
  std::string out;
  for (const auto* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
    if (*p < 0x80) {
      out.push_back(static_cast<char>(*p));
    } else {
      out.push_back(static_cast<char>(0xC0 | (*p >> 6)));
      out.push_back(static_cast<char>(0x80 | (*p & 0x3F)));
    }
  }
  return out;
}

std::string Utf8ToLatin1(const char* text) {
  std::string out;
  const auto* s = reinterpret_cast<const unsigned char*>(text);
  while (*s) {
    unsigned c = *s;
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
      ++s;
      continue;
    }
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    unsigned code = c & (0x3F >> extra);
    ++s;
    bool ok = extra > 0;
    for (int i = 0; i < extra; ++i, ++s) {
      if ((*s & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      code = (code << 6) | (*s & 0x3F);
    }
    out.push_back(ok && code <= 0xFF ? static_cast<char>(code) : '?');
  }
  return out;
}

class CSdlClipboard : public CUClipboardService {
 public:
  int PutText(char const* text) override {
    if (!text || !CEventLoop::IsInitialised()) return 0;
    return SDL_SetClipboardText(Latin1ToUtf8(text).c_str()) == 0 ? 1 : 0;
  }
  int GetText(CUString& text) override {
    if (!CEventLoop::IsInitialised() || !SDL_HasClipboardText()) return 0;
    char* utf8 = SDL_GetClipboardText();
    if (!utf8) return 0;
    text = Utf8ToLatin1(utf8).c_str();
    SDL_free(utf8);
    return 1;
  }
};

// ---------------------------------------------------------------------------------------------
// The message box

constexpr int kMargin = 11;
constexpr int kIconSize = 32;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 6;
constexpr int kMaxTextWidth = 420;

struct BoxButton {
  int id;
  const char* text;
};

std::vector<BoxButton> ButtonsOf(UINT type) {
  switch (type & 0xF) {
    case MB_OKCANCEL: return {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};
    case MB_YESNO: return {{IDYES, "&Yes"}, {IDNO, "&No"}};
    default: return {{IDOK, "OK"}};
  }
}

class CMessageBoxDialog : public CDialog {
 public:
  CMessageBoxDialog(CWnd* owner, const char* text, const char* caption, UINT type)
      : m_text(text ? text : ""), m_caption(caption ? caption : "Error"), m_type(type) {
    m_tmpl = DialogTemplate{100, 50, m_caption.c_str(), "MS Sans Serif", 8,
                            WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, nullptr, 0};
    m_template = &m_tmpl;
    m_pParentWnd = owner;
  }

  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    Layout();
    return TRUE;
  }

  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    int id = LOWORD(wParam);
    const auto buttons = ButtonsOf(m_type);
    if (id == IDCANCEL) {
      // Escape and the close box answer Cancel where there is one, OK on a plain box.
      bool hasCancel = std::any_of(buttons.begin(), buttons.end(), [](const BoxButton& b) { return b.id == IDCANCEL; });
      if (hasCancel) EndDialog(IDCANCEL);
      else if ((m_type & 0xF) == MB_OK) EndDialog(IDOK);
      return TRUE;
    }
    if (std::any_of(buttons.begin(), buttons.end(), [&](const BoxButton& b) { return b.id == id; })) {
      EndDialog(id);
      return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
  }

  void OnPaint() override {
    CPaintDC dc(this);
    DrawIcon(dc, kMargin, kMargin);
  }

 private:
  void Layout() {
    CClientDC measure(this);
    CRect textRect(0, 0, kMaxTextWidth, 0);
    measure.DrawText(m_text.c_str(), -1, &textRect, DT_WORDBREAK | DT_CALCRECT | DT_NOPREFIX);
    const bool icon = (m_type & 0xF0) != 0;
    const int textLeft = icon ? kMargin + kIconSize + 12 : kMargin;
    const auto buttons = ButtonsOf(m_type);
    const int buttonsWidth = static_cast<int>(buttons.size()) * (kButtonWidth + kButtonGap) - kButtonGap;
    const int width = std::max(textLeft + textRect.Width() + kMargin, buttonsWidth + 2 * kMargin);
    const int bodyHeight = std::max(icon ? kIconSize : 0, textRect.Height());
    const int height = kMargin + bodyHeight + kMargin + kButtonHeight + kMargin;
    SetWindowPos(nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    CenterWindow();
    const int textTop = kMargin + std::max(0, (bodyHeight - textRect.Height()) / 2);
    m_label.Create(m_text.c_str(), SS_LEFT | WS_VISIBLE,
                   CRect(textLeft, textTop, textLeft + textRect.Width() + 1, textTop + textRect.Height()), this,
                   0xFFFF);
    int x = (width - buttonsWidth) / 2;
    const int y = height - kMargin - kButtonHeight;
    m_buttons.resize(buttons.size());
    for (std::size_t i = 0; i < buttons.size(); ++i) {
      DWORD style = WS_VISIBLE | WS_TABSTOP | (i == 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
      m_buttons[i] = std::make_unique<CButton>();
      m_buttons[i]->Create(buttons[i].text, style, CRect(x, y, x + kButtonWidth, y + kButtonHeight), this,
                           static_cast<UINT>(buttons[i].id));
      x += kButtonWidth + kButtonGap;
    }
    SetDefID(buttons[0].id);
  }

  void DrawIcon(CDC& dc, int x, int y) {
    const UINT icon = m_type & 0xF0;
    if (!icon) return;
    CPen outline(PS_SOLID, 1, RGB(0, 0, 0));
    CPen* oldPen = dc.SelectObject(&outline);
    CBrush* oldBrush = dc.GetCurrentBrush();
    const char* mark = "!";
    COLORREF fill = RGB(255, 255, 0), ink = RGB(0, 0, 0);
    CBrush brush;
    if (icon == MB_ICONEXCLAMATION) {
      brush.CreateSolidBrush(fill);
      dc.SelectObject(&brush);
      const POINT triangle[3] = {{x + kIconSize / 2, y + 1}, {x + kIconSize - 1, y + kIconSize - 2}, {x, y + kIconSize - 2}};
      dc.Polygon(triangle, 3);
    } else {
      fill = icon == MB_ICONHAND ? RGB(255, 0, 0) : RGB(0, 0, 255);
      ink = RGB(255, 255, 255);
      mark = icon == MB_ICONHAND ? "X" : icon == MB_ICONQUESTION ? "?" : "i";
      brush.CreateSolidBrush(fill);
      dc.SelectObject(&brush);
      std::vector<POINT> circle;
      for (int a = 0; a < 32; ++a) {
        double t = a * 3.14159265358979 * 2 / 32;
        circle.push_back(POINT{x + 16 + static_cast<LONG>(std::lround(15 * std::cos(t))),
                               y + 16 + static_cast<LONG>(std::lround(15 * std::sin(t)))});
      }
      dc.Polygon(circle.data(), static_cast<int>(circle.size()));
    }
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(ink);
    CRect markRect(x, y + 8, x + kIconSize, y + kIconSize);
    dc.DrawText(mark, -1, &markRect, DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    dc.SelectObject(oldPen);
    if (oldBrush) dc.SelectObject(oldBrush);
  }

  std::string m_text;
  std::string m_caption;
  UINT m_type;
  DialogTemplate m_tmpl{};
  CStatic m_label;
  std::vector<std::unique_ptr<CButton>> m_buttons;
};

// ---------------------------------------------------------------------------------------------
// The layer's own file dialog

constexpr UINT LBN_SELCHANGE = 1;
constexpr UINT LBN_DBLCLK = 2;

// A scrolling list of names, one line each; folders first, marked with a slash.
class CNameList : public CWnd {
 public:
  std::vector<std::string> m_items;
  int m_selected = -1;
  int m_top = 0;

  void SetItems(std::vector<std::string> items) {
    m_items = std::move(items);
    m_selected = -1;
    m_top = 0;
    Invalidate(TRUE);
  }
  int RowHeight() const { return 16; }
  int VisibleRows() const {
    CRect r;
    GetClientRect(&r);
    return std::max(1, (r.Height() - 4) / RowHeight());
  }
  void Select(int i, bool notify) {
    if (m_items.empty()) return;
    m_selected = std::clamp(i, 0, static_cast<int>(m_items.size()) - 1);
    if (m_selected < m_top) m_top = m_selected;
    if (m_selected >= m_top + VisibleRows()) m_top = m_selected - VisibleRows() + 1;
    Invalidate(FALSE);
    if (notify) NotifyParent(LBN_SELCHANGE);
  }

  void OnPaint() override {
    CPaintDC dc(this);
    CRect r;
    GetClientRect(&r);
    dc.FillSolidRect(&r, GetSysColor(COLOR_WINDOW));
    DrawEdge3D(dc, r, true, true);
    dc.IntersectClipRect(2, 2, r.right - 2, r.bottom - 2);
    dc.SetBkMode(TRANSPARENT);
    for (int row = 0; row < VisibleRows() + 1; ++row) {
      int i = m_top + row;
      if (i >= static_cast<int>(m_items.size())) break;
      CRect line(2, 2 + row * RowHeight(), r.right - 2, 2 + (row + 1) * RowHeight());
      const bool selected = i == m_selected;
      if (selected) dc.FillSolidRect(&line, GetSysColor(COLOR_HIGHLIGHT));
      dc.SetTextColor(selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : GetSysColor(COLOR_WINDOWTEXT));
      CRect text = line;
      text.left += 3;
      dc.DrawText(m_items[static_cast<std::size_t>(i)].c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
  }

  void OnLButtonDown(UINT, CPoint p) override {
    SetFocus();
    int i = m_top + (p.y - 2) / RowHeight();
    if (i < 0 || i >= static_cast<int>(m_items.size())) return;
    const std::uint64_t now = CEventLoop::Now();
    const bool twice = i == m_lastClickItem && now - m_lastClickTime < 500;
    m_lastClickItem = i;
    m_lastClickTime = now;
    Select(i, true);
    if (twice) NotifyParent(LBN_DBLCLK);
  }

  void OnKeyDown(UINT key, UINT, UINT) override {
    switch (key) {
      case VK_UP: Select(m_selected - 1, true); break;
      case VK_DOWN: Select(m_selected + 1, true); break;
      case VK_PRIOR: Select(m_selected - VisibleRows(), true); break;
      case VK_NEXT: Select(m_selected + VisibleRows(), true); break;
      case VK_HOME: Select(0, true); break;
      case VK_END: Select(static_cast<int>(m_items.size()) - 1, true); break;
      default: break;
    }
  }
  UINT OnGetDlgCode() override { return DLGC_WANTARROWS; }

 private:
  int m_lastClickItem = -1;
  std::uint64_t m_lastClickTime = 0;
};

constexpr int kIdFolder = 1152;
constexpr int kIdList = 1120;
constexpr int kIdName = 1148;
constexpr int kIdType = 1089;

const DialogItemTemplate kFileDialogItems[] = {
    {DialogItemKind::Label, IDC_STATIC, "Look &in:", 7, 8, 36, 8},
    {DialogItemKind::Edit, kIdFolder, "", 45, 6, 208, 14},
    {DialogItemKind::Label, kIdList, "", 7, 24, 246, 118},
    {DialogItemKind::Label, IDC_STATIC, "File &name:", 7, 150, 40, 8},
    {DialogItemKind::Edit, kIdName, "", 50, 148, 145, 14},
    {DialogItemKind::Label, kIdType, "", 7, 168, 188, 8},
    {DialogItemKind::DefPushButton, IDOK, "OK", 203, 148, 50, 14},
    {DialogItemKind::PushButton, IDCANCEL, "Cancel", 203, 166, 50, 14},
};

bool MatchesPattern(const std::string& name, const std::string& patterns) {
  // Patterns are separated by ';' or blanks; '*' and '?' as usual, letters in any case.
  std::size_t start = 0;
  while (start <= patterns.size()) {
    std::size_t end = patterns.find_first_of("; ", start);
    if (end == std::string::npos) end = patterns.size();
    std::string p = patterns.substr(start, end - start);
    start = end + 1;
    if (p.empty()) continue;
    if (p == "*.*" || p == "*") return true;
    // Iterative wildcard match.
    std::size_t n = 0, q = 0, star = std::string::npos, mark = 0;
    auto same = [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b)); };
    while (n < name.size()) {
      if (q < p.size() && (p[q] == '?' || same(p[q], name[n]))) { ++n; ++q; }
      else if (q < p.size() && p[q] == '*') { star = q++; mark = n; }
      else if (star != std::string::npos) { q = star + 1; n = ++mark; }
      else break;
    }
    while (q < p.size() && p[q] == '*') ++q;
    if (n == name.size() && q == p.size()) return true;
  }
  return false;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (name.empty()) return folder;
  if (name[0] == '/') return name;
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::string CurrentFolder() {
  char buffer[4096];
  return getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string("/");
}

std::string NormaliseFolder(std::string folder) {
  char buffer[PATH_MAX];
  if (realpath(folder.c_str(), buffer)) folder = buffer;
  return folder;
}

class CFileChooserDialog : public CDialog {
 public:
  CFileChooserDialog(CWnd* owner, const FileChooserRequest& request)
      : m_request(request),
        m_tmpl{260, 186, nullptr, "MS Sans Serif", 8, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0,
               kFileDialogItems, static_cast<int>(std::size(kFileDialogItems))} {
    m_title = request.title.empty() ? (request.save ? "Save As" : "Open") : request.title;
    m_tmpl.caption = m_title.c_str();
    m_template = &m_tmpl;
    m_pParentWnd = owner;
  }

  std::string m_result;

  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    m_list.SubclassDlgItem(kIdList, this);
    m_list.ModifyStyle(0, WS_TABSTOP);
    std::string name = m_request.fileName;
    std::string folder = m_request.startFolder;
    if (auto slash = name.rfind('/'); slash != std::string::npos) {
      if (folder.empty() || name[0] == '/') folder = name.substr(0, slash + 1);
      name = name.substr(slash + 1);
    }
    if (!IsFolder(folder)) folder = CurrentFolder();
    if (!m_request.filters.empty()) {
      const FileFilter& f = m_request.filters.front();
      std::string type = "Files of type: " + f.description;
      SetDlgItemText(kIdType, type.c_str());
    }
    SetDlgItemText(kIdName, name.c_str());
    ShowFolder(folder);
    GotoDlgCtrl(GetDlgItem(kIdName));
    return FALSE;
  }

  void OnOK() override {
    CWnd* focus = GetFocus();
    if (focus == &m_list) {
      if (EnterSelected()) return;
    } else if (focus == GetDlgItem(kIdFolder)) {
      std::string typed = GetDlgItemText(kIdFolder);
      if (IsFolder(typed)) ShowFolder(typed);
      else MessageBeep(0);
      return;
    }
    std::string name = GetDlgItemText(kIdName);
    if (name.empty()) {
      MessageBeep(0);
      return;
    }
    std::string path = JoinPath(m_folder, name);
    if (IsFolder(path)) {
      ShowFolder(path);
      SetDlgItemText(kIdName, "");
      return;
    }
    if (!m_request.defaultExtension.empty() && name.find('.') == std::string::npos) {
      path += "." + m_request.defaultExtension;
    }
    if (!m_request.save && !Exists(path)) {
      std::string message = path + "\nFile not found.\nCheck the file name and try again.";
      ::MessageBox(this, message.c_str(), m_title.c_str(), MB_OK | MB_ICONEXCLAMATION);
      return;
    }
    if (m_request.save && Exists(path)) {
      std::string message = path + " already exists.\nDo you want to replace it?";
      if (::MessageBox(this, message.c_str(), m_title.c_str(), MB_YESNO | MB_ICONEXCLAMATION) != IDYES) return;
    }
    m_result = path;
    EndDialog(IDOK);
  }

  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    const int id = LOWORD(wParam);
    const UINT code = HIWORD(wParam);
    if (id == kIdList && code == LBN_SELCHANGE) {
      const std::string item = Selected();
      if (!item.empty() && item.back() != '/') SetDlgItemText(kIdName, item.c_str());
      return TRUE;
    }
    if (id == kIdList && code == LBN_DBLCLK) {
      if (!EnterSelected()) OnOK();
      return TRUE;
    }
    if (id == kIdFolder && code == EN_KILLFOCUS) {
      std::string typed = GetDlgItemText(kIdFolder);
      if (IsFolder(typed) && NormaliseFolder(typed) != m_folder) ShowFolder(typed);
      return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
  }

 private:
  std::string Selected() const {
    if (m_list.m_selected < 0 || m_list.m_selected >= static_cast<int>(m_list.m_items.size())) return {};
    return m_list.m_items[static_cast<std::size_t>(m_list.m_selected)];
  }

  // A folder in the list opens; a file is taken. FALSE when nothing is selected.
  bool EnterSelected() {
    std::string item = Selected();
    if (item.empty()) return false;
    if (item.back() == '/') {
      ShowFolder(JoinPath(m_folder, item.substr(0, item.size() - 1)));
      return true;
    }
    SetDlgItemText(kIdName, item.c_str());
    return false;
  }

  void ShowFolder(const std::string& folder) {
    m_folder = NormaliseFolder(folder);
    SetDlgItemText(kIdFolder, m_folder.c_str());
    std::vector<std::string> folders, files;
    if (m_folder != "/") folders.push_back("../");
    if (DIR* dir = opendir(m_folder.c_str())) {
      while (dirent* e = readdir(dir)) {
        std::string name = e->d_name;
        if (name == "." || name == ".." || name[0] == '.') continue;
        if (IsFolder(JoinPath(m_folder, name))) folders.push_back(name + "/");
        else if (Matches(name)) files.push_back(name);
      }
      closedir(dir);
    }
    std::sort(folders.begin() + (m_folder != "/" ? 1 : 0), folders.end());
    std::sort(files.begin(), files.end());
    folders.insert(folders.end(), files.begin(), files.end());
    m_list.SetItems(std::move(folders));
  }

  bool Matches(const std::string& name) const {
    if (m_request.filters.empty()) return true;
    return MatchesPattern(name, m_request.filters.front().patterns);
  }

  FileChooserRequest m_request;
  DialogTemplate m_tmpl;
  std::string m_title;
  std::string m_folder;
  CNameList m_list;
};

CSystemDesktopServices& SystemServices() {
  static CSystemDesktopServices services;
  return services;
}

CDesktopServices* g_services = nullptr;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Service access

CDesktopServices* GetDesktopServices() { return g_services ? g_services : &SystemServices(); }

CDesktopServices* SetDesktopServices(CDesktopServices* services) {
  CDesktopServices* old = GetDesktopServices();
  g_services = services;
  return old;
}

std::vector<FileFilter> ParseFileFilter(const char* filter) {
  std::vector<std::string> parts;
  if (filter && *filter) {
    // NUL-separated list ended by an empty string; '|' separates as well.
    // A list written with '|' is one ordinary string: read no further than its end.
    const bool barred = std::strchr(filter, '|') != nullptr;
    const char* p = filter;
    while (*p) {
      std::string piece(p);
      p += barred ? piece.size() : piece.size() + 1;
      std::size_t start = 0;
      while (true) {
        std::size_t bar = piece.find('|', start);
        parts.push_back(piece.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos) break;
        start = bar + 1;
      }
    }
  }
  std::vector<FileFilter> filters;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2)
    if (!parts[i].empty() || !parts[i + 1].empty()) filters.push_back(FileFilter{parts[i], parts[i + 1]});
  if (filters.empty()) filters.push_back(FileFilter{"All Files", "*.*"});
  return filters;
}

// ---------------------------------------------------------------------------------------------
// The system services

int CSystemDesktopServices::MessageBox(CWnd* owner, const char* text, const char* caption, UINT type) {
  if (!CEventLoop::IsInitialised() && !CEventLoop::Init()) return IDCANCEL;
  CMessageBoxDialog box(owner, text, caption, type);
  INT_PTR result = box.DoModal();
  return result < 0 ? IDCANCEL : static_cast<int>(result);
}

int CSystemDesktopServices::OpenDocument(const char* target) {
  ReapFinished();
  if (!target || !*target) return 0;
  Spawned s = Spawn(m_opener, {target}, false);
  if (s.pid < 0) return 0;
  // The opener reports a missing application at once; a browser it starts may keep running.
  for (int waited = 0; waited < 3000; waited += 10) {
    int status = 0;
    pid_t done = waitpid(s.pid, &status, WNOHANG);
    if (done == s.pid) return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 1 : 0;
    if (done < 0) return 0;
    SDL_Delay(10);
  }
  Unreaped().push_back(s.pid);
  return 1;
}

CSystemDesktopServices::ChooserResult CSystemDesktopServices::RunExternalChooser(
    const std::string& program, CWnd* owner, const FileChooserRequest& request, std::string& path) {
  std::string start = JoinPath(request.startFolder.empty() ? CurrentFolder() : request.startFolder, request.fileName);
  if (!request.fileName.empty() || start.back() != '/') {
    if (IsFolder(start) && start.back() != '/') start += "/";
  }
  std::vector<std::string> args;
  const std::string title = request.title.empty() ? (request.save ? "Save As" : "Open") : request.title;
  if (program.find("zenity") != std::string::npos) {
    args = {"--file-selection", "--title=" + Latin1ToUtf8(title.c_str()), "--filename=" + start};
    if (request.save) {
      args.push_back("--save");
      args.push_back("--confirm-overwrite");
    }
    for (const FileFilter& f : request.filters) {
      std::string patterns = f.patterns;
      std::replace(patterns.begin(), patterns.end(), ';', ' ');
      args.push_back("--file-filter=" + Latin1ToUtf8(f.description.c_str()) + " | " + patterns);
    }
  } else {
    std::string filter;
    for (const FileFilter& f : request.filters) {
      std::string patterns = f.patterns;
      std::replace(patterns.begin(), patterns.end(), ';', ' ');
      if (!filter.empty()) filter += "\n";
      filter += patterns + "|" + Latin1ToUtf8(f.description.c_str());
    }
    args = {request.save ? "--getsavefilename" : "--getopenfilename", start, filter,
            "--title", Latin1ToUtf8(title.c_str())};
  }
  Spawned s = Spawn(program, args, true);
  if (s.pid < 0) return ChooserResult::Failed;
  // The program's windows keep painting and ticking while the chooser is open, but take no
  // input: the chooser is modal to them.
  CWnd* top = owner ? owner->GetTopLevelParent() : nullptr;
  const bool disable = top && top->IsWindowEnabled();
  if (disable) top->EnableWindow(FALSE);
  std::string out, err;
  pollfd fds[2] = {{s.out, POLLIN, 0}, {s.err, POLLIN, 0}};
  int open = 2;
  while (open > 0) {
    int n = poll(fds, 2, 30);
    if (n < 0 && errno != EINTR) break;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      char buffer[1024];
      ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
      if (got > 0) {
        (i == 0 ? out : err).append(buffer, static_cast<std::size_t>(got));
      } else if (got == 0 || errno != EINTR) {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      }
    }
    if (CEventLoop::IsInitialised()) CEventLoop::ProcessPending();
  }
  for (pollfd& f : fds)
    if (f.fd >= 0) close(f.fd);
  int status = 0;
  while (waitpid(s.pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (disable && top->GetSafeHwnd()) top->EnableWindow(TRUE);
  if (!WIFEXITED(status)) return ChooserResult::Failed;
  const int code = WEXITSTATUS(status);
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
  if (code == 0 && !out.empty()) {
    path = Utf8ToLatin1(out.c_str());
    return ChooserResult::Chosen;
  }
  // A chooser that could not reach the display also ends with 1: that is no answer.
  std::string lower = err;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  if (code == 1 && lower.find("display") == std::string::npos && lower.find("error") == std::string::npos)
    return ChooserResult::Cancelled;
  return ChooserResult::Failed;
}

int CSystemDesktopServices::ChooseFile(CWnd* owner, const FileChooserRequest& request, std::string& path) {
  // External choosers open on the desktop; without one (headless runs) they have no place.
  const std::string driver = CEventLoop::IsInitialised() ? CEventLoop::VideoDriver() : "";
  const bool desktop = driver == "x11" || driver == "wayland";
  if (desktop) {
    for (const std::string& program : m_choosers) {
      if (FindProgram(program).empty()) continue;
      std::string chosen;
      switch (RunExternalChooser(program, owner, request, chosen)) {
        case ChooserResult::Chosen: path = chosen; return 1;
        case ChooserResult::Cancelled: return 0;
        case ChooserResult::Failed: break;  // try the next one
      }
    }
  }
  return RunOwnFileDialog(owner, request, path);
}

int RunOwnFileDialog(CWnd* owner, const FileChooserRequest& request, std::string& path) {
  if (!CEventLoop::IsInitialised() && !CEventLoop::Init()) return 0;
  CFileChooserDialog dialog(owner, request);
  if (dialog.DoModal() != IDOK || dialog.m_result.empty()) return 0;
  path = dialog.m_result;
  return 1;
}

// ---------------------------------------------------------------------------------------------
// Free functions

int MessageBox(CWnd* owner, const char* text, const char* caption, UINT type) {
  if (!owner) {
    CWnd* focus = CEventLoop::Focus();
    owner = focus ? focus->GetTopLevelParent() : CEventLoop::Active();
  }
  return GetDesktopServices()->MessageBox(owner, text, caption, type);
}

int AfxMessageBox(const char* text, UINT type) { return MessageBox(nullptr, text, nullptr, type); }

BOOL MessageBeep(UINT) {
  static SDL_AudioDeviceID device = 0;
  static bool tried = false;
  if (!tried) {
    tried = true;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return FALSE;
    SDL_AudioSpec want{};
    want.freq = 22050;
    want.format = AUDIO_S16SYS;
    want.channels = 1;
    want.samples = 512;
    device = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
  }
  if (device == 0) return FALSE;
  // A tenth of a second of an 880 Hz square wave, faded at the end to avoid a click.
  constexpr int kRate = 22050, kSamples = kRate / 10, kPeriod = kRate / 880;
  std::vector<Sint16> tone(kSamples);
  for (int i = 0; i < kSamples; ++i) {
    int level = (i / (kPeriod / 2)) % 2 ? 2500 : -2500;
    int fade = std::min(kSamples - i, 200);
    tone[static_cast<std::size_t>(i)] = static_cast<Sint16>(level * fade / 200);
  }
  SDL_ClearQueuedAudio(device);
  if (SDL_QueueAudio(device, tone.data(), static_cast<Uint32>(tone.size() * sizeof(Sint16))) != 0) return FALSE;
  SDL_PauseAudioDevice(device, 0);
  return TRUE;
}

std::intptr_t ShellExecute(CWnd*, const char* verb, const char* file, const char*, const char*, int) {
  if (verb && *verb && std::strcmp(verb, "open") != 0) return SE_ERR_NOASSOC;
  if (!file || !*file) return SE_ERR_FNF;
  return GetDesktopServices()->OpenDocument(file) ? 42 : SE_ERR_NOASSOC;
}

DWORD GetModuleFileName(HINSTANCE, char* buffer, DWORD size) {
  if (!buffer || size == 0) return 0;
  ssize_t n = readlink("/proc/self/exe", buffer, size - 1);
  if (n <= 0 || static_cast<DWORD>(n) >= size - 1) {
    buffer[0] = '\0';
    return 0;
  }
  buffer[n] = '\0';
  return static_cast<DWORD>(n);
}

std::string FindProgram(const std::string& name) {
  if (name.empty()) return {};
  if (name.find('/') != std::string::npos) return IsExecutableFile(name) ? name : std::string();
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= dirs.size()) {
    std::size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    std::string candidate = JoinPath(dirs.substr(start, end - start), name);
    if (end > start && IsExecutableFile(candidate)) return candidate;
    start = end + 1;
  }
  return {};
}

void InstallClipboardService() {
  static CSdlClipboard clipboard;
  SetClipboardService(&clipboard);
}

// ---------------------------------------------------------------------------------------------
// CFileDialog

CFileDialog::CFileDialog(BOOL openDialog, const char* defaultExtension, const char* fileName, DWORD,
                         const char* filter, CWnd* parent)
    : m_parent(parent) {
  m_request.save = !openDialog;
  m_request.filters = ParseFileFilter(filter);
  if (defaultExtension) m_request.defaultExtension = defaultExtension[0] == '.' ? defaultExtension + 1 : defaultExtension;
  if (fileName) m_request.fileName = fileName;
}

INT_PTR CFileDialog::DoModal() {
  FileChooserRequest request = m_request;
  request.title = m_title;
  request.startFolder = m_initialFolder;
  std::string path;
  if (!GetDesktopServices()->ChooseFile(m_parent, request, path)) return IDCANCEL;
  m_path = path;
  return IDOK;
}

std::string CFileDialog::GetFileName() const {
  auto slash = m_path.rfind('/');
  return slash == std::string::npos ? m_path : m_path.substr(slash + 1);
}
