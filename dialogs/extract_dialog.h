// The Extract dialog: one object for the whole run (so every option keeps its value between
// openings), with the two history pools it loads at start-up and saves when the main window
// closes. The caller sets the input fields, runs it and, on OK, reads the result fields; it never
// runs the archiver itself.
#pragma once

#include <functional>
#include <string>

#include "dialogs/dialog_callbacks.h"
#include "dialogs/extract_settings.h"
#include "dialogs/extract_switches.h"
#include "framework/modal_dialog.h"

class ExtractDialog : public ModalDialog, public ExtractSettings {
public:
    ExtractDialog();

    // Inputs set by the caller before each opening.
    bool filesListAvailable = true;
    bool selectionAvailable = true;
    int currentChapter = 0;
    bool wholeArchiveMode = false;
    // helpDisabledOnce (ExtractSettings): Help is off for the next opening only.

    // The result: the built switches or the custom line, as it stands.
    std::string commandLine;

    bool useCommandLine = false;
    std::string directory;
    int extractWhat = extractopt::AllFiles;
    int updateMode = extractopt::UpdateNone;
    bool overwriteWithoutPrompting = true;
    bool listFileOnly = false;
    PathOption pathOption = PathOption::Partial;
    int updateCriterion = extractopt::NewerFiles;
    int chapterFrom = 1;
    bool extractChapters = false;
    std::string chapterTo;

    // Where the last extraction went (setting "extractLast"): the picker's start when the
    // directory is empty, and what OK records. Handed in by the owner.
    std::string* extractLast = nullptr;
    // Browse...: picks the directory; the button does nothing without it.
    FolderPicker pickFolder;
    // Help: by default the owner window's Help command (the caller sets the topic).
    std::function<void(HWND dialog)> onHelp;

    // The switches from the fields (what OK builds); `recurse`: names reach into subfolders.
    std::string BuildSwitches(bool recurse = false) const;

protected:
    bool OnInitDialog() override;
    bool OnCommand(UINT id, UINT code) override;
    void OnOK() override;

private:
    void RunChapterRules(bool fromChanged);
    void ApplyPathOptionRule();
    void UpdateEditButton();
    void OnBrowse();
    void OnEditCommandLine();
    void CreateToolTips();
    void RememberDirectoryInList(const std::string& folder);
    PathOption CheckedPathOption() const;
    int CheckedUpdateMode() const;

    bool initialising_ = false;
};
