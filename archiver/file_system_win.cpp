// Win32 side of the archiver's file-system layer. Paths arrive as UTF-8 (the manifest makes it the
// code page, so the command line and list files come that way) and reach the system through the
// wide calls, in the \\?\ form once they are long: the plain form stops at 260 characters (248 for
// a folder) whatever the manifest says, on Windows without the long-path policy and under Wine.
#ifdef _WIN32
#include "archiver/file_system.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace jar {
namespace {
std::atomic<bool> interrupted{false};

int64_t ToStamp(const FILETIME& t) { return int64_t((uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime); }

FILETIME FromStamp(int64_t stamp)
{
    FILETIME t;
    t.dwLowDateTime = DWORD(uint64_t(stamp) & 0xFFFFFFFFu);
    t.dwHighDateTime = DWORD(uint64_t(stamp) >> 32);
    return t;
}

std::wstring Wide(const std::string& text)
{
    if (text.empty())
        return std::wstring();
    int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring out(size_t(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), out.data(), size);
    return out;
}

std::string Narrow(const wchar_t* text, int length = -1)
{
    int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return std::string();
    std::string out(size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), size, nullptr, nullptr);
    if (length < 0)
        out.pop_back();
    return out;
}

bool LongForm(const std::string& path) { return path.rfind("\\\\?\\", 0) == 0 || path.rfind("\\\\.\\", 0) == 0; }

// The plain form holds a folder to 248 characters (room for an 8.3 name) and a file to 260.
constexpr size_t kPlainLimit = 248;

// The path as the wide calls take it: letter for letter (see ExactPath), and in the \\?\ form once
// the whole path is long. A relative path is measured from the current folder.
std::wstring SystemPath(const std::string& path)
{
    std::string exact = ExactPath(path);
    std::wstring wide = Wide(exact);
    if (LongForm(exact))
        return wide;
    bool absolute = (wide.size() > 2 && wide[1] == L':' && wide[2] == L'\\') || wide.rfind(L"\\\\", 0) == 0;
    if (absolute && wide.size() < kPlainLimit)
        return wide;
    DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return wide;
    std::wstring full(needed, L'\0');
    full.resize(GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr));
    if (full.size() < kPlainLimit || full.rfind(L"\\\\.\\", 0) == 0 || full.rfind(L"\\\\?\\", 0) == 0)
        return full;
    if (full.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

// A standard handle, or the console's own when the parent gave none (Torvex hands over only
// standard error and leaves the rest to the console window, where questions must still show).
HANDLE StandardHandle(DWORD which)
{
    HANDLE handle = GetStdHandle(which);
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE)
        return handle;
    static HANDLE console[2] = {nullptr, nullptr};
    int slot = which == STD_INPUT_HANDLE ? 0 : 1;
    if (!console[slot])
        console[slot] = CreateFileW(slot == 0 ? L"CONIN$" : L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    return console[slot];
}

void WriteAll(DWORD which, const std::string& text)
{
    HANDLE out = StandardHandle(which);
    if (out == nullptr || out == INVALID_HANDLE_VALUE)
        return;
    const char* p = text.data();
    size_t left = text.size();
    while (left > 0) {
        DWORD chunk = DWORD(left > (1u << 20) ? (1u << 20) : left);
        DWORD written = 0;
        if (!WriteFile(out, p, chunk, &written, nullptr) || written == 0)
            return;
        p += written;
        left -= written;
    }
}

BOOL WINAPI OnControl(DWORD type)
{
    if (type == CTRL_C_EVENT || type == CTRL_BREAK_EVENT || type == CTRL_CLOSE_EVENT) {
        interrupted = true;
        return TRUE;
    }
    return FALSE;
}
} // namespace

bool GetFileInfo(const std::string& path, FileInfo& info)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(SystemPath(path).c_str(), GetFileExInfoStandard, &data))
        return false;
    info.isDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    info.size = info.isDirectory ? 0 : (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    info.modified = ToStamp(data.ftLastWriteTime);
    info.created = ToStamp(data.ftCreationTime);
    info.attributes = data.dwFileAttributes & (kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrDirectory | kAttrArchive);
    info.isLink = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    return true;
}

