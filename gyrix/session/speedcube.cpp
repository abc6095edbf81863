// Moves of the speedcubing layout spelled in the game's move notation.
#include <gyrix/session/speedcube.h>

#include <vector>

namespace {

// The notation's three groups of five letters, each from its first face to the opposite one.
constexpr const char* kGroups[3] = {"LlmrR", "DdeuU", "FfMbB"};

// Where each letter of a group sits, counted from the group's first face (1..size).
int LetterPosition(int letter, int size) {
  const int positions[5] = {1, 2, size / 2 + 1, size - 1, size};
  return positions[letter];
}

// Whether the letter turns as the group's first face does (L, D, F) or as the opposite one.
bool TurnsWithFirstFace(int group, int letter) {
  if (group == 0 && letter == 2) return false;  // m turns with R
  return letter <= 2;
}

// The letter that turns the layer at position (from the group's first face) in the sense of
// the first face (withFirst) or of the opposite one.
std::string LayerText(int group, int position, bool withFirst, int size) {
  for (int letter = 0; letter < 5; ++letter) {
    if (LetterPosition(letter, size) != position) continue;
    std::string text(1, kGroups[group][letter]);
    if (TurnsWithFirstFace(group, letter) != withFirst) text += '\'';
    return text;
  }
  return std::string();
}

struct MoveShape {
  int group;
  bool fromFirst;   // the move's own layers are counted from the group's first face
  bool withFirst;   // the move turns as the first face does
  bool wide;        // the face and the layer next to it
  bool middle;      // every layer but the two faces
  bool whole;       // every layer: the whole cube
};

MoveShape ShapeOf(ECubeMove move) {
  switch (move) {
    case ECubeMove::R: return {0, false, false, false, false, false};
    case ECubeMove::L: return {0, true, true, false, false, false};
    case ECubeMove::U: return {1, false, false, false, false, false};
    case ECubeMove::D: return {1, true, true, false, false, false};
    case ECubeMove::F: return {2, true, true, false, false, false};
    case ECubeMove::B: return {2, false, false, false, false, false};
    case ECubeMove::WideR: return {0, false, false, true, false, false};
    case ECubeMove::WideL: return {0, true, true, true, false, false};
    case ECubeMove::M: return {0, true, true, false, true, false};  // M turns as L does
    case ECubeMove::X: return {0, false, false, false, false, true};
    case ECubeMove::Y: return {1, false, false, false, false, true};
    case ECubeMove::Z: return {2, true, true, false, false, true};
  }
  return {0, false, false, false, false, false};
}

}  // namespace

std::string CubeMoveText(ECubeMove move, bool prime, int size, int layers, bool innerOnly) {
  if (size < 2) return std::string();
  const MoveShape shape = ShapeOf(move);
  // Depths from the move's face: 1 is the face itself.
  std::vector<int> depths;
  if (shape.whole) {
    for (int d = 1; d <= size; ++d) depths.push_back(d);
  } else if (shape.middle) {
    for (int d = 2; d < size; ++d) depths.push_back(d);
  } else {
    const int deep = shape.wide ? 2 : layers;
    if (deep < 1 || deep > size) return std::string();
    if (innerOnly) depths.push_back(deep);
    else
      for (int d = 1; d <= deep; ++d) depths.push_back(d);
  }
  const bool withFirst = shape.withFirst != prime;
  std::string text;
  for (int depth : depths) {
    const int position = shape.fromFirst ? depth : size + 1 - depth;
    text += LayerText(shape.group, position, withFirst, size);
    text += ' ';
  }
  if (!text.empty()) text.pop_back();
  return text;
}
