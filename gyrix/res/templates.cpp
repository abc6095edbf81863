#include <gyrix/res/templates.h>

#include <iterator>

namespace {

// The main window has no controls: everything is drawn into its bitmap.
constexpr DWORD kMainStyle = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME |
                             WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

const DialogItemTemplate kAboutItems[] = {
    {DialogItemKind::DefPushButton, IDOK, "OK", 137, 74, 50, 14, WS_TABSTOP},
    {DialogItemKind::Label, IDC_STATIC, "Gyrix: A Collection of Sequential Movement Puzzles", 7, 7, 170, 8},
    {DialogItemKind::Label, IDC_STATIC, "The Gyrix project", 7, 22, 63, 8},
    {DialogItemKind::Label, IDC_STATIC, "Email:", 7, 32, 20, 8},
    {DialogItemKind::Label, IDC_STATIC, "The latest information on this program can be seen at: ", 7, 48, 180, 9},
    {DialogItemKind::Label, IDC_STATIC, "Version: ", 7, 80, 28, 8},
    {DialogItemKind::Label, IDC_ABOUT_VERSION, "", 35, 80, 18, 8},
    {DialogItemKind::Label, IDC_ABOUT_MAIL, "gyrix@gyrix.invalid", 30, 32, 89, 8, SS_NOTIFY},
    {DialogItemKind::Label, IDC_ABOUT_WEB, "The Gyrix help pages (on this computer)", 7, 58, 174, 8, SS_NOTIFY},
};

}  // namespace

const DialogTemplate kMainWindowTemplate = {
    318, 260, "Gyrix", "MS Sans Serif", 8, kMainStyle, WS_EX_APPWINDOW, nullptr, 0};

const DialogTemplate kAboutTemplate = {
    194, 95, "About Gyrix", "MS Sans Serif", 8, WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
    0, kAboutItems, static_cast<int>(std::size(kAboutItems))};

void RegisterGyrixTemplates() {
  RegisterDialogTemplate(IDD_GYRIX_MAIN, &kMainWindowTemplate);
  RegisterDialogTemplate(IDD_GYRIX_ABOUT, &kAboutTemplate);
}
