// The view showing what differs between two chapters: the command that asks for them, the
// comparison's folders in the list, leaving it, and View and Extract of either side.
#include "ui/torvex_view.h"

#include "engine/torvex_doc.h"
#include "framework/message_box.h"
#include "operations/help.h"
#include "operations/view_commands.h"
#include "ui/compare_dialog.h"
#include "ui/compare_rows.h"
#include "ui/icon_cache.h"
#include "ui/main_frame.h"

void CTorvexView::OnCompareChapters()
{
    CTorvexDoc* doc = GetTorvexDoc();
    if (operationRunning || !doc->archiveMode)
        return;
    CompareDialog dialog;
    dialog.chapters = doc->Catalogue().ChapterNumbers();
    // A second comparison starts from the one shown.
    const ChapterComparison* shown = Comparison();
    auto [older, newer] = DefaultComparedChapters(dialog.chapters, shownChapter);
    dialog.older = shown ? shown->Older() : older;
    dialog.newer = shown ? shown->Newer() : newer;
    dialog.withUnchanged = comparison_ && comparison_->withUnchanged;
    if (dialog.older == 0) {
        PromptUser("This archive has one chapter: there is nothing to compare it with.");
        return;
    }
    dialog.help = [this] { ShowHelp("#Compare"); };
    INT_PTR answer;
    {
        HelpTopic topic(helpAnchor, "#Compare");
        answer = dialog.DoModal(MainFrame()->Handle());
    }
    if (answer != IDOK)
        return;
    OperationJob job = NewJob(OperationKind::CompareChapters);
    job.comparedOlder = dialog.older;
    job.comparedNewer = dialog.newer;
    job.comparedWithUnchanged = dialog.withUnchanged;
    StartOperation(std::move(job));
}

const ChapterComparison* CTorvexView::Comparison() const
{
    return comparison_ ? comparison_->compared->comparison.get() : nullptr;
}

void CTorvexView::ShowComparison(std::unique_ptr<ComparedChapters> compared, bool withUnchanged)
{
    CTorvexDoc* doc = GetTorvexDoc();
    if (!compared || !compared->comparison || !doc->archiveMode)
        return;
    // From one comparison to another, the chapter's folder to go back to and the sort stay; the
    // list's rows point into the comparison shown, so they go first.
    DropRows();
    ClearWorkSet();
    if (!comparison_) {
        comparison_ = std::make_unique<ComparisonShown>();
        comparison_->returnFolder = archiveFolder;
    }
    comparison_->rows.Clear();
    comparison_->compared = std::move(compared);
    comparison_->withUnchanged = withUnchanged;
    const ChapterComparison& comparison = *Comparison();
    SetComparisonColumns(comparison.Older(), comparison.Newer());
    ShowComparisonFolder("\\");
    MainFrame()->ShowInfoText(ComparisonInfoText(comparison));
}

void CTorvexView::ShowComparisonFolder(const std::string& folder)
{
    const ChapterComparison& comparison = *Comparison();
    hitItem = -1;
    DropRows();
    archiveFolder = comparison.HasFolder(folder) ? folder : std::string("\\");
    comparison_->rows = ComparisonFolderRows(comparison, archiveFolder, comparison_->withUnchanged);
    IconBatch icons(services_.icons);
    rows_.Fill(&comparison_->rows, true, ParentRowImage(true, archiveFolder),
               [&icons](const ArchiveEntry& e) { return icons.IndexFor(e.Path); });
    ShowRows(comparison_->sortColumn, comparison_->sortDescending);
    SetTitle(ComparisonTitle(GetTorvexDoc()->Catalogue().ArchivePath, archiveFolder, comparison.Older(),
                             comparison.Newer()));
}

void CTorvexView::ActivateComparedRow(int row)
{
    ComparisonStep step = DecideComparisonClick(*Comparison(), archiveFolder, Rows().Entry(row));
    std::string cameFrom = archiveFolder;
    switch (step.action) {
    case ComparisonClick::Up:
    case ComparisonClick::Enter:
        ShowComparisonFolder(step.target);
        if (step.action == ComparisonClick::Up)
            SelectCameFrom(cameFrom);
        break;
    case ComparisonClick::Leave:
        LeaveComparison();
        break;
    case ComparisonClick::View:
        ViewComparedSide(DefaultViewSide(*Comparison(), step.target));
        break;
    case ComparisonClick::None:
        break;
    }
}

void CTorvexView::EndComparison()
{
    if (!comparison_)
        return;
    // The list's rows point into the comparison's.
    DropRows();
    ClearWorkSet();
    comparison_.reset();
}

void CTorvexView::LeaveComparison()
{
    if (!comparison_)
        return;
    std::string folder = comparison_->returnFolder;
    EndComparison();
    EnterArchiveMode(GetTorvexDoc()->Catalogue().FolderOrRoot(shownChapter, folder));
}

void CTorvexView::ViewComparedSide(ComparisonSide side)
{
    const ChapterComparison* comparison = Comparison();
    const ArchiveEntry* hit = HitEntry();
    if (!comparison || !hit || IsParentRow(*hit) || hit->IsDirectory())
        return;
    int chapter = SideChapter(*comparison, side);
    const ArchiveEntry* row = SideFile(*comparison, hit->Path, side);
    if (!row) {
        PromptUser(ChapterLabel(chapter) + " does not hold " + hit->Path + ".", prompt::Ok | prompt::IconInformation);
        return;
    }
    ViewVersion(*row, chapter);
}

void CTorvexView::ExtractComparedSide(ComparisonSide side)
{
    const ChapterComparison* comparison = Comparison();
    if (!comparison || operationRunning)
        return;
    // The dialog opens set to that chapter; the list file names what it holds of the selection.
    ::OnExtractTo(*this, services_.extract, services_.directories, SideChapter(*comparison, side));
}
