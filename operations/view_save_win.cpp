#include "operations/view_save_win.h"

#include <shellapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "dialogs/setting_names.h"
#include "engine/jar_commands.h"
#include "engine/jar_runner.h"
#include "engine/path_helpers.h"
#include "framework/message_box.h"
#include "framework/wide_text.h"
#include "framework/registry_key.h"
#include "operations/open_verb.h"

namespace {
constexpr const char* kNoViewer = "No viewer available";
constexpr const char* kCantLaunch = "Can't launch the viewer";
constexpr const char* kCantExtract = "Can't extract the file";

class WinClassRegistry : public ClassRegistry {
public:
    std::optional<std::string> DefaultValue(const std::string& key) override
    {
        return RegistryDefaultValue(HKEY_CLASSES_ROOT, key);
    }
    std::vector<std::string> SubkeyNames(const std::string& key) override
    {
        std::vector<std::string> names;
        RegistryKey k;
        if (!k.Open(HKEY_CLASSES_ROOT, key))
            return names;
        char name[256];
        for (DWORD i = 0;; ++i) {
            DWORD size = sizeof(name);
            if (RegEnumKeyExA(k.Handle(), i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            names.emplace_back(name, size);
        }
        return names;
    }
};

// `file` opened by `verb` (the default one when empty), or run with `parameters`.
bool Launched(HWND owner, const std::string& verb, const std::string& file, const std::string& parameters,
              const std::string& folder)
{
    std::wstring wideVerb = WideText(verb), wideParameters = WideText(parameters);
    std::wstring wideFolder = WideText(StartFolder(folder));
    HINSTANCE result = ShellExecuteW(owner, verb.empty() ? nullptr : wideVerb.c_str(), WideText(file).c_str(),
                                     parameters.empty() ? nullptr : wideParameters.c_str(),
                                     wideFolder.empty() ? nullptr : wideFolder.c_str(), SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

bool FileExists(const std::string& path)
{
    DWORD attributes = GetFileAttributesW(FileSystemPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

bool ProcessRunning(unsigned long id)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    if (!process)
        // Refused means it exists (another user's, or elevated): its journal is not ours to take.
        return GetLastError() == ERROR_ACCESS_DENIED;
    DWORD code = 0;
    bool running = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    CloseHandle(process);
    return running;
}

namespace {

// The copy is on disk and was written since it was extracted or last saved.
bool CopyModified(const ViewRecord& record)
{
    std::uint64_t now = LastWriteStamp(record.extractedFile);
    return now != 0 && now != record.stamp;
}

std::string FailedSaveMessage(const std::string& archive)
{
    return "Failed to save files in " + archive +
           ".\nYou will find the modified files in the TTmp* directories in your Windows temporary directory";
}

class WaitCursor {
public:
    explicit WaitCursor(JarRunner& session) : session_(session) { session_.BeginWaitCursor(); }
    ~WaitCursor() { session_.EndWaitCursor(); }

private:
    JarRunner& session_;
};
} // namespace

std::uint64_t LastWriteStamp(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(FileSystemPath(path).c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (std::uint64_t(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
}

void RemoveViewCopy(const std::string& copyPath, const std::string& tempDir)
{
    DeleteFileW(FileSystemPath(copyPath).c_str());
    std::string folder;
    if (!ParentPath(copyPath, folder))
        return;
    // Up from the copy's folder to the temporary folder; a folder that is not empty stays.
    while (folder.size() > tempDir.size() && folder.compare(0, tempDir.size(), tempDir) == 0) {
        RemoveDirectoryW(FileSystemPath(folder).c_str());
        std::string parent;
        if (!ParentPath(folder, parent))
            break;
        folder = parent;
    }
    RemoveDirectoryW(FileSystemPath(tempDir).c_str());
}

ViewSaveOperations::ViewSaveOperations(SettingsStore& settings, JarRunner& session)
    : settings_(settings), session_(session)
{
}

ViewSaveOperations::~ViewSaveOperations() = default;

std::string ViewSaveOperations::FindOpenVerb(const std::string& fileName)
{
    WinClassRegistry registry;
    return ::FindOpenVerb(registry, fileName);
}

void ViewSaveOperations::OnViewFile(const Context& context, const std::vector<const ArchiveEntry*>& selected)
{
    owner_ = context.owner;
    int assocProg = ReadSetting(settings_, setting::AssocProg);
    Launch launch = ViewCommandLauncher(assocProg) == FileLauncher::Association ? Launch::Association : Launch::Viewer;
    if (launch == Launch::Viewer && ReadSetting(settings_, setting::FileViewer).empty()) {
        PromptUser(kNoViewer);
        return;
    }
    if (selected.size() != 1) {
        PromptUser("You must select one file.");
        return;
    }
    if (selected.front()->IsDirectory()) {
        PromptUser("You must select a file.");
        return;
    }
    if (context.archiveShown)
        OpenArchiveEntry(context, *selected.front(), launch);
    else
        OpenDiskFile(context, *selected.front(), launch);
}

void ViewSaveOperations::OnDoubleClickFile(const Context& context, const ArchiveEntry& entry)
{
    owner_ = context.owner;
    int assocProg = ReadSetting(settings_, setting::AssocProg);
    Launch launch = DoubleClickLauncher(assocProg) == FileLauncher::Association ? Launch::Association : Launch::Viewer;
    if (context.archiveShown)
        OpenArchiveEntry(context, entry, launch);
    else
        OpenDiskFile(context, entry, launch);
}

void ViewSaveOperations::OpenArchiveEntry(const Context& context, const ArchiveEntry& entry, Launch launch)
{
    if (launch == Launch::Association)
        OpenWithAssociation(context, entry);
    else
        OpenWithViewer(context, entry, std::string(), std::string());
}

void ViewSaveOperations::OpenDiskFile(const Context& context, const ArchiveEntry& entry, Launch launch)
{
    if (launch == Launch::Association)
        OpenDiskFileWithAssociation(context, entry);
    else
        OpenDiskFileWithViewer(context, entry);
}

std::string ViewSaveOperations::MakeViewTempDir()
{
    std::string base = SystemTempFolder() + "TTmp";
    // Two views within one tick of the clock would ask for the same name: take the next free one.
    DWORD tick = GetTickCount();
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string folder = base + std::to_string(static_cast<unsigned long>(tick + attempt));
        if (CreateDirectoryW(FileSystemPath(folder).c_str(), nullptr))
            return folder;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    PromptUser("Can't create a temporary directory");
    return std::string();
}

bool ViewSaveOperations::ExtractCopy(const Context& context, const ArchiveEntry& entry, std::string& copyPath,
                                     std::string& tempDir, std::uint64_t& stamp)
{
    tempDir = MakeViewTempDir();
    if (tempDir.empty())
        return false;
    if (!session_.RunConsole(ViewExtractArguments(context.shownChapter, tempDir, context.archivePath, entry.Path),
                             ConsoleShow::Hidden)) {
        PromptUser(kCantExtract);
        RemoveDirectoryW(FileSystemPath(tempDir).c_str());
        return false;
    }
    copyPath = tempDir + entry.Path;
    if (!FileExists(copyPath)) {
        RemoveViewCopy(copyPath, tempDir);
        return false;
    }
    stamp = LastWriteStamp(copyPath);
    return true;
}

bool ViewSaveOperations::OpenWithViewer(const Context& context, const ArchiveEntry& entry, std::string copyPath,
                                        std::string tempDir)
{
    WaitCursor wait(session_);
    std::string viewer = ReadSetting(settings_, setting::FileViewer);
    if (viewer.empty()) {
        PromptUser(kNoViewer);
        if (!copyPath.empty())
            RemoveViewCopy(copyPath, tempDir);
        return false;
    }
    bool fromRecord = false;
    bool extractedHere = false;
    std::uint64_t stamp = 0;
    if (copyPath.empty()) {
        if (const ViewRecord* record =
                FindViewRecord(records_, context.archivePath, entry.Path, context.shownChapter)) {
            copyPath = record->extractedFile;
            tempDir = record->tempDir;
            fromRecord = true;
        } else {
            if (!ExtractCopy(context, entry, copyPath, tempDir, stamp))
                return false;
            extractedHere = true;
        }
    } else {
        fromRecord = FindViewRecord(records_, context.archivePath, entry.Path, context.shownChapter) != nullptr;
    }
    std::string folder;
    ParentPath(copyPath, folder);
    if (!Launched(context.owner, std::string(), viewer, Quoted(copyPath), folder)) {
        PromptUser(kCantLaunch);
        if (!fromRecord)
            RemoveViewCopy(copyPath, tempDir);
        return false;
    }
    if (extractedHere)
        AddRecord(context, entry, copyPath, tempDir, stamp);
    return true;
}

void ViewSaveOperations::OpenWithAssociation(const Context& context, const ArchiveEntry& entry)
{
    WaitCursor wait(session_);
    std::string verb = FindOpenVerb(entry.Columns[ArchiveEntry::Name]);
    bool noViewer = ReadSetting(settings_, setting::FileViewer).empty();
    if (verb.empty() && noViewer) {
        PromptUser(kNoViewer);
        return;
    }
    std::string copyPath, tempDir;
    std::uint64_t stamp = 0;
    const ViewRecord* record = FindViewRecord(records_, context.archivePath, entry.Path, context.shownChapter);
    if (record) {
        copyPath = record->extractedFile;
        tempDir = record->tempDir;
    } else if (!ExtractCopy(context, entry, copyPath, tempDir, stamp)) {
        return;
    }
    std::string folder;
    ParentPath(copyPath, folder);
    bool opened = Launched(context.owner, verb, copyPath, std::string(), folder);
    if (!opened) {
        if (noViewer) {
            PromptUser(kNoViewer);
            if (!record)
                RemoveViewCopy(copyPath, tempDir);
            return;
        }
        // The viewer opens the same copy; a fresh copy it cannot open is removed there.
        opened = OpenWithViewer(context, entry, copyPath, tempDir);
    }
    if (opened && !record)
        AddRecord(context, entry, copyPath, tempDir, stamp);
}

void ViewSaveOperations::OpenDiskFileWithAssociation(const Context& context, const ArchiveEntry& entry)
{
    std::string verb = FindOpenVerb(entry.Columns[ArchiveEntry::Name]);
    if (!Launched(context.owner, verb, entry.Path, std::string(), context.diskFolder))
        OpenDiskFileWithViewer(context, entry);
}

void ViewSaveOperations::OpenDiskFileWithViewer(const Context& context, const ArchiveEntry& entry)
{
    std::string viewer = ReadSetting(settings_, setting::FileViewer);
    if (viewer.empty()) {
        PromptUser(kNoViewer);
        return;
    }
    if (!Launched(context.owner, std::string(), viewer, Quoted(entry.Path), context.diskFolder))
        PromptUser(kCantLaunch);
}

void ViewSaveOperations::AddRecord(const Context& context, const ArchiveEntry& entry, const std::string& copyPath,
                                   const std::string& tempDir, std::uint64_t stamp)
{
    ViewRecord record;
    record.chapter = context.shownChapter;
    record.extractedFile = copyPath;
    record.entryPath = entry.Path;
    record.archivePath = context.archivePath;
    record.tempDir = tempDir;
    record.stamp = stamp;
    records_.push_back(std::move(record));
    WriteJournal();
}

std::vector<std::string> ViewSaveOperations::OnSaveViewed()
{
    if (records_.empty()) {
        PromptUser("Nothing to save");
        return {};
    }
    return SaveViewedFiles(false);
}

std::vector<std::string> ViewSaveOperations::SaveViewedFiles(bool closing)
{
    std::vector<std::string> saved;
    if (AskWhichToSave(records_, closing, false))
        saved = SaveMarked(records_, closing);
    if (closing) {
        records_.clear();
        DeleteFileW(FileSystemPath(JournalPath()).c_str());
    } else {
        WriteJournal();
    }
    return saved;
}

bool ViewSaveOperations::AnyCopyModified() const
{
    return std::any_of(records_.begin(), records_.end(), CopyModified);
}

bool ViewSaveOperations::AskWhichToSave(ViewedFiles& records, bool closing, bool quietWhenNone)
{
    bool anyModified = false;
    bool anyMarked = false;
    for (ViewRecord& record : records) {
        if (!FileExists(record.extractedFile))
            continue;
        if (!CopyModified(record)) {
            if (closing)
                RemoveViewCopy(record.extractedFile, record.tempDir);
            continue;
        }
        anyModified = true;
        if (PromptUser("Save modifications in " + record.archivePath + " --> " + record.entryPath,
                       prompt::YesNo | prompt::IconQuestion) == prompt::IdYes) {
            record.saveMark = true;
            anyMarked = true;
        } else if (closing) {
            RemoveViewCopy(record.extractedFile, record.tempDir);
        }
    }
    if (!anyModified && !closing && !quietWhenNone)
        PromptUser("No file modified");
    return anyMarked;
}

std::vector<std::string> ViewSaveOperations::SaveMarked(ViewedFiles& records, bool closing)
{
    std::vector<std::string> written;
    int compress = ReadSetting(settings_, setting::EditFilesCompress);
    for (const SaveGroup& group : TakeMarkedGroups(records)) {
        std::string listFile = WriteSaveList(records, group.records);
        if (listFile.empty()) {
            PromptUser(FailedSaveMessage(group.archivePath));
            continue;
        }
        bool saved = session_.RunConsole(SaveBackArguments(compress, group.archivePath, listFile), ConsoleShow::Minimised);
        DeleteFileW(FileSystemPath(listFile).c_str());
        if (!saved) {
            PromptUser(FailedSaveMessage(group.archivePath));
            continue;
        }
        written.push_back(group.archivePath);
        for (std::size_t i : group.records) {
            records[i].stamp = LastWriteStamp(records[i].extractedFile);
            if (closing)
                RemoveViewCopy(records[i].extractedFile, records[i].tempDir);
        }
    }
    return written;
}

std::string ViewSaveOperations::WriteSaveList(const ViewedFiles& records, const std::vector<std::size_t>& group)
{
    std::string path = SystemTempFolder() + "~TTmpSave";
    for (;;) {
        std::ofstream file(FileSystemPath(path).c_str(), std::ios::binary | std::ios::trunc);
        if (file) {
            for (std::size_t i : group)
                file << SaveListLine(records[i]);
            file.close();
            if (file)
                return path;
        }
        if (PromptUser("Can't create temporary file " + path, prompt::RetryCancel | prompt::IconExclamation) !=
            prompt::IdRetry)
            return std::string();
    }
}

std::string ViewSaveOperations::JournalPath() const
{
    return SystemTempFolder() + JournalFileName(GetCurrentProcessId());
}

void ViewSaveOperations::WriteJournal()
{
    std::string path = JournalPath();
    if (records_.empty()) {
        DeleteFileW(FileSystemPath(path).c_str());
        return;
    }
    // Written beside and renamed over, so a kill never leaves half a journal in place.
    std::string next = path + ".new";
    {
        std::ofstream file(FileSystemPath(next).c_str(), std::ios::binary | std::ios::trunc);
        file << JournalText(records_);
        if (!file)
            return;
    }
    MoveFileExW(FileSystemPath(next).c_str(), FileSystemPath(path).c_str(), MOVEFILE_REPLACE_EXISTING);
}

void ViewSaveOperations::RecoverAbandonedCopies(HWND owner)
{
    owner_ = owner;
    std::string temp = SystemTempFolder();
    if (temp.empty())
        return;
    std::vector<std::string> journals;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(FileSystemPath(temp + "~TTmpJournal*.txt").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = Utf8Name(found.cFileName);
        std::optional<unsigned long> id = JournalProcessId(name);
        // Our own id at start-up was a dead Torvex's before: its journal is offered too.
        if (id && (*id == GetCurrentProcessId() || !ProcessRunning(*id)))
            journals.push_back(temp + name);
    } while (FindNextFileW(search, &found));
    FindClose(search);

    for (const std::string& journal : journals) {
        std::ifstream in(FileSystemPath(journal).c_str(), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        in.close();
        ViewedFiles abandoned = ParseJournal(text.str());
        if (AskWhichToSave(abandoned, true, true))
            SaveMarked(abandoned, true);
        DeleteFileW(FileSystemPath(journal).c_str());
    }
}
