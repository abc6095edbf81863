#include <platform/dialog.h>

#include <platform/app.h>
#include <platform/controls.h>
#include <platform/eventloop.h>
#include <platform/sdlwindow.h>
#include <platform/services.h>

#include <cordak/ustring.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace {

std::map<UINT, const DialogTemplate*>& Templates() {
  static std::map<UINT, const DialogTemplate*> templates;
  return templates;
}

// What each template kind becomes: window class, styles.
struct KindInfo {
  DialogItemKind kind;
  const char* className;
  DWORD style;
  DWORD exStyle;
};

const KindInfo kKinds[] = {
    {DialogItemKind::PushButton, "Button", BS_PUSHBUTTON | WS_TABSTOP, 0},
    {DialogItemKind::DefPushButton, "Button", BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
    {DialogItemKind::CheckBox, "Button", BS_AUTOCHECKBOX | WS_TABSTOP, 0},
    {DialogItemKind::Label, "Static", SS_LEFT, 0},
    {DialogItemKind::SunkenStatic, "Static", SS_SUNKEN, WS_EX_STATICEDGE},
    {DialogItemKind::Edit, "Edit", ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP | WS_BORDER, WS_EX_CLIENTEDGE},
    {DialogItemKind::OwnerDrawButton, "Button", BS_OWNERDRAW | WS_TABSTOP, 0},
};

const KindInfo& InfoOf(DialogItemKind kind) {
  for (const KindInfo& k : kKinds)
    if (k.kind == kind) return k;
  return kKinds[0];
}

std::unique_ptr<CWnd> MakeControl(DialogItemKind kind) {
  switch (kind) {
    case DialogItemKind::Label:
    case DialogItemKind::SunkenStatic: return std::make_unique<CStatic>();
    case DialogItemKind::Edit: return std::make_unique<CEdit>();
    default: return std::make_unique<CButton>();
  }
}

// The letter after a single '&' in a control's text, lower case; 0 when there is none.
char MnemonicOf(const std::string& text) {
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] == '&') {
      ++i;
      continue;
    }
    return static_cast<char>(std::tolower(static_cast<unsigned char>(text[i + 1])));
  }
  return 0;
}

bool IsButtonControl(CWnd* w) { return w && (w->OnGetDlgCode() & DLGC_BUTTON); }

const char* AppName() {
  CWinApp* app = AfxGetApp();
  return app && app->m_pszAppName ? app->m_pszAppName : "Gyrix";
}

