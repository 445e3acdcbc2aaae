#include "engine/jar_session.h"

#include "engine/jar_commands.h"
#include "engine/listing_parser.h"

bool JarSession::ReportFailure(const std::string& message)
{
    EndWaitCursor();
    ShowMessage(message, true);
    return false;
}

bool JarSession::ListChapters(ArchiveCatalogue& catalogue)
{
    catalogue.Clear();
    std::vector<std::string> lines;
    if (!RunJarCaptured(ChapterListArguments(catalogue.ArchivePath), lines))
        return false;
    return ParseChapterList(lines, catalogue, [this](const std::string& message) { return ReportFailure(message); });
}

bool JarSession::ListChapter(ArchiveCatalogue& catalogue, int n)
{
    if (n <= 0) {
        auto chapter = std::make_unique<ChapterInfo>();
        chapter->Directories.Obtain("\\");
        catalogue.SetChapter(1, std::move(chapter));
        catalogue.LastChapter = 1;
        ShowMessage("No chapter found in this archive", false);
        return true;
    }
    // A chapter the list did not name still gets a slot rather than nothing to fill.
    if (ChapterInfo* chapter = catalogue.Chapter(n))
        chapter->Clear();
    else
        catalogue.SetChapter(n, std::make_unique<ChapterInfo>());
    std::vector<std::string> lines;
    if (!RunJarCaptured(ChapterListingArguments(n, catalogue.ArchivePath), lines))
        return false;
    return ParseChapterListing(lines, catalogue, n, [this](const std::string& message) { return ReportFailure(message); });
}
