#include <cordak/clipboard.h>

// Installed once at start-up by the window-system layer, read on the
// user-interface thread.
static CUClipboardService* s_service = nullptr;

CUClipboardService* SetClipboardService(CUClipboardService* service)
{
    CUClipboardService* previous = s_service;
    s_service = service;
    return previous;
}

CUClipboardService* GetClipboardService()
{
    return s_service;
}
