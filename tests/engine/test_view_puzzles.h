// A small solid puzzle for the drawing, animation and pointer tests: a 2 x 2 x 2 box cut into
// two layers at z = 0. Facelet 0 is the top, 1-4 the sides of the top layer, 5-8 the sides of
// the bottom layer, 9 the bottom; facelet i shows palette colour i + 1 when solved. Turn 1
// turns the top layer a quarter about z, turn 2 the bottom layer, turn 3 the whole box; the
// cut square at z = 0 is inner facelet 0 (turn 1) and 1 (turn 2).
#pragma once

#include <gyrix/engine.h>

#include <lumex/dib.h>
#include <platform/dc.h>
#include <platform/palette.h>

#include <memory>
#include <vector>

class CTowerPuzzle : public CPuzzle {
 public:
  static constexpr int kFacelets = 10;
  static constexpr COLORREF kColours[11] = {0x808080, 0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF, 0xFF00FF,
                                            0xFFFF00, 0x0080FF, 0x800080, 0x008080, 0x800000};

  CTowerPuzzle() : CPuzzle(kFacelets) {
    m_typeId = 1;
    SetModelSize(6.0f);
    const int corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};  // counter-clockwise from above
    for (int z : {1, 0, -1})
      for (const auto& c : corners) AddVertex(c[0], c[1], z);
    const int top[4] = {0, 1, 2, 3};
    AddFacelet(top, 4);
    for (int layer = 0; layer < 2; ++layer)
      for (int j = 0; j < 4; ++j) {
        const int t = layer * 4;
        const int b = t + 4;
        const int side[4] = {b + j, b + (j + 1) % 4, t + (j + 1) % 4, t + j};
        AddFacelet(side, 4);
      }
    const int bottom[4] = {8, 11, 10, 9};
    AddFacelet(bottom, 4);
    SetPalette(kColours, 11);

    for (int layer = 0; layer < 2; ++layer) {
      int perm[kFacelets];
      for (int i = 0; i < kFacelets; ++i) perm[i] = i;
      const int ring[4] = {1 + 4 * layer, 2 + 4 * layer, 3 + 4 * layer, 4 + 4 * layer};
      CycleFacelets(perm, ring, 4);  // side j's colour goes to side j + 1
      AddMove(perm, layer == 0 ? 0 : 9);
    }
    int whole[kFacelets];
    for (int i = 0; i < kFacelets; ++i) whole[i] = i;
    ApplyMove(whole, 1);
    ApplyMove(whole, 2);
    AddMove(whole, 0);
    SetMoveMask(9, GetMoveMask(9) | 4u);

    const int cut[4] = {4, 5, 6, 7};
    AddInnerFacelet(cut, 4);
    AddInnerFacelet(cut, 4);
    ResetColours();
  }

  void ResetColours() override {
    for (int id = 0; id < kFacelets; ++id) SetFaceletColour(id, id + 1);
  }
  void UpdateSolved() override {
    m_solved = 1;
    for (int id = 0; id < kFacelets; ++id)
      if (GetFaceletColour(id) != id + 1) m_solved = 0;
  }
  int GetMoveFrames(int) override { return 6; }
  void GetMoveRotation(CFixMatrix& m, int move, int angle) override {
    angles.push_back(angle);
    m.RotateZ(move < 0 ? -angle : angle);
  }
  int GetInnerFacelet(int k) override { return k == 2 ? -1 : (innerOverride != -2 ? innerOverride : k); }
  // Neighbouring sides of one layer turn that layer; the way round gives the direction.
  int MoveFromDrag(int from, int to) override {
    if (from < 1 || from > 8 || to < 1 || to > 8) return 0;
    const int layer = (from - 1) / 4;
    if ((to - 1) / 4 != layer) return 0;
    const int d = ((to - 1) % 4 - (from - 1) % 4 + 4) % 4;
    return d == 1 ? layer + 1 : d == 3 ? -(layer + 1) : 0;
  }

  void SetSolvedFlags(int solved, int pending) {
    m_solved = solved;
    m_scramblePending = pending;
  }

  std::vector<int> angles;
  int innerOverride = -2;  // -2: the turn's own inner facelet
};

// The tests paint through the engine's off-screen canvas.
using CCanvas = CPuzzleCanvas;
