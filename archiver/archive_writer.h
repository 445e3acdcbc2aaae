// Writes a whole new archive into a temporary file and puts it in place of the old one only when
// it is complete, or appends a change to the archive itself behind everything it already holds;
// either way a failure, Ctrl+C or a kill leaves the old archive as it was.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "archiver/archive_index.h"
#include "archiver/archive_source.h"
#include "archiver/command_line.h"

namespace jar {

// Holds an archive against every other writer from its first read to its last rename, through
// `<archive>.lck~` beside it (the target's, when the archive is reached through a link).
class ArchiveHold {
public:
    // Waits a bounded time for another run to let go; false after an ERROR line naming that run.
    bool Acquire(const std::string& archive, const std::string& commandLine);
    // One try, no wait and no message.
    bool TryAcquire(const std::string& archive);
    bool Held() const { return lock_.Held(); }
    void Release() { lock_.Release(); }

private:
    LockFile lock_;
};

// A replacement of several files (a volume set, or one file and the old volumes it makes
// obsolete) goes through `<archive>.set~`, which lists every step; only its last line makes it
// binding. True when a commit is recorded there, finished or not.
bool CommitPending(const std::string& archive);
// Under the hold: finishes a commit a killed run left half done, or removes the new files of
// one it had not yet made binding. False (after an ERROR line) when a step still fails.
bool RecoverInterruptedCommit(const std::string& archive);

// Fault injection for tests, from the environment variable JAR32_TEST_HOOK: "kill:N" ends the
// run as a kill would at the Nth step of putting a new archive in place (every write and flush of
// an append is a step), "pause:STEP:MS" waits
// at a named step ("read": after the archive was read; "commit": before the new archive goes in
// place; "progress": at every file and piece of one a reporting run counts), and "count" prints
// how many steps the run took.
void TestPoint(const char* step);

// True when a killed run may have left files of ours beside the archive (its temporary
// archive, or on POSIX its lock file).
bool LeftoversOf(const std::string& archive, const std::string& workFolder);

// Removes `<archive>.tmp~` (beside the archive, and in the work folder when one is given) when
// it is an unfinished archive of ours that no running jar32 is still writing; true if it did.
bool RemoveStaleTemporary(const std::string& archive, const std::string& workFolder);

// A change is appended to a single-file archive unless the space no index refers to any more
// would then pass a quarter of what the archive held: `liveBlockBytes` is the data the new index
// keeps of the old archive's.
bool ShouldAppend(const ArchiveSource& source, uint64_t liveBlockBytes, const Options& options);
// The packed bytes of the blocks that entries still use, taking the chapter `chapter` away from
// the entries listed in `losing` first (versions an add replaces).
uint64_t LiveBlockBytes(const ArchiveIndex& index, const std::vector<int64_t>& losing = {}, uint32_t chapter = 0);

class ArchiveWriter {
public:
    ~ArchiveWriter() { Abandon(); }
    // Creates the temporary file (in the work folder when one is given) and writes the header.
    bool Begin(const std::string& archive, const std::string& workFolder);
    // Appends to the archive itself, at its end, chained to its last whole trailer (what follows
    // that trailer is left as it is). False, with nothing changed, when it cannot be opened so.
    bool BeginAppend(const std::string& archive, ArchiveSource& source);
    bool Appending() const { return appending_; }
    bool Append(const void* data, size_t size);
    uint64_t Position() const { return position_; }
    // Forgets everything written after `position` (a block that could not be completed).
    bool Rewind(uint64_t position);
    // Copies a block's packed bytes from the old archive; sets its new offset.
    bool CopyBlock(ArchiveSource& source, DataBlock& block);
    // Writes the index, splits into volumes when asked, and replaces the archive.
    // The old archive's source is closed first, when one is given.
    bool Finish(ArchiveIndex& index, const Options& options, ArchiveSource* old = nullptr);
    // Removes the temporary file of an unfinished archive.
    void Abandon();
    // Set on failure: why (disk full, unreadable old data...), one line.
    const std::string& Error() const { return error_; }

private:
    bool FlushBuffer();
    bool WriteOut(const void* data, size_t size);
    bool WriteFailed(const std::string& what);
    bool PackIndex(const ArchiveIndex& index, std::string& packed, Trailer& layout);
    bool FinishAppend(const ArchiveIndex& index);
    bool SplitVolumes(const Options& options, int oldVolumes, std::vector<std::string>& parts, class CommitJournal& journal);
    bool CopyBeside(const std::string& from, const std::string& to);
    static std::string TemporaryName(const std::string& base);
    friend class CommitJournal;

    std::string archive_;
    std::string temp_;
    std::vector<std::string> extraTemps_;
    DiskFile file_;
    std::string buffer_;
    uint64_t position_ = 0;
    uint64_t flushed_ = 0;
    std::string error_;
    uint64_t salt_ = 0;
    // Appending: the file's end before this run, where its last whole trailer ends, and that
    // trailer's last 40 bytes.
    bool appending_ = false;
    bool committed_ = false;
    uint64_t start_ = 0, previousEnd_ = 0;
    unsigned char previousTrailer_[kTrailerSize] = {};
};

// The steps of one replacement, written down before they are taken (see the writer).
class CommitJournal {
public:
    explicit CommitJournal(ArchiveWriter& writer) : writer_(writer) {}
    ~CommitJournal() { file_.Close(); }
    bool Begin();
    // Records a new file before it is created, and where it goes.
    bool Move(const std::string& from, const std::string& to);
    // Records an old volume that goes.
    bool Drop(const std::string& name);
    // Makes the journal binding and takes every step; on failure the next run finishes them.
    bool Finish();
    // Removes what was created and the journal; always false.
    bool Undo();

private:
    bool Add(const std::string& text);
    ArchiveWriter& writer_;
    DiskFile file_;
    std::string path_;
    std::vector<std::string> sources_;
    bool created_ = false;
};

} // namespace jar
