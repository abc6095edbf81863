// The layouts of keys: the classic one, and on the cubes the speedcubing one, whose letters turn
// layers as the player sees the cube and whose displaced commands move to Ctrl+letter.
#include <gyrix/shell/puzzledlg.h>

#include <gyrix/session/speedcube.h>

namespace {

constexpr int kLargestCube = 3;  // type ids 0..3 are the cubes 2x2x2..5x5x5

bool IsCube(const CPuzzle* puzzle) { return puzzle && puzzle->GetTypeId() >= 0 && puzzle->GetTypeId() <= kLargestCube; }

struct CubeTurn {
  ECommand command;
  ECubeMove move;
  bool prime;
};

const CubeTurn kCubeTurns[] = {
    {ECommand::CubeR, ECubeMove::R, false},         {ECommand::CubeRPrime, ECubeMove::R, true},
    {ECommand::CubeL, ECubeMove::L, false},         {ECommand::CubeLPrime, ECubeMove::L, true},
    {ECommand::CubeU, ECubeMove::U, false},         {ECommand::CubeUPrime, ECubeMove::U, true},
    {ECommand::CubeD, ECubeMove::D, false},         {ECommand::CubeDPrime, ECubeMove::D, true},
    {ECommand::CubeF, ECubeMove::F, false},         {ECommand::CubeFPrime, ECubeMove::F, true},
    {ECommand::CubeB, ECubeMove::B, false},         {ECommand::CubeBPrime, ECubeMove::B, true},
    {ECommand::CubeWideR, ECubeMove::WideR, false}, {ECommand::CubeWideRPrime, ECubeMove::WideR, true},
    {ECommand::CubeWideL, ECubeMove::WideL, false}, {ECommand::CubeWideLPrime, ECubeMove::WideL, true},
    {ECommand::CubeM, ECubeMove::M, false},         {ECommand::CubeMPrime, ECubeMove::M, true},
    {ECommand::CubeX, ECubeMove::X, false},         {ECommand::CubeXPrime, ECubeMove::X, true},
    {ECommand::CubeY, ECubeMove::Y, false},         {ECommand::CubeYPrime, ECubeMove::Y, true},
    {ECommand::CubeZ, ECubeMove::Z, false},         {ECommand::CubeZPrime, ECubeMove::Z, true},
};

}  // namespace

bool CPuzzleDlg::IsSpeedcubeLayoutActive() const { return m_keyLayout == EKeyLayout::Speedcube && IsCube(GetPuzzle()); }

CUString CPuzzleDlg::PuzzleTitle() const {
  CUString title;
  CPuzzle* puzzle = GetPuzzle();
  if (!puzzle) return title;
  title = puzzle->GetTitle();
  if (IsSpeedcubeLayoutActive()) title += " - speedcubing keys";
  return title;
}

void CPuzzleDlg::ShowPuzzleTitle() {
  if (m_hWnd && GetPuzzle()) SetWindowText(PuzzleTitle());
}

ECommand CPuzzleDlg::CommandForKey(int key, int mods, int& layers, bool& innerOnly) const {
  layers = 1;
  innerOnly = false;
  if (!IsSpeedcubeLayoutActive()) return m_commandTable.Find(key, mods);
  // On the big cubes a number key held with a layer's key counts the layers from the face;
  // with Shift, only the layer that far in.
  const int size = GetPuzzle()->GetTypeId() + 2;
  for (int n = 2; n <= 4 && size >= 4; ++n)
    if (key != '0' + n && IsPressed('0' + n)) layers = n;
  int turnMods = mods;
  if (layers > 1 && (mods & kModShift)) {
    innerOnly = true;
    turnMods &= ~kModShift;
  }
  const ECommand turn = m_speedcubeTable.Find(key, turnMods);
  if (turn != ECommand::None) return turn;
  layers = 1;
  innerOnly = false;
  const ECommand command = m_commandTable.Find(key, mods);
  if (command != ECommand::None) return command;
  // A letter the layout took: its command answers to Ctrl and the letter.
  if ((mods & kModCtrl) && m_speedcubeTable.Find(key, mods & ~kModCtrl) != ECommand::None)
    return m_commandTable.Find(key, mods & ~kModCtrl);
  return ECommand::None;
}

void CPuzzleDlg::ToggleKeyLayout() {
  m_keyLayout = m_keyLayout == EKeyLayout::Speedcube ? EKeyLayout::Classic : EKeyLayout::Speedcube;
  SaveSettings();
  ShowPuzzleTitle();
  if (m_keyLayout == EKeyLayout::Speedcube && !IsCube(GetPuzzle()))
    m_message = "The speedcubing keys turn the cubes; this puzzle keeps the classic keys.";
  if (m_hWnd) Invalidate(FALSE);
}

void CPuzzleDlg::SpeedcubeTurn(ECommand command, int layers, bool innerOnly) {
  CPuzzle* puzzle = GetPuzzle();
  if (!IsCube(puzzle)) return;
  for (const CubeTurn& t : kCubeTurns) {
    if (t.command != command) continue;
    const std::string text = CubeMoveText(t.move, t.prime, puzzle->GetTypeId() + 2, layers, innerOnly);
    CUString problem;
    if (text.empty()) MessageBeep(0);
    else if (!m_session.ExecuteMacro(text.c_str(), ETurnSource::Key, &problem) && problem.GetLength() > 0)
      Error("%s", static_cast<const char*>(problem));
    break;
  }
  if (m_hWnd) Invalidate(FALSE);
}
