#include "archiver/commands.h"

#include <cctype>

#include "archiver/archive_writer.h"
#include "archiver/console_output.h"
#include "archiver/file_system.h"
#include "archiver/progress.h"

namespace jar {

namespace {
void LowerInPlace(std::string& text)
{
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
}
} // namespace

std::string LowerCase(std::string text)
{
    LowerInPlace(text);
    return text;
}

bool HasWildcards(const std::string& text) { return text.find_first_of("*?") != std::string::npos; }

bool WildcardMatch(const char* pattern, const char* text)
{
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*text) {
        if (*pattern == '*') {
            star = pattern++;
            resume = text;
        } else if (*pattern == '?' ||
                   std::tolower(static_cast<unsigned char>(*pattern)) == std::tolower(static_cast<unsigned char>(*text))) {
            ++pattern;
            ++text;
        } else if (star) {
            pattern = star + 1;
            text = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == '*')
        ++pattern;
    return *pattern == '\0';
}

std::string GroupDigits(uint64_t value)
{
    std::string digits = std::to_string(value), grouped;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += ',';
        grouped += digits[i];
    }
    return grouped;
}

namespace {
std::string ArchivePathOf(std::string name)
{
    for (char& c : name)
        if (c == '/')
            c = '\\';
    while (name.size() > 1 && name.back() == '\\')
        name.pop_back();
    if (name.empty() || name[0] != '\\')
        name.insert(name.begin(), '\\');
    return name;
}
} // namespace

NameMatcher::NameMatcher(const std::vector<std::string>& names, bool recurse, const std::vector<std::string>& literal)
    : recurse_(recurse)
{
    all_ = names.empty() && literal.empty();
    for (const std::string& raw : literal)
        exact_.insert(LowerCase(ArchivePathOf(raw)));
    for (const std::string& raw : names) {
        if (raw == "*" || raw == "*.*") {
            all_ = true;
            continue;
        }
        std::string path = ArchivePathOf(raw);
        if (!HasWildcards(path)) {
            exact_.insert(LowerCase(path));
            continue;
        }
        size_t slash = path.rfind('\\');
        std::string folder = slash == 0 ? "\\" : path.substr(0, slash);
        patterns_.emplace_back(LowerCase(folder), path.substr(slash + 1));
    }
}

bool NameMatcher::Matches(const std::string& path) const
{
    if (all_)
        return true;
    std::string lower = LowerCase(path);
    if (exact_.count(lower))
        return true;
    size_t slash = lower.rfind('\\');
    std::string folder = slash == 0 ? "\\" : lower.substr(0, slash);
    if (recurse_ && !exact_.empty()) {
        for (std::string up = folder; up.size() > 1;) {
            if (exact_.count(up))
                return true;
            size_t cut = up.rfind('\\');
            up = cut == 0 ? "\\" : up.substr(0, cut);
        }
    }
    const char* leaf = path.c_str() + slash + 1;
    for (const auto& [patternFolder, leafPattern] : patterns_) {
        bool inFolder = folder == patternFolder ||
                        (recurse_ && (patternFolder == "\\" || (folder.size() > patternFolder.size() &&
                                                                folder.compare(0, patternFolder.size(), patternFolder) == 0 &&
                                                                folder[patternFolder.size()] == '\\')));
        if (inFolder && WildcardMatch(leafPattern.c_str(), leaf))
            return true;
    }
    return false;
}

NameMatcher MatcherFor(const Options& options, const std::vector<std::string>& listLines, const ArchiveIndex& index)
{
    std::vector<std::string> names = options.names, literal;
    // A list line with wildcards that names a stored path is that path, not a pattern. The few
    // such lines are looked for among the stored paths in one pass, one reused buffer for all.
    std::unordered_set<std::string> wild;
    for (const std::string& line : listLines)
        if (HasWildcards(line))
            wild.insert(LowerCase(ArchivePathOf(line)));
    std::unordered_set<std::string> stored;
    std::string lower;
    for (const StoredEntry& e : index.entries) {
        if (wild.empty())
            break;
        lower.assign(e.path);
        LowerInPlace(lower);
        if (wild.erase(lower))
            stored.insert(lower);
    }
    for (const std::string& line : listLines)
        (HasWildcards(line) && stored.count(LowerCase(ArchivePathOf(line))) ? literal : names).push_back(line);
    return NameMatcher(names, options.recurse, literal);
}

