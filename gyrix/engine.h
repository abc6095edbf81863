// The puzzle engine: fixed-point geometry, the polygon model and the puzzle base class with
// its turns, history, solve clock and puzzle file.
#pragma once

#include <gyrix/engine/fixed.h>
#include <gyrix/engine/polymodel.h>
#include <gyrix/engine/puzzle.h>
#include <gyrix/engine/planecut.h>
#include <gyrix/engine/canvas.h>
#include <gyrix/engine/symbols.h>
