#include "framework/message_box.h"

#include <windows.h>

int PlatformMessageBox(const PromptRequest& request)
{
    // Owned by the active window of this thread, as the framework's own message boxes are.
    HWND owner = GetActiveWindow();
    return MessageBoxA(owner, request.text.c_str(), request.caption.c_str(), request.type | MB_TASKMODAL * (owner == nullptr));
}
