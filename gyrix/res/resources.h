// The program's bitmaps. They are drawn by the resource generator at build time and compiled
// into the program; RegisterGyrixResources makes them loadable with CDib::Load(nullptr, id).
#pragma once

#include <platform/types.h>

// Registers the program's bitmaps under the program's module (a null HINSTANCE). Safe to call
// more than once; call it at start-up before loading any bitmap.
void RegisterGyrixResources();

namespace gyrix_res {

// Command pictures, 64 x 64 (the challenge banner 79 x 33).
constexpr int kSolvedCube = 135;
constexpr int kScrambledCube = 136;
constexpr int kSaveDisk = 148;
constexpr int kOpenFolder = 149;
constexpr int kBackFolder = 157;
constexpr int kOptions = 165;
constexpr int kChallenge = 178;
constexpr int kStatistics = 210;
constexpr int kSolveWand = 211;

// The solve clock: digits 0..9 at kDigitZero + d (25 x 32) and the colon (10 x 32). Their ink
// is palette index kClockInk, on the transparent cyan.
constexpr int kDigitZero = 167;
constexpr int kColon = 177;
constexpr int kClockInk = 249;

constexpr int kMessagePanel = 166;  // 337 x 355 parchment scroll

constexpr int kIcon = 128;          // 32 x 32 on the transparent cyan
constexpr int kLinkCursor = 145;    // 32 x 32 hand on the transparent cyan
constexpr int kLinkCursorHotX = 9;  // the tip of the pointing finger
constexpr int kLinkCursorHotY = 1;

// Options dialog: browse button (3 states of 23 x 22), colour button face (3 states of
// 72 x 32), colour popup (158 x 47). These three are opaque.
constexpr int kBrowseButton = 159;
constexpr int kColourButton = 162;
constexpr int kColourPopup = 164;

// The transparent background of every picture: cyan, standard palette index 254.
constexpr int kTransparentIndex = 254;

// The bitmap of each puzzle type 0..36 (its button picture and menu leaf id).
constexpr int kPuzzleBitmap[37] = {138, 139, 140, 141, 137, 144, 151, 147, 152, 153,
                                   154, 156, 155, 161, 179, 180, 181, 182, 184, 185,
                                   186, 187, 188, 189, 190, 191, 192, 193, 194, 195,
                                   196, 197, 198, 202, 203, 199, 201};

}  // namespace gyrix_res
