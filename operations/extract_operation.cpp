#include "operations/extract_operation.h"

#include <windows.h>

#include <cstdio>

#include "dialogs/extract_dialog.h"
#include "engine/list_file_folder.h"
#include "engine/path_helpers.h"
#include "framework/message_box.h"
#include "framework/wide_text.h"
#include "engine/jar_commands.h"
#include "operations/console_bodies.h"
#include "operations/extract_rules.h"
#include "operations/list_file.h"
#include "operations/operation_bodies.h"
#include "resources/message_texts.h"

namespace {

UINT DriveTypeOf(const std::string& folder)
{
    std::string root = DriveRoot(folder + "\\");
    return root.empty() ? DRIVE_UNKNOWN : ::GetDriveTypeW(WideText(root).c_str());
}

struct DiskFacts {
    bool exists = false;
    bool directory = false;
    uint64_t size = 0;
    std::string modified;
};

DiskFacts FactsOf(const std::string& path)
{
    DiskFacts f;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(FileSystemPath(path).c_str(), GetFileExInfoStandard, &data))
        return f;
    f.exists = true;
    f.directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    f.size = (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    FILETIME local{};
    SYSTEMTIME t{};
    if (::FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) && ::FileTimeToSystemTime(&local, &t)) {
        LocalStamp s{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
        f.modified = FormatStamp(s);
    }
    return f;
}

std::string WithoutTrailingBackslash(std::string folder)
{
    while (folder.size() > 2 && folder.back() == '\\')
        folder.pop_back();
    return folder;
}

bool MoveInto(const std::string& from, const std::string& to, bool replace)
{
    std::string parent;
    if (ParentPath(to, parent))
        CreateDirectoryTree(parent);
    // Replacing is one rename over the old file: if it fails, the old file is still there.
    return ::MoveFileExW(FileSystemPath(from).c_str(), FileSystemPath(to).c_str(), replace ? MOVEFILE_REPLACE_EXISTING : 0) != 0;
}

} // namespace

ExtractRunOptions ExtractRunOptionsFrom(const ExtractDialog& dialog)
{
    ExtractRunOptions o;
    o.commandLine = dialog.commandLine;
    o.directory = dialog.directory;
    o.extractWhat = dialog.extractWhat;
    o.pathOption = dialog.pathOption;
    o.updateMode = dialog.updateMode;
    o.updateCriterion = dialog.updateCriterion;
    o.overwriteWithoutPrompting = dialog.overwriteWithoutPrompting;
    o.listFileOnly = dialog.listFileOnly;
    o.extractChapters = dialog.extractChapters;
    o.chapterFrom = dialog.chapterFrom;
    o.currentChapter = dialog.currentChapter;
    return o;
}

void SetExtractConsoles(OperationJob& job)
{
    UINT drive = DriveTypeOf(job.diskFolder);
    job.show = job.extract.overwriteWithoutPrompting && drive == DRIVE_FIXED ? ConsoleShow::Minimised : ConsoleShow::Shown;
    // The staging folder is empty: the archiver has nothing to ask, unless it wants the next disk.
    job.stagingShow = drive == DRIVE_REMOVABLE ? ConsoleShow::Shown : ConsoleShow::Minimised;
}

void AfterExtractRun(ExtractDialog& dialog, const OperationJob& job)
{
    if (job.kind == OperationKind::ExtractToCurrent) {
        dialog.extractWhat = extractopt::SelectedFiles;
        dialog.listFileOnly = false;
        dialog.currentChapter = job.extract.currentChapter;
    }
    if (job.kind == OperationKind::ExtractFiles && job.restorePartialPath)
        dialog.pathOption = PathOption::Partial;
}

void PruneEmptyParents(const std::string& path)
{
    std::string folder;
    if (!ParentPath(path, folder))
        return;
    while (::RemoveDirectoryW(FileSystemPath(folder).c_str())) {
        std::string up;
        if (!ParentPath(folder, up) || up == folder)
            break;
        folder = up;
    }
}