// A whole decimal integer with optional sign and surrounding blanks; false otherwise.
bool ParseInt(const std::string& text, int& out) {
  const char* s = text.c_str();
  while (*s == ' ' || *s == '\t') ++s;
  if (!*s) return false;
  char* end = nullptr;
  errno = 0;
  long v = std::strtol(s, &end, 10);
  if (end == s || errno == ERANGE || v < INT_MIN || v > INT_MAX) return false;
  while (*end == ' ' || *end == '\t') ++end;
  if (*end) return false;
  out = static_cast<int>(v);
  return true;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Templates and dialog units

void RegisterDialogTemplate(UINT id, const DialogTemplate* t) {
  if (t) Templates()[id] = t;
  else Templates().erase(id);
}

const DialogTemplate* FindDialogTemplate(UINT id) {
  auto it = Templates().find(id);
  return it == Templates().end() ? nullptr : it->second;
}

int MulDiv(int number, int numerator, int denominator) {
  if (denominator == 0) return -1;
  long long p = static_cast<long long>(number) * numerator;
  long long half = std::llabs(static_cast<long long>(denominator)) / 2;
  long long q = (p >= 0) == (denominator > 0) ? (std::llabs(p) + half) / std::llabs(static_cast<long long>(denominator))
                                               : -((std::llabs(p) + half) / std::llabs(static_cast<long long>(denominator)));
  return static_cast<int>(q);
}

CSize DialogBaseUnits(CFont* font) {
  CSize units(6, 13);  // 8-point MS Sans Serif on a 96-dpi desktop
  if (!font || !font->GetSafeHandle()) return units;
  CBitmap scratch;
  if (!scratch.CreateDIBSection(8, 8, 8)) return units;
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  dc.SelectObject(&scratch);
  dc.SelectObject(font);
  // The desktop's rule: the width of the 52 letters over 26, halved and rounded.
  CSize extent = dc.GetTextExtent("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  TEXTMETRIC tm;
  if (extent.cx > 0 && dc.GetTextMetrics(&tm) && tm.tmHeight > 0)
    units = CSize((extent.cx / 26 + 1) / 2, tm.tmHeight);
  return units;
}

CRect DialogUnitsToPixels(const RECT& du, CSize base) {
  return CRect(MulDiv(du.left, base.cx, 4), MulDiv(du.top, base.cy, 8), MulDiv(du.right, base.cx, 4),
               MulDiv(du.bottom, base.cy, 8));
}

// ---------------------------------------------------------------------------------------------
// CDialog

CDialog::CDialog() = default;

CDialog::CDialog(UINT templateId, CWnd* parent)
    : m_template(FindDialogTemplate(templateId)), m_templateId(templateId), m_pParentWnd(parent) {}

CDialog::CDialog(const DialogTemplate* t, CWnd* parent) : m_template(t), m_pParentWnd(parent) {}

CDialog::~CDialog() {
  if (m_hWnd) CWnd::DestroyWindow();
  m_ownedControls.clear();
}

BOOL CDialog::CreateFromTemplate(CWnd* owner) {
  if (!m_template && m_templateId) m_template = FindDialogTemplate(m_templateId);
  if (!m_template) return FALSE;
  const DialogTemplate& t = *m_template;
  m_dialogFont.reset();
  if (t.fontFace && t.fontPoints > 0) {
    auto font = std::make_unique<CFont>();
    if (font->CreatePointFont(t.fontPoints * 10, t.fontFace)) m_dialogFont = std::move(font);
  }
  m_baseUnits = DialogBaseUnits(m_dialogFont.get());
  CRect size = DialogUnitsToPixels(CRect(0, 0, t.cx, t.cy), m_baseUnits);
  DWORD style = (t.style | WS_POPUP) & ~(WS_VISIBLE | WS_CHILD);
  if (!CWnd::CreateEx(t.exStyle, "#32770", t.caption, style, CRect(0, 0, size.right, size.bottom),
                      owner, 0))
    return FALSE;
  if (m_dialogFont) CWnd::SetFont(m_dialogFont.get(), FALSE);
  CreateControls();
  CenterWindow(owner);
  m_style |= (t.style & WS_VISIBLE);
  return TRUE;
}

void CDialog::CreateControls() {
  const DialogTemplate& t = *m_template;
  for (int i = 0; i < t.itemCount; ++i) {
    const DialogItemTemplate& item = t.items[i];
    const KindInfo& info = InfoOf(item.kind);
    std::unique_ptr<CWnd> control = MakeControl(item.kind);
    CRect r = DialogUnitsToPixels(CRect(item.x, item.y, item.x + item.cx, item.y + item.cy), m_baseUnits);
    DWORD style = WS_CHILD | WS_VISIBLE | info.style | item.style;
    if (control->CreateEx(info.exStyle, info.className, item.text, style, r, this,
                          static_cast<UINT>(item.id))) {
      if (item.kind == DialogItemKind::DefPushButton) m_defId = item.id;
      m_ownedControls.push_back(std::move(control));
    }
  }
}

void CDialog::FocusFirstTabStop() {
  if (CWnd* first = GetNextDlgTabItem(nullptr)) GotoDlgCtrl(first);
  else SetFocus();
}

INT_PTR CDialog::DoModal() {
  CWnd* owner = m_pParentWnd ? m_pParentWnd->GetTopLevelParent() : nullptr;
  if (!owner) {
    CWnd* main = AfxGetMainWnd();
    if (main && main != this && main->GetSafeHwnd()) owner = main;
  }
  if (owner && !owner->GetSafeHwnd()) owner = nullptr;
  if (!CreateFromTemplate(owner)) return -1;
  // The owner takes no input while the dialog runs.
  const bool disableOwner = owner && owner->IsWindowEnabled();
  if (disableOwner) owner->EnableWindow(FALSE);
  m_endModal = false;
  m_modalResult = IDCANCEL;
  // The desktop keeps the dialog above its owner.
  if (owner && owner->TopState() && TopState()) SDL_SetWindowModalFor(TopState()->window, owner->TopState()->window);
  if (SendMessage(WM_INITDIALOG, 0, 0)) FocusFirstTabStop();
  if (m_hWnd && !m_endModal) {
    CWnd* focus = CEventLoop::Focus();
    ShowWindow(SW_SHOW);
    if (focus && focus != this && IsChild(focus)) focus->SetFocus();
    RunModalLoop();
  }
  const int result = m_modalResult;
  if (disableOwner && owner->GetSafeHwnd()) owner->EnableWindow(TRUE);
  if (m_hWnd) {
    ShowWindow(SW_HIDE);
    DestroyWindow();
  }
  m_ownedControls.clear();
  if (owner && owner->GetSafeHwnd()) CEventLoop::Activate(owner);
  return result;
}

BOOL CDialog::CreateModeless(CWnd* parent) {
  if (!CreateFromTemplate(parent)) return FALSE;
  if (SendMessage(WM_INITDIALOG, 0, 0)) FocusFirstTabStop();
  if (m_hWnd && (m_template->style & WS_VISIBLE)) {
    m_style &= ~WS_VISIBLE;
    ShowWindow(SW_SHOW);
  }
  return m_hWnd != nullptr;
}

void CDialog::EndDialog(int result) {
  m_modalResult = result;
  EndModalLoop(result);
}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::UpdateData(BOOL save) {
  if (!m_hWnd) return FALSE;
  CDataExchange dx(this, save);
  DoDataExchange(&dx);
  return dx.m_failed ? FALSE : TRUE;
}

void CDialog::MapDialogRect(RECT* rect) const {
  if (rect) *rect = DialogUnitsToPixels(*rect, m_baseUnits);
}

int CDialog::GetDefID() const { return m_defId; }

void CDialog::SetDefID(int id) {
  if (auto* old = dynamic_cast<CButton*>(GetDlgItem(m_defId)))
    if (old->GetButtonStyle() == BS_DEFPUSHBUTTON) old->SetButtonStyle(BS_PUSHBUTTON);
  m_defId = id;
  if (auto* b = dynamic_cast<CButton*>(GetDlgItem(id)))
    if (b->GetButtonStyle() == BS_PUSHBUTTON) b->SetButtonStyle(BS_DEFPUSHBUTTON);
}

void CDialog::NextDlgCtrl() {
  if (CWnd* next = GetNextDlgTabItem(CEventLoop::Focus(), FALSE)) GotoDlgCtrl(next);
}

void CDialog::PrevDlgCtrl() {
  if (CWnd* prev = GetNextDlgTabItem(CEventLoop::Focus(), TRUE)) GotoDlgCtrl(prev);
}

void CDialog::GotoDlgCtrl(CWnd* control) {
  if (!control || !control->GetSafeHwnd()) return;
  control->SetFocus();
  // An edit reached from the keyboard has all its text selected, ready to be replaced.
  if (auto* edit = dynamic_cast<CEdit*>(control)) edit->SetSel(0, -1);
}

void CDialog::CheckDlgButton(int id, UINT check) {
  if (auto* b = dynamic_cast<CButton*>(GetDlgItem(id))) b->SetCheck(static_cast<int>(check));
}

UINT CDialog::IsDlgButtonChecked(int id) const {
  auto* b = dynamic_cast<CButton*>(GetDlgItem(id));
  return b ? static_cast<UINT>(b->GetCheck()) : 0;
}

void CDialog::SetDlgItemText(int id, const char* text) {
  if (CWnd* w = GetDlgItem(id)) w->SetWindowText(text);
}

int CDialog::GetDlgItemText(int id, char* buffer, int size) const {
  CWnd* w = GetDlgItem(id);
  if (!w) {
    if (buffer && size > 0) buffer[0] = '\0';
    return 0;
  }
  return w->GetWindowText(buffer, size);
}

std::string CDialog::GetDlgItemText(int id) const {
  CWnd* w = GetDlgItem(id);
  return w ? w->WindowText() : std::string();
}

void CDialog::SetDlgItemInt(int id, int value, BOOL isSigned) {
  char text[16];
  if (isSigned) std::snprintf(text, sizeof text, "%d", value);
  else std::snprintf(text, sizeof text, "%u", static_cast<unsigned>(value));
  SetDlgItemText(id, text);
}

int CDialog::GetDlgItemInt(int id, BOOL* ok, BOOL isSigned) const {
  int v = 0;
  bool good = ParseInt(GetDlgItemText(id), v) && (isSigned || v >= 0);
  if (ok) *ok = good;
  return good ? v : 0;
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) return OnInitDialog();
  return CWnd::WindowProc(message, wParam, lParam);
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (CWnd::OnCommand(wParam, lParam)) return TRUE;  // reflected to the control
  if (HIWORD(wParam) != BN_CLICKED) return FALSE;
  switch (LOWORD(wParam)) {
    case IDOK: OnOK(); return TRUE;
    case IDCANCEL: OnCancel(); return TRUE;
    default: return FALSE;
  }
}

void CDialog::OnClose() {
  // The close box means Cancel.
  SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(IDCANCEL)));
}

