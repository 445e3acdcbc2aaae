// Files of an archive extracted for viewing: each copy is remembered so that a second View of the
// same entry reopens it, and so that edited copies can be put back into their archives. The
// records also go to a small journal, so that edits survive a Torvex that was killed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct ViewRecord {
    int chapter = 0;
    // tempDir followed by entryPath.
    std::string extractedFile;
    // The entry's archive path (leading backslash).
    std::string entryPath;
    std::string archivePath;
    // The "TTmp" folder made for this copy alone.
    std::string tempDir;
    // Last-write time of the copy after extraction or after its last successful save.
    std::uint64_t stamp = 0;
    // A save of this copy was agreed and is not done yet.
    bool saveMark = false;
};

using ViewedFiles = std::vector<ViewRecord>;

// The record of (archive, entry, chapter); paths compare case-sensitively. nullptr when none.
const ViewRecord* FindViewRecord(const ViewedFiles& records, const std::string& archivePath,
                                 const std::string& entryPath, int chapter);

// The save list's line for a copy: tempDir, "\.", entryPath, CR LF (the marker shows where the
// path stored in the archive begins, so the copy goes back to its own place).
std::string SaveListLine(const ViewRecord& record);

// The marked records grouped by archive (first-seen order of the archives, records in list order),
// as indices into `records`. Clears every saveMark it takes.
struct SaveGroup {
    std::string archivePath;
    std::vector<std::size_t> records;
};
std::vector<SaveGroup> TakeMarkedGroups(ViewedFiles& records);

// The journal: one line per record, fields separated by tabs (no field of a Windows path or a
// number holds a tab), first line a version mark. Parsing skips lines it cannot read, so a journal
// cut short by a kill still gives every whole record before the cut.
std::string JournalText(const ViewedFiles& records);
ViewedFiles ParseJournal(const std::string& text);

// The journal's file name for a process, in the temporary folder: "~TTmpJournal<pid>.txt".
std::string JournalFileName(unsigned long processId);
// The process id in a journal file name; none for a name of another kind.
std::optional<unsigned long> JournalProcessId(const std::string& fileName);
// The process id a name of the form prefix<pid>suffix carries; none for a name of another form.
std::optional<unsigned long> ProcessIdInName(const std::string& name, const std::string& prefix,
                                             const std::string& suffix);
