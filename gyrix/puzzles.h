// The puzzle catalogue: CreatePuzzle, the table of puzzle types, the shared model builder and
// the puzzle families.
#pragma once

#include <gyrix/puzzles/bicube.h>
#include <gyrix/puzzles/builder.h>
#include <gyrix/puzzles/catalogue.h>
#include <gyrix/puzzles/cube.h>
#include <gyrix/puzzles/display.h>
#include <gyrix/puzzles/gem.h>
#include <gyrix/puzzles/octahedron.h>
#include <gyrix/puzzles/offcenter.h>
#include <gyrix/puzzles/orbix.h>
#include <gyrix/puzzles/pentagonal.h>
#include <gyrix/puzzles/pyramid.h>
#include <gyrix/puzzles/pyramorphix.h>
#include <gyrix/puzzles/schemes.h>
#include <gyrix/puzzles/siamese.h>
#include <gyrix/puzzles/squareone.h>
#include <gyrix/puzzles/skewb.h>
#include <gyrix/puzzles/slider.h>
#include <gyrix/puzzles/sphere.h>