void CDialog::ClickControl(CWnd* control) {
  if (auto* button = dynamic_cast<CButton*>(control)) {
    button->Click();
    return;
  }
  control->GetParent()->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(control->GetDlgCtrlID()), BN_CLICKED),
                                    reinterpret_cast<LPARAM>(control));
}

BOOL CDialog::HandleMnemonic(char letter) {
  letter = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
  if (!letter) return FALSE;
  const auto& children = Children();
  // The search starts after the control with the focus and wraps around, so repeated
  // mnemonics cycle through the controls that share them.
  const std::size_t n = children.size();
  std::size_t from = 0;
  for (std::size_t k = 0; k < n; ++k)
    if (children[k] == CEventLoop::Focus()) from = k + 1;
  for (std::size_t step = 0; step < n; ++step) {
    const std::size_t i = (from + step) % n;
    CWnd* c = children[i];
    if (!c->IsWindowVisible() || MnemonicOf(c->WindowText()) != letter) continue;
    if (IsButtonControl(c)) {
      if (!c->IsWindowEnabled()) return TRUE;
      c->SetFocus();
      ClickControl(c);
      return TRUE;
    }
    // A label's mnemonic reaches the control that follows it.
    for (std::size_t j = i + 1; j < n; ++j) {
      CWnd* n = children[j];
      if ((n->GetStyle() & WS_TABSTOP) && n->IsWindowVisible() && n->IsWindowEnabled()) {
        GotoDlgCtrl(n);
        return TRUE;
      }
    }
    return TRUE;
  }
  return FALSE;
}

