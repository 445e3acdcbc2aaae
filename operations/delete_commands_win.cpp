#include "operations/view_commands.h"

#include "dialogs/delete_dialog.h"
#include "engine/torvex_doc.h"
#include "framework/message_box.h"
#include "operations/delete_rules.h"
#include "operations/help.h"
#include "operations/list_file.h"
#include "ui/main_frame.h"
#include "ui/torvex_view.h"
#include "resources/message_texts.h"

void OnDelete(CTorvexView& view)
{
    CTorvexDoc* doc = view.GetTorvexDoc();
    DeleteDialog dialog;
    dialog.catalogue = &doc->Catalogue();
    dialog.shownChapter = view.shownChapter;
    view.CollectFilesList();
    dialog.filesListHasItems = !view.WorkSet.empty();
    dialog.realSelection = view.HasRealSelection();
    dialog.writeDeleteList = [&view, doc](DeleteWhat deleteWhat) {
        if (deleteWhat == DeleteWhat::FilesList)
            view.CollectFilesList();
        else
            view.CollectRows(false, view.archiveFolder);
        std::string listFile = ProgramFileName(doc->ListFolder(), kDeleteListName);
        return WriteListFile(listFile, view.ListLinesOf(view.WorkSet)) ? listFile : std::string();
    };
    dialog.showHelp = [&view] { view.ShowHelp("#Del"); };
    INT_PTR answer;
    {
        HelpTopic topic(view.helpAnchor, "#Del");
        answer = dialog.DoModal(view.MainFrame()->Handle());
    }
    if (answer != IDOK)
        return;
    view.hitItem = -1;
    OperationJob job = view.NewJob(OperationKind::DeleteChapters);
    job.command = dialog.command;
    job.listFile = dialog.listFile;
    view.StartOperation(std::move(job));
}

void QuickDelete(CTorvexView& view)
{
    CTorvexDoc* doc = view.GetTorvexDoc();
    if (view.shownChapter != doc->Catalogue().LastChapter) {
        PromptUser(msg::LastChapterOnly);
        return;
    }
    view.CollectFilesList();
    bool filesList = false;
    if (!view.WorkSet.empty())
        filesList = PromptUser("Delete files in files list ?", prompt::YesNo | prompt::IconQuestion) == prompt::IdYes;
    if (!filesList) {
        if (!view.HasRealSelection()) {
            PromptUser(msg::NoFileSelected);
            return;
        }
        if (PromptUser(DeleteSelectedQuestion(view.SelectedEntries()), prompt::YesNo | prompt::IconQuestion) != prompt::IdYes)
            return;
        view.CollectRows(false, view.archiveFolder);
    }
    view.hitItem = -1;
    OperationJob job = view.NewJob(OperationKind::DeleteFiles);
    job.work = std::move(view.WorkSet);
    job.listLines = view.ListLinesOf(job.work);
    view.StartOperation(std::move(job));
}
