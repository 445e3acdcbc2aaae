#include "framework/message_box.h"

#include <cstdio>
#include <mutex>

// The platform's own message box; defined by the Windows layer.
int PlatformMessageBox(const PromptRequest& request);

namespace {
std::mutex promptMutex;
PromptScript promptScript;
const std::string promptCaption = "Torvex";

#ifndef _WIN32
int FirstButton(unsigned type)
{
    switch (type & 0xF) {
    case prompt::AbortRetryIgnore: return prompt::IdAbort;
    case prompt::YesNoCancel:
    case prompt::YesNo: return prompt::IdYes;
    case prompt::RetryCancel: return prompt::IdRetry;
    default: return prompt::IdOk;
    }
}
#endif
} // namespace

int PromptUser(const std::string& text, unsigned type, const std::string& caption)
{
    PromptRequest request{text, caption, type};
    PromptScript script;
    {
        std::lock_guard<std::mutex> lock(promptMutex);
        if (request.caption.empty())
            request.caption = promptCaption;
        script = promptScript;
    }
    if (script)
        return script(request);
#ifdef _WIN32
    return PlatformMessageBox(request);
#else
    std::fprintf(stderr, "[%s] %s\n", request.caption.c_str(), request.text.c_str());
    return FirstButton(type);
#endif
}

void SetPromptScript(PromptScript script)
{
    std::lock_guard<std::mutex> lock(promptMutex);
    promptScript = std::move(script);
}

