// The little of the file system and console the archiver needs, over Win32 wide calls on Windows and
// POSIX elsewhere. Disk paths use the platform's own separator; times are 100 ns ticks since
// 1601-01-01 UTC on every platform, so archives move between them unchanged.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace jar {

#ifdef _WIN32
inline constexpr char kDiskSeparator = '\\';
#else
inline constexpr char kDiskSeparator = '/';
#endif

// Attribute bits, with the values Windows gives them.
enum : uint32_t {
    kAttrReadOnly = 0x01,
    kAttrHidden = 0x02,
    kAttrSystem = 0x04,
    kAttrDirectory = 0x10,
    kAttrArchive = 0x20,
};

struct FileInfo {
    bool isDirectory = false;
    uint64_t size = 0;
    int64_t modified = 0;
    int64_t created = 0;
    uint32_t attributes = 0;
    // Which file this is, whatever path reached it: 0 until known (see GetFileIdentity).
    uint64_t device = 0, fileId = 0;
    // Windows: a symbolic link, junction or mount point (a reparse point), which may lead
    // anywhere. POSIX knows every file's identity at once and leaves this false.
    bool isLink = false;
};

// True when both were identified as one file.
inline bool SameFile(const FileInfo& a, const FileInfo& b)
{
    return a.fileId != 0 && a.fileId == b.fileId && a.device == b.device;
}

// False when nothing of that name exists (or it cannot be examined). The file's identity comes
// with it on POSIX only.
bool GetFileInfo(const std::string& path, FileInfo& info);
// Fills the identity (`device`, `fileId`) of the file a path finally leads to, links followed.
// On Windows that costs opening the file, so it is asked only where it decides something.
bool GetFileIdentity(const std::string& path, FileInfo& info);
// A form of the path that the system takes letter for letter. Windows drops a trailing dot or
// blank of a level, so "dup." would open "dup": there the \\?\ form when a level ends so; the
// path as it is otherwise.
std::string ExactPath(const std::string& path);
bool IsDirectory(const std::string& path);
// True when anything has that name, a link that leads nowhere included.
bool NameTaken(const std::string& path);
// Names inside a folder, without "." and "..", in the order the system gives them.
bool ListDirectory(const std::string& folder, std::vector<std::string>& names);
// An absolute path; relative paths are taken from the current folder.
std::string FullPath(const std::string& path);
// Turns either separator into the platform's own.
std::string ToDiskSeparators(std::string path);
bool CreateDirectories(const std::string& path);
bool RemoveFile(const std::string& path);
// Removes an empty folder.
bool RemoveFolder(const std::string& path);
// Moves a complete file over another in one step (the old one stays if this fails).
bool MoveOver(const std::string& from, const std::string& to);
bool SetFileStamps(const std::string& path, int64_t modified, int64_t created, uint32_t attributes);
// Bytes free for this user on the volume holding the path; 0 when unknown.
uint64_t FreeSpace(const std::string& path);
// The file a symbolic link finally leads to; the path itself when it is no link.
std::string LinkTarget(const std::string& path);
// Gives `to` the permissions of `from` (mode bits on POSIX, hidden and system on Windows).
void CopyPermissions(const std::string& from, const std::string& to);
uint32_t ProcessId();
void SleepMilliseconds(int milliseconds);
// Ends the process at once, as a kill would (no clean-up, no flush).
[[noreturn]] void EndAtOnce();
// The text of the last system error.
std::string LastErrorText();
bool LastErrorIsDiskFull();
int64_t NowStamp();
// "YYYY-MM-DD HH:MM:SS" in local time.
std::string FormatStamp(int64_t stamp);
// Processors this process may run on (a run pinned to one core uses one thread).
int UsableProcessors();
// Runs a command through the system's command interpreter; its exit code.
int RunCommand(const std::string& command);

// An open file with large unbuffered reads and writes.
class DiskFile {
public:
    // ForNewFile creates a file that does not exist yet, and never through a link: it fails
    // when anything of that name is there. ForUpdate opens an existing file to read and write,
    // shared with readers only.
    enum Mode { ForReading, ForWriting, ForNewFile, ForUpdate };
    DiskFile() = default;
    ~DiskFile() { Close(); }
    DiskFile(const DiskFile&) = delete;
    DiskFile& operator=(const DiskFile&) = delete;

    bool Open(const std::string& path, Mode mode);
    bool IsOpen() const;
    // Bytes read; 0 at the end; -1 on error.
    int64_t Read(void* buffer, size_t size);
    bool ReadAt(uint64_t offset, void* buffer, size_t size);
    bool Write(const void* data, size_t size);
    bool Seek(uint64_t offset);
    // Cuts or extends the file to this size.
    bool SetSize(uint64_t size);
    uint64_t Size();
    // Data on the disk before a rename relies on it.
    bool Sync();
    // Marks the file as in use by this process; false when another process holds it. (On
    // Windows the sharing mode of an open file already keeps others from removing it.)
    bool TryLock();
    void Close();

private:
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int fd_ = -1;
#endif
};

// An exclusive hold on a name, through a file of that name that records who holds it. The
// system lets go of it when the holder ends, however it ends; a clean release removes the file.
class LockFile {
public:
    LockFile() = default;
    ~LockFile() { Release(); }
    LockFile(const LockFile&) = delete;
    LockFile& operator=(const LockFile&) = delete;
    // False when another process holds it (`busy`) or the file cannot be made.
    bool TryAcquire(const std::string& path, const std::string& owner, bool& busy);
    bool Held() const;
    void Release();
    // What the holder wrote; empty when nobody holds it or it cannot be read.
    static std::string Owner(const std::string& path);

private:
    std::string path_;
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int fd_ = -1;
#endif
};

// Console: the program's own text output, questions and Ctrl+C.
void SetUpConsole();
// Writes bytes to standard output or standard error, in one call where the system allows.
void WriteOut(const std::string& text);
void WriteError(const std::string& text);
// One line typed on the console (standard input), without its line end; false at its end.
bool ReadConsoleLine(std::string& line);
// Set by Ctrl+C; long loops look at it and end cleanly.
bool Interrupted();
// The command line as the system gives it, program name removed.
std::string RawArguments(int argc, char** argv);
// The platform's line end in the text we print and write.
const char* LineEnd();

} // namespace jar
