// "Find": looks for entries of the shown chapter or of every chapter by name pattern, size and
// date. The search runs on a thread of its own while the dialog stays live; what it finds shows
// as it is found, and Stop ends it. Go to (or Enter, or a double click on a result) closes the
// dialog with the chosen result.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "framework/modal_dialog.h"
#include "operations/find_rules.h"
#include "resources/resource.h"

class FindDialog : public ModalDialog {
public:
    FindDialog();
    ~FindDialog() override;

    // Inputs.
    int shownChapter = 0;
    // Runs the listing the query needs into the sink, on the search's thread; false when it
    // failed (reported) or was stopped.
    std::function<bool(const FindQuery&, FindSink&)> search;
    std::function<void()> help;
    // Kept between openings by the caller.
    std::string pattern = "*";
    bool allChapters = true;

    // Result after Go to (IDOK).
    FoundEntry chosen;

    bool Searching() const { return worker_.joinable() && !finished_; }
    HWND Results() const { return ::GetDlgItem(Handle(), IDC_FIND_RESULTS); }

protected:
    bool OnInitDialog() override;
    bool OnCommand(UINT id, UINT code) override;
    void OnCancel() override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;

private:
    void Start();
    void Stop();
    // Moves what the search found since the last call into the list.
    void ShowFound();
    void GoTo();
    void SetRunning(bool running);

    std::thread worker_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> finished_{false};
    bool stopped_ = false;
    std::mutex mutex_;
    std::vector<FoundEntry> pending_;
    std::vector<FoundEntry> shown_;
};
