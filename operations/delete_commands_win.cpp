#include "operations/add_delete_commands.h"

#include <memory>

#include "dialogs/delete_dialog.h"
#include "engine/path_helpers.h"
#include "engine/torvex_doc.h"
#include "framework/message_box.h"
#include "operations/add_operation.h"
#include "operations/delete_rules.h"
#include "operations/extract_rules.h"
#include "operations/help.h"
#include "operations/list_file.h"
#include "operations/operation_bodies.h"
#include "ui/main_frame.h"
#include "ui/torvex_view.h"

namespace {

// Writes the WorkSet as the delete list; its name, or empty when it could not be written.
std::string WriteDeleteList(CTorvexView& view)
{
    CTorvexDoc* doc = view.GetTorvexDoc();
    const ChapterInfo* chapter = doc->catalogue.Chapter(view.shownChapter);
    std::string listFile = ProgramFileName(doc->ListFolder(), kDeleteListName);
    static const DirectoryMap none;
    // The same lines as the extract list: the archiver reads both the same way.
    if (!WriteListFile(listFile, ExtractListLines(view.WorkSet, chapter ? chapter->Directories : none)))
        return std::string();
    return listFile;
}

// Gives the interface thread the archive listed again after a delete.
void HandOver(OperationContext& context, std::unique_ptr<ArchiveRelisting> relisting)
{
    if (!relisting)
        return;
    context.HandOverCatalogue(std::move(relisting->catalogue), relisting->shownChapter, relisting->archiveFolder);
    context.PostStatusUpdate();
    context.PostChapterUpdate();
}

} // namespace

void OnDelete(CTorvexView& view)
{
    CTorvexDoc* doc = view.GetTorvexDoc();
    DeleteDialog dialog;
    dialog.catalogue = &doc->catalogue;
    dialog.shownChapter = view.shownChapter;
    view.CollectFilesList();
    dialog.filesListHasItems = !view.WorkSet.empty();
    dialog.realSelection = view.HasRealSelection();
    dialog.writeDeleteList = [&view](int deleteWhat) {
        if (deleteWhat == 1)
            view.CollectFilesList();
        else
            view.CollectForDelete();
        return WriteDeleteList(view);
    };
    dialog.showHelp = [] { ShowHelp("#Del"); };
    INT_PTR answer;
    {
        HelpTopic topic(view.helpAnchor, "#Del");
        answer = dialog.DoModal(view.MainFrame()->Handle());
    }
    if (answer != IDOK)
        return;
    view.hitItem = -1;
    view.deleteCommand = dialog.command;
    view.deleteListFile = dialog.listFile;
    view.StartOperation(OperationKind::DeleteChapters);
}

void QuickDelete(CTorvexView& view)
{
    CTorvexDoc* doc = view.GetTorvexDoc();
    if (view.shownChapter != doc->catalogue.LastChapter) {
        PromptUser("You can delete files in last chapter only");
        return;
    }
    view.CollectFilesList();
    if (!view.WorkSet.empty()) {
        if (PromptUser("Delete files in files list ?", prompt::YesNo | prompt::IconQuestion) == prompt::IdYes) {
            view.hitItem = -1;
            view.StartOperation(OperationKind::DeleteFiles);
            return;
        }
    }
    if (!view.HasRealSelection()) {
        PromptUser("No file selected");
        return;
    }
    if (PromptUser("Delete selected files?", prompt::YesNo | prompt::IconQuestion) != prompt::IdYes)
        return;
    view.CollectForDelete();
    view.hitItem = -1;
    view.StartOperation(OperationKind::DeleteFiles);
}

void DeleteFilesBody(OperationContext& context)
{
    CTorvexView& view = context.view;
    std::string listFile = WriteDeleteList(view);
    if (listFile.empty())
        return;
    std::unique_ptr<ArchiveRelisting> relisting = RunDeleteFiles(context.document, context.document.catalogue.ArchivePath,
                                                                 listFile, view.shownChapter, view.archiveFolder);
    // After a failure the files list stays for another try.
    if (relisting)
        view.ClearWorkSet();
    HandOver(context, std::move(relisting));
}

void DeleteChaptersBody(OperationContext& context)
{
    CTorvexView& view = context.view;
    std::string command = std::move(view.deleteCommand);
    std::string listFile = std::move(view.deleteListFile);
    view.deleteCommand.clear();
    view.deleteListFile.clear();
    HandOver(context, RunDeleteCommand(context.document, context.document.catalogue.ArchivePath, command, listFile));
}