namespace {

// The contents of a staged folder as entries to move: each one's Source is `source`, so that
// its place below the destination is its place below that folder.
EntryList StagedFolderEntries(const std::string& folder, const std::string& source)
{
    EntryList inside;
    std::vector<FoundName> names;
    ListFolderNames(folder, names);
    for (const FoundName& found : names) {
        ArchiveEntry& child = inside.Add(ArchiveEntry());
        child.Path = folder + "\\" + found.name;
        DiskFacts there = FactsOf(child.Path);
        child.Columns[ArchiveEntry::Size] = std::to_string(there.size);
        child.Columns[ArchiveEntry::Modified] = there.modified;
        child.Columns[ArchiveEntry::Attributes] = found.directory ? "....D" : ".....";
        child.Columns[ArchiveEntry::Source] = source;
    }
    return inside;
}

// "Overwrite <target> ?", with the answers for every later file too.
bool OverwriteWanted(const std::string& target, MovePhase& phase)
{
    if (phase.answerToAll == prompt::IdYesToAll)
        return true;
    if (phase.answerToAll == prompt::IdNoToAll)
        return false;
    int answer = PromptUser("Overwrite " + target + " ?", prompt::YesAllNoAllCancel | prompt::IconQuestion);
    switch (answer) {
    case prompt::IdYesToAll:
    case prompt::IdNoToAll:
        phase.answerToAll = answer;
        return answer == prompt::IdYesToAll;
    case prompt::IdYes:
        return true;
    case prompt::IdNo:
        return false;
    default:
        phase.cancelled = true;
        return false;
    }
}

} // namespace

