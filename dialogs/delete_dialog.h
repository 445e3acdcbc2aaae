// The Delete dialog: files from the last chapter or from all chapters, or whole chapters. It
// builds the archiver's argument text; the delete operation runs it.
#pragma once

#include <functional>
#include <string>

#include "dialogs/delete_choices.h"
#include "engine/archive_catalogue.h"
#include "framework/modal_dialog.h"

class DeleteDialog : public ModalDialog {
public:
    DeleteDialog() : ModalDialog(182) {}

    // Result: the argument text (" d -r- -y ...", " da -y ...", " dc ...").
    std::string command;
    // What the dialog reads from the view (set by the caller).
    const ArchiveCatalogue* catalogue = nullptr;
    int shownChapter = 0;
    bool filesListHasItems = false;
    bool realSelection = false;
    // Gathers the chosen files (the selection or the files list) and writes the delete list
    // file; its name, or empty when it could not be written (the caller has said why).
    std::function<std::string(DeleteWhat deleteWhat)> writeDeleteList;
    std::function<void()> showHelp;

    bool inAllChapters = false;
    DeleteWhat deleteWhat = DeleteWhat::Selected;
    // Set by OK: chapters were deleted or files deleted in all chapters.
    bool chaptersChanged = false;
    // The list file OK wrote; empty for chapter deletion.
    std::string listFile;

protected:
    bool OnInitDialog() override;
    bool OnCommand(UINT id, UINT code) override;
    void OnOK() override;
};
