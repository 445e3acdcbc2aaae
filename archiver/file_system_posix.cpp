// POSIX side of the archiver's file-system layer: the native build, used for fast tests.
#ifndef _WIN32
#include "archiver/file_system.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <sched.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/time.h>
#include <unistd.h>

namespace jar {
namespace {
constexpr int64_t kUnixEpochTicks = 116444736000000000LL; // 1970-01-01 in 100 ns ticks since 1601
std::atomic<bool> interrupted{false};
int lastError = 0;

int64_t ToStamp(const timespec& t)
{
    return kUnixEpochTicks + int64_t(t.tv_sec) * 10000000 + t.tv_nsec / 100;
}

timespec FromStamp(int64_t stamp)
{
    timespec t{};
    int64_t ticks = stamp - kUnixEpochTicks;
    int64_t seconds = ticks / 10000000;
    int64_t rest = ticks % 10000000;
    if (rest < 0) {
        rest += 10000000;
        --seconds;
    }
    t.tv_sec = time_t(seconds);
    t.tv_nsec = long(rest * 100);
    return t;
}

void WriteAll(int fd, const std::string& text)
{
    const char* p = text.data();
    size_t left = text.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        p += n;
        left -= size_t(n);
    }
}

void OnInterrupt(int) { interrupted = true; }
} // namespace

bool GetFileInfo(const std::string& path, FileInfo& info)
{
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0) {
        lastError = errno;
        return false;
    }
    info.isDirectory = S_ISDIR(st.st_mode);
    info.size = info.isDirectory ? 0 : uint64_t(st.st_size);
    info.modified = ToStamp(st.st_mtim);
    info.created = ToStamp(st.st_ctim);
    info.attributes = info.isDirectory ? uint32_t(kAttrDirectory) : 0u;
    if (!(st.st_mode & S_IWUSR))
        info.attributes |= kAttrReadOnly;
    info.device = uint64_t(st.st_dev);
    info.fileId = uint64_t(st.st_ino);
    return true;
}

bool IsDirectory(const std::string& path)
{
    FileInfo info;
    return GetFileInfo(path, info) && info.isDirectory;
}

bool NameTaken(const std::string& path)
{
    struct stat st{};
    return ::lstat(path.c_str(), &st) == 0;
}

bool ListDirectory(const std::string& folder, std::vector<std::string>& names)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) {
        lastError = errno;
        return false;
    }
    while (dirent* item = ::readdir(dir)) {
        if (std::strcmp(item->d_name, ".") != 0 && std::strcmp(item->d_name, "..") != 0)
            names.emplace_back(item->d_name);
    }
    ::closedir(dir);
    return true;
}

std::string ToDiskSeparators(std::string path)
{
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
}

std::string FullPath(const std::string& path)
{
    if (!path.empty() && path[0] == '/')
        return path;
    char buffer[4096];
    if (!::getcwd(buffer, sizeof buffer))
        return path;
    std::string full = buffer;
    if (path.empty() || path == ".")
        return full;
    if (full.back() != '/')
        full += '/';
    return full + path;
}

// Level by level from the first missing one, without recursion: a path may be deep.
bool CreateDirectories(const std::string& path)
{
    if (path.empty() || IsDirectory(path))
        return true;
    size_t existing = path.size();
    while (existing > 0 && !IsDirectory(path.substr(0, existing))) {
        size_t slash = path.find_last_of('/', existing - 1);
        existing = slash == std::string::npos ? 0 : slash;
    }
    for (size_t at = path.find('/', existing + 1);; at = path.find('/', at + 1)) {
        std::string level = path.substr(0, at);
        if (!level.empty() && ::mkdir(level.c_str(), 0777) != 0 && errno != EEXIST) {
            lastError = errno;
            return false;
        }
        if (at == std::string::npos)
            break;
    }
    return IsDirectory(path);
}

bool RemoveFile(const std::string& path)
{
    if (::unlink(path.c_str()) != 0) {
        lastError = errno;
        return false;
    }
    return true;
}

bool RemoveFolder(const std::string& path) { return ::rmdir(path.c_str()) == 0; }

bool MoveOver(const std::string& from, const std::string& to)
{
    if (::rename(from.c_str(), to.c_str()) != 0) {
        lastError = errno;
        return false;
    }
    return true;
}

bool SetFileStamps(const std::string& path, int64_t modified, int64_t, uint32_t attributes)
{
    timespec times[2] = {FromStamp(modified), FromStamp(modified)};
    bool ok = ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
    if (attributes & kAttrReadOnly) {
        struct stat st{};
        if (::stat(path.c_str(), &st) == 0)
            ::chmod(path.c_str(), st.st_mode & ~mode_t(S_IWUSR | S_IWGRP | S_IWOTH));
    }
    return ok;
}

uint64_t FreeSpace(const std::string& path)
{
    struct statvfs vfs{};
    if (::statvfs(path.c_str(), &vfs) != 0)
        return 0;
    return uint64_t(vfs.f_bavail) * vfs.f_frsize;
}

bool GetFileIdentity(const std::string& path, FileInfo& info)
{
    FileInfo found;
    if (!GetFileInfo(path, found))
        return false;
    info.device = found.device;
    info.fileId = found.fileId;
    return true;
}

std::string ExactPath(const std::string& path) { return path; }

std::string LinkTarget(const std::string& path)
{
    struct stat st{};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real)
        return path; // a dangling link: writing through it would create its target
    std::string target = real;
    std::free(real);
    return target;
}

void CopyPermissions(const std::string& from, const std::string& to)
{
    struct stat st{};
    if (::stat(from.c_str(), &st) == 0)
        ::chmod(to.c_str(), st.st_mode & 07777);
}

uint32_t ProcessId() { return uint32_t(::getpid()); }

