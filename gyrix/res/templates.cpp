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
    {DialogItemKind::Label, IDC_STATIC, "Help:", 7, 32, 20, 8},
    {DialogItemKind::Label, IDC_STATIC, "The latest information on this program can be seen at: ", 7, 48, 180, 9},
    {DialogItemKind::Label, IDC_STATIC, "Version: ", 7, 80, 28, 8},
    {DialogItemKind::Label, IDC_ABOUT_VERSION, "", 35, 80, 18, 8},
    {DialogItemKind::Label, IDC_ABOUT_KEYS, "Keys and buttons", 30, 32, 89, 8, SS_NOTIFY},
    {DialogItemKind::Label, IDC_ABOUT_WEB, "The Gyrix help pages (on this computer)", 7, 58, 174, 8, SS_NOTIFY},
};

using K = DialogItemKind;
const DialogItemTemplate kOptionsItems[] = {
    {K::OwnerDrawButton, 1010, "Button1", 7, 0, 50, 14, WS_TABSTOP},
    {K::OwnerDrawButton, 1011, "Button2", 62, 0, 50, 14, WS_TABSTOP},
    {K::OwnerDrawButton, 1012, "Button3", 7, 18, 50, 14, WS_TABSTOP},
    {K::OwnerDrawButton, 1013, "Button4", 62, 18, 50, 14, WS_TABSTOP},
    {K::OwnerDrawButton, 1014, "Button5", 7, 36, 50, 14, WS_TABSTOP},
    {K::OwnerDrawButton, 1015, "Button6", 62, 36, 50, 14, WS_TABSTOP},
    {K::OwnerDrawButton, 1016, "Button7", 7, 54, 50, 14, WS_TABSTOP},
    {K::OwnerDrawButton, 1017, "Button8", 62, 54, 50, 14, WS_TABSTOP},
    {K::OwnerDrawButton, 1018, "Button9", 7, 72, 50, 14, WS_TABSTOP},
    {K::OwnerDrawButton, 1019, "Button10", 62, 72, 50, 14, WS_TABSTOP},
    {K::PushButton, 1028, "Scheme: Classic", 117, 72, 87, 14, WS_TABSTOP},
    {K::CheckBox, 1022, "Show &Buttons", 7, 93, 60, 10, WS_TABSTOP},
    {K::CheckBox, 1024, "Show &Timer", 7, 106, 53, 10, WS_TABSTOP},
    {K::Label, IDC_STATIC, "&Anim Speed:", 9, 121, 41, 8},
    {K::Edit, 1026, "", 54, 119, 26, 14, WS_TABSTOP},
    {K::CheckBox, 1029, "&Symbols on facelets", 7, 134, 78, 10, WS_TABSTOP},
    {K::OwnerDrawButton, 1020, "Bkgrnd", 7, 145, 50, 14, WS_TABSTOP},
    {K::OwnerDrawButton, 1021, "Timer", 7, 163, 50, 14, WS_TABSTOP},
    {K::Label, 1027, "Tile hides Bkgrnd.", 7, 183, 78, 8},
    {K::Label, IDC_STATIC, "&Tile:", 7, 194, 14, 8},
    {K::Edit, 1007, "", 7, 204, 179, 14, WS_TABSTOP},
    {K::OwnerDrawButton, 1009, "", 191, 204, 13, 14, WS_TABSTOP},
    {K::CheckBox, 1030, "Smooth &edges", 7, 223, 62, 10, WS_TABSTOP},
    {K::Label, IDC_STATIC, "Preview:", 88, 92, 28, 8},
    {K::SunkenStatic, 1005, "", 88, 103, 116, 89},
    {K::DefPushButton, IDOK, "OK", 154, 4, 50, 14, WS_TABSTOP},
    {K::PushButton, IDCANCEL, "Cancel", 154, 20, 50, 14, WS_TABSTOP},
    {K::PushButton, 1100, "&About", 154, 36, 50, 14, WS_TABSTOP},
    {K::PushButton, 9, "&Help", 154, 52, 50, 14, WS_TABSTOP},
    {K::PushButton, 1101, "&Keys...", 154, 68, 50, 14, WS_TABSTOP},
};

}  // namespace

const DialogTemplate kMainWindowTemplate = {
    318, 260, "Gyrix", "MS Sans Serif", 8, kMainStyle, WS_EX_APPWINDOW, nullptr, 0};

const DialogTemplate kAboutTemplate = {
    194, 95, "About Gyrix", "MS Sans Serif", 8, WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
    0, kAboutItems, static_cast<int>(std::size(kAboutItems))};

const DialogTemplate kOptionsTemplate = {
    211, 239, "Options", "MS Sans Serif", 8, WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
    0, kOptionsItems, static_cast<int>(std::size(kOptionsItems))};

void RegisterGyrixTemplates() {
  RegisterDialogTemplate(IDD_GYRIX_OPTIONS, &kOptionsTemplate);
  RegisterDialogTemplate(IDD_GYRIX_MAIN, &kMainWindowTemplate);
  RegisterDialogTemplate(IDD_GYRIX_ABOUT, &kAboutTemplate);
}
