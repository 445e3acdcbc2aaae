#include "framework/message_box.h"

#include <cstdio>
#include <mutex>

// The platform's own message box; defined by the Windows layer.
int PlatformMessageBox(const PromptRequest& request);

namespace {
std::mutex promptMutex;
PromptScript promptScript;
const std::string promptCaption = "Torvex";
thread_local PromptWatcher threadWatcher;

// Tells the thread's watcher that a box is up, and that it is gone however the box ends.
struct WatchedPrompt {
    const PromptRequest& request;
    explicit WatchedPrompt(const PromptRequest& r) : request(r)
    {
        if (threadWatcher)
            threadWatcher(request, true);
    }
    ~WatchedPrompt()
    {
        if (threadWatcher)
            threadWatcher(request, false);
    }
};

#ifndef _WIN32
int FirstButton(unsigned type)
{
    switch (type & 0xF) {
    case prompt::AbortRetryIgnore: return prompt::IdAbort;
    case prompt::YesNoCancel:
    case prompt::YesAllNoAllCancel:
    case prompt::YesNo: return prompt::IdYes;
    case prompt::RetryCancel: return prompt::IdRetry;
    default: return prompt::IdOk;
    }
}
#endif
} // namespace

std::string WrapLongRuns(const std::string& text, size_t width)
{
    std::string out;
    size_t run = 0;        // bytes since the last blank or line break
    size_t lastSlash = 0;  // where in `out` a break after a backslash would go (0: none)
    for (char c : text) {
        bool blank = c == ' ' || c == '\t' || c == '\n' || c == '\r';
        bool continuation = (static_cast<unsigned char>(c) & 0xC0) == 0x80;
        if (!blank && !continuation && run >= width) {
            // Break after the run's last backslash when it keeps at least half a line.
            size_t at = lastSlash > 0 && out.size() - lastSlash < width / 2 ? lastSlash : out.size();
            out.insert(at, 1, '\n');
            run = out.size() - at - 1;
            lastSlash = 0;
        }
        out += c;
        if (blank) {
            run = 0;
            lastSlash = 0;
        } else {
            ++run;
            if (c == '\\')
                lastSlash = out.size();
        }
    }
    return out;
}

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
    WatchedPrompt watched(request);
    if (script)
        return script(request);
#ifdef _WIN32
    return PlatformMessageBox(request);
#else
    std::fprintf(stderr, "[%s] %s\n", request.caption.c_str(), request.text.c_str());
    return FirstButton(type);
#endif
}

void SetThreadPromptWatcher(PromptWatcher watcher)
{
    threadWatcher = std::move(watcher);
}

void SetPromptScript(PromptScript script)
{
    std::lock_guard<std::mutex> lock(promptMutex);
    promptScript = std::move(script);
}

