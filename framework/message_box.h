// Every message box of the program goes through PromptUser, so that a test can read the text
// and choose the answer. Types and answers are the platform's MB_ and ID values.
#pragma once

#include <functional>
#include <string>

namespace prompt {
// Message box types and answers, as the platform defines them (usable in portable code).
constexpr unsigned Ok = 0x0, OkCancel = 0x1, AbortRetryIgnore = 0x2, YesNoCancel = 0x3, YesNo = 0x4, RetryCancel = 0x5;
constexpr unsigned IconStop = 0x10, IconQuestion = 0x20, IconExclamation = 0x30, IconInformation = 0x40;
constexpr int IdOk = 1, IdCancel = 2, IdAbort = 3, IdRetry = 4, IdIgnore = 5, IdYes = 6, IdNo = 7;
// A question about one of many files: Yes, Yes to All, No, No to All and Cancel. The system's
// message box has no such buttons; our own box shows them.
constexpr unsigned YesAllNoAllCancel = 0xE;
constexpr int IdYesToAll = 40, IdNoToAll = 41;
}

struct PromptRequest {
    std::string text;
    std::string caption;
    unsigned type = 0;
};

// Shows a modal message box (caption: the application title unless given) and returns the
// button pressed.
int PromptUser(const std::string& text, unsigned type = prompt::Ok, const std::string& caption = std::string());

// A test answers every message box through this script instead of the screen; an empty
// function restores real message boxes. Without a screen (native builds) and without a script
// the box is written to standard error and answered with its first button.
using PromptScript = std::function<int(const PromptRequest&)>;
void SetPromptScript(PromptScript script);

// Told of every message box of the calling thread: once as it comes up (`shown` true) and once
// as it is answered. A thread's long task uses it to show that it waits for the user. An empty
// function watches nothing.
using PromptWatcher = std::function<void(const PromptRequest& request, bool shown)>;
void SetThreadPromptWatcher(PromptWatcher watcher);

// Message boxes shown on the calling thread belong to this window (an HWND) and come up in front
// of it, active: a worker thread has no active window of its own, and an ownerless or inactive
// box hides behind the main window or ignores the keyboard. nullptr goes back to the thread's
// active window.
void SetThreadPromptOwner(void* owner);

// The text as a message box shows it: a run without blanks longer than `width` bytes (a long
// path) is broken into lines, after a backslash where one is near, never inside a UTF-8
// character; the box would otherwise grow wider than the screen.
std::string WrapLongRuns(const std::string& text, size_t width = 100);