// Everything in a staging tree the move phase has finished with: copies of what the archive
// holds. Links are removed, never entered.
void RemoveStagedTree(const std::string& folder)
{
    std::vector<FoundName> names;
    ListFolderNames(folder, names);
    for (const FoundName& found : names) {
        std::string path = folder + "\\" + found.name;
        if (found.directory && !found.link)
            RemoveStagedTree(path);
        else if (found.directory)
            ::RemoveDirectoryW(FileSystemPath(path).c_str());
        else {
            ::SetFileAttributesW(FileSystemPath(path).c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileW(FileSystemPath(path).c_str());
        }
    }
    ::RemoveDirectoryW(FileSystemPath(folder).c_str());
}

void MoveExtracted(const EntryList& entries, const std::string& destination, MovePhase& phase)
{
    for (const auto& item : entries) {
        if (!phase.cancelled && phase.stopRequested && phase.stopRequested())
            phase.cancelled = true;
        if (phase.cancelled)
            return;
        const ArchiveEntry& entry = *item;
        const std::string& staged = entry.Path;
        DiskFacts source = FactsOf(staged);
        if (!source.exists) {
            // Not produced by the archiver (it has reported why), or already moved with its folder.
            PruneEmptyParents(staged);
            continue;
        }
        std::string target = destination + MoveRelativePart(staged, entry.Columns[ArchiveEntry::Source].str());
        DiskFacts there = FactsOf(target);
        MoveFacts facts;
        facts.isDirectory = entry.IsDirectory() || source.directory;
        facts.targetExists = there.exists;
        facts.entryStamp = entry.Columns[ArchiveEntry::Modified];
        facts.targetStamp = there.modified;
        facts.entrySize = entry.Columns[ArchiveEntry::Size];
        facts.targetSize = there.size;
        bool failed = false;
        switch (DecideMove(facts, phase.overwriteWithoutPrompting, phase.updateMode, phase.updateCriterion)) {
        case MoveAction::MoveWhole:
            failed = !MoveInto(staged, target, false);
            break;
        case MoveAction::Descend:
            MoveExtracted(StagedFolderEntries(staged, entry.Columns[ArchiveEntry::Source].str()), destination, phase);
            ::RemoveDirectoryW(FileSystemPath(staged).c_str());
            break;
        case MoveAction::AskThenReplace:
            if (!OverwriteWanted(target, phase))
                break;
            [[fallthrough]];
        case MoveAction::Replace:
            if (there.directory)
                failed = true;  // a folder is never replaced by a file
            else
                failed = !MoveInto(staged, target, true);
            break;
        case MoveAction::Drop:
            break;
        }
        if (failed) {
            // Named at the end of the operation.
            phase.stranded.push_back({staged, target});
            continue;
        }
        if (!facts.isDirectory && !phase.cancelled)
            ::DeleteFileW(FileSystemPath(staged).c_str());
        PruneEmptyParents(staged);
    }
}

std::string StrandedFilesText(const std::vector<StrandedFile>& stranded)
{
    std::string text = "These files could not be put in place (in use, or not allowed):";
    constexpr size_t kShown = 15;
    for (size_t i = 0; i < stranded.size() && i < kShown; ++i)
        text += "\n" + stranded[i].target;
    if (stranded.size() > kShown)
        text += "\n... and " + std::to_string(stranded.size() - kShown) + " more";
    return text;
}

std::string LeftoverStagingText(const std::string& tempFolder)
{
    return "Please remove the folder " + tempFolder + ", left by an earlier extraction,\nthen press Retry.";
}

OperationOutcome ExtractThroughTemp(OperationJob& job, JarRunner& runner, const std::string& destinationIn,
                                    bool overwrite, int updateMode, int updateCriterion, bool extractChapters,
                                    int chapterFrom)
{
    OperationOutcome outcome;
    // However it ends, the run has taken the files list.
    outcome.filesListUsed = true;
    std::string list = ProgramFileName(job.folders.listFolder, kExtractListName);
    if (!WriteListFile(list, job.listLines))
        return outcome;
    if (job.extract.listFileOnly) {
        // The list file is the product.
        TellListFileLeft(list);
        return outcome;
    }

    std::string destination = WithoutTrailingBackslash(destinationIn);
    std::string temp = ExtractTempFolder(destination);
    bool cancelled = false;
    while (PathExists(temp)) {
        if (runner.StopRequested() || PromptUser(LeftoverStagingText(temp), prompt::RetryCancel | prompt::IconStop) != prompt::IdRetry) {
            cancelled = true;
            break;
        }
    }
    if (!cancelled && !::CreateDirectoryW(FileSystemPath(temp).c_str(), nullptr)) {
        PromptUser(msg::CantCreate(temp));
        cancelled = true;
    }
    if (!cancelled) {
        ExtractSwitchOptions o;
        o.pathOption = PathOption::Full;
        o.directory = temp;
        o.overwriteWithoutPrompting = true;
        o.extractChapters = extractChapters;
        o.chapterFrom = chapterFrom;
        o.currentChapter = job.extract.currentChapter;
        o.recurse = job.extract.wholeFolder;
        runner.RunConsole(ListFileArguments(BuildExtractSwitches(o), job.archivePath, list), job.stagingShow);

        if (runner.lastRunCancelled || runner.StopRequested()) {
            // Nothing is put in place: what was staged goes with the staging folder below.
        } else if (!CreateDirectoryTree(destination)) {
            PromptUser(msg::CantCreate(destination));
        } else {
            EntryList staged;
            if (job.extract.wholeFolder) {
                // Whatever the chapters hold below the shown folder, as the archiver left it.
                std::string folder = job.archiveFolder == "\\" ? temp : temp + job.archiveFolder;
                staged = StagedFolderEntries(folder, job.archiveFolder == "\\" ? temp + "\\" : folder);
            } else {
                for (const auto& entry : job.work) {
                    entry->Path = temp + entry->Path;
                    entry->Columns[ArchiveEntry::Source] = temp + entry->Columns[ArchiveEntry::Source].str();
                }
                staged = std::move(job.work);
            }
            MovePhase phase;
            phase.overwriteWithoutPrompting = overwrite;
            phase.updateMode = updateMode;
            phase.updateCriterion = updateCriterion;
            phase.stopRequested = [&runner] { return runner.StopRequested(); };
            MoveExtracted(staged, destination, phase);
            if (!phase.stranded.empty())
                PromptUser(StrandedFilesText(phase.stranded), prompt::IconExclamation);
        }
        // What was not put in place is a copy of what the archive holds: the next extraction
        // must not find it in its way.
        RemoveStagedTree(temp);
    }
    job.work.Clear();
    ::DeleteFileW(FileSystemPath(list).c_str());
    return outcome;
}

OperationOutcome ExtractStagedBody(OperationJob& job, JarRunner& runner)
{
    if (NothingToExtract(job))
        return {};
    const ExtractRunOptions& o = job.extract;
    return ExtractThroughTemp(job, runner, o.directory, o.overwriteWithoutPrompting, o.updateMode, o.updateCriterion,
                              o.extractChapters, o.chapterFrom);
}

OperationOutcome ExtractToCurrentBody(OperationJob& job, JarRunner& runner)
{
    return ExtractThroughTemp(job, runner, job.diskFolder, true, extractopt::UpdateNone, extractopt::NewerFiles, false, 0);
}

OperationOutcome RestoreVersionBody(OperationJob& job, JarRunner& runner)
{
    // Where Extract puts the file, from the version's chapter; a file there is replaced only
    // when the user says so.
    return ExtractThroughTemp(job, runner, job.diskFolder, false, extractopt::UpdateNone, extractopt::NewerFiles, true,
                              job.extract.chapterFrom);
}

bool PrepareExtractTo(ExtractDialog& dialog, const ExtractToFacts& f)
{
    dialog.directory = f.presetDirectory;
    ExtractWhatChoice what = ChooseExtractWhat(!f.workSetEmpty, f.realSelection);
    dialog.extractWhat = what.extractWhat;
    dialog.filesListAvailable = what.filesListAvailable;
    dialog.selectionAvailable = what.selectionAvailable;
    PartialPathAdjustment a = AdjustPartialPath(dialog.pathOption, f.atArchiveRoot, f.workSetEmpty, !f.workSetEmpty,
                                                f.filesListHasDirectory, f.realSelection, f.selectionHasDirectory);
    dialog.pathOption = a.pathOption;
    dialog.currentChapter = f.shownChapter;
    // The chapter boxes start again from the shown chapter, all together: a "To" or a ticked
    // box kept from another chapter would make a range the user did not ask for.
    dialog.chapterFrom = f.shownChapter > 0 ? f.shownChapter : 1;
    dialog.chapterTo.clear();
    dialog.extractChapters = false;
    dialog.wholeArchiveMode = false;
    return a.restore;
}

bool ApplyChapterScope(OperationJob& job, const ExtractDialog& dialog, int shownChapter, const std::string& archiveFolder)
{
    if (shownChapter <= 0 || ExtractedChaptersInclude(dialog.extractChapters, dialog.chapterFrom, dialog.chapterTo, shownChapter))
        return true;
    // A line of the user's own names its own chapters.
    if (dialog.useCommandLine && dialog.commandLine != dialog.BuildSwitches())
        return true;
    if (dialog.extractWhat == extractopt::AllFiles) {
        // A list file asked for alone stays the list of the rows the user sees.
        if (dialog.listFileOnly)
            return true;
        job.extract.wholeFolder = true;
        job.listLines = {WholeFolderListLine(archiveFolder)};
        job.extract.commandLine = dialog.BuildSwitches(true);
        return true;
    }
    std::string text = ShownEntriesOnlyText(dialog.extractWhat == extractopt::FilesList, shownChapter,
                                            dialog.chapterFrom, dialog.chapterTo);
    return PromptUser(text, prompt::OkCancel | prompt::IconInformation) == prompt::IdOk;
}

PathOption PrepareExtractArchive(ExtractDialog& dialog, const std::string& presetDirectory)
{
    dialog.directory = presetDirectory;
    dialog.wholeArchiveMode = true;
    dialog.extractWhat = extractopt::AllFiles;
    // No chapter is shown: the archiver takes the newest unless a range is given.
    dialog.currentChapter = 0;
    PathOption saved = dialog.pathOption;
    dialog.pathOption = PathOption::Full;
    return saved;
}

void FinishExtractArchive(ExtractDialog& dialog, PathOption savedPathOption)
{
    dialog.pathOption = savedPathOption;
    dialog.wholeArchiveMode = false;
}
