// The sphere of twelve lights (type id 13). It has no turns: a click on a light changes
// several lights at once, by the rule of the mode (1..4), and the title tells how many clicks
// are still needed at the least. The model is a sphere of 128 facelets whose polar caps are
// lights 1 and 12, with ten discs of 16 triangles lifted a little above it for the others.
// Clicks are turn numbers 1..24 that are not move-list entries: 1..12 click a light, 13..24
// (mode 4 only) record that the click toggled all eleven other lights; negative ones undo.
#pragma once

#include <gyrix/engine/puzzle.h>

#include <array>
#include <vector>

class COrbixPuzzle : public CPuzzle {
 public:
  static constexpr int kTypeId = 13;
  static constexpr int kLights = 12;
  static constexpr int kModes = 4;
  static constexpr int kAllLit = 4095;  // pattern value with every light lit
  static constexpr int kMaskLength = 128;
  static constexpr int kSphereFacelets = 128;
  static constexpr int kFaceletsPerLight = 16;
  static constexpr int kUnlit = 1;  // palette indices
  static constexpr int kLit = 2;
  static constexpr int kCelebrationSteps = 11;
  static constexpr int kCelebrationInterval = 100;  // ms per step

  // The tables found by search over the patterns, computed once on first use.
  struct CTables {
    // The 60 rotations of the sphere: rotations[r][i] is the zero-based light whose state the
    // rotated pattern shows at light i + 1.
    std::vector<std::array<int, kLights>> rotations;
    // One row per canonical value, in falling value order: the value and the least number of
    // clicks that light all twelve in modes 1..4 (-1: never).
    struct CRow {
      int value;
      std::array<int, kModes> distance;
    };
    std::vector<CRow> rows;
    // The canonical values but all lit: first those solvable in mode 2, then the rest, each
    // part in falling value order (so the all-unlit pattern comes last).
    std::vector<int> scrambleList;
    std::array<std::vector<int>, kModes> distanceOf;  // by pattern value, per mode
  };
  static const CTables& Tables();
  // The largest value a rotation of the pattern gives.
  static int CanonicalValue(int pattern);
  // The pattern after clicking light (turn) `move` in `mode`, or -1 when the rule refuses it.
  static int ClickPattern(int pattern, int mode, int move);
  // Neighbours, opposite light and far group of light 1..12 (light numbers).
  static const int* Neighbours(int light);
  static int Opposite(int light);
  static std::vector<int> FarGroup(int light);
  // The light (1..12) whose facelets hold a facelet id, 0 for the black band or no light.
  static int LightOfFacelet(int id);
  // The model's icosahedron vertex (builder numbering) that light 1..12 sits on.
  static int IcosahedronVertexOf(int light);

  explicit COrbixPuzzle(int argument = -1);

  void Read(CUBuffer& b) override;
  void Write(CUBuffer& b) override;
  void SortFacelets() override;
  void Scramble() override;
  void Reset() override;
  void GetColourName(CUString& out, int index, BOOL withName) override;
  BOOL SetMode(int mode) override;
  void UpdateSolved() override;
  // Applies a click at once; 0 when the mode's rule refuses it (also during the celebration,
  // for turn 0, beyond +-24, and for 13..24 outside mode 4).
  BOOL StartMove(CWnd* wnd, int move) override;
  void DoMove(int move, BOOL notify) override;
  int GetMoveFrames(int move) override;
  int GetCapabilities() override;
  BOOL JoystickTurn(float x, float y, float z, int buttons) override;
  BOOL IsTurnMadeOnStart() override { return 1; }
  // The celebration is a pattern of lights per frame, not an angle.
  BOOL CanDrawAnyAngle(int) override { return 0; }
  int MoveFromDrag(int fromFacelet, int toFacelet) override;
  // A click changes lights, not places: the facelets of every light it switches.
  std::vector<int> GetTurningFacelets(int move) override;
  void ResetColours() override;
  void DrawMoveFrame(CDC* dc, CDib* dib, int move, int angle) override;
  void SetTitle(CWnd* wnd) override;

  // The lights as a pattern value (bit 11 - (i - 1) for light i) and back.
  int GetPattern() const;
  void SetPattern(int pattern);
  bool IsLit(int light) const { return light >= 1 && light <= kLights && m_lit[light - 1] != 0; }
  // The least number of clicks still needed in the current mode, -1 when none will do.
  int GetMovesRemaining() const;
  bool IsCelebrating() const { return m_celebrating != 0; }

 private:
  void AddSphere();
  void AddLightDiscs();
  void Recolour();
  void ShowColours(const int* lit);
  void StopCelebration();

  std::array<int, kLights> m_lit{};
  int m_celebrating = 0;
  CWnd* m_celebrationWnd = nullptr;
  int m_drainingClicks = 0;  // set while queued clicks are played
};
