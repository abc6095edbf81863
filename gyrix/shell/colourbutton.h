// CColourButton: a picture button with a bar showing its colour; a click drops down a
// CColourPopup of the 16 standard colours. Picking one sets the button's colour and tells the
// button's parent with WM_COMMAND and the button's own id.
#pragma once

#include <lumex/dialogs.h>
#include <lumex/lumex.h>
#include <platform/platform.h>

class CColourButton;

// The popup's command to its button: a colour was picked.
constexpr UINT IDC_COLOUR_PICKED = 1000;
constexpr int IDB_COLOUR_BUTTON = 162;
constexpr int IDB_COLOUR_POPUP = 164;

class CColourPopup : public CWnd {
 public:
  static constexpr int kCells = 16;
  static constexpr int kColumns = 8;
  static constexpr int kCellSize = 18;
  static constexpr int kLeft = 7;
  static constexpr int kTop = 5;

  // The colour of a cell, 0..15 (column + 8 x row).
  static COLORREF CellColour(int cell);
  // The cell under a client point, -1 for none.
  static int CellAt(CPoint p);
  static CRect CellRect(int cell);

  BOOL CreatePopup(CColourButton* owner);
  // Shows the popup with its top-left at a screen point and takes the mouse.
  void Drop(CPoint screenTopLeft);
  void Close();
  COLORREF GetColour() const { return m_colour; }

  void OnPaint() override;
  void OnLButtonDown(UINT flags, CPoint point) override;
  void OnMouseMove(UINT flags, CPoint point) override;
  void OnLButtonUp(UINT flags, CPoint point) override;
  void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
  BOOL OnEraseBkgnd(CDC*) override { return TRUE; }

 private:
  void Redraw(CPoint point, bool pressed);
  // The popup picture, with a frame around the cell under the point (raised or sunken).
  void Compose(CDC* dc, CPoint point, bool pressed);

  CColourButton* m_owner = nullptr;
  COLORREF m_colour = 0xFFFFFF;
  CPoint m_last{-1, -1};
  bool m_pressed = false;
};

class CColourButton : public CDibButton {
 public:
  CColourButton() = default;
  ~CColourButton() override;

  using CDibButton::Init;
  int Init(HINSTANCE module, int bitmapId, unsigned char flags) override;
  // Paints the colour's nearest palette entry into the bar of all three state images.
  void SetColour(COLORREF colour);
  COLORREF GetColour() const { return m_colour; }
  CColourPopup& GetPopup() { return m_popup; }
  // Drops the popup below the button.
  void OpenPopup();

  void OnLButtonUp(UINT flags, CPoint p) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

  // Shared by every colour button.
  static CPalette* SharedPalette();
  static CDib& PopupPicture();

 private:
  COLORREF m_colour = 0xFFFFFF;
  CColourPopup m_popup;
};
