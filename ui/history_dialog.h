// "History": the versions of one file across the archive's chapters, newest first, and what can
// be done with one of them. View keeps the dialog open; Extract to ... and Restore close it with
// the chosen version, and the view carries them out.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/chapter_versions.h"
#include "framework/modal_dialog.h"
#include "resources/resource.h"

class HistoryDialog : public ModalDialog {
public:
    HistoryDialog();

    // Inputs.
    std::string path;                   // the file's archive path
    std::vector<FileVersion> versions;  // newest first
    std::function<void(const FileVersion&)> view;
    std::function<void()> help;

    // Result: the version chosen; the dialog ends with IDC_HISTORY_EXTRACT or IDC_HISTORY_RESTORE.
    int chosen = -1;

    HWND List() const { return ::GetDlgItem(Handle(), IDC_HISTORY_LIST); }

protected:
    bool OnInitDialog() override;
    bool OnCommand(UINT id, UINT code) override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;

private:
    int Selected() const;
};
