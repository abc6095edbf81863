// CMenuButton: one picture button of the tree drawn into the main window. Command buttons sit
// in the top-left corner, the categories down the right edge; a button with children is a
// menu whose column replaces the categories while it is open.
#pragma once

#include <cordak/object.h>
#include <cordak/oblist.h>
#include <platform/types.h>

class CDib;
class CFrame;
class CPuzzleDlg;

class CMenuButton : public CUObject {
 public:
  // With id 0 the button's command id is its bitmap id.
  CMenuButton(CFrame* image, int bitmapId, int x, int y, int id = 0);
  ~CMenuButton() override;

  void AddChild(CMenuButton* child);
  bool HasChildren() const { return !m_children.IsEmpty(); }
  const CUObList& GetChildren() const { return m_children; }
  CMenuButton* GetParent() const { return m_parent; }
  int GetId() const { return m_id; }
  int GetBitmapId() const { return m_bitmapId; }
  int GetX() const { return m_x; }
  int GetY() const { return m_y; }
  CFrame* GetImage() const { return m_image; }
  CRect GetRect() const;

  // With id -1 this button becomes the open menu. Otherwise the first menu (this one or a
  // descendant) with that id becomes the open menu and is returned; null (and no open menu)
  // when there is none.
  CMenuButton* FindById(int id);
  // The button under the cursor among this one and what is visible of its subtree.
  CMenuButton* HitButton(CPuzzleDlg* wnd);
  // Draws what is visible of this button and its subtree; the button under the cursor is
  // lifted, or pushed in while the left button is down.
  void DrawButton(CPuzzleDlg* wnd, CDib* dib);

  // The open menu of the process: null for the top level.
  static CMenuButton* GetOpenMenu() { return cm_openMenu; }
  static void SetOpenMenu(CMenuButton* menu) { cm_openMenu = menu; }
  // Goes one level up.
  static void CloseMenu();

 private:
  CFrame* m_image;  // owned by the frame cache
  int m_bitmapId;
  int m_x, m_y;
  int m_id;
  CUObList m_children{1};
  CMenuButton* m_parent = nullptr;
  static CMenuButton* cm_openMenu;
};
