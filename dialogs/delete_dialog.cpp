#include "dialogs/delete_dialog.h"

#include <vector>

#include "engine/jar_commands.h"
#include "framework/message_box.h"
#include "resources/resource.h"
#include "resources/message_texts.h"

bool DeleteDialog::OnInitDialog()
{
    inAllChapters = false;
    chaptersChanged = false;
    listFile.clear();
    command.clear();
    DeleteDialogStart start = DecideDeleteDialogStart(filesListHasItems, realSelection);
    deleteWhat = start.deleteWhat;
    Check(IDC_DEL_SELECTED, deleteWhat == DeleteWhat::Selected);
    Check(IDC_DEL_FILES_LIST, deleteWhat == DeleteWhat::FilesList);
    Check(IDC_DEL_CHAPTERS, deleteWhat == DeleteWhat::Chapters);
    Check(IDC_DEL_ALL_CHAPTERS, false);
    Item(IDC_DEL_SELECTED).Enable(start.selectedEnabled);
    Item(IDC_DEL_FILES_LIST).Enable(start.filesListEnabled);
    Item(IDC_DEL_ALL_CHAPTERS).Enable(start.inAllChaptersEnabled);

    Window list = Item(IDC_DEL_CHAPTER_LIST);
    if (catalogue) {
        for (int n : catalogue->ChapterNumbers()) {
            int index = (int)list.Send(LB_ADDSTRING, 0, (LPARAM)ChapterLabel(n).c_str());
            list.Send(LB_SETITEMDATA, index, n);
            if (n == shownChapter)
                list.Send(LB_SETSEL, TRUE, index);
        }
    }
    return true;
}

bool DeleteDialog::OnCommand(UINT id, UINT code)
{
    if ((id == IDC_DEL_SELECTED || id == IDC_DEL_FILES_LIST || id == IDC_DEL_CHAPTERS) && code == BN_CLICKED) {
        // The chapter choice sits in a group box of its own: the three choices exclude each other here.
        for (int radio : {IDC_DEL_SELECTED, IDC_DEL_FILES_LIST, IDC_DEL_CHAPTERS})
            Check(radio, radio == (int)id);
        return true;
    }
    if (id == IDC_DEL_HELP && code == BN_CLICKED) {
        if (showHelp)
            showHelp();
        return true;
    }
    return false;
}

void DeleteDialog::OnOK()
{
    inAllChapters = IsChecked(IDC_DEL_ALL_CHAPTERS);
    deleteWhat = IsChecked(IDC_DEL_CHAPTERS)     ? DeleteWhat::Chapters
                 : IsChecked(IDC_DEL_FILES_LIST) ? DeleteWhat::FilesList
                                                 : DeleteWhat::Selected;
    chaptersChanged = false;
    const std::string archive = catalogue ? catalogue->ArchivePath : std::string();
    if (deleteWhat == DeleteWhat::Chapters) {
        Window list = Item(IDC_DEL_CHAPTER_LIST);
        // The chosen chapters, in list order.
        std::vector<std::string> chosen;
        int count = (int)list.Send(LB_GETCOUNT);
        for (int i = 0; i < count; ++i)
            if (list.Send(LB_GETSEL, i) > 0)
                chosen.push_back(std::to_string((int)list.Send(LB_GETITEMDATA, i)));
        command = DeleteChaptersArguments(archive, chosen);
        chaptersChanged = true;
        EndDialog(IDOK);
        return;
    }
    if (!inAllChapters && catalogue && shownChapter != catalogue->LastChapter) {
        PromptUser(msg::LastChapterOnly);
        return;
    }
    listFile = writeDeleteList ? writeDeleteList(deleteWhat) : std::string();
    if (listFile.empty())
        return;
    if (inAllChapters) {
        command = DeleteInAllChaptersArguments(archive, listFile);
        chaptersChanged = true;
    } else {
        command = DeleteInLastChapterArguments(archive, listFile);
    }
    EndDialog(IDOK);
}