BOOL CDialog::HandleDialogKey(MSG* msg) {
  CWnd* target = msg->hwnd;
  const UINT code = (target && target != this) ? target->OnGetDlgCode() : 0;
  const int key = static_cast<int>(msg->wParam);
  if (msg->message == WM_SYSKEYDOWN) {
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return HandleMnemonic(static_cast<char>(key));
    return FALSE;
  }
  if (msg->message == WM_CHAR) {
    // Typing a letter where nothing takes text presses the control it names.
    if (target == this || (code & (DLGC_WANTCHARS | DLGC_WANTALLKEYS))) return FALSE;
    if (key > ' ' && key < 0x7F) return HandleMnemonic(static_cast<char>(key));
    return FALSE;
  }
  if (msg->message != WM_KEYDOWN || (code & DLGC_WANTALLKEYS)) return FALSE;
  switch (key) {
    case VK_TAB:
      if (code & DLGC_WANTTAB) return FALSE;
      if (CEventLoop::IsKeyDown(VK_CONTROL)) return FALSE;
      if (CEventLoop::IsKeyDown(VK_SHIFT)) PrevDlgCtrl();
      else NextDlgCtrl();
      return TRUE;
    case VK_RETURN: {
      // A focused push button is pressed; otherwise the default button (or OK) is.
      if (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) {
        if (target->IsWindowEnabled()) ClickControl(target);
        return TRUE;
      }
      CWnd* def = GetDlgItem(GetDefID());
      if (def && !def->IsWindowEnabled()) return TRUE;
      SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetDefID()), BN_CLICKED), reinterpret_cast<LPARAM>(def));
      return TRUE;
    }
    case VK_ESCAPE: {
      CWnd* cancel = GetDlgItem(IDCANCEL);
      if (cancel && !cancel->IsWindowEnabled()) return TRUE;
      SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
      return TRUE;
    }
    default:
      return FALSE;
  }
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
  if (!m_hWnd || !msg->hwnd) return FALSE;
  if (msg->hwnd != this && !IsChild(msg->hwnd)) return FALSE;
  if (msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN || msg->message == WM_CHAR)
    return HandleDialogKey(msg);
  return FALSE;
}