bool SafeComponents(const std::string& archivePath, std::vector<std::string>& components)
{
    components.clear();
    if (archivePath.size() < 2 || archivePath[0] != '\\')
        return false;
    size_t start = 1;
    for (;;) {
        size_t end = archivePath.find('\\', start);
        std::string part = archivePath.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (part.empty() || part == "." || part == ".." || part.find_first_of(":/") != std::string::npos)
            return false;
        for (char c : part)
            if (static_cast<unsigned char>(c) < 0x20)
                return false;
        // Windows drops trailing dots and blanks, which would make "..." or ".. " a way up.
        if (part.find_first_not_of(". ") == std::string::npos)
            return false;
        components.push_back(part);
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return true;
}

bool OpenArchive(const std::string& path, ArchiveSource& source, ArchiveIndex& index, IndexPart part)
{
    FileInfo info;
    if (!GetFileInfo(path, info) || info.isDirectory) {
        Console::Error("archive not found: " + path);
        return false;
    }
    std::string error;
    bool opened = source.Open(path, error);
    // A writer that began replacing the volumes meanwhile: wait for it, then read the new set.
    if (CommitPending(path)) {
        source.Close();
        ArchiveHold hold;
        if (!hold.Acquire(path, "") || !RecoverInterruptedCommit(path))
            return false;
        opened = source.Open(path, error);
    }
    if (!opened || !LoadIndex(source, index, error, part)) {
        Console::Error(path + ": " + error);
        return false;
    }
    return true;
}

bool ReadListFiles(const std::vector<std::string>& listFiles, std::vector<std::string>& lines)
{
    for (const std::string& name : listFiles) {
        std::string path = ToDiskSeparators(name);
        DiskFile file;
        if (!file.Open(path, DiskFile::ForReading)) {
            Console::Error("can't open list file " + path + ": " + LastErrorText());
            return false;
        }
        std::string text(size_t(file.Size()), '\0');
        if (!text.empty() && !file.ReadAt(0, text.data(), text.size())) {
            Console::Error("can't read list file " + path + ": " + LastErrorText());
            return false;
        }
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string::npos)
                end = text.size();
            std::string line = text.substr(start, end - start);
            while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
                line.pop_back();
            if (!line.empty())
                lines.push_back(line);
            start = end + 1;
        }
    }
    return true;
}

bool ReadComment(const std::string& source, const std::string& what, std::string& comment)
{
    comment.clear();
    if (source == "NUL")
        return true;
    if (source == "*") {
        comment = Console::ReadText("Type the " + what + " comment; end it with an empty line:");
    } else {
        std::string path = ToDiskSeparators(source);
        DiskFile file;
        if (!file.Open(path, DiskFile::ForReading)) {
            Console::Error("can't open comment file " + path + ": " + LastErrorText());
            return false;
        }
        comment.resize(size_t(file.Size()));
        if (!comment.empty() && !file.ReadAt(0, comment.data(), comment.size())) {
            Console::Error("can't read comment file " + path + ": " + LastErrorText());
            return false;
        }
    }
    std::string clean;
    for (char c : comment)
        if (c != '\r' && c != '\x1a')
            clean += c;
    while (!clean.empty() && (clean.back() == '\n' || clean.back() == ' '))
        clean.pop_back();
    comment = clean;
    return true;
}

