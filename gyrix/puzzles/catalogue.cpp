#include <gyrix/puzzles/catalogue.h>

#include <gyrix/puzzles/bicube.h>
#include <gyrix/puzzles/cube.h>
#include <gyrix/puzzles/display.h>
#include <gyrix/puzzles/gem.h>
#include <gyrix/puzzles/octahedron.h>
#include <gyrix/puzzles/offcenter.h>
#include <gyrix/puzzles/orbix.h>
#include <gyrix/puzzles/pentagonal.h>
#include <gyrix/puzzles/pyramid.h>
#include <gyrix/puzzles/pyramorphix.h>
#include <gyrix/puzzles/siamese.h>
#include <gyrix/puzzles/skewb.h>
#include <gyrix/puzzles/slider.h>
#include <gyrix/puzzles/squareone.h>
#include <gyrix/puzzles/sphere.h>

#include <cstring>

namespace {

template <class T>
CPuzzle* Make(int argument) {
  return new T(argument);
}

// The types, by id. A family joins by filling in its create function.
const CPuzzleType kTypes[kPuzzleTypeCount] = {
    {0, "Cube(2x2x2)", "CCubePuzzle", 2, 24, 7, 5.0f, "6 x 15 = 90", 0, Make<CCubePuzzle>},
    {1, "Cube(3x3x3)", "CCubePuzzle", 3, 54, 7, 15.0f, "6 x 15 = 90", 0, Make<CCubePuzzle>},
    {2, "Cube(4x4x4)", "CCubePuzzle", 4, 96, 7, 10.0f, "6 x 15 = 90", 0, Make<CCubePuzzle>},
    {3, "Cube(5x5x5)", "CCubePuzzle", 5, 150, 7, 25.0f, "6 x 15 = 90", 0, Make<CCubePuzzle>},
    {4, "Pyramid", "CPyramidPuzzle", -1, 36, 5, 26.0f, "6 x 20 = 120", 0, Make<CPyramidPuzzle>},
    {5, "Sphere", "CSpherePuzzle", -1, 128, 9, 3.5f, "turns 1-4: 3 x 15 = 45; others: 6 x 30 = 180", 0,
     Make<CSpherePuzzle>},
    {6, "Skewb", "CSkewbPuzzle", -1, 30, 7, 5.0f, "6 x 20 = 120", 0, Make<CSkewbPuzzle>},
    {7, "Dodecahedron", "CDodecahedronPuzzle", -1, 132, 7, 3.0f, "4 x 18 = 72", 0, Make<CDodecahedronPuzzle>},
    {8, "Icosahedron", "CIcosahedronPuzzle", -1, 120, 7, 3.5f, "4 x 18 = 72", 0, Make<CIcosahedronPuzzle>},
    {9, "Octahedron(Size2)", "COctahedronPuzzle", 2, 32, 9, 3.0f, "mode 1: 5 x 18 = 90; otherwise 6 x 20 = 120",
     2, Make<COctahedronPuzzle>},
    {10, "Octahedron(Size3)", "COctahedronPuzzle", 3, 72, 9, 3.0f, "mode 1: 5 x 18 = 90; otherwise 6 x 20 = 120",
     2, Make<COctahedronPuzzle>},
    {11, "PentUltimate", "CPentUltimatePuzzle", -1, 72, 7, 3.0f, "4 x 18 = 72", 0, Make<CPentUltimatePuzzle>},
    {12, "Star", "CStarPuzzle", -1, 60, 7, 3.5f, "4 x 18 = 72", 0, Make<CStarPuzzle>},
    {13, "Orbix", "COrbixPuzzle", -1, 128, 3, 3.5f, "no animation", 4, Make<COrbixPuzzle>},
    {14, "SquareOne", "CSquareOnePuzzle", -1, 66, 7, 15.0f,
     "turns 2 and 4: 15 degrees per frame, frames from the shape; others: 9 x 20 = 180", 0, Make<CSquareOnePuzzle>},
    {15, "Pyramorphix", "CPyramorphixPuzzle", -1, 16, 5, 26.0f, "6 x 15 = 90", 0, Make<CPyramorphixPuzzle>},
    {16, "XCube", "CXCubePuzzle", -1, 24, 7, 5.0f, "6 x 20 = 120", 0, Make<CXCubePuzzle>},
    {17, "BiCube", "CBiCubePuzzle", -1, 34, 7, 15.0f, "6 x 15 = 90", 0, Make<CBiCubePuzzle>},
    {18, "OctaStar", "COctaStarPuzzle", -1, 48, 9, 3.0f, "-", 0, Make<COctaStarPuzzle>},
    {19, "Siamese", "CSiamesePuzzle", -1, 94, 9, 25.0f, "6 x 15 = 90", 0, Make<CSiamesePuzzle>},
    {20, "Tricosa", "CTricosaPuzzle", -1, 60, 11, 3.5f, "-", 0, Make<CTricosaPuzzle>},
    {21, "Barrel", "CBarrelPuzzle", -1, 42, 11, 15.0f, "-", 0, Make<CBarrelPuzzle>},
    {22, "DiagonalCube", "CDiagonalCubePuzzle", -1, 54, 7, 5.0f, "-", 0, Make<CDiagonalCubePuzzle>},
    {23, "Tetra", "CTetraPuzzle", -1, 28, 5, 20.0f, "-", 0, Make<CTetraPuzzle>},
    {24, "TetOcta", "CTetOctaPuzzle", -1, 56, 9, 3.0f, "-", 0, Make<CTetOctaPuzzle>},
    {25, "OffCenter", "COffCenterPuzzle", -1, 36, 7, 5.0f, "-", 0, Make<COffCenterPuzzle>},
    {26, "SuperX", "CSuperXPuzzle", -1, 48, 7, 5.0f, "-", 0, Make<CSuperXPuzzle>},
    {27, "TetraStar", "CTetraStarPuzzle", -1, 48, 5, 26.0f, "-", 0, Make<CTetraStarPuzzle>},
    {28, "Gem", "CGemPuzzle", -1, 14, 9, 6.0f, "6 x 10 = 60", 0, Make<CGemPuzzle>},
    {29, "Slider", "CSliderPuzzle", -1, 256, 9, 3.5f,
     "11 degrees per frame; 4, 8, 12 or 16 frames for turns 1-4, 5-8, 9-12, 13-16; 3 frames from turn 17", 2,
     Make<CSliderPuzzle>},
    {30, "Triangle", "CPolygonPuzzle", 3, 41, 6, 1.0f, "-", 0, Make<CPolygonPuzzle>},
    {31, "Pentagon", "CPolygonPuzzle", 5, 67, 8, 1.0f, "-", 0, Make<CPolygonPuzzle>},
    {32, "Hexagon", "CPolygonPuzzle", 6, 80, 9, 1.0f, "-", 0, Make<CPolygonPuzzle>},
    {33, "Octagon", "CPolygonPuzzle", 8, 106, 11, 1.0f, "-", 0, Make<CPolygonPuzzle>},
    {34, "Diamond", "COctahedronPuzzle", 1, 8, 9, 3.0f, "mode 1: 5 x 18 = 90; otherwise 6 x 20 = 120", 2,
     Make<COctahedronPuzzle>},
    {35, "Ultimate", "CUltimatePuzzle", -1, 28, 5, 1.0f, "-", 0, Make<CUltimatePuzzle>},
    {36, "Crystal", "CCrystalPuzzle", -1, 28, 5, 20.0f, "-", 0, Make<CCrystalPuzzle>},
};

// Palettes by class, index 0 (the inside of the puzzle) first.
const COLORREF kCubePalette[] = {0x808080, 0x00FF00, 0xFF00FF, 0x00FFFF, 0x0000FF, 0x0080FF, 0xFF0000};
const COLORREF kPyramidPalette[] = {0x808080, 0x00FFFF, 0xFF0000, 0x0000FF, 0x00FF00};
const COLORREF kPyramorphixPalette[] = {0x808080, 0x00FFFF, 0x0000FF, 0x00FF00, 0xFF0000};
const COLORREF kSpherePalette[] = {0x808080, 0x0000FF, 0x0080FF, 0x00FFFF, 0x00FF00,
                                   0xFFFF00, 0xFF0000, 0x800080, 0xFF00FF};
const COLORREF kSkewbPalette[] = {0x808080, 0x0000FF, 0x00FFFF, 0x00FF00, 0x0080FF, 0xFF0000, 0xFF00FF};
const COLORREF kDodecahedronPalette[] = {0x808080, 0xFF00FF, 0x0080FF, 0x00FFFF, 0x0000FF, 0x00FF00, 0xFF0000};
const COLORREF kOctahedronPalette[] = {0x808080, 0x0000FF, 0x00FF00, 0xFFFF00, 0xFF0000,
                                       0xFF00FF, 0x800080, 0x0080FF, 0x00FFFF};
const COLORREF kOctaStarPalette[] = {0x808080, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x0080FF,
                                     0x00FF00, 0xFF0000, 0x800080, 0x00FFFF};
const COLORREF kOrbixPalette[] = {0x000000, 0x000080, 0x0000FF};
const COLORREF kSquareOnePalette[] = {0x808080, 0xFFFFFF, 0x0000FF, 0x00FFFF, 0x0080FF, 0x00FF00, 0xFF0000};
const COLORREF kXCubePalette[] = {0x808080, 0x0000FF, 0x00FFFF, 0xFF0000, 0x0080FF, 0x00FF00, 0xFF00FF};
const COLORREF kBiCubePalette[] = {0x808080, 0x0000FF, 0x0080FF, 0x00FF00, 0xFF0000, 0x00FFFF, 0xFF00FF};
const COLORREF kSiamesePalette[] = {0x808080, 0xFF00FF, 0x0080FF, 0x0000FF, 0x00FFFF,
                                    0x00FF00, 0xFF0000, 0x800080, 0xFFFFFF};
const COLORREF kTricosaPalette[] = {0x808080, 0x000080, 0xFFFFFF, 0x00FFFF, 0x0000FF, 0x800080,
                                    0xFF0000, 0x00FF00, 0x0080FF, 0xFFFF00, 0xFF00FF};
const COLORREF kBarrelPalette[] = {0x808080, 0xFF0000, 0xFFFFFF, 0xFF00FF, 0x000080, 0x800080,
                                   0xFFFF00, 0x0080FF, 0x00FFFF, 0x0000FF, 0x00FF00};
const COLORREF kDiagonalCubePalette[] = {0x808080, 0x0080FF, 0x00FFFF, 0x0000FF, 0xFF0000, 0xFF00FF, 0x00FF00};
const COLORREF kOffCenterPalette[] = {0x808080, 0x0080FF, 0x00FF00, 0xFF00FF, 0xFF0000, 0x0000FF, 0x00FFFF};
const COLORREF kSuperXPalette[] = {0x808080, 0x0000FF, 0x0080FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF};
const COLORREF kGemPalette[] = {0x808080, 0x800080, 0xFF0000, 0x0000FF, 0x00FF00,
                                0xFF00FF, 0x0080FF, 0x00FFFF, 0xFFFF00};
const COLORREF kSliderPalette[] = {0x000000, 0x00FFFF, 0x0000FF, 0xFF0000, 0x00FF00,
                                   0x0080FF, 0x800080, 0xFF00FF, 0xFFFFFF};
// A polygon of n sides takes the inside grey and the last n + 2 of these.
const COLORREF kPolygonColours[] = {0x808080, 0x000080, 0xFFFFFF, 0x800080, 0xFF00FF, 0xFFFF00,
                                    0x00FF00, 0xFF0000, 0x0000FF, 0x0080FF, 0x00FFFF};

struct ClassPalette {
  const char* className;
  const COLORREF* colours;
  int count;
};

#define PALETTE(cls, array) {cls, array, static_cast<int>(sizeof(array) / sizeof(array[0]))}
const ClassPalette kPalettes[] = {
    PALETTE("CCubePuzzle", kCubePalette),
    PALETTE("CPyramidPuzzle", kPyramidPalette),
    PALETTE("CTetraPuzzle", kPyramidPalette),
    PALETTE("CCrystalPuzzle", kPyramidPalette),
    PALETTE("CUltimatePuzzle", kPyramidPalette),
    PALETTE("CPyramorphixPuzzle", kPyramorphixPalette),
    PALETTE("CTetraStarPuzzle", kPyramorphixPalette),
    PALETTE("CSpherePuzzle", kSpherePalette),
    PALETTE("CSkewbPuzzle", kSkewbPalette),
    PALETTE("CDodecahedronPuzzle", kDodecahedronPalette),
    PALETTE("CIcosahedronPuzzle", kDodecahedronPalette),
    PALETTE("CPentUltimatePuzzle", kDodecahedronPalette),
    PALETTE("CStarPuzzle", kDodecahedronPalette),
    PALETTE("COctahedronPuzzle", kOctahedronPalette),
    PALETTE("COctaStarPuzzle", kOctaStarPalette),
    PALETTE("CTetOctaPuzzle", kOctaStarPalette),
    PALETTE("COrbixPuzzle", kOrbixPalette),
    PALETTE("CSquareOnePuzzle", kSquareOnePalette),
    PALETTE("CXCubePuzzle", kXCubePalette),
    PALETTE("CBiCubePuzzle", kBiCubePalette),
    PALETTE("CSiamesePuzzle", kSiamesePalette),
    PALETTE("CTricosaPuzzle", kTricosaPalette),
    PALETTE("CBarrelPuzzle", kBarrelPalette),
    PALETTE("CDiagonalCubePuzzle", kDiagonalCubePalette),
    PALETTE("COffCenterPuzzle", kOffCenterPalette),
    PALETTE("CSuperXPuzzle", kSuperXPalette),
    PALETTE("CGemPuzzle", kGemPalette),
    PALETTE("CSliderPuzzle", kSliderPalette),
};
#undef PALETTE

// Extra view rotations, applied after the base view reset.
const int kCornerView[3] = {-120, 130, -40};
const int kTetraStarAngles[3] = {300, -27, -125};

}  // namespace

