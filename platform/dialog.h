// CDialog: a top-level window built from a template table, run modally with its owner
// disabled, with the standard dialog keyboard (Tab, Enter, Escape, mnemonics) and data
// exchange between controls and members.
#pragma once

#include <platform/wnd.h>

#include <memory>
#include <string>
#include <vector>

class CUString;

// What a template line creates.
enum class DialogItemKind {
  PushButton,
  DefPushButton,
  CheckBox,
  Label,         // static text
  SunkenStatic,  // static with a sunken frame (a picture or preview area)
  Edit,          // single-line edit, scrolling horizontally
  OwnerDrawButton,
};

// One control of a template; the rectangle is in dialog units.
struct DialogItemTemplate {
  DialogItemKind kind;
  int id;  // IDC_STATIC (-1) for labels nobody addresses
  const char* text;
  int x, y, cx, cy;
  DWORD style = 0;  // extra styles, added to the kind's own
};

// A dialog template: size in dialog units, caption, font, styles and the controls.
struct DialogTemplate {
  int cx, cy;
  const char* caption;
  const char* fontFace;
  int fontPoints;
  DWORD style;
  DWORD exStyle;
  const DialogItemTemplate* items;
  int itemCount;
};

// Templates are found by resource id; each binary registers its own at start-up (static
// registration objects in the file that holds the table do it before main).
void RegisterDialogTemplate(UINT id, const DialogTemplate* dialogTemplate);
const DialogTemplate* FindDialogTemplate(UINT id);
struct DialogTemplateRegistration {
  DialogTemplateRegistration(UINT id, const DialogTemplate* t) { RegisterDialogTemplate(id, t); }
};

// Dialog base units of a font: the average character width and the character height, as the
// desktop measures them for dialog layout. Without a font: the units of 8-point MS Sans Serif.
CSize DialogBaseUnits(CFont* font);
// Dialog units to pixels: x * width / 4 and y * height / 8, rounded.
CRect DialogUnitsToPixels(const RECT& dialogUnits, CSize baseUnits);
int MulDiv(int number, int numerator, int denominator);

class CDataExchange;

class CDialog : public CWnd {
 public:
  CDialog();
  explicit CDialog(UINT templateId, CWnd* parent = nullptr);
  CDialog(const DialogTemplate* dialogTemplate, CWnd* parent);
  ~CDialog() override;

  // Creates the dialog, runs it with its owner disabled and returns the EndDialog code;
  // -1 when the template is missing or the window cannot be made.
  virtual INT_PTR DoModal();
  // Creates the dialog without a loop of its own (shown when the template says so).
  BOOL CreateModeless(CWnd* parent = nullptr);
  void EndDialog(int result);

  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  virtual void DoDataExchange(CDataExchange* dx);
  // save TRUE: controls to members, validating; FALSE: members to controls. FALSE on failure.
  BOOL UpdateData(BOOL saveAndValidate = TRUE);

  void MapDialogRect(RECT* rect) const;
  CSize GetBaseUnits() const { return m_baseUnits; }
  int GetDefID() const;
  void SetDefID(int id);
  void NextDlgCtrl();
  void PrevDlgCtrl();
  void GotoDlgCtrl(CWnd* control);

  void CheckDlgButton(int id, UINT check);
  UINT IsDlgButtonChecked(int id) const;
  void SetDlgItemText(int id, const char* text);
  int GetDlgItemText(int id, char* buffer, int size) const;
  std::string GetDlgItemText(int id) const;
  void SetDlgItemInt(int id, int value, BOOL isSigned = TRUE);
  // The control's text as a decimal number; ok (when given) says whether it was one.
  int GetDlgItemInt(int id, BOOL* ok = nullptr, BOOL isSigned = TRUE) const;

  BOOL PreTranslateMessage(MSG* msg) override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  void OnClose() override;

  UINT m_nIDHelp = 0;

 protected:
  const DialogTemplate* m_template = nullptr;
  UINT m_templateId = 0;
  CWnd* m_pParentWnd = nullptr;

 private:
  BOOL CreateFromTemplate(CWnd* owner);
  void CreateControls();
  BOOL HandleDialogKey(MSG* msg);
  BOOL HandleMnemonic(char letter);
  void ClickControl(CWnd* control);
  void FocusFirstTabStop();

  std::unique_ptr<CFont> m_dialogFont;
  CSize m_baseUnits{6, 13};
  std::vector<std::unique_ptr<CWnd>> m_ownedControls;  // controls made from the template
  int m_defId = IDOK;
  friend class CWnd;
};

class CDataExchange {
 public:
  CDataExchange(CDialog* dialog, BOOL saveAndValidate)
      : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}
  BOOL m_bSaveAndValidate;
  CDialog* m_pDlgWnd;
  int m_idLastControl = 0;
  bool m_bEditLastControl = false;
  // After a refusal the remaining exchanges do nothing and UpdateData reports failure.
  bool m_failed = false;
  CWnd* PrepareCtrl(int id);
  CWnd* PrepareEditCtrl(int id);
  // Reports a refusal: the message is shown, the offending control gets the focus.
  void Fail(const char* message);
};

void DDX_Check(CDataExchange* dx, int id, int& value);
void DDX_Text(CDataExchange* dx, int id, int& value);
void DDX_Text(CDataExchange* dx, int id, std::string& value);
void DDX_Text(CDataExchange* dx, int id, CUString& value);
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
void DDV_MinMaxInt(CDataExchange* dx, int value, int minValue, int maxValue);
