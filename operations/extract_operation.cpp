#include "operations/extract_operation.h"

#include <windows.h>

#include <cstdio>

#include "dialogs/extract_dialog.h"
#include "engine/list_file_folder.h"
#include "engine/path_helpers.h"
#include "framework/message_box.h"
#include "operations/extract_rules.h"
#include "operations/list_file.h"
#include "ui/disk_browser.h"
#include "ui/disk_rows.h"

namespace {

constexpr int kShowConsole = SW_SHOW;          // 5
constexpr int kMinimiseConsole = SW_MINIMIZE;  // 6

UINT DriveTypeOf(const std::string& folder)
{
    std::string root = DriveRoot(folder + "\\");
    return root.empty() ? DRIVE_UNKNOWN : ::GetDriveTypeA(root.c_str());
}

// The console stays visible whenever the archiver may ask something: an overwrite question, or
// the next disk of an archive on removable media.
int DirectRunShowState(ExtractHost& host)
{
    return host.Dialog().overwriteWithoutPrompting && DriveTypeOf(host.DiskFolder()) == DRIVE_FIXED ? kMinimiseConsole
                                                                                                      : kShowConsole;
}

// " " + switches + " \"archive\" !\"list\"" (appended piece by piece: GCC 12 warns falsely
// about a literal added to a temporary string).
std::string ListCommand(const std::string& switches, const std::string& archive, const std::string& list)
{
    std::string command = " ";
    command += switches;
    command += " \"";
    command += archive;
    command += "\" !\"";
    command += list;
    command += "\"";
    return command;
}

std::string ListFileName(ExtractHost& host)
{
    return ListFileFolder(host.ProgramFolder()) + "\\" + kExtractListName;
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

std::string WriteExtractList(ExtractHost& host)
{
    std::string name = ListFileName(host);
    static const DirectoryMap none;
    const DirectoryMap* directories = host.ShownDirectories();
    if (!WriteListFile(name, ExtractListLines(host.WorkSet(), directories ? *directories : none)))
        return std::string();
    return name;
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
            ScanDiskFolder(inside, staged);
            for (const auto& child : inside)
                child->Columns[ArchiveEntry::Source] = entry.Columns[ArchiveEntry::Source].view();
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

void ExtractThroughTemp(ExtractHost& host, const std::string& destinationIn, bool overwrite, int updateMode,
                        int updateCriterion, bool extractChapters, int chapterFrom)
{
    ExtractDialog& dialog = host.Dialog();
    host.CollectForExtract(dialog.extractWhat);
    std::string list = WriteExtractList(host);
    if (list.empty()) {
        host.ClearWorkSet();
        return;
    }
    if (dialog.listFileOnly) {
        host.ClearWorkSet();
        TellListFileLeft(list);
        return;  // the list file is the product
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
        PromptUser("Can't create " + temp);
        cancelled = true;
    }
    if (!cancelled) {
        ExtractSwitchOptions o;
        o.pathOption = extractopt::FullPath;
        o.directory = temp;
        o.overwriteWithoutPrompting = true;
        o.extractChapters = extractChapters;
        o.chapterFrom = chapterFrom;
        o.currentChapter = dialog.currentChapter;
        ArchiveCatalogue run;
        run.ArchivePath = host.ArchivePath();
        run.Command = ListCommand(BuildExtractSwitches(o), run.ArchivePath, list);
        // The staging folder is empty: the archiver has nothing to ask, unless it wants the next disk.
        host.RunJarConsole(run, DriveTypeOf(host.DiskFolder()) == DRIVE_REMOVABLE ? kShowConsole : kMinimiseConsole);

        host.BeginWaitCursor();
        if (!CreateDirectoryTree(destination)) {
            host.EndWaitCursor();
            PromptUser("Can't create " + destination);
        } else {
            EntryList& set = host.WorkSet();
            for (const auto& entry : set) {
                entry->Path = temp + entry->Path;
                entry->Columns[ArchiveEntry::Source] = temp + entry->Columns[ArchiveEntry::Source].str();
            }
            std::vector<StrandedFile> stranded;
            MoveExtracted(set, destination, overwrite, updateMode, updateCriterion, stranded);
            host.ClearWorkSet();
            host.EndWaitCursor();
            if (!stranded.empty())
                PromptUser(StrandedFilesText(temp, stranded), prompt::IconExclamation);
        }
    }
    ::DeleteFileA(list.c_str());
}

void ExtractFiles(ExtractHost& host, bool restorePartialPath)
{
    ExtractDialog& dialog = host.Dialog();
    bool nothing = (dialog.extractWhat == extractopt::SelectedFiles && host.SelectedRowCount() == 0) ||
                   (dialog.extractWhat == extractopt::FilesList && host.WorkSet().empty());
    if (nothing) {
    } else if (dialog.pathOption == extractopt::PartialPath) {
        ExtractThroughTemp(host, dialog.directory, dialog.overwriteWithoutPrompting, dialog.updateMode,
                           dialog.updateCriterion, dialog.extractChapters, dialog.chapterFrom);
    } else {
        host.CollectForExtract(dialog.extractWhat);
        std::string list = WriteExtractList(host);
        if (list.empty() || dialog.listFileOnly) {
            host.ClearWorkSet();
            if (!list.empty())
                TellListFileLeft(list);
        } else {
            ArchiveCatalogue run;
            run.ArchivePath = host.ArchivePath();
            run.Command = ListCommand(dialog.commandLine, run.ArchivePath, list);
            host.RunJarConsole(run, DirectRunShowState(host));
            host.ClearWorkSet();
            ::DeleteFileA(list.c_str());
        }
    }
    if (restorePartialPath)
        dialog.pathOption = extractopt::PartialPath;
}

void ExtractToCurrent(ExtractHost& host)
{
    ExtractDialog& dialog = host.Dialog();
    host.CollectFilesList();
    dialog.extractWhat = extractopt::SelectedFiles;
    dialog.listFileOnly = false;
    // With no range, the chapter the view shows.
    dialog.currentChapter = host.ShownChapter();
    ExtractThroughTemp(host, host.DiskFolder(), true, extractopt::UpdateNone, extractopt::NewerFiles, false, 0);
}

void ExtractArchive(ExtractHost& host, const std::string& archivePath)
{
    ArchiveCatalogue run;
    run.ArchivePath = archivePath;
    run.Command = " " + host.Dialog().commandLine + " \"" + archivePath + "\" *";
    host.RunJarConsole(run, DirectRunShowState(host));
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
