// The chapter combo: shows another chapter of the open archive, listing it the first time it is
// shown (a chapter stays listed until the archive is read again).
#include <cstdio>
#include <string>

#include "engine/torvex_doc.h"
#include "ui/main_frame.h"
#include "ui/torvex_view.h"

namespace {

// Lists chapter n aside and moves what the listing gives into the shown catalogue's slot, so
// that a listing that fails half-way leaves that chapter unlisted rather than half filled.
bool ListChapterInto(CTorvexDoc& doc, int n)
{
    ArchiveCatalogue aside;
    aside.ArchivePath = doc.catalogue.ArchivePath;
    if (!doc.ListChapter(aside, n))
        return false;
    ChapterInfo* listed = aside.Chapter(n);
    if (!listed)
        return false;
    ChapterInfo* slot = doc.catalogue.Chapter(n);
    if (!slot) {
        doc.catalogue.SetChapter(n, std::make_unique<ChapterInfo>(std::move(*listed)));
    } else {
        slot->Directories = std::move(listed->Directories);
        slot->TotalFiles = listed->TotalFiles;
        slot->TotalBytes = listed->TotalBytes;
    }
    if (!aside.Ratio.empty())
        doc.catalogue.Ratio = aside.Ratio;
    return true;
}

} // namespace

void CTorvexView::OnChapterSelected()
{
    CTorvexDoc* doc = GetTorvexDoc();
    ComboBox combo = MainFrame()->ChapterCombo();
    int index = combo.GetCurSel();
    if (index < 0 || !doc->archiveMode)
        return;
    int chapter = 0;
    if (std::sscanf(combo.GetLBText(index).c_str(), "Chapter %d", &chapter) != 1 || chapter == shownChapter)
        return;
    const ChapterInfo* info = doc->catalogue.Chapter(chapter);
    if (!info || info->Directories.size() == 0) {
        if (!ListChapterInto(*doc, chapter)) {
            // The reason has been shown; the previous chapter stays, and the combo says so.
            std::string shown = "Chapter ";
            shown += std::to_string(shownChapter);
            combo.SetCurSel(combo.FindStringExact(shown));
            return;
        }
    }
    // Its entries belong to the chapter that was shown.
    ClearWorkSet();
    DropRows();
    shownChapter = chapter;
    archiveFolder = std::string("\\");  // the root
    MainFrame()->ShowArchiveInfo(&doc->catalogue, shownChapter);
    ShowArchiveFolder(ChapterList(archiveFolder));
}
