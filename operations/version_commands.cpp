// The commands that ask about the versions an archive keeps (interface thread): a file's history
// and Find.
#include "dialogs/directories_settings.h"
#include "dialogs/extract_dialog.h"
#include "engine/chapter_versions.h"
#include "engine/torvex_doc.h"
#include "framework/message_box.h"
#include "operations/extract_operation.h"
#include "operations/operation_runner.h"
#include "operations/help.h"
#include "operations/view_commands.h"
#include "engine/jar_commands.h"
#include "ui/find_dialog.h"
#include "ui/history_dialog.h"
#include "ui/main_frame.h"
#include "ui/torvex_view.h"

void OnHistory(CTorvexView& view, ExtractDialog& dialog, const DirectoriesSettings& dirs)
{
    CTorvexDoc* doc = view.GetTorvexDoc();
    std::vector<const ArchiveEntry*> selected = view.SelectedEntries();
    if (view.operationRunning || !doc->archiveMode || selected.size() != 1 || selected[0]->IsDirectory())
        return;
    const ArchiveEntry& file = *selected[0];
    // Every version of the archive in one listing; the versions of this file come from it.
    VersionIndex versions;
    if (!ListVersions(*doc, doc->Catalogue().ArchivePath, 1, std::max(doc->Catalogue().LastChapter, 1), versions))
        return;
    HistoryDialog history;
    history.path = file.Path;
    history.versions = FileHistory(versions, file.Path);
    if (history.versions.empty()) {
        PromptUser("No version of " + file.Path + " was found in the archive's chapters.");
        return;
    }
    history.view = [&view](const FileVersion& version) { view.ViewVersion(*version.entry, version.Newest()); };
    history.help = [&view] { view.ShowHelp("#History"); };
    INT_PTR answer;
    {
        HelpTopic topic(view.helpAnchor, "#History");
        answer = history.DoModal(view.MainFrame()->Handle());
    }
    if (history.chosen < 0)
        return;
    int chapter = history.versions[size_t(history.chosen)].Newest();
    if (answer == IDC_HISTORY_EXTRACT) {
        OnExtractTo(view, dialog, dirs, chapter);
        return;
    }
    if (answer != IDC_HISTORY_RESTORE)
        return;
    // Restore: where Extract (Ctrl+E) puts the file, asking before a file there is replaced.
    OnExtract(view, dialog, chapter);
}

void OnFind(CTorvexView& view)
{
    CTorvexDoc* doc = view.GetTorvexDoc();
    if (view.operationRunning || !doc->archiveMode)
        return;
    // What was asked last time is asked again, for this run of the program.
    static std::string pattern = "*";
    static bool allChapters = true;
    FindDialog dialog;
    dialog.shownChapter = view.shownChapter;
    dialog.pattern = pattern;
    dialog.allChapters = allChapters;
    std::string archive = doc->Catalogue().ArchivePath;
    int last = std::max(doc->Catalogue().LastChapter, 1);
    // The search runs on the dialog's thread with a runner of its own, not the document.
    RunnerFolders folders = view.NewJob(OperationKind::TestArchive).folders;
    dialog.search = [folders, archive, last](const FindQuery& query, FindSink& sink) {
        WinJarRunner runner;
        UseFolders(runner, folders);
        std::string arguments = query.chapter ? ChapterListingArguments(query.chapter, archive)
                                              : VersionListingArguments(1, last, archive);
        return runner.RunJarCapturedInto(arguments, sink) &&
               sink.Finish([&runner](const std::string& message) { return runner.ReportFailure(message); });
    };
    dialog.help = [&view] { view.ShowHelp("#Find"); };
    INT_PTR answer;
    {
        HelpTopic topic(view.helpAnchor, "#Find");
        answer = dialog.DoModal(view.MainFrame()->Handle());
    }
    pattern = dialog.pattern;
    allChapters = dialog.allChapters;
    if (answer == IDOK)
        view.GoToEntry(dialog.chosen.path, dialog.chosen.chapter);
}
