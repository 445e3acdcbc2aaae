#include "framework/message_box.h"

#include <windows.h>

namespace {
thread_local HWND threadOwner = nullptr;
}

void SetThreadPromptOwner(void* owner)
{
    threadOwner = static_cast<HWND>(owner);
}

int PlatformMessageBox(const PromptRequest& request)
{
    // Owned by the active window of this thread, as the framework's own message boxes are,
    // unless the thread named its owner.
    HWND owner = threadOwner && IsWindow(threadOwner) ? threadOwner : GetActiveWindow();
    std::string text = WrapLongRuns(request.text);
    return MessageBoxA(owner, text.c_str(), request.caption.c_str(), request.type | MB_TASKMODAL * (owner == nullptr));
}
