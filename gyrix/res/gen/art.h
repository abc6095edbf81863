// The drawings. Each function returns finished pictures; pictures.h turns them into bitmaps.
#pragma once

#include "pictures.h"

#include <vector>

// Small shading helpers shared by the drawings.
Shader Solid(Rgb c);
// A gradient from c0 at (x0, y0) to c1 at (x1, y1), flat beyond the ends.
Shader Linear(Rgb c0, float x0, float y0, Rgb c1, float x1, float y1);
// A radial gradient from c0 at the centre to c1 at radius r.
Shader Radial(Rgb c0, float cx, float cy, Rgb c1, float r);
// Fills a shape and draws its outline.
void FillOutlined(CPainter& p, const Shape& shape, const Shader& fill, Rgb outline, float width);

std::vector<Picture> PuzzlePictures();
std::vector<Picture> ClockPictures();
std::vector<Picture> CommandPictures();
// The program's icon, drawn to fill a square painter of any size (the desktop's icons).
void DrawIcon(CPainter& p);
Picture MessagePanel();
std::vector<Picture> DialogPictures();

// The background tile is drawn in two steps: its own picture first (the palette is chosen
// from it), then the palette's picture colours are placed on it as dew drops.
std::unique_ptr<CPainter> TileBase();
void TileDib(const CPainter& base, CMasterPalette& palette, CDib& out);

// Smooth value noise in 0..1 that repeats every period pixels (period a power of two works
// best); octaves add finer detail at half the weight each.
float Noise(float x, float y, int period, float cell, int octaves = 3);
