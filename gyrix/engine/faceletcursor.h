// CFaceletCursor: a marker on one visible facelet, for play without a mouse. The arrow keys (or
// a controller's stick) move it to the visible facelet nearest in that direction on screen; a
// turn from it is the drag from its facelet to the one the direction names, so every puzzle's
// own drag rule applies.
//
// It keeps only where it is; the window asks it about the picture as last painted and
// repaints when a call says that something changed.
#pragma once

#include <vector>

class CDC;
class CPuzzle;

class CFaceletCursor {
 public:
  enum class EDirection { Left, Right, Up, Down };

  // A facelet the viewer sees, with its middle on screen.
  struct Spot {
    int id;
    double x, y;
  };

  // The facelets that face the viewer and show at their own middle, in the view as last
  // painted.
  static std::vector<Spot> VisibleSpots(CPuzzle& puzzle);
  // The spot nearest to `from` in the direction, within a cone about it; -1 when none lies
  // that way.
  static int Neighbour(const std::vector<Spot>& spots, int from, EDirection direction);
  // Every spot in the cone, nearest first.
  static std::vector<int> Neighbours(const std::vector<Spot>& spots, int from, EDirection direction);
  // The facelet a turn that way drags to: the nearest in the cone from which a drag makes a
  // turn (a puzzle whose pieces carry several facelets turns from the next piece, not from a
  // facelet of the same piece); -1 for none.
  static int TurnNeighbour(CPuzzle& puzzle, const std::vector<Spot>& spots, int from, EDirection direction);
  static EDirection Opposite(EDirection direction);

  bool IsShown() const { return m_shown; }
  int GetFacelet() const { return m_shown ? m_facelet : -1; }
  // Shows the cursor where it was, or on the visible facelet nearest the middle of the puzzle
  // when its facelet no longer shows. False when nothing changed.
  bool Show(CPuzzle& puzzle);
  bool Hide();
  // Moves to the neighbour in the direction; a move back the way it came returns to the
  // facelet it came from while that still shows. False when it stays.
  bool Move(CPuzzle& puzzle, EDirection direction);
  // The facelet a turn that way drags to, -1 for none: the way back where the cursor came
  // from when that drag turns, else TurnNeighbour.
  int Target(CPuzzle& puzzle, EDirection direction) const;
  // After the picture changed under it (a turn, a new view): the cursor goes to the visible
  // facelet at the place on screen it had, or the nearest one.
  bool Follow(CPuzzle& puzzle);

  // Draws the marker over the puzzle as last painted: a doubled outline edged in black, which
  // reads on every colour and stands apart from the hover outline.
  void Paint(CDC* dc, CPuzzle& puzzle) const;

 private:
  void Place(const Spot& spot);
  static const Spot* Find(const std::vector<Spot>& spots, int id);

  bool m_shown = false;
  int m_facelet = -1;
  double m_x = 0, m_y = 0;  // where the facelet's middle was when the cursor came to it
  int m_cameFrom = -1;      // the facelet of the last move, and the move's direction
  EDirection m_cameBy = EDirection::Left;
};
