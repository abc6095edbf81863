// COptionsDlg: the player's choices of background tile, background and clock colours, the
// colours of the current puzzle type, the animation interval and whether buttons and clock
// show. It works on a private preview puzzle, drawn live and turned with the right mouse
// button, and hands everything to the main window (which saves it) only on OK.
#pragma once

#include <gyrix/shell/colourbutton.h>

#include <lumex/coverage.h>
#include <lumex/dialogs.h>
#include <lumex/lumex.h>
#include <platform/platform.h>

class CPuzzle;
class CPuzzleDlg;
class COptionsDlg;

// The sunken box the preview puzzle is drawn in.
class CPreviewBox : public CStatic {
 public:
  explicit CPreviewBox(COptionsDlg* owner) : m_owner(owner) {}
  void OnPaint() override;
  // The dialog turns the preview with the right mouse button.
  bool IsTransparentToMouse() const override { return true; }

 private:
  COptionsDlg* m_owner;
};

class COptionsDlg : public CDibDialog {
 public:
  static constexpr int kColourButtons = 12;  // 0..9 the puzzle's sides, 10 background, 11 clock
  static constexpr int kMinAnimSpeed = 1;
  static constexpr int kMaxAnimSpeed = 100;

  explicit COptionsDlg(CPuzzleDlg* owner);
  ~COptionsDlg() override;

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  void OnOK() override;
  void OnPaint() override;
  void OnRButtonDown(UINT flags, CPoint point) override;
  void OnMouseMove(UINT flags, CPoint point) override;
  BOOL OnHelpInfo(HELPINFO* info) override;
  void OnDestroy() override;

  // Loads a tile for the preview into the dialog's own tile and palette. A name that loads
  // from neither place leaves the preview as it was; false then.
  bool LoadPreviewTile(const char* name);
  // The preview without a tile: the background colour shows.
  void ClearPreviewTile();
  // The preview as it is drawn: the tile (or background colour) with the puzzle on it. With
  // smooth, the same with smooth edges too, at 32 bits.
  bool RenderPreview(CDib& out, CImage32* smooth = nullptr);
  bool IsSmoothChecked() const { return m_smooth.GetSafeHwnd() && m_smooth.GetCheck() != 0; }
  void DrawPreview(CDC* dc);
  void Browse();
  void OpenHelp();

  // ---- State, for tests ----
  CPuzzle* GetPreviewPuzzle() const { return m_preview; }
  CColourButton& GetColourButton(int i) { return m_colourButtons[i]; }
  COLORREF GetWorkingBackground() const { return m_background; }
  COLORREF GetWorkingTimerColour() const { return m_timerColour; }
  CDib& GetPreviewTile() { return m_tile; }
  int GetWorkingScheme() const { return m_scheme; }
  // The next colour scheme, as the scheme button gives it: the preview and the side colour
  // buttons take its colours.
  void NextScheme();
  // The symbols check box changed: the preview shows them, or not, at once.
  void SymbolsChanged();
  int m_animSpeed = 30;

 private:
  bool HandleColourCommand(int id);
  void ShowPalette();
  void ShowSchemeName();
  // The preview's palette made again for the tile now in the box (or none).
  void RemakePreviewPalette();
  // Tells the player a tile name does not load and puts them back in the tile box.
  void RefuseTile(const char* name);

  CPuzzleDlg* m_owner;
  CPuzzle* m_preview = nullptr;
  COLORREF m_background = 0;
  COLORREF m_timerColour = 0;
  int m_scheme = 0;
  CPoint m_pressPoint{0, 0};
  CDib m_tile;
  CPalette m_palette;
  CButton m_showButtons;
  CButton m_showTimer;
  CButton m_symbols;
  CButton m_smooth;
  CCoveragePainter m_painter;
  CEdit m_tileEdit;
  CPreviewBox m_previewBox{this};
  CDibButton m_browse;
  CColourButton m_colourButtons[kColourButtons];
};
