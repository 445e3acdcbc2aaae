// The archiver's command line: split from the raw text by the program itself (blanks separate,
// double quotes group and are removed, a backslash is an ordinary character), then read as
// command, switches, archive and names.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace jar {

std::vector<std::string> SplitCommandLine(const std::string& raw);

enum class Command { None, Add, Update, Freshen, AddChapter, Extract, ExtractFlat, Delete, DeleteAll, DeleteChapters, Compact, Test, ListChapters, List };

// How a -f or -u rule compares a new copy with the one it would replace.
enum class DateRule { None, Newer, Older, DateOrSize };

struct Options {
    Command command = Command::None;
    std::string commandWord;
    bool yesToAll = false;
    bool recurse = false;
    bool keepPaths = true;
    bool keepPathsGiven = false;
    // Chapter choice: none given, N, N-M or N- (last 0 = open end).
    bool chaptersGiven = false;
    uint32_t chapterFirst = 0;
    uint32_t chapterLast = 0;
    std::string outputFolder;
    bool outputGiven = false;
    std::string workFolder;
    int level = 3;
    DateRule rule = DateRule::None;
    // -f: only files already there; -u: those and new ones.
    bool freshenOnly = false;
    // Comments: the text source. Empty = not asked; "NUL" erases; "*" asks on the console.
    std::string archiveComment;
    std::string chapterComment;
    // Volumes.
    bool volumes = false;
    uint64_t volumeSize = 0; // 0 = fit the free space
    bool removable = false;
    std::string volumeCommand;
    std::string archive;
    std::vector<std::string> names;     // names, patterns and "*"
    std::vector<std::string> listFiles; // after "!"
};

// False with a message in `error` for a command line the archiver cannot run.
bool ParseCommandLine(const std::vector<std::string>& tokens, Options& options, std::string& error);

} // namespace jar
