// The clipboard service used by CUString::ToClipboard and FromClipboard.
//
// Cordak links no window system, so the window-system layer installs a service
// at start-up. With none installed the clipboard operations report failure.
#pragma once

class CUString;

class CUClipboardService
{
public:
    virtual ~CUClipboardService() = default;
    // Replace the clipboard's content with text; 1 on success, 0 on failure.
    virtual int PutText(char const* text) = 0;
    // The clipboard's plain text into text; 1 on success, 0 when there is no
    // text or the clipboard cannot be read (text is then left unchanged).
    virtual int GetText(CUString& text) = 0;
};

// Installs the service (not owned; null removes it) and returns the previous one.
CUClipboardService* SetClipboardService(CUClipboardService* service);
CUClipboardService* GetClipboardService();
