// What the Delete dialog offers as it opens, decided apart from the window.
#pragma once

// The dialog's three choices, in the order of its radio buttons.
enum class DeleteWhat { Selected, FilesList, Chapters };

struct DeleteDialogStart {
    DeleteWhat deleteWhat = DeleteWhat::Selected;
    bool selectedEnabled = true;
    bool filesListEnabled = true;
    bool inAllChaptersEnabled = true;
};
DeleteDialogStart DecideDeleteDialogStart(bool filesListHasItems, bool realSelection);
