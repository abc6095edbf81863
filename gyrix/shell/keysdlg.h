// CKeysDlg: the keys of every command, and a way to change them. A row is chosen with a click
// or the arrow keys; Change and Add wait for the next key pressed (with its modifiers) and give
// it to the row's command, unless another command has it (then the note says which, and
// nothing changes); Clear leaves the command without a key; Defaults puts every key back. OK
// keeps the changes.
#pragma once

#include <gyrix/session/commands.h>

#include <lumex/dialogs.h>
#include <lumex/lumex.h>
#include <platform/platform.h>

#include <string>
#include <vector>

class CKeysDlg;

constexpr UINT IDD_GYRIX_KEYS = 161;
constexpr int IDC_KEYS_LIST = 2101;
constexpr int IDC_KEYS_NOTE = 2102;
constexpr int IDC_KEYS_CHANGE = 2110;
constexpr int IDC_KEYS_ADD = 2111;
constexpr int IDC_KEYS_CLEAR = 2112;
constexpr int IDC_KEYS_DEFAULTS = 2113;

class CKeysList : public CStatic {
 public:
  explicit CKeysList(CKeysDlg* owner) : m_owner(owner) {}
  void OnPaint() override;
  bool IsTransparentToMouse() const override { return true; }

 private:
  CKeysDlg* m_owner;
};

class CKeysDlg : public CDibDialog {
 public:
  static constexpr int kRowHeight = 14;

  CKeysDlg(CWnd* parent, const CCommandTable& classic, const CCommandTable& speedcube);

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  void OnLButtonDown(UINT flags, CPoint point) override;
  BOOL OnMouseWheel(UINT flags, short delta, CPoint point) override;
  void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
  // Keys reach the dialog whichever of its buttons has the focus: the key awaited, and the
  // arrows that choose a row.
  BOOL PreTranslateMessage(MSG* msg) override;
  void OnOK() override;
  void OnCancel() override;

  // ---- Actions, as the buttons and keys run them ----
  void Select(int row);
  // The next key pressed replaces the chosen command's keys (add: joins them).
  void StartCapture(bool add);
  bool IsCapturing() const { return m_capturing; }
  // A key pressed while capturing; false when it was refused (the note says why).
  bool TakeKey(SKeyChord chord);
  void ClearSelected();
  void RestoreDefaults();

  // ---- State ----
  const CCommandTable& GetClassic() const { return m_classic; }
  const CCommandTable& GetSpeedcube() const { return m_speedcube; }
  int GetSelected() const { return m_selected; }
  int GetRowCount() const { return static_cast<int>(m_rows.size()); }
  ECommand GetRowCommand(int row) const { return m_rows[static_cast<size_t>(row)]; }
  // "Undo: Backspace, Ctrl+Z"
  std::string DescribeRow(int row) const;
  const std::string& GetNote() const { return m_note; }
  void DrawList(CDC* dc, CWnd* box);

 private:
  CCommandTable& TableOf(ECommand command);
  const CCommandTable& TableOf(ECommand command) const;
  void SetNote(const std::string& note);
  void Refresh();

  CCommandTable m_classic;
  CCommandTable m_speedcube;
  std::vector<ECommand> m_rows;
  int m_selected = 0;
  int m_firstRow = 0;
  bool m_capturing = false;
  bool m_adding = false;
  std::string m_note;
  CFont m_font;
  CKeysList m_listBox{this};
};