namespace {
void PrintUsage()
{
    const char* lines[] = {
        "Usage: jar32 <command> [switches] <archive> [names | * | !listfile ...]",
        "Commands: a add, u update, f freshen, ac add as a new chapter, x extract with paths,",
        "  e extract without paths, d delete in the last chapter, da delete in all chapters,",
        "  dc delete chapters (numbers follow the archive), o optimize (rewrite without the space of",
        "  removed data), t test, lc list chapters, v list a chapter",
        "Switches: -y yes to all  -r/-r- recursion  -jf/-jf- keep paths or not  -jbN, -jbN-M, -jbN- chapters",
        "  -oDIR target folder (folder inside the archive when adding)  -wDIR work folder",
        "  -m1..-m4 compression  -f/-u[1|2] freshen/update: newer, older, date or size changed",
        "  -zFILE/-hzFILE archive/chapter comment (NUL erases, nothing asks)",
        "  -v<bytes|a>[v][s\"command\"] volumes",
    };
    for (const char* line : lines)
        Console::Line(line);
}
} // namespace

int RunArchiver(const std::string& rawArguments)
{
    Progress::SetUp();
    Console::Line("JAR32 1.00  chaptered archiver of Torvex");
    Console::Line("");
    std::vector<std::string> tokens = SplitCommandLine(rawArguments);
    if (tokens.empty()) {
        PrintUsage();
        Console::Flush();
        return 0;
    }
    Options options;
    std::string error;
    if (!ParseCommandLine(tokens, options, error)) {
        Console::Error(error);
        PrintUsage();
        Console::Flush();
        return 2;
    }
    options.archive = FullPath(ToDiskSeparators(options.archive));
    bool writes = options.command == Command::Add || options.command == Command::Update ||
                  options.command == Command::Freshen || options.command == Command::AddChapter ||
                  options.command == Command::Delete || options.command == Command::DeleteAll ||
                  options.command == Command::DeleteChapters || options.command == Command::Compact;
    // A writer holds the archive from its first read to its last rename, so no other change
    // slips in between. A reader takes the hold only for a moment, to clean up after a killed run.
    ArchiveHold hold;
    if (writes || CommitPending(options.archive)) {
        if (!hold.Acquire(options.archive, rawArguments)) {
            Console::Flush();
            return 1;
        }
    } else if (LeftoversOf(options.archive, options.workFolder)) {
        // Only when there is something to clean up: a listing must not touch the folder.
        hold.TryAcquire(options.archive);
    }
    if (hold.Held()) {
        if (!RecoverInterruptedCommit(options.archive)) {
            Console::Flush();
            return 1;
        }
        // A write killed half-way leaves its temporary file; whatever this run does, it goes now.
        RemoveStaleTemporary(options.archive, options.workFolder);
        if (!writes)
            hold.Release();
    }
    FileInfo archiveInfo;
    if (writes && GetFileInfo(LinkTarget(options.archive), archiveInfo) && !archiveInfo.isDirectory &&
        (archiveInfo.attributes & kAttrReadOnly)) {
        Console::Error(options.archive + " is read-only; it was not changed");
        Console::Flush();
        return 1;
    }
    int result = 0;
    switch (options.command) {
    case Command::Add:
    case Command::Update:
    case Command::Freshen:
    case Command::AddChapter:
        result = AddFiles(options);
        break;
    case Command::Extract:
    case Command::ExtractFlat:
        result = ExtractFiles(options);
        break;
    case Command::Delete:
    case Command::DeleteAll:
        result = DeleteFiles(options);
        break;
    case Command::DeleteChapters:
        result = DeleteChapters(options);
        break;
    case Command::Compact:
        result = CompactArchive(options);
        break;
    case Command::Test:
        result = TestArchive(options);
        break;
    case Command::ListChapters:
        result = ListChapters(options);
        break;
    case Command::List:
        result = ListChapter(options);
        break;
    case Command::None:
        break;
    }
    Console::Flush();
    // A warning is a file not handled as asked: the run did not do all it was told.
    if (result == 0 && (Console::ErrorCount() > 0 || Console::WarningCount() > 0))
        result = 1;
    // Stopped by the caller's Cancel; a run that finished before it saw the signal did its work.
    if (result != 0 && CancelAsked())
        result = kCancelledExitCode;
    return result;
}

} // namespace jar
