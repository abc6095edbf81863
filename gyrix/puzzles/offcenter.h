// The OffCenter (type id 25): a cube cut by four planes, none of them through its centre. It
// is shown and recoloured but has no turns.
#pragma once

#include <gyrix/engine/planecut.h>

#include <vector>

class COffCenterPuzzle : public CPlaneCutPuzzle {
 public:
  explicit COffCenterPuzzle(int argument = 0);

 protected:
  void BuildSolvedFacelets() override;

 private:

  std::vector<std::vector<int>> m_faces;  // corner indices of each facelet, by id
  std::vector<int> m_colours;             // solved colour of each facelet, by id
};
