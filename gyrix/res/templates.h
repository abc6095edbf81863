// Dialog templates of the game: the main window (102), the about box (144) and the options
// dialog (154).
#pragma once

#include <platform/dialog.h>

constexpr UINT IDD_GYRIX_MAIN = 102;
constexpr UINT IDD_GYRIX_ABOUT = 144;
constexpr UINT IDD_GYRIX_OPTIONS = 154;

// Controls of the about box.
constexpr int IDC_ABOUT_VERSION = 1000;
constexpr int IDC_ABOUT_KEYS = 1001;
constexpr int IDC_ABOUT_WEB = 1002;

extern const DialogTemplate kMainWindowTemplate;
extern const DialogTemplate kAboutTemplate;
extern const DialogTemplate kOptionsTemplate;

// Controls of the options dialog.
constexpr int IDC_OPT_PREVIEW = 1005;
constexpr int IDC_OPT_TILE = 1007;
constexpr int IDC_OPT_BROWSE = 1009;
constexpr int IDC_OPT_SIDE1 = 1010;  // 1010..1019: the puzzle's side colours
constexpr int IDC_OPT_BACKGROUND = 1020;
constexpr int IDC_OPT_TIMER = 1021;
constexpr int IDC_OPT_SHOW_BUTTONS = 1022;
constexpr int IDC_OPT_SHOW_TIMER = 1024;
constexpr int IDC_OPT_ANIM_SPEED = 1026;
constexpr int IDC_OPT_TILE_NOTE = 1027;  // shown while a tile hides the background colour
constexpr int IDC_OPT_SCHEME = 1028;     // steps through the colour schemes
constexpr int IDC_OPT_SYMBOLS = 1029;    // symbols on facelets
constexpr int IDC_OPT_SMOOTH = 1030;     // smooth edges
constexpr int IDC_OPT_ABOUT = 1100;
constexpr int IDC_OPT_KEYS = 1101;  // opens the Keys dialog

// Makes the templates known to the dialog layer. Called by the windows that use them, so that
// a static library holding the tables is never dropped by the linker; calling twice is harmless.
void RegisterGyrixTemplates();
