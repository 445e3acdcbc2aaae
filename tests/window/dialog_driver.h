// Drives the modal dialogs a test opens on its own thread, as a user would: each step waits for a
// visible dialog with its caption and acts on it once. Acts post their clicks and keys, so a
// dialog they open in turn is driven by the next step. At the deadline every dialog of the thread
// still open is cancelled, so a test fails instead of hanging.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace viewtest {

class DialogDriver {
public:
    using Act = std::function<void(HWND dialog)>;
    explicit DialogDriver(int deadlineMs = 15000);
    ~DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    // Adds a step: the next dialog captioned `caption` gets `act`, once `ready` holds (when given).
    DialogDriver& Then(const std::string& caption, Act act, std::function<bool()> ready = {});
    // Steps done so far.
    int Done() const { return done_; }
    bool AllDone() const { return done_ == (int)steps_.size(); }

    // Posted as a user's click on a dialog's button.
    static void Click(HWND dialog, int id);
    static std::string Text(HWND dialog, int id);
    static bool Enabled(HWND dialog, int id);

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void Step();

    struct StepEntry {
        std::string caption;
        Act act;
        std::function<bool()> ready;
    };
    std::vector<StepEntry> steps_;
    int done_ = 0;
    DWORD deadline_;
    UINT_PTR timer_ = 0;
};

} // namespace viewtest
