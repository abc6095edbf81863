// CAboutDlg: the about box, with two links that open the local help pages.
#pragma once

#include <lumex/dialogs.h>
#include <lumex/lumex.h>
#include <platform/platform.h>

#include <memory>

class CLinkLabel;

class CAboutDlg : public CDibDialog {
 public:
  static constexpr double kVersion = 1.31;

  explicit CAboutDlg(CWnd* parent = nullptr);
  ~CAboutDlg() override;

  BOOL OnInitDialog() override;
  HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor) override;
  BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) override;
  void OnLButtonDown(UINT flags, CPoint point) override;

  // Opens what the link control stands for; 1 when something was opened.
  int OpenLink(int controlId);
  // Whether a screen point lies on one of the links; gives its id.
  int LinkAt(POINT screen) const;

  // The page the link beside "Help:" opens: the keys and buttons.
  static const char* KeysPage();
  static std::string WebPage();

 private:
  CFont m_linkFont;
  std::unique_ptr<CLinkLabel> m_keys;
  std::unique_ptr<CLinkLabel> m_web;
};
