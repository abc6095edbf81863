// The speedcubing key layout's turns on the cubes, as text in the game's move notation. The
// letters name layers as the player sees the cube (the notation's letters read the view), so
// a key turns the layer on the right whichever way the cube has been turned.
#pragma once

#include <string>

enum class ECubeMove { R, L, U, D, F, B, WideR, WideL, M, X, Y, Z };

// The turns of one move on a cube of the given size in the notation's letters (L l m r R,
// D d e u U, F f M b B): layers > 1 turns that many layers from the move's face, innerOnly only
// the layers-th layer. Empty where the cube has no such layer (the middle of the 2x2x2).
std::string CubeMoveText(ECubeMove move, bool prime, int size, int layers = 1, bool innerOnly = false);