void SleepMilliseconds(int milliseconds)
{
    timespec t{milliseconds / 1000, long(milliseconds % 1000) * 1000000L};
    while (::nanosleep(&t, &t) != 0 && errno == EINTR) {
    }
}

void EndAtOnce() { ::_exit(137); }

// The lock file is removed by its holder before it lets go, so a process that opened the old
// file and got the lock only after that must look again at what the name now reaches.
bool LockFile::TryAcquire(const std::string& path, const std::string& owner, bool& busy)
{
    Release();
    busy = false;
    for (int attempt = 0; attempt < 100; ++attempt) {
        int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0) {
            lastError = errno;
            return false;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            lastError = errno;
            ::close(fd);
            busy = true;
            return false;
        }
        struct stat held{}, named{};
        if (::fstat(fd, &held) != 0 || ::stat(path.c_str(), &named) != 0 || held.st_ino != named.st_ino ||
            held.st_dev != named.st_dev) {
            ::close(fd);
            continue;
        }
        if (::ftruncate(fd, 0) == 0)
            WriteAll(fd, owner);
        fd_ = fd;
        path_ = path;
        return true;
    }
    busy = true;
    return false;
}

bool LockFile::Held() const { return fd_ >= 0; }

void LockFile::Release()
{
    if (fd_ < 0)
        return;
    ::unlink(path_.c_str());
    ::close(fd_);
    fd_ = -1;
}

std::string LockFile::Owner(const std::string& path)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return {};
    char buffer[1024];
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    ::close(fd);
    return n > 0 ? std::string(buffer, size_t(n)) : std::string();
}

std::string LastErrorText() { return std::strerror(lastError); }
bool LastErrorIsDiskFull() { return lastError == ENOSPC || lastError == EDQUOT; }

int64_t NowStamp()
{
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return ToStamp(now);
}

std::string FormatStamp(int64_t stamp)
{
    time_t seconds = FromStamp(stamp).tv_sec;
    tm local{};
    ::localtime_r(&seconds, &local);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

int RunCommand(const std::string& command) { return std::system(command.c_str()); }

int UsableProcessors()
{
#ifdef __linux__
    cpu_set_t set;
    if (::sched_getaffinity(0, sizeof set, &set) == 0)
        return CPU_COUNT(&set) > 0 ? CPU_COUNT(&set) : 1;
#endif
    long n = ::sysconf(_SC_NPROCESSORS_ONLN);
    return n > 0 ? int(n) : 1;
}

bool DiskFile::Open(const std::string& path, Mode mode)
{
    Close();
    if (mode == ForReading)
        fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    else if (mode == ForWriting)
        fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    else if (mode == ForUpdate)
        fd_ = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    else
        fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd_ < 0)
        lastError = errno;
    else if ((mode == ForReading || mode == ForUpdate) && IsDirectory(path)) {
        Close();
        lastError = EISDIR;
    }
    return fd_ >= 0;
}

bool DiskFile::IsOpen() const { return fd_ >= 0; }

int64_t DiskFile::Read(void* buffer, size_t size)
{
    for (;;) {
        ssize_t n = ::read(fd_, buffer, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            lastError = errno;
        return n;
    }
}

bool DiskFile::ReadAt(uint64_t offset, void* buffer, size_t size)
{
    char* p = static_cast<char*>(buffer);
    while (size > 0) {
        ssize_t n = ::pread(fd_, p, size, off_t(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            lastError = n < 0 ? errno : EIO;
            return false;
        }
        p += n;
        offset += uint64_t(n);
        size -= size_t(n);
    }
    return true;
}

bool DiskFile::Write(const void* data, size_t size)
{
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = ::write(fd_, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            lastError = n < 0 ? errno : ENOSPC;
            return false;
        }
        p += n;
        size -= size_t(n);
    }
    return true;
}

bool DiskFile::Seek(uint64_t offset)
{
    if (::lseek(fd_, off_t(offset), SEEK_SET) < 0) {
        lastError = errno;
        return false;
    }
    return true;
}

bool DiskFile::SetSize(uint64_t size)
{
    if (::ftruncate(fd_, off_t(size)) != 0) {
        lastError = errno;
        return false;
    }
    return true;
}

uint64_t DiskFile::Size()
{
    struct stat st{};
    return ::fstat(fd_, &st) == 0 ? uint64_t(st.st_size) : 0;
}

bool DiskFile::Sync()
{
    if (::fsync(fd_) != 0) {
        lastError = errno;
        return false;
    }
    return true;
}

bool DiskFile::TryLock() { return ::flock(fd_, LOCK_EX | LOCK_NB) == 0; }

void DiskFile::Close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

void SetUpConsole()
{
    struct sigaction action{};
    action.sa_handler = OnInterrupt;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    ::signal(SIGPIPE, SIG_IGN);
}

void WriteOut(const std::string& text) { WriteAll(1, text); }
void WriteError(const std::string& text) { WriteAll(2, text); }

bool ReadConsoleLine(std::string& line)
{
    line.clear();
    char c;
    for (;;) {
        ssize_t n = ::read(0, &c, 1);
        if (n < 0 && errno == EINTR) {
            if (interrupted)
                return false;
            continue;
        }
        if (n <= 0)
            return !line.empty();
        if (c == '\n')
            break;
        if (c != '\r')
            line += c;
    }
    return true;
}

bool Interrupted() { return interrupted; }

// Natively the arguments are joined again with single blanks, untouched: a test that wants an
// exact command line passes it as one argument, as Windows hands it over.
std::string RawArguments(int argc, char** argv)
{
    std::string raw;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            raw += ' ';
        raw += argv[i];
    }
    return raw;
}

const char* LineEnd() { return "\n"; }

} // namespace jar
#endif