// ---------------------------------------------------------------------------------------------
// Subclassing

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
  if (m_hWnd || !parent || !parent->m_hWnd) return FALSE;
  CWnd* old = parent->GetDlgItem(static_cast<int>(id));
  if (!old) return FALSE;
  m_style = old->m_style;
  m_exStyle = old->m_exStyle;
  m_text = old->m_text;
  m_className = old->m_className;
  m_id = old->m_id;
  m_font = old->m_font;
  m_rect = old->m_rect;
  m_parent = parent;
  auto& siblings = parent->m_children;
  *std::find(siblings.begin(), siblings.end(), old) = this;
  const bool hadFocus = CEventLoop::Focus() == old;
  CEventLoop::WindowDestroyed(old);
  old->m_hWnd = nullptr;
  old->m_parent = nullptr;
  m_hWnd = this;
  CEventLoop::WindowCreated(this);
  if (auto* dialog = dynamic_cast<CDialog*>(parent))
    std::erase_if(dialog->m_ownedControls, [&](const std::unique_ptr<CWnd>& c) { return c.get() == old; });
  if (hadFocus) SetFocus();
  SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(m_rect.Width(), m_rect.Height()));
  Invalidate(TRUE);
  return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Data exchange

CWnd* CDataExchange::PrepareCtrl(int id) {
  m_idLastControl = id;
  m_bEditLastControl = false;
  return m_pDlgWnd ? m_pDlgWnd->GetDlgItem(id) : nullptr;
}

CWnd* CDataExchange::PrepareEditCtrl(int id) {
  CWnd* w = PrepareCtrl(id);
  m_bEditLastControl = true;
  return w;
}

void CDataExchange::Fail(const char* message) {
  m_failed = true;
  if (message) MessageBox(m_pDlgWnd, message, AppName(), MB_OK | MB_ICONEXCLAMATION);
  if (!m_pDlgWnd || !m_pDlgWnd->GetSafeHwnd()) return;
  if (CWnd* control = m_pDlgWnd->GetDlgItem(m_idLastControl)) {
    control->SetFocus();
    if (auto* edit = dynamic_cast<CEdit*>(control)) edit->SetSel(0, -1);
  }
}

void DDX_Check(CDataExchange* dx, int id, int& value) {
  if (dx->m_failed) return;
  auto* b = dynamic_cast<CButton*>(dx->PrepareCtrl(id));
  if (!b) return;
  if (dx->m_bSaveAndValidate) value = b->GetCheck();
  else b->SetCheck(value);
}

void DDX_Text(CDataExchange* dx, int id, int& value) {
  if (dx->m_failed) return;
  CWnd* w = dx->PrepareEditCtrl(id);
  if (!w) return;
  if (!dx->m_bSaveAndValidate) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    w->SetWindowText(text);
    return;
  }
  int parsed = 0;
  if (!ParseInt(w->WindowText(), parsed)) {
    dx->Fail("Please enter an integer.");
    return;
  }
  value = parsed;
}

void DDX_Text(CDataExchange* dx, int id, std::string& value) {
  if (dx->m_failed) return;
  CWnd* w = dx->PrepareEditCtrl(id);
  if (!w) return;
  if (dx->m_bSaveAndValidate) value = w->WindowText();
  else w->SetWindowText(value.c_str());
}

void DDX_Text(CDataExchange* dx, int id, CUString& value) {
  if (dx->m_failed) return;
  CWnd* w = dx->PrepareEditCtrl(id);
  if (!w) return;
  if (dx->m_bSaveAndValidate) value = w->WindowText().c_str();
  else w->SetWindowText(static_cast<const char*>(value));
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
  if (dx->m_failed || control.GetSafeHwnd()) return;
  dx->PrepareCtrl(id);
  control.SubclassDlgItem(static_cast<UINT>(id), dx->m_pDlgWnd);
}

void DDV_MinMaxInt(CDataExchange* dx, int value, int minValue, int maxValue) {
  if (dx->m_failed || !dx->m_bSaveAndValidate) return;
  if (value >= minValue && value <= maxValue) return;
  char message[96];
  std::snprintf(message, sizeof message, "Please enter an integer between %d and %d.", minValue, maxValue);
  dx->Fail(message);
}
