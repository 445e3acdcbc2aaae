// The archiver's commands, and what they share: opening an archive, choosing entries by name,
// turning archive paths into safe disk paths.
#pragma once

#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

#include "archiver/archive_source.h"
#include "archiver/command_line.h"

namespace jar {

class ArchiveWriter;

// Reads a block and hands its plain bytes to `sink` in pieces; false with a reason when the data
// is damaged (CRC-32, bad deflate data) or cannot be read, or the sink refuses.
bool ReadBlock(ArchiveSource& source, const DataBlock& block, const std::function<bool(const char*, size_t)>& sink,
               std::string& error);
// Drops versions no chapter holds, sorts the rest, and copies into `writer` the old blocks
// (indexes below oldBlockCount) still used; newer blocks are already written.
bool CopyKeptBlocks(ArchiveSource* source, ArchiveIndex& index, size_t oldBlockCount, ArchiveWriter& writer);

// Runs one command line (the text after the program name); the process exit code.
int RunArchiver(const std::string& rawArguments);

int AddFiles(const Options& options);
int ExtractFiles(const Options& options);
int TestArchive(const Options& options);
int DeleteFiles(const Options& options);
int DeleteChapters(const Options& options);
int CompactArchive(const Options& options);
int ListChapters(const Options& options);
int ListChapter(const Options& options);

// Opens an existing archive and reads its index; prints the ERROR line itself.
bool OpenArchive(const std::string& path, ArchiveSource& source, ArchiveIndex& index, IndexPart part = IndexPart::Whole);
// The lines of every list file, in order; false (after an ERROR line) when one cannot be read.
bool ReadListFiles(const std::vector<std::string>& listFiles, std::vector<std::string>& lines);
// Reads a comment source: a file, "NUL" (empty), or "*" (typed on the console).
bool ReadComment(const std::string& source, const std::string& what, std::string& comment);
// Comma-grouped decimal digits.
std::string GroupDigits(uint64_t value);
// '*' and '?' wildcards, letter case ignored.
bool WildcardMatch(const char* pattern, const char* text);
bool HasWildcards(const std::string& text);
std::string LowerCase(std::string text);

// Chooses archive entries by the names of a command line or list file: exact archive paths
// (leading backslash optional) or wildcard patterns; "*" alone names everything. With
// recursion a pattern also reaches subfolders and a folder's name takes what it holds.
class NameMatcher {
public:
    // `literal` names are exact archive paths even when they hold '*' or '?'.
    NameMatcher(const std::vector<std::string>& names, bool recurse, const std::vector<std::string>& literal = {});
    bool MatchesAll() const { return all_; }
    bool Matches(const std::string& path) const;

private:
    bool all_ = false;
    bool recurse_ = false;
    std::unordered_set<std::string> exact_;
    std::vector<std::pair<std::string, std::string>> patterns_; // folder (lower case), leaf pattern
};

// The matcher for a command's names and its list files' lines. A line of a list file that names
// an entry exactly is that entry, even with '*' or '?' in it (Torvex lists the names it shows);
// only a line that names no entry is a pattern. Names on the command line stay patterns.
NameMatcher MatcherFor(const Options& options, const std::vector<std::string>& listLines, const ArchiveIndex& index);

// The components of an archive path, or false when one would leave the target folder
// ("..", ".", a drive, a separator of another kind, control characters).
bool SafeComponents(const std::string& archivePath, std::vector<std::string>& components);

} // namespace jar
