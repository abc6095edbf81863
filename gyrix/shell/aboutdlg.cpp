#include <gyrix/shell/aboutdlg.h>

#include <gyrix/res/templates.h>
#include <gyrix/shell/helppages.h>
#include <gyrix/shell/puzzledlg.h>

namespace {

constexpr COLORREF kLinkColour = 0xFF0000;  // blue

}  // namespace

// A label that behaves as a link: clicks on it and the cursor over it are the about box's.
class CLinkLabel : public CStatic {
 public:
  explicit CLinkLabel(CAboutDlg* owner) : m_owner(owner) {}
  void OnLButtonDown(UINT, CPoint) override { m_owner->OpenLink(GetDlgCtrlID()); }
  BOOL OnSetCursor(CWnd*, UINT, UINT) override {
    SetCursor(LoadCursor(nullptr, IDC_LINK_CURSOR));
    return TRUE;
  }

 private:
  CAboutDlg* m_owner;
};

CAboutDlg::CAboutDlg(CWnd* parent) : CDibDialog(IDD_GYRIX_ABOUT, parent) {
  RegisterGyrixTemplates();
  RegisterCursorResource(nullptr, IDC_LINK_CURSOR, IDC_HAND);
}

CAboutDlg::~CAboutDlg() = default;

const char* CAboutDlg::KeysPage() { return "keys.html"; }

std::string CAboutDlg::WebPage() { return CPuzzleDlg::HelpPagePath("index.html"); }

BOOL CAboutDlg::OnInitDialog() {
  CDibDialog::OnInitDialog();
  CUString version;
  version.Format("%2.2f", kVersion);
  SetDlgItemText(IDC_ABOUT_VERSION, version);

  m_keys = std::make_unique<CLinkLabel>(this);
  m_web = std::make_unique<CLinkLabel>(this);
  m_keys->SubclassDlgItem(IDC_ABOUT_KEYS, this);
  m_web->SubclassDlgItem(IDC_ABOUT_WEB, this);

  LOGFONT lf{};
  CFont* base = m_web->GetFont();
  if (base && base->GetLogFont(&lf)) {
    lf.lfWeight = 700;
    lf.lfUnderline = 1;
    if (m_linkFont.CreateFontIndirect(&lf)) {
      m_keys->SetFont(&m_linkFont);
      m_web->SetFont(&m_linkFont);
    }
  }
  return TRUE;
}

HBRUSH CAboutDlg::OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor) {
  if (ctlColor == CTLCOLOR_STATIC && wnd &&
      (wnd->GetDlgCtrlID() == IDC_ABOUT_KEYS || wnd->GetDlgCtrlID() == IDC_ABOUT_WEB)) {
    dc->SetTextColor(kLinkColour);
    dc->SetBkMode(TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  }
  return CDibDialog::OnCtlColor(dc, wnd, ctlColor);
}

int CAboutDlg::LinkAt(POINT screen) const {
  for (int id : {IDC_ABOUT_WEB, IDC_ABOUT_KEYS}) {
    CWnd* link = GetDlgItem(id);
    if (!link) continue;
    CRect r;
    link->GetWindowRect(&r);
    if (r.PtInRect(screen)) return id;
  }
  return 0;
}

BOOL CAboutDlg::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) {
  POINT cursor;
  GetCursorPos(&cursor);
  if (LinkAt(cursor)) {
    SetCursor(LoadCursor(nullptr, IDC_LINK_CURSOR));
    return TRUE;
  }
  return CDibDialog::OnSetCursor(wnd, hitTest, message);
}

void CAboutDlg::OnLButtonDown(UINT flags, CPoint point) {
  CDibDialog::OnLButtonDown(flags, point);
  POINT screen = point;
  ClientToScreen(&screen);
  if (int id = LinkAt(screen)) OpenLink(id);
}

int CAboutDlg::OpenLink(int controlId) {
  if (controlId == IDC_ABOUT_WEB) return OpenHelpPage(this, "index.html") ? 1 : 0;
  if (controlId == IDC_ABOUT_KEYS) return OpenHelpPage(this, KeysPage()) ? 1 : 0;
  return 0;
}