bool IsDirectory(const std::string& path)
{
    DWORD attributes = GetFileAttributesW(SystemPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool NameTaken(const std::string& path) { return GetFileAttributesW(SystemPath(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

bool ListDirectory(const std::string& folder, std::vector<std::string>& names)
{
    WIN32_FIND_DATAW data;
    std::string pattern = folder;
    if (!pattern.empty() && pattern.back() != '\\')
        pattern += '\\';
    HANDLE find = FindFirstFileW(SystemPath(pattern + "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
        std::string name = Narrow(data.cFileName);
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return true;
}

std::string ToDiskSeparators(std::string path)
{
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

std::string FullPath(const std::string& path)
{
    std::wstring wide = Wide(path);
    DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return path;
    std::wstring full(needed, L'\0');
    full.resize(GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr));
    return Narrow(full.c_str(), int(full.size()));
}

// Level by level from the first missing one, without recursion: a path may be deep.
bool CreateDirectories(const std::string& path)
{
    if (path.empty() || IsDirectory(path))
        return true;
    size_t existing = path.size();
    while (existing > 0 && !IsDirectory(path.substr(0, existing))) {
        size_t slash = path.find_last_of('\\', existing - 1);
        existing = slash == std::string::npos ? 0 : slash;
    }
    for (size_t at = path.find('\\', existing + 1);; at = path.find('\\', at + 1)) {
        std::string level = path.substr(0, at);
        bool drive = level.size() == 2 && level[1] == ':';
        if (!level.empty() && !drive && !CreateDirectoryW(SystemPath(level).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
        if (at == std::string::npos)
            break;
    }
    return IsDirectory(path);
}

bool RemoveFile(const std::string& path)
{
    std::wstring wide = SystemPath(path);
    SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFileW(wide.c_str()) != 0;
}

bool RemoveFolder(const std::string& path) { return RemoveDirectoryW(SystemPath(path).c_str()) != 0; }

bool MoveOver(const std::string& from, const std::string& to)
{
    std::wstring source = SystemPath(from), target = SystemPath(to);
    DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesW(target.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    // A reader (a listing, a virus scanner) may hold the old file open for a moment: the
    // replacement waits a few seconds for it rather than failing at the very end of the work.
    for (int waited = 0;; waited += 50) {
        if (MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        DWORD code = GetLastError();
        bool busy = code == ERROR_SHARING_VIOLATION || code == ERROR_ACCESS_DENIED || code == ERROR_LOCK_VIOLATION;
        if (!busy || waited >= 5000)
            return false;
        Sleep(50);
        SetLastError(code);
    }
}

bool SetFileStamps(const std::string& path, int64_t modified, int64_t created, uint32_t attributes)
{
    std::wstring wide = SystemPath(path);
    HANDLE file = CreateFileW(wide.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    bool ok = false;
    if (file != INVALID_HANDLE_VALUE) {
        FILETIME c = FromStamp(created), m = FromStamp(modified);
        ok = SetFileTime(file, created ? &c : nullptr, nullptr, &m) != 0;
        CloseHandle(file);
    }
    DWORD keep = attributes & (kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive);
    if (keep)
        SetFileAttributesW(wide.c_str(), keep);
    return ok;
}

uint64_t FreeSpace(const std::string& path)
{
    ULARGE_INTEGER available;
    return GetDiskFreeSpaceExW(SystemPath(path).c_str(), &available, nullptr, nullptr) ? available.QuadPart : 0;
}

bool GetFileIdentity(const std::string& path, FileInfo& info)
{
    // Attributes only, which no sharing mode of another program refuses; a folder opens only
    // with backup semantics. A link or junction leads to its target.
    HANDLE file = CreateFileW(SystemPath(path).c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION data;
    bool ok = GetFileInformationByHandle(file, &data) != 0;
    DWORD code = GetLastError();
    CloseHandle(file);
    SetLastError(code);
    if (!ok)
        return false;
    info.device = data.dwVolumeSerialNumber;
    info.fileId = (uint64_t(data.nFileIndexHigh) << 32) | data.nFileIndexLow;
    return true;
}

namespace {
// A level the ordinary path rules would shorten: a name (not "." or "..") ending in a dot or blank.
bool LosesItsEnd(const std::string& level)
{
    return !level.empty() && (level.back() == '.' || level.back() == ' ') && level != "." && level != "..";
}
} // namespace

std::string ExactPath(const std::string& path)
{
    if (path.rfind("\\\\?\\", 0) == 0 || path.rfind("\\\\.\\", 0) == 0)
        return path;
    size_t start = 0, first = std::string::npos;
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != '\\' && path[i] != '/')
            continue;
        if (LosesItsEnd(path.substr(start, i - start))) {
            first = start;
            break;
        }
        start = i + 1;
    }
    if (first == std::string::npos)
        return path;
    // What comes before that level goes through the system's own rules (current folder, drive,
    // "..") unharmed; the levels from it on are added here, letter for letter.
    std::string full = FullPath(first == 0 ? std::string(".") : path.substr(0, first));
    bool unc = full.rfind("\\\\", 0) == 0;
    size_t root = 3; // "C:\"
    if (unc) {
        size_t server = full.find('\\', 2);
        size_t share = server == std::string::npos ? std::string::npos : full.find('\\', server + 1);
        root = share == std::string::npos ? full.size() : share;
    }
    while (full.size() > root && full.back() == '\\')
        full.pop_back();
    for (size_t at = first; at <= path.size();) {
        size_t end = path.find_first_of("\\/", at);
        if (end == std::string::npos)
            end = path.size();
        std::string level = path.substr(at, end - at);
        at = end + 1;
        if (level.empty() || level == ".")
            continue;
        if (level == "..") {
            size_t slash = full.find_last_of('\\');
            full.resize(std::max(root, slash == std::string::npos ? root : slash));
            continue;
        }
        if (full.back() != '\\')
            full += '\\';
        full += level;
    }
    return unc ? "\\\\?\\UNC\\" + full.substr(2) : "\\\\?\\" + full;
}

std::string LinkTarget(const std::string& path) { return path; }

void CopyPermissions(const std::string& from, const std::string& to)
{
    DWORD attributes = GetFileAttributesW(SystemPath(from).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
        SetFileAttributesW(SystemPath(to).c_str(), attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE));
}

uint32_t ProcessId() { return GetCurrentProcessId(); }

void SleepMilliseconds(int milliseconds) { Sleep(DWORD(milliseconds)); }

void EndAtOnce()
{
    TerminateProcess(GetCurrentProcess(), 137);
    ExitProcess(137);
}

// Opened without sharing writes, and deleted by the system when its handle closes: the end of
// the process, however it ends, lets go of it.
bool LockFile::TryAcquire(const std::string& path, const std::string& owner, bool& busy)
{
    Release();
    busy = false;
    HANDLE file = CreateFileW(SystemPath(path).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD code = GetLastError();
        // A holder's file, or one being deleted by a holder that has just let go.
        busy = code == ERROR_SHARING_VIOLATION || code == ERROR_ACCESS_DENIED || code == ERROR_LOCK_VIOLATION;
        return false;
    }
    DWORD written = 0;
    SetEndOfFile(file);
    WriteFile(file, owner.data(), DWORD(owner.size()), &written, nullptr);
    handle_ = file;
    path_ = path;
    return true;
}

bool LockFile::Held() const { return handle_ != nullptr; }

void LockFile::Release()
{
    if (handle_)
        CloseHandle(handle_);
    handle_ = nullptr;
}

std::string LockFile::Owner(const std::string& path)
{
    HANDLE file = CreateFileW(SystemPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    char buffer[1024];
    DWORD got = 0;
    ReadFile(file, buffer, sizeof buffer, &got, nullptr);
    CloseHandle(file);
    return std::string(buffer, got);
}

std::string LastErrorText()
{
    DWORD code = GetLastError();
    char* text = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = text ? text : "error " + std::to_string(code);
    if (text)
        LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' ' || message.back() == '.'))
        message.pop_back();
    SetLastError(code);
    return message;
}

bool LastErrorIsDiskFull()
{
    DWORD code = GetLastError();
    return code == ERROR_DISK_FULL || code == ERROR_HANDLE_DISK_FULL;
}

int64_t NowStamp()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return ToStamp(now);
}

std::string FormatStamp(int64_t stamp)
{
    FILETIME utc = FromStamp(stamp), local;
    SYSTEMTIME t{};
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &t))
        t = SYSTEMTIME{1980, 1, 0, 1, 0, 0, 0, 0};
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
    return text;
}

int RunCommand(const std::string& command) { return std::system(command.c_str()); }

int UsableProcessors()
{
    DWORD_PTR process = 0, system = 0;
    if (!GetProcessAffinityMask(GetCurrentProcess(), &process, &system) || process == 0)
        return 1;
    int count = 0;
    for (; process; process &= process - 1)
        ++count;
    return count;
}

bool DiskFile::Open(const std::string& path, Mode mode)
{
    Close();
    std::wstring wide = SystemPath(path);
    HANDLE file = mode == ForReading
        ? CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                      FILE_FLAG_SEQUENTIAL_SCAN, nullptr)
        : CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                      mode == ForNewFile ? CREATE_NEW : mode == ForUpdate ? OPEN_EXISTING : CREATE_ALWAYS,
                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    handle_ = file;
    return true;
}

bool DiskFile::IsOpen() const { return handle_ != nullptr; }

bool DiskFile::TryLock() { return handle_ != nullptr; }

int64_t DiskFile::Read(void* buffer, size_t size)
{
    DWORD got = 0;
    if (!ReadFile(handle_, buffer, DWORD(size > (1u << 30) ? (1u << 30) : size), &got, nullptr))
        return -1;
    return got;
}

bool DiskFile::ReadAt(uint64_t offset, void* buffer, size_t size)
{
    if (!Seek(offset))
        return false;
    char* p = static_cast<char*>(buffer);
    while (size > 0) {
        int64_t n = Read(p, size);
        if (n <= 0) {
            if (n == 0)
                SetLastError(ERROR_HANDLE_EOF);
            return false;
        }
        p += n;
        size -= size_t(n);
    }
    return true;
}

bool DiskFile::Write(const void* data, size_t size)
{
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        DWORD chunk = DWORD(size > (1u << 30) ? (1u << 30) : size), written = 0;
        if (!WriteFile(handle_, p, chunk, &written, nullptr))
            return false;
        if (written == 0) {
            SetLastError(ERROR_DISK_FULL);
            return false;
        }
        p += written;
        size -= written;
    }
    return true;
}

bool DiskFile::Seek(uint64_t offset)
{
    LARGE_INTEGER position;
    position.QuadPart = LONGLONG(offset);
    return SetFilePointerEx(handle_, position, nullptr, FILE_BEGIN) != 0;
}

bool DiskFile::SetSize(uint64_t size)
{
    return Seek(size) && SetEndOfFile(handle_) != 0;
}

uint64_t DiskFile::Size()
{
    LARGE_INTEGER size;
    return GetFileSizeEx(handle_, &size) ? uint64_t(size.QuadPart) : 0;
}

bool DiskFile::Sync() { return FlushFileBuffers(handle_) != 0; }

void DiskFile::Close()
{
    if (handle_)
        CloseHandle(handle_);
    handle_ = nullptr;
}

void SetUpConsole() { SetConsoleCtrlHandler(OnControl, TRUE); }

void WriteOut(const std::string& text) { WriteAll(STD_OUTPUT_HANDLE, text); }
void WriteError(const std::string& text) { WriteAll(STD_ERROR_HANDLE, text); }

bool ReadConsoleLine(std::string& line)
{
    line.clear();
    HANDLE in = StandardHandle(STD_INPUT_HANDLE);
    if (in == nullptr || in == INVALID_HANDLE_VALUE)
        return false;
    char c;
    DWORD got = 0;
    for (;;) {
        if (!ReadFile(in, &c, 1, &got, nullptr) || got == 0)
            return !line.empty();
        if (c == '\n')
            break;
        if (c != '\r')
            line += c;
    }
    return true;
}

bool Interrupted() { return interrupted; }

// The raw command line, split by the archiver itself: the program name is the first token, in
// quotes or not, and everything after it is kept exactly as typed.
std::string RawArguments(int, char**)
{
    const char* line = GetCommandLineA();
    const char* p = line;
    while (*p == ' ' || *p == '\t')
        ++p;
    bool quoted = false;
    while (*p && (quoted || (*p != ' ' && *p != '\t'))) {
        if (*p == '"')
            quoted = !quoted;
        ++p;
    }
    return p;
}

const char* LineEnd() { return "\r\n"; }

} // namespace jar
#endif
