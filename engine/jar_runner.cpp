#include "engine/jar_runner.h"

#include "engine/jar_commands.h"
#include "engine/listing_parser.h"

bool JarRunner::ReportFailure(const std::string& message)
{
    EndWaitCursor();
    ShowMessage(message, true);
    return false;
}

bool JarRunner::RunJarCapturedInto(const std::string& arguments, OutputLineSink& sink)
{
    std::vector<std::string> lines;
    if (!RunJarCaptured(arguments, lines))
        return false;
    for (const std::string& line : lines)
        sink.Line(line);
    return true;
}

std::unique_ptr<BackgroundRun> JarRunner::StartInBackground(const std::string&)
{
    return nullptr;
}

bool JarRunner::ListChapters(ArchiveCatalogue& catalogue)
{
    catalogue.Clear();
    std::vector<std::string> lines;
    if (!RunJarCaptured(ChapterListArguments(catalogue.ArchivePath), lines))
        return false;
    return ParseChapterList(lines, catalogue, [this](const std::string& message) { return ReportFailure(message); });
}

bool JarRunner::ListChapter(ArchiveCatalogue& catalogue, int n)
{
    if (n <= 0) {
        auto chapter = std::make_unique<ChapterInfo>();
        chapter->Directories.Obtain("\\");
        catalogue.SetChapter(1, std::move(chapter));
        catalogue.LastChapter = 1;
        ShowMessage("No chapter found in this archive", false);
        return true;
    }
    if (n > MaxListedChapter)
        return ReportFailure("No chapter " + std::to_string(n) + " in this archive");
    // A chapter the list did not name still gets a slot rather than nothing to fill.
    ChapterInfo* chapter = catalogue.Chapter(n);
    if (chapter)
        chapter->Clear();
    else
        chapter = &catalogue.SetChapter(n, std::make_unique<ChapterInfo>());
    // The entries go in while the archiver is still writing; a run that fails part way leaves
    // the chapter as a failed run before it: emptied, its totals and the ratio untouched.
    std::string totalFiles = chapter->TotalFiles;
    std::string totalBytes = chapter->TotalBytes;
    std::string ratio = catalogue.Ratio;
    ChapterListingReader reader(catalogue, n);
    if (!RunJarCapturedInto(ChapterListingArguments(n, catalogue.ArchivePath), reader)) {
        chapter->Clear();
        chapter->TotalFiles = totalFiles;
        chapter->TotalBytes = totalBytes;
        catalogue.Ratio = ratio;
        return false;
    }
    return reader.Finish([this](const std::string& message) { return ReportFailure(message); });
}

bool JarRunner::ListArchive(ArchiveCatalogue& catalogue, int n)
{
    if (n <= 0) {
        if (std::unique_ptr<BackgroundRun> chapterList = StartInBackground(ChapterListArguments(catalogue.ArchivePath)))
            return chapterList->Started() && ListNewestAlongside(catalogue, *chapterList);
    }
    if (!ListChapters(catalogue))
        return false;
    return ListChapter(catalogue, n > 0 && catalogue.Chapter(n) ? n : catalogue.LastChapter);
}

// Both runs start at once, so the chapter list (which reads the whole index) costs the open
// nothing: the newest chapter's listing goes into a catalogue of its own meanwhile, and its rows
// move into the chapter list's slot once both have ended.
bool JarRunner::ListNewestAlongside(ArchiveCatalogue& catalogue, BackgroundRun& chapterList)
{
    ArchiveCatalogue newest;
    newest.ArchivePath = catalogue.ArchivePath;
    ChapterListingReader reader(newest, ChapterListingReader::NamedByHeader{});
    bool listed = RunJarCapturedInto(NewestChapterListingArguments(catalogue.ArchivePath), reader);
    std::vector<std::string> lines;
    bool chaptersRead = chapterList.Finish(lines);
    // Reported already; the chapter list is not looked at, so that one failure says one thing.
    if (!listed)
        return false;
    if (!chaptersRead)
        return ListChapters(catalogue) && ListChapter(catalogue, catalogue.LastChapter);
    catalogue.Clear();
    if (!ParseChapterList(lines, catalogue, [this](const std::string& message) { return ReportFailure(message); }))
        return false;
    int last = catalogue.LastChapter;
    if (last <= 0 || reader.ChapterNumber() != last)
        return ListChapter(catalogue, last);
    if (!reader.Finish([this](const std::string& message) { return ReportFailure(message); }))
        return false;
    ChapterInfo& listedChapter = *newest.Chapter(last);
    ChapterInfo& slot = *catalogue.Chapter(last);
    slot.Directories = std::move(listedChapter.Directories);
    slot.TotalFiles = std::move(listedChapter.TotalFiles);
    slot.TotalBytes = std::move(listedChapter.TotalBytes);
    if (!newest.Ratio.empty())
        catalogue.Ratio = newest.Ratio;
    return true;
}
