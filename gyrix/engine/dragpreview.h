// CDragPreview: what a drag will do, shown before the button is let go. Hovering lights the
// facelet under the pointer; while the left button is held the facelets that the release
// would turn are outlined (the drag rule asked with the facelet under the pointer now); a
// release that turns nothing leaves a short cue on the pressed facelet.
//
// It only keeps what to show: the window tells it where the pointer is and repaints when a
// call says that the picture changed, so a still mouse costs nothing.
#pragma once

#include <vector>

class CDC;
class CPuzzle;

class CDragPreview {
 public:
  // How long the cue of a refused drag stays.
  static constexpr int kCueMs = 450;

  enum class EShown { Nothing, Hover, Turn, NoTurn, Refused };

  void SetEnabled(bool on);
  bool IsEnabled() const { return m_enabled; }

  // The pointer is over facelet `facelet` (-1: none) with no button held.
  bool Hover(int facelet);
  // The left button was pressed on `from` and the pointer is over `to` now (-1: off the
  // puzzle). The rule is asked only when `to` changes.
  bool Drag(CPuzzle& puzzle, int from, int to);
  // The press ended; `turned` tells whether the release made a turn. A refused one shows the
  // cue on the pressed facelet until EndCue.
  bool Release(bool turned);
  bool EndCue();
  // The puzzle changed under the pointer (a turn made, another puzzle, a new view): nothing is
  // shown until the pointer tells again where it is.
  bool Forget();

  EShown GetShown() const;
  int GetHovered() const { return m_hovered; }
  int GetPressed() const { return m_from; }
  // The turn the release would make now (0: none, also for one the position does not allow,
  // which changes nothing), and the facelets it would carry.
  int GetPreviewTurn() const { return m_turn; }
  const std::vector<int>& GetTurnFacelets() const { return m_turnFacelets; }

  // Draws what is shown over the puzzle as last painted (its view, not a turn's frame):
  // white lines edged in black, which read on every colour; the cue in red.
  void Paint(CDC* dc, CPuzzle& puzzle) const;

 private:
  bool m_enabled = true;
  int m_hovered = -1;
  int m_from = -1;
  int m_to = -1;
  int m_turn = 0;
  std::vector<int> m_turnFacelets;
  int m_cueFacelet = -1;
};
