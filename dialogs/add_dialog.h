// The Add dialog: archive name, action, compression, paths, directory in the archive, spanning,
// comments, list-only and custom command lines. One object lives as long as the application so
// that every choice keeps its value between openings; compression, the archive-tree choice and
// the pool of command lines are its saved part (AddSettings).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "dialogs/add_command.h"
#include "dialogs/add_settings.h"
#include "framework/modal_dialog.h"

class CTorvexDoc;
struct DirectoriesSettings;

class AddDialog : public ModalDialog, public AddSettings {
public:
    AddDialog();

    // Handed over once by the application.
    DirectoriesSettings* directories = nullptr;  // tempDir, tempEdit, addLast
    HIMAGELIST smallIcons = nullptr;             // 0 closed folder, 1 open folder
    // Opens the manual at the dialog's topic; the button does nothing without it.
    std::function<void()> showHelp;

    bool interactiveComment = false;
    bool filesListAvailable = true;
    bool dropMode = false;
    std::string commandLine;
    CTorvexDoc* document = nullptr;
    std::string archiveName;
    bool useCommandLine = false;
    bool formatDisk = false;
    PathOption pathOption = PathOption::Partial;
    std::string pathInArchive;
    bool spanArchive = false;
    std::string volumeSize = kAutoDetectVolume;
    bool wipeDisk = false;
    int action = 0;
    bool listFileOnly = false;
    bool useFilesList = false;
    std::string archiveComment;
    std::string chapterComment;
    bool commentArchive = false;
    bool commentChapter = false;
    // The comment files written while the dialog was open (by OK or Edit ...): the add removes
    // them after its run, a Cancel at once.
    std::vector<std::string> commentFiles;

    // The machine as the builder sees it: settings, system temporary folder, drive types.
    AddCommandEnvironment Environment() const;

protected:
    bool OnInitDialog() override;
    bool OnCommand(UINT id, UINT code) override;
    void OnOK() override;
    void OnCancel() override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;

private:
    void UpdateSpanControls();
    void ApplyTreeRule();
    void FillTree(const std::string& archive);
    void OnBrowse();
    void OnEditCommandLine();
    void CreateToolTips();
    // The controls' present state as builder input (the fields stay as they are).
    AddChoices ChoicesFromControls() const;
    void RememberCommentFiles(const AddCommand& built);

    bool initializing_ = false;
    // The tips wake on the first real mouse move: a dialog opening under a resting cursor
    // would otherwise cover its neighbours with the tip of whatever lies there.
    HWND tips_ = nullptr;
    POINT cursorAtOpening_{};
};

// GetDriveType of a root ("" for the current drive).
bool IsFixedDrive(const std::string& root);
bool IsRemovableDrive(const std::string& root);
