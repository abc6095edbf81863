// Dialog templates of the game: the main window (102) and the about box (144).
#pragma once

#include <platform/dialog.h>

constexpr UINT IDD_GYRIX_MAIN = 102;
constexpr UINT IDD_GYRIX_ABOUT = 144;

// Controls of the about box.
constexpr int IDC_ABOUT_VERSION = 1000;
constexpr int IDC_ABOUT_MAIL = 1001;
constexpr int IDC_ABOUT_WEB = 1002;

extern const DialogTemplate kMainWindowTemplate;
extern const DialogTemplate kAboutTemplate;

// Makes the templates known to the dialog layer. Called by the windows that use them, so that
// a static library holding the tables is never dropped by the linker; calling twice is harmless.
void RegisterGyrixTemplates();
