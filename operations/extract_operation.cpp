#include "operations/extract_operation.h"

#include <windows.h>

#include <cstdio>

#include "dialogs/extract_dialog.h"
#include "engine/list_file_folder.h"
#include "engine/path_helpers.h"
#include "framework/message_box.h"
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
    return root.empty() ? DRIVE_UNKNOWN : ::GetDriveTypeA(root.c_str());
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
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
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
    return ::MoveFileExA(from.c_str(), to.c_str(), replace ? MOVEFILE_REPLACE_EXISTING : 0) != 0;
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
        dialog.pathOption = extractopt::PartialPath;
}

void PruneEmptyParents(const std::string& path)
{
    std::string folder;
    if (!ParentPath(path, folder))
        return;
    while (::RemoveDirectoryA(folder.c_str())) {
        std::string up;
        if (!ParentPath(folder, up) || up == folder)
            break;
        folder = up;
    }
}

void MoveExtracted(const EntryList& entries, const std::string& destination, bool overwrite, int updateMode,
                   int updateCriterion, std::vector<StrandedFile>& stranded)
{
    for (const auto& item : entries) {
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
        switch (DecideMove(facts, overwrite, updateMode, updateCriterion)) {
        case MoveAction::MoveWhole:
            failed = !MoveInto(staged, target, false);
            break;
        case MoveAction::Descend: {
            EntryList inside;
            std::vector<FoundName> names;
            ListFolderNames(staged, names);
            for (const FoundName& found : names) {
                ArchiveEntry& child = inside.Add(ArchiveEntry());
                child.Path = staged + "\\" + found.name;
                DiskFacts there = FactsOf(child.Path);
                child.Columns[ArchiveEntry::Size] = std::to_string(there.size);
                child.Columns[ArchiveEntry::Modified] = there.modified;
                child.Columns[ArchiveEntry::Attributes] = found.directory ? "....D" : ".....";
                child.Columns[ArchiveEntry::Source] = entry.Columns[ArchiveEntry::Source].view();
            }
            MoveExtracted(inside, destination, overwrite, updateMode, updateCriterion, stranded);
            ::RemoveDirectoryA(staged.c_str());
            break;
        }
        case MoveAction::AskThenReplace:
            if (PromptUser("Overwrite " + target + " ?", prompt::YesNo | prompt::IconQuestion) != prompt::IdYes)
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
            // Kept in the staging folder, and named at the end of the operation.
            stranded.push_back({staged, target});
            continue;
        }
        if (!facts.isDirectory)
            ::DeleteFileA(staged.c_str());
        PruneEmptyParents(staged);
    }
}

std::string StrandedFilesText(const std::string& tempFolder, const std::vector<StrandedFile>& stranded)
{
    std::string text = "These files could not be put in place and are still in " + tempFolder + ":";
    constexpr size_t kShown = 15;
    for (size_t i = 0; i < stranded.size() && i < kShown; ++i)
        text += "\n" + stranded[i].staged + "  (for " + stranded[i].target + ")";
    if (stranded.size() > kShown)
        text += "\n... and " + std::to_string(stranded.size() - kShown) + " more";
    return text;
}

OperationOutcome ExtractThroughTemp(OperationJob& job, JarRunner& runner, const std::string& destinationIn,
                                    bool overwrite, int updateMode, int updateCriterion, bool extractChapters,
                                    int chapterFrom)
{
    OperationOutcome outcome;
    std::string list = ProgramFileName(job.folders.listFolder, kExtractListName);
    if (!WriteListFile(list, job.listLines)) {
        outcome.filesListUsed = true;
        return outcome;
    }
    if (job.extract.listFileOnly) {
        // The list file is the product.
        outcome.filesListUsed = true;
        TellListFileLeft(list);
        return outcome;
    }

    std::string destination = WithoutTrailingBackslash(destinationIn);
    std::string temp = ExtractTempFolder(destination);
    bool cancelled = false;
    while (PathExists(temp)) {
        if (PromptUser("Please remove the ~TorvexTemp directory in the root of the extraction directory,\n"
                       "then press Retry.",
                       prompt::RetryCancel | prompt::IconStop) != prompt::IdRetry) {
            cancelled = true;
            break;
        }
    }
    if (!cancelled && !::CreateDirectoryA(temp.c_str(), nullptr)) {
        PromptUser(msg::CantCreate(temp));
        cancelled = true;
    }
    if (!cancelled) {
        ExtractSwitchOptions o;
        o.pathOption = extractopt::FullPath;
        o.directory = temp;
        o.overwriteWithoutPrompting = true;
        o.extractChapters = extractChapters;
        o.chapterFrom = chapterFrom;
        o.currentChapter = job.extract.currentChapter;
        runner.RunConsole(ListFileArguments(BuildExtractSwitches(o), job.archivePath, list), job.stagingShow);

        if (!CreateDirectoryTree(destination)) {
            PromptUser(msg::CantCreate(destination));
        } else {
            for (const auto& entry : job.work) {
                entry->Path = temp + entry->Path;
                entry->Columns[ArchiveEntry::Source] = temp + entry->Columns[ArchiveEntry::Source].str();
            }
            std::vector<StrandedFile> stranded;
            MoveExtracted(job.work, destination, overwrite, updateMode, updateCriterion, stranded);
            job.work.Clear();
            outcome.filesListUsed = true;
            if (!stranded.empty())
                PromptUser(StrandedFilesText(temp, stranded), prompt::IconExclamation);
        }
    }
    ::DeleteFileA(list.c_str());
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
    dialog.chapterFrom = f.shownChapter > 0 ? f.shownChapter : 1;
    dialog.wholeArchiveMode = false;
    return a.restore;
}

int PrepareExtractArchive(ExtractDialog& dialog, const std::string& presetDirectory)
{
    dialog.directory = presetDirectory;
    dialog.wholeArchiveMode = true;
    dialog.extractWhat = extractopt::AllFiles;
    // No chapter is shown: the archiver takes the newest unless a range is given.
    dialog.currentChapter = 0;
    int saved = dialog.pathOption;
    dialog.pathOption = extractopt::FullPath;
    return saved;
}

void FinishExtractArchive(ExtractDialog& dialog, int savedPathOption)
{
    dialog.pathOption = savedPathOption;
    dialog.wholeArchiveMode = false;
}
