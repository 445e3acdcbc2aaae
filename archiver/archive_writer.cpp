#include "archiver/archive_writer.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <random>

#include "archiver/console_output.h"
#include "archiver/index_codec.h"
#include "archiver/progress.h"

namespace jar {

namespace {
constexpr size_t kBufferSize = 4 << 20;

std::string FolderOf(const std::string& path)
{
    size_t slash = path.find_last_of(kDiskSeparator);
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
}

std::string LeafOf(const std::string& path)
{
    size_t slash = path.find_last_of(kDiskSeparator);
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string WorkFolderOf(const std::string& archive, const std::string& workFolder)
{
    std::string folder = workFolder.empty() ? FolderOf(archive) : ToDiskSeparators(workFolder);
    while (folder.size() > 1 && folder.back() == kDiskSeparator && !(folder.size() == 3 && folder[1] == ':'))
        folder.pop_back();
    return folder;
}

std::string TemporaryArchivePath(const std::string& archive, const std::string& workFolder)
{
    std::string folder = WorkFolderOf(archive, workFolder);
    return folder + (folder.back() == kDiskSeparator ? "" : std::string(1, kDiskSeparator)) + LeafOf(archive) + ".tmp~";
}

// Bytes no file being stored can foresee: the trailers' chain starts from them.
uint64_t NewSalt()
{
    uint64_t salt = uint64_t(NowStamp()) * 0x9E3779B97F4A7C15ull ^ (uint64_t(ProcessId()) << 32);
    try {
        std::random_device device;
        salt ^= (uint64_t(device()) << 32) ^ device();
    } catch (...) {
        // the clock and the process id alone
    }
    return salt ? salt : 1;
}

void PutSalt(unsigned char* bytes, uint64_t salt)
{
    for (size_t i = 0; i < kSaltSize; ++i)
        bytes[i] = static_cast<unsigned char>(salt >> (8 * i));
}
} // namespace

bool ArchiveWriter::Begin(const std::string& archive, const std::string& workFolder)
{
    // Through a link the target is what changes; the link stays a link.
    archive_ = LinkTarget(archive);
    std::string folder = WorkFolderOf(archive, workFolder);
    if (!workFolder.empty() && !IsDirectory(folder)) {
        error_ = "the work folder " + folder + " does not exist";
        return false;
    }
    // Created new, never over a file of the same name: a stale one of ours was removed when the
    // command began, and anything else of that name is not ours to destroy.
    temp_ = TemporaryArchivePath(archive_, workFolder);
    if (!file_.Open(temp_, DiskFile::ForNewFile)) {
        error_ = "can't create " + temp_ + ": " + LastErrorText();
        temp_.clear();
        return false;
    }
    file_.TryLock();
    buffer_.reserve(kBufferSize);
    unsigned char header[kHeaderSize];
    salt_ = NewSalt();
    MakeHeader(header, 1, salt_);
    // The header goes out at once, so a file left by a killed run is recognisably ours.
    return Append(header, sizeof header) && FlushBuffer();
}

void TestPoint(const char* step)
{
    static const char* hook = std::getenv("JAR32_TEST_HOOK");
    static int steps = 0;
    static bool counting = hook && std::strcmp(hook, "count") == 0;
    if (!hook || !*hook)
        return;
    if (std::strcmp(step, "step") == 0) {
        ++steps;
        if (counting)
            Console::Line("Test points: " + std::to_string(steps));
        if (std::strncmp(hook, "kill:", 5) == 0 && std::atoi(hook + 5) == steps) {
            Console::Flush();
            EndAtOnce();
        }
        return;
    }
    size_t length = std::strlen(step);
    if (std::strncmp(hook, "pause:", 6) == 0 && std::strncmp(hook + 6, step, length) == 0 && hook[6 + length] == ':')
        SleepMilliseconds(std::atoi(hook + 7 + length));
}

namespace {
std::string LockPathOf(const std::string& archive) { return LinkTarget(archive) + ".lck~"; }

// How long a writer waits for another: long enough for any ordinary change to finish, short
// enough that a run waiting for its user's typing does not hold the next one for ever.
int LockWaitMilliseconds()
{
    const char* wait = std::getenv("JAR32_LOCK_WAIT");
    return wait && *wait ? std::atoi(wait) : 15000;
}
} // namespace

bool ArchiveHold::TryAcquire(const std::string& archive)
{
    bool busy = false;
    std::string owner = "jar32 process " + std::to_string(ProcessId()) + ", started " + FormatStamp(NowStamp());
    return lock_.TryAcquire(LockPathOf(archive), owner, busy);
}

bool ArchiveHold::Acquire(const std::string& archive, const std::string& commandLine)
{
    std::string path = LockPathOf(archive);
    std::string owner = "jar32 process " + std::to_string(ProcessId()) + ", started " + FormatStamp(NowStamp()) +
                        ": jar32 " + commandLine.substr(0, 300);
    int limit = LockWaitMilliseconds();
    for (int waited = 0;; waited += 50) {
        bool busy = false;
        if (lock_.TryAcquire(path, owner, busy))
            return true;
        if (!busy) {
            Console::Error("can't lock " + archive + " for this change (" + path + "): " + LastErrorText());
            return false;
        }
        if (waited >= limit || StopAsked())
            break;
        SleepMilliseconds(50);
    }
    if (StopAsked()) {
        Console::Error(StopMessage());
        return false;
    }
    std::string other = LockFile::Owner(path);
    for (char& c : other)
        if (static_cast<unsigned char>(c) < 0x20)
            c = ' ';
    Console::Error(archive + " is being changed by another run (" + (other.empty() ? std::string("unknown") : other) +
                   "); nothing was changed, try again when it has ended");
    return false;
}

bool LeftoversOf(const std::string& archive, const std::string& workFolder)
{
    std::string target = LinkTarget(archive);
    return NameTaken(TemporaryArchivePath(target, "")) || NameTaken(LockPathOf(archive)) ||
           (!workFolder.empty() && NameTaken(TemporaryArchivePath(target, workFolder)));
}

bool RemoveStaleTemporary(const std::string& archive, const std::string& workFolder)
{
    bool removed = false;
    for (const std::string& folder : {std::string(), workFolder}) {
        if (!folder.empty() && workFolder.empty())
            continue;
        std::string temp = TemporaryArchivePath(LinkTarget(archive), folder);
        FileInfo info;
        if (!GetFileInfo(temp, info) || info.isDirectory)
            continue;
        DiskFile file;
        char magic[sizeof kMagic];
        // Only a file that begins as our archives do, and that no running jar32 is writing.
        if (!file.Open(temp, DiskFile::ForReading) || file.Size() < sizeof magic ||
            !file.ReadAt(0, magic, sizeof magic) || std::memcmp(magic, kMagic, sizeof magic) != 0 || !file.TryLock())
            continue;
        file.Close();
        if (RemoveFile(temp)) {
            Console::Line("Removed " + temp + ", left by an interrupted run");
            removed = true;
        }
    }
    return removed;
}

bool ArchiveWriter::WriteFailed(const std::string& what)
{
    bool full = LastErrorIsDiskFull();
    error_ = "can't write " + what + ": " + (full ? std::string("the disk is full") : LastErrorText());
    return false;
}

// Every write of an append is a point a test may kill the run at.
bool ArchiveWriter::WriteOut(const void* data, size_t size)
{
    if (!file_.Write(data, size))
        return WriteFailed(appending_ ? archive_ : temp_);
    flushed_ += size;
    if (appending_)
        TestPoint("step");
    return true;
}

bool ArchiveWriter::FlushBuffer()
{
    if (buffer_.empty())
        return true;
    if (!WriteOut(buffer_.data(), buffer_.size()))
        return false;
    buffer_.clear();
    return true;
}

bool ArchiveWriter::Append(const void* data, size_t size)
{
    const char* p = static_cast<const char*>(data);
    position_ += size;
    if (buffer_.size() + size > kBufferSize) {
        if (!FlushBuffer())
            return false;
        if (size >= kBufferSize)
            return WriteOut(p, size);
    }
    buffer_.append(p, size);
    return true;
}

bool ArchiveWriter::Rewind(uint64_t position)
{
    if (appending_ && position < start_) {
        error_ = "can't go back into what the archive already held";
        return false;
    }
    if (position >= flushed_) {
        buffer_.resize(size_t(position - flushed_));
    } else {
        buffer_.clear();
        if (!file_.Seek(position))
            return WriteFailed(appending_ ? archive_ : temp_);
        flushed_ = position;
    }
    position_ = position;
    return true;
}

bool ArchiveWriter::CopyBlock(ArchiveSource& source, DataBlock& block)
{
    if (appending_)
        return true; // the block stays where it is
    std::string chunk(std::min<uint64_t>(block.packedSize, 1 << 20), '\0');
    uint64_t from = block.offset, left = block.packedSize;
    block.offset = position_;
    while (left > 0) {
        size_t n = size_t(std::min<uint64_t>(left, chunk.size()));
        if (!source.Read(from, chunk.data(), n)) {
            error_ = "can't read the old archive: " + LastErrorText();
            return false;
        }
        if (!Append(chunk.data(), n))
            return false;
        Progress::Bytes(n);
        if (StopAsked()) {
            error_ = StopMessage();
            return false;
        }
        from += n;
        left -= n;
    }
    return true;
}

bool ArchiveWriter::PackIndex(const ArchiveIndex& index, std::string& packed, Trailer& layout)
{
    std::string plain = SerializeIndex(index);
    uLongf packedSize = compressBound(uLong(plain.size()));
    packed.assign(packedSize, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(plain.data()),
                  uLong(plain.size()), 1) != Z_OK) {
        error_ = "out of memory writing the index";
        return false;
    }
    packed.resize(packedSize);
    layout.indexOffset = position_;
    layout.packedSize = packed.size();
    layout.plainSize = plain.size();
    layout.crc = Crc32(0, plain.data(), plain.size());
    return true;
}

bool ArchiveWriter::BeginAppend(const std::string& archive, ArchiveSource& source)
{
    std::string target = LinkTarget(archive);
    uint64_t end = source.End();
    if (end < kHeaderSize + kTrailerSize || !source.Read(end - kTrailerSize, previousTrailer_, kTrailerSize) ||
        !file_.Open(target, DiskFile::ForUpdate))
        return false;
    // The file opened for writing must be the one whose index was read.
    if (file_.Size() != source.Size()) {
        file_.Close();
        return false;
    }
    archive_ = target;
    // What follows the last whole trailer (a killed append's bytes, or a damaged trailer that
    // may still be someone's only copy of a change) stays: no byte of the file is ever written
    // over, and the next rewrite drops it as dead space.
    uint64_t size = file_.Size();
    if (!file_.Seek(size)) {
        file_.Close();
        return false;
    }
    appending_ = true;
    previousEnd_ = end;
    start_ = position_ = flushed_ = size;
    buffer_.reserve(kBufferSize);
    return true;
}

// The new blocks and the index are on the disk before the trailer that makes them the archive's;
// until that trailer is, readers find the one before it, and every byte it refers to is untouched.
bool ArchiveWriter::FinishAppend(const ArchiveIndex& index)
{
    std::string packed;
    Trailer layout;
    if (!PackIndex(index, packed, layout) || !Append(packed.data(), packed.size()) || !FlushBuffer())
        return false;
    // A block stored again after deflate made it larger may have left longer bytes behind.
    if (!file_.SetSize(position_) || !file_.Sync())
        return WriteFailed(archive_);
    TestPoint("step");
    if (StopAsked()) {
        error_ = StopMessage();
        return false;
    }
    TestPoint("commit");
    unsigned char trailer[kAppendedTrailerSize];
    layout.previousEnd = previousEnd_;
    MakeAppendedTrailer(trailer, layout, previousTrailer_, kTrailerSize);
    if (!Append(trailer, sizeof trailer) || !FlushBuffer())
        return false;
    if (!file_.Sync())
        return WriteFailed(archive_);
    committed_ = true;
    TestPoint("step");
    file_.Close();
    return true;
}

bool ShouldAppend(const ArchiveSource& source, uint64_t liveBlockBytes, const Options& options)
{
    // An archive ending in a trailer of the first version is written anew once: a trailer of the
    // first version is only ever taken at the end, so one must never be followed by an append.
    if (options.volumes || source.VolumeCount() != 1 || source.End() == 0 ||
        source.TrailerVersion() != kAppendedTrailerVersion)
        return false;
    // The superseded index and trailer count as dead too (tiny archives are simply rewritten), and
    // so does whatever follows the last whole trailer.
    uint64_t end = source.Size(), live = kHeaderSize + liveBlockBytes;
    return end <= live || end - live <= end / 4;
}

uint64_t LiveBlockBytes(const ArchiveIndex& index, const std::vector<int64_t>& losing, uint32_t chapter)
{
    std::vector<char> used(index.blocks.size(), 0), loses(index.entries.size(), 0);
    for (int64_t e : losing)
        loses[size_t(e)] = 1;
    for (size_t i = 0; i < index.entries.size(); ++i) {
        const StoredEntry& e = index.entries[i];
        if (e.block < 0 || size_t(e.block) >= used.size() || e.chapters.Empty())
            continue;
        if (loses[i]) {
            ChapterSet rest = e.chapters;
            rest.Remove(chapter);
            if (rest.Empty())
                continue;
        }
        used[size_t(e.block)] = 1;
    }
    uint64_t bytes = 0;
    for (size_t b = 0; b < used.size(); ++b)
        if (used[b])
            bytes += index.blocks[b].packedSize;
    return bytes;
}

bool ArchiveWriter::Finish(ArchiveIndex& index, const Options& options, ArchiveSource* old)
{
    Progress::Phase(phase::Index, -1, -1);
    if (appending_)
        return FinishAppend(index);
    std::string packed;
    Trailer layout;
    if (!PackIndex(index, packed, layout))
        return false;
    // The first trailer is chained to the header's salt, as later ones are to the trailer before.
    unsigned char trailer[kAppendedTrailerSize], salt[kSaltSize];
    PutSalt(salt, salt_);
    layout.previousEnd = kHeaderSize;
    MakeAppendedTrailer(trailer, layout, salt, sizeof salt);
    if (!Append(packed.data(), packed.size()) || !Append(trailer, sizeof trailer) || !FlushBuffer())
        return false;
    if (!file_.SetSize(position_) || !file_.Sync())
        return WriteFailed(temp_);
    // The new archive keeps the old one's protection (a private archive stays private).
    FileInfo existing;
    if (GetFileInfo(archive_, existing) && !existing.isDirectory)
        CopyPermissions(archive_, temp_);
#ifdef _WIN32
    file_.Close(); // Windows renames no open file; the hold on the archive still guards it
#endif
    if (StopAsked()) {
        error_ = StopMessage();
        return false;
    }
    // The volumes of the set being replaced, as its reader found them; a new archive has none,
    // and files that merely look like volumes are not ours to remove.
    int oldVolumes = old ? old->VolumeCount() : 0;
    if (old)
        old->Close();
    TestPoint("commit");
    // Volumes that follow the free space only matter on removable media: on a fixed disk the
    // whole archive has just been written there, so it fits as one file.
    bool split = options.volumes && (options.volumeSize != 0 || options.removable);
    bool copy = !split && FolderOf(temp_) != FolderOf(archive_);
    if (!split && !copy && oldVolumes <= 1) {
        // One file renamed over another is atomic by itself.
        TestPoint("step");
        if (!MoveOver(temp_, archive_)) {
            error_ = "can't put the new archive in place of " + archive_ + ": " + LastErrorText();
            return false;
        }
        TestPoint("step");
        file_.Close();
        temp_.clear();
        return true;
    }
    CommitJournal journal(*this);
    if (!journal.Begin())
        return false;
    std::vector<std::string> parts;
    if (split) {
        if (!SplitVolumes(options, std::max(oldVolumes, 1), parts, journal))
            return journal.Undo();
    } else if (copy) {
        // The work folder may be another volume: a copy beside the archive is what is renamed.
        std::string near = TemporaryName(archive_ + ".copy~");
        if (!journal.Move(near, archive_) || !CopyBeside(temp_, near))
            return journal.Undo();
    } else if (!journal.Move(temp_, archive_)) {
        return journal.Undo();
    }
    int newVolumes = split ? int(parts.size()) : 1;
    for (int v = newVolumes + 1; v <= oldVolumes; ++v)
        if (!journal.Drop(VolumeName(archive_, v)))
            return journal.Undo();
    if (!journal.Finish())
        return false;
    file_.Close();
    if (split || copy)
        RemoveFile(temp_);
    temp_.clear();
    if (split)
        Console::Line("Archive written in " + std::to_string(newVolumes) + " volumes.");
    return true;
}

// A name of our own beside `base`: the base itself, or base.N, whichever is free now (it is
// still created exclusively).
std::string ArchiveWriter::TemporaryName(const std::string& base)
{
    for (int attempt = 0; attempt < 1000; ++attempt) {
        std::string name = attempt == 0 ? base : base.substr(0, base.size() - 1) + "." + std::to_string(attempt) + "~";
        if (!NameTaken(name))
            return name;
    }
    return base;
}

bool ArchiveWriter::CopyBeside(const std::string& from, const std::string& to)
{
    DiskFile in, out;
    if (!in.Open(from, DiskFile::ForReading) || !out.Open(to, DiskFile::ForNewFile)) {
        error_ = "can't put the new archive in place of " + archive_ + ": " + LastErrorText();
        return false;
    }
    std::string chunk(1 << 20, '\0');
    for (;;) {
        int64_t n = in.Read(chunk.data(), chunk.size());
        if (n < 0) {
            error_ = "can't read " + from + ": " + LastErrorText();
            return false;
        }
        if (n == 0)
            break;
        if (!out.Write(chunk.data(), size_t(n)))
            return WriteFailed(to);
    }
    if (!out.Sync())
        return WriteFailed(to);
    CopyPermissions(from, to);
    return true;
}

namespace {
constexpr char kJournalMagic[] = "TVJAR-COMMIT 1";

std::string JournalOf(const std::string& archive) { return LinkTarget(archive) + ".set~"; }

struct Journal {
    std::vector<std::pair<std::string, std::string>> steps; // ("move", from\nto) or ("drop", name)
    bool binding = false;
};

bool ReadJournal(const std::string& path, Journal& journal)
{
    DiskFile file;
    if (!file.Open(path, DiskFile::ForReading))
        return false;
    std::string text(size_t(std::min<uint64_t>(file.Size(), 1 << 24)), '\0');
    if (!text.empty() && !file.ReadAt(0, text.data(), text.size()))
        return false;
    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            break; // a line cut by a kill is no line
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    if (lines.empty() || lines[0] != kJournalMagic)
        return false;
    for (size_t i = 1; i < lines.size(); ++i) {
        if (lines[i] == "commit") {
            journal.binding = true;
            break;
        }
        if (lines[i] == "move" && i + 2 < lines.size()) {
            journal.steps.emplace_back("move", lines[i + 1] + "\n" + lines[i + 2]);
            i += 2;
        } else if (lines[i] == "drop" && i + 1 < lines.size()) {
            journal.steps.emplace_back("drop", lines[i + 1]);
            i += 1;
        } else {
            break;
        }
    }
    return true;
}

// Every step again, in order; a step already done is skipped. The last move is the first
// volume's, so readers find the new set only once the rest of it is there.
bool RollForward(const Journal& journal, const std::string& archive, std::string& error)
{
    // Moves onto later volumes, then the old volumes beyond the new set go, and the first
    // volume comes last: readers find the new set only once all of it is there.
    std::vector<std::pair<std::string, std::string>> order;
    for (int pass = 0; pass < 3; ++pass)
        for (const auto& step : journal.steps) {
            bool first = step.first == "move" && step.second.substr(step.second.find('\n') + 1) == archive;
            int kind = step.first == "drop" ? 1 : first ? 2 : 0;
            if (kind == pass)
                order.push_back(step);
        }
    for (const auto& [kind, what] : order) {
        if (kind == "drop") {
            FileInfo info;
            if (GetFileInfo(what, info) && !RemoveFile(what)) {
                error = "can't remove " + what + ", a volume of the old archive: " + LastErrorText();
                return false;
            }
        } else {
            size_t cut = what.find('\n');
            std::string from = what.substr(0, cut), to = what.substr(cut + 1);
            FileInfo info;
            if (!GetFileInfo(from, info))
                continue;
            if (!MoveOver(from, to)) {
                error = "can't put " + to + " in place: " + LastErrorText();
                return false;
            }
        }
        TestPoint("step");
    }
    return true;
}
} // namespace

bool CommitPending(const std::string& archive)
{
    Journal journal;
    return ReadJournal(JournalOf(archive), journal);
}

bool RecoverInterruptedCommit(const std::string& archive)
{
    std::string path = JournalOf(archive);
    Journal journal;
    if (!ReadJournal(path, journal))
        return true;
    std::string error;
    if (journal.binding) {
        if (!RollForward(journal, LinkTarget(archive), error)) {
            Console::Error(error + " (an interrupted change of " + archive + " is not finished yet)");
            return false;
        }
        Console::Line("Finished putting the new " + archive + " in place, left half done by an interrupted run");
    } else {
        for (const auto& [kind, what] : journal.steps)
            if (kind == "move")
                RemoveFile(what.substr(0, what.find('\n')));
        Console::Line("Removed the unfinished new volumes of " + archive + ", left by an interrupted run");
    }
    RemoveFile(path);
    return true;
}

// Anything more than one rename is first written down in the journal: each new file before it
// is created, then what moves where and what goes, and a last line makes it binding. A kill
// before that line leaves the old archive (the next run removes the new files); a kill after it
// is finished by the next run.
bool CommitJournal::Begin()
{
    path_ = JournalOf(writer_.archive_);
    if (!file_.Open(path_, DiskFile::ForNewFile)) {
        writer_.error_ = "can't create " + path_ + ": " + LastErrorText();
        return false;
    }
    created_ = true;
    return Add(std::string(kJournalMagic) + "\n");
}

bool CommitJournal::Add(const std::string& text)
{
    if (!file_.Write(text.data(), text.size()) || !file_.Sync())
        return writer_.WriteFailed(path_);
    TestPoint("step");
    return true;
}

bool CommitJournal::Move(const std::string& from, const std::string& to)
{
    if (from.find('\n') != std::string::npos || to.find('\n') != std::string::npos) {
        writer_.error_ = "a line break in the name " + to;
        return false;
    }
    if (!Add("move\n" + from + "\n" + to + "\n"))
        return false;
    if (from != writer_.temp_)
        sources_.push_back(from);
    return true;
}

bool CommitJournal::Drop(const std::string& name)
{
    if (name.find('\n') != std::string::npos) {
        writer_.error_ = "a line break in the name " + name;
        return false;
    }
    return Add("drop\n" + name + "\n");
}

bool CommitJournal::Undo()
{
    file_.Close();
    for (const std::string& source : sources_)
        RemoveFile(source);
    if (created_)
        RemoveFile(path_);
    created_ = false;
    return false;
}

bool CommitJournal::Finish()
{
    if (StopAsked()) {
        writer_.error_ = StopMessage();
        return Undo();
    }
    if (!Add("commit\n"))
        return Undo();
    file_.Close();
    Journal steps;
    if (!ReadJournal(path_, steps) || !steps.binding) {
        writer_.error_ = "can't read back " + path_;
        return Undo();
    }
    std::string error;
    if (!RollForward(steps, writer_.archive_, error)) {
        // The new archive is complete and recorded: the next run finishes putting it in place.
        writer_.error_ = error + "; the next command on " + writer_.archive_ + " finishes the change";
        writer_.temp_.clear();
        created_ = false;
        return false;
    }
    RemoveFile(path_);
    created_ = false;
    TestPoint("step");
    return true;
}

// Cuts the finished archive into new volumes of the asked size (or of the free space), each
// created new under a name of its own; the commit puts them in place.
bool ArchiveWriter::SplitVolumes(const Options& options, int oldVolumes, std::vector<std::string>& parts,
                                 CommitJournal& journal)
{
    DiskFile in;
    if (!in.Open(temp_, DiskFile::ForReading)) {
        error_ = "can't read " + temp_ + ": " + LastErrorText();
        return false;
    }
    uint64_t total = in.Size(), done = 0;
    const uint64_t minimum = 64 * 1024;
    std::string chunk(1 << 20, '\0');
    int volume = 0;
    auto fail = [&](const std::string& why) {
        error_ = why;
        return false;
    };
    while (done < total) {
        ++volume;
        if (volume > 999)
            return fail("more than 999 volumes");
        std::string name = VolumeName(archive_, volume);
        // A file of that name that is no volume of the archive being replaced is someone else's.
        if (volume > oldVolumes && NameTaken(name))
            return fail("can't write volume " + name + ": a file of that name, not of this archive, is in the way");
        if (volume > 1 && options.removable) {
            Console::Line("Insert the disk for volume " + std::to_string(volume) + " (" + name + ") and press Enter.");
            std::string ignored;
            Console::Flush();
            ReadConsoleLine(ignored);
            if (StopAsked())
                return fail(StopMessage());
        }
        if (!options.volumeCommand.empty())
            RunCommand(options.volumeCommand);
        uint64_t size = options.volumeSize;
        if (size == 0) {
            uint64_t free = FreeSpace(FolderOf(name));
            size = free > minimum * 2 ? free - minimum : 0;
            if (size < minimum)
                return fail("can't write volume " + name + ": the disk is full");
        }
        if (volume == 1 && size <= kHeaderSize)
            return fail("the volume size is too small");
        uint64_t left = std::min(size, total - done);
        DiskFile out;
        std::string part = TemporaryName(name + ".part~");
        if (!journal.Move(part, name))
            return false;
        if (!out.Open(part, DiskFile::ForNewFile))
            return fail("can't create " + part + ": " + LastErrorText());
        parts.push_back(part);
        while (left > 0) {
            size_t n = size_t(std::min<uint64_t>(left, chunk.size()));
            if (!in.ReadAt(done, chunk.data(), n))
                return fail("can't read " + temp_ + ": " + LastErrorText());
            if (done == 0) {
                // The first volume's header tells readers how many volumes follow.
                uint64_t count = 0, at = 0;
                for (uint64_t s = options.volumeSize; at < total; ++count)
                    at += s ? s : total;
                unsigned char header[kHeaderSize];
                // With sizes that follow the free space the count is not known yet: 0 makes readers look
                // for the volumes that follow.
                MakeHeader(header, options.volumeSize ? uint32_t(count) : 0, salt_);
                std::memcpy(chunk.data(), header, kHeaderSize);
            }
            if (!out.Write(chunk.data(), n)) {
                WriteFailed(part);
                std::string why = error_;
                out.Close();
                return fail(why);
            }
            done += n;
            left -= n;
        }
        if (!out.Sync()) {
            WriteFailed(part);
            std::string why = error_;
            out.Close();
            return fail(why);
        }
        CopyPermissions(temp_, part);
        out.Close();
        TestPoint("step");
    }
    return true;
}

void ArchiveWriter::Abandon()
{
    if (appending_) {
        // An append that did not finish takes back what it wrote: the archive is as it was.
        if (!committed_ && file_.IsOpen() && file_.Size() != start_)
            file_.SetSize(start_);
        file_.Close();
        appending_ = false;
        return;
    }
    if (temp_.empty())
        return;
    file_.Close();
    RemoveFile(temp_);
    temp_.clear();
}

} // namespace jar
