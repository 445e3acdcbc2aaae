#include "dialogs/delete_choices.h"

DeleteDialogStart DecideDeleteDialogStart(bool filesListHasItems, bool realSelection)
{
    DeleteDialogStart start;
    if (filesListHasItems)
        start.deleteWhat = DeleteWhat::FilesList;
    else
        start.filesListEnabled = false;
    if (!realSelection) {
        start.selectedEnabled = false;
        if (start.deleteWhat != DeleteWhat::FilesList)
            start.deleteWhat = DeleteWhat::Chapters;
    }
    start.inAllChaptersEnabled = start.deleteWhat != DeleteWhat::Chapters;
    return start;
}
