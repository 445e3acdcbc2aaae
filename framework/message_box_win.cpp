#include "framework/message_box.h"

#include <windows.h>

#include "framework/question_box.h"

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
    bool named = threadOwner && IsWindow(threadOwner);
    HWND owner = named ? threadOwner : GetActiveWindow();
    std::string text = WrapLongRuns(request.text);
    unsigned icon = request.type & MB_ICONMASK;
    if ((request.type & MB_TYPEMASK) == prompt::YesAllNoAllCancel) {
        return ShowQuestionBox(owner, text, request.caption, icon,
                               {{IDYES, "&Yes"}, {prompt::IdYesToAll, "Yes to &All"}, {IDNO, "&No"},
                                {prompt::IdNoToAll, "N&o to All"}, {IDCANCEL, "Cancel"}});
    }
    // A box raised by a worker (whose thread named the main window) is brought to the front:
    // the worker's thread is not the one the user was typing to.
    UINT type = request.type | MB_TASKMODAL * (owner == nullptr) | MB_SETFOREGROUND * named;
    return MessageBoxA(owner, text.c_str(), request.caption.c_str(), type);
}