const CPuzzleType* GetPuzzleType(int typeId) {
  return (typeId >= 0 && typeId < kPuzzleTypeCount) ? &kTypes[typeId] : nullptr;
}

bool IsPuzzleBuilt(int typeId) {
  const CPuzzleType* type = GetPuzzleType(typeId);
  return type && type->create;
}

std::vector<COLORREF> GetTypePalette(int typeId) {
  const CPuzzleType* type = GetPuzzleType(typeId);
  if (!type) return {};
  if (std::strcmp(type->className, "CPolygonPuzzle") == 0) {
    const int total = sizeof(kPolygonColours) / sizeof(kPolygonColours[0]);
    std::vector<COLORREF> palette{0x808080};
    palette.insert(palette.end(), kPolygonColours + total - (type->argument + 2), kPolygonColours + total);
    return palette;
  }
  for (const ClassPalette& p : kPalettes)
    if (std::strcmp(p.className, type->className) == 0) return std::vector<COLORREF>(p.colours, p.colours + p.count);
  return {};
}

void ApplyTypeLooks(CPuzzle& puzzle, int typeId) {
  const CPuzzleType* type = GetPuzzleType(typeId);
  if (!type) return;
  const std::vector<COLORREF> palette = GetTypePalette(typeId);
  puzzle.SetPalette(palette.data(), static_cast<int>(palette.size()));
  puzzle.SetModelSize(type->modelSize);
}

CPuzzle* CreatePuzzle(int typeId) {
  const CPuzzleType* type = GetPuzzleType(typeId);
  if (!type || !type->create) type = GetPuzzleType(kDefaultPuzzleType);
  return type->create(type->argument);
}

void ApplyCornerView(CPolyModel& model) {
  model.RotateViewX(kCornerView[0]);
  model.RotateViewY(kCornerView[1]);
  model.RotateViewZ(kCornerView[2]);
}

void ApplyTetraStarView(CPolyModel& model) {
  model.RotateViewX(kTetraStarAngles[0] - model.GetViewAngleX());
  model.RotateViewY(kTetraStarAngles[1] - model.GetViewAngleY());
  model.RotateViewZ(kTetraStarAngles[2] - model.GetViewAngleZ());
}
