// The puzzle catalogue: CreatePuzzle, the table of puzzle types and the puzzle families.
#pragma once

#include <gyrix/puzzles/catalogue.h>
#include <gyrix/puzzles/cube.h>
