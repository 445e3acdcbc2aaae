#include "operations/add_delete_commands.h"

#include <memory>

#include "dialogs/delete_dialog.h"
#include "engine/path_helpers.h"
#include "engine/torvex_doc.h"
#include "framework/message_box.h"
#include "operations/add_operation.h"
#include "operations/delete_rules.h"
#include "ui/main_frame.h"
#include "ui/torvex_view.h"

namespace {

// Writes the WorkSet as the delete list; its name, or empty when it could not be written.
std::string WriteDeleteList(CTorvexView& view)
{
    CTorvexDoc* doc = view.GetTorvexDoc();
    const ChapterInfo* chapter = doc->catalogue.Chapter(view.shownChapter);
    std::string listFile = ProgramFileName(doc->ProgramFolder(), kDeleteListName);
    std::string text = chapter ? DeleteListText(view.WorkSet, chapter->Directories) : std::string();
    if (!WriteTextFile(listFile, text)) {
        PromptUser("Can't create " + listFile, prompt::Ok | prompt::IconStop);
        return std::string();
    }
    return listFile;
}

void ShowWhenRelisted(CTorvexView& view, const std::shared_ptr<std::unique_ptr<ArchiveRelisting>>& relisting,
                      bool clearWorkSet)
{
    if (!*relisting)
        return;
    view.ShowRelisted(**relisting);
    if (clearWorkSet)
        view.ClearWorkSet();
}

} // namespace

void OnDelete(CTorvexView& view)
{
    CTorvexDoc* doc = view.GetTorvexDoc();
    DeleteDialog dialog;
    dialog.catalogue = &doc->catalogue;
    dialog.shownChapter = view.shownChapter;
    // The files list joins here once it exists.
    dialog.filesListHasItems = false;
    dialog.realSelection = view.HasRealSelection();
    dialog.writeDeleteList = [&view](int) {
        view.CollectSelection();
        return WriteDeleteList(view);
    };
    INT_PTR answer;
    view.helpAnchor = "#Del";
    answer = dialog.DoModal(view.MainFrame()->Handle());
    view.helpAnchor.clear();
    if (answer != IDOK)
        return;
    view.hitItem = -1;
    std::string archive = doc->catalogue.ArchivePath;
    std::string command = dialog.command;
    std::string listFile = dialog.listFile;
    auto relisting = std::make_shared<std::unique_ptr<ArchiveRelisting>>();
    RunViewOperation(
        view, [doc, archive, command, listFile, relisting] { *relisting = RunDeleteCommand(*doc, archive, command, listFile); },
        [&view, relisting] { ShowWhenRelisted(view, relisting, false); });
}

void QuickDelete(CTorvexView& view)
{
    CTorvexDoc* doc = view.GetTorvexDoc();
    if (view.shownChapter != doc->catalogue.LastChapter) {
        PromptUser("You can delete files in last chapter only");
        return;
    }
    // The files list is asked about first ("Delete files in files list ?") once it exists.
    if (!view.HasRealSelection()) {
        PromptUser("No file selected");
        return;
    }
    if (PromptUser("Delete selected files?", prompt::YesNo | prompt::IconQuestion) != prompt::IdYes)
        return;
    view.CollectSelection();
    view.hitItem = -1;
    std::string listFile = WriteDeleteList(view);
    if (listFile.empty())
        return;
    std::string archive = doc->catalogue.ArchivePath;
    int chapter = view.shownChapter;
    std::string folder = view.archiveFolder;
    auto relisting = std::make_shared<std::unique_ptr<ArchiveRelisting>>();
    RunViewOperation(
        view, [doc, archive, listFile, chapter, folder, relisting] {
            *relisting = RunDeleteFiles(*doc, archive, listFile, chapter, folder);
        },
        [&view, relisting] { ShowWhenRelisted(view, relisting, true); });
}
