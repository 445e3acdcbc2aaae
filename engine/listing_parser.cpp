#include "engine/listing_parser.h"

#include "engine/path_helpers.h"

#include <array>
#include <charconv>
#include <climits>
#include <cstdio>
#include <unordered_map>

namespace {

// Chapter numbers past this are not taken from a listing: the chapter table is indexed by them.
constexpr long long MaxChapterNumber = 100000;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool BeginsWith(std::string_view line, std::string_view text)
{
    return line.substr(0, text.size()) == text;
}

bool Contains(std::string_view line, std::string_view text)
{
    return line.find(text) != std::string_view::npos;
}

// The first N tokens of a line (runs of non-blank characters); missing ones are empty. A token
// is read whole, however long.
template <size_t N>
std::array<std::string_view, N> Tokens(std::string_view line)
{
    std::array<std::string_view, N> tokens{};
    size_t pos = 0;
    for (size_t t = 0; t < N; ++t) {
        while (pos < line.size() && IsBlank(line[pos]))
            ++pos;
        size_t start = pos;
        while (pos < line.size() && !IsBlank(line[pos]))
            ++pos;
        if (start == pos)
            break;
        tokens[t] = line.substr(start, pos - start);
    }
    return tokens;
}

// The leading decimal integer of a token (optional sign), 0 when it does not start with one;
// saturates instead of overflowing.
long long LeadingInteger(std::string_view token)
{
    size_t pos = 0;
    bool negative = false;
    if (pos < token.size() && (token[pos] == '+' || token[pos] == '-'))
        negative = token[pos++] == '-';
    long long value = 0;
    for (; pos < token.size() && token[pos] >= '0' && token[pos] <= '9'; ++pos)
        value = value > (LLONG_MAX - 9) / 10 ? LLONG_MAX : value * 10 + (token[pos] - '0');
    return negative ? -value : value;
}

bool ThirdCharacterIsColon(std::string_view token)
{
    return token.size() >= 3 && token[2] == ':';
}

// A chapter line: a chapter number first, or a time ("12:30:00") as the third token.
bool IsChapterLine(std::string_view line)
{
    auto tokens = Tokens<3>(line);
    return LeadingInteger(tokens[0]) != 0 || ThirdCharacterIsColon(tokens[2]);
}

// A detail line: a size first, or a time as the seventh token (which also catches size 0).
bool IsDetailLine(std::string_view line)
{
    auto tokens = Tokens<7>(line);
    return LeadingInteger(tokens[0]) != 0 || ThirdCharacterIsColon(tokens[6]);
}

bool StartsWithNonZeroDigit(std::string_view line)
{
    return !line.empty() && line[0] >= '1' && line[0] <= '9';
}

// Matches a line the way the totals are read: literal characters must match, a blank in the
// pattern matches any run of white space (none included), "%s" reads one token. Returns the
// tokens read before the first mismatch.
std::vector<std::string> ScanPattern(std::string_view line, std::string_view pattern)
{
    std::vector<std::string> tokens;
    size_t pos = 0;
    for (size_t p = 0; p < pattern.size(); ++p) {
        if (IsBlank(pattern[p])) {
            while (pos < line.size() && IsBlank(line[pos]))
                ++pos;
        } else if (pattern.substr(p, 2) == "%s") {
            while (pos < line.size() && IsBlank(line[pos]))
                ++pos;
            size_t start = pos;
            while (pos < line.size() && !IsBlank(line[pos]))
                ++pos;
            if (start == pos)
                break;
            tokens.emplace_back(line.substr(start, pos - start));
            ++p;
        } else if (pos < line.size() && line[pos] == pattern[p]) {
            ++pos;
        } else {
            break;
        }
    }
    return tokens;
}

std::string ScanOne(std::string_view line, std::string_view pattern)
{
    std::vector<std::string> tokens = ScanPattern(line, pattern);
    return tokens.empty() ? std::string() : tokens[0];
}

// The longest leading decimal number (sign, fraction, exponent), 0 when there is none.
double LeadingNumber(std::string_view text)
{
    size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        negative = text[pos++] == '-';
    size_t start = pos;
    size_t digits = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9')
        ++pos, ++digits;
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9')
            ++pos, ++digits;
    }
    if (digits == 0)
        return 0.0;
    size_t end = pos;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        size_t e = pos + 1;
        if (e < text.size() && (text[e] == '+' || text[e] == '-'))
            ++e;
        if (e < text.size() && text[e] >= '0' && text[e] <= '9') {
            while (e < text.size() && text[e] >= '0' && text[e] <= '9')
                ++e;
            end = e;
        }
    }
    double value = 0.0;
    std::from_chars(text.data() + start, text.data() + end, value);
    return negative ? -value : value;
}

// Files before directories never happen in our own listings, but when a directory's line comes
// after entries inside it, the directory entry already made up for it takes the real line's
// place instead of the directory being shown twice.
using MadeUpDirectories = std::unordered_map<std::string, ArchiveEntry*>;

std::unique_ptr<ArchiveEntry> MakeDirectoryEntry(const std::string& path)
{
    auto entry = std::make_unique<ArchiveEntry>();
    entry->Path = path;
    entry->Columns[ArchiveEntry::Name] = LeafName(path);
    // Built as strings first: GCC 12 warns falsely about assigning short literals here.
    entry->Columns[ArchiveEntry::Attributes] = std::string("....D");
    entry->Columns[ArchiveEntry::Size] = std::string("0");
    return entry;
}

void AddEntry(DirectoryMap& directories, std::unique_ptr<ArchiveEntry> entry, MadeUpDirectories& madeUp)
{
    if (entry->IsDirectory()) {
        directories.Obtain(entry->Path);
        auto found = madeUp.find(entry->Path);
        if (found != madeUp.end()) {
            *found->second = std::move(*entry);
            madeUp.erase(found);
            return;
        }
    }
    std::string parent;
    entry->ParentDirectory(parent);
    if (EntryList* list = directories.Find(parent)) {
        list->Add(std::move(entry));
        return;
    }
    directories.Obtain(parent).Add(std::move(entry));

    // Complete the ancestors the listing only implies, up to the first one that has a list.
    std::string directory = parent;
    std::string grandParent;
    while (ParentPath(directory, grandParent)) {
        auto made = MakeDirectoryEntry(directory);
        madeUp[directory] = made.get();
        EntryList* list = directories.Find(grandParent);
        if (list) {
            list->Add(std::move(made));
            break;
        }
        directories.Obtain(grandParent).Add(std::move(made));
        directory = grandParent;
    }
}

} // namespace

std::string JarErrorMessage(const std::vector<std::string>& lines, size_t first)
{
    std::string message = "JAR ";
    for (size_t i = first; i < lines.size(); ++i) {
        message += lines[i];
        message += '\n';
    }
    return message;
}

std::string FormatRatio(const std::string& packed, const std::string& original)
{
    auto withoutCommas = [](std::string text) {
        std::erase(text, ',');
        return text;
    };
    double ratio = LeadingNumber(withoutCommas(packed)) / (LeadingNumber(withoutCommas(original)) + 1.0);
    int length = std::snprintf(nullptr, 0, "%.2f", ratio);
    std::string text(static_cast<size_t>(length > 0 ? length : 0), '\0');
    std::snprintf(text.data(), text.size() + 1, "%.2f", ratio);
    return text;
}

void SplitOutputLines(std::string_view output, std::vector<std::string>& lines)
{
    size_t start = 0;
    for (size_t lf = output.find('\n'); lf != std::string_view::npos; lf = output.find('\n', start)) {
        size_t end = lf;
        if (end > start && output[end - 1] == '\r')
            --end;
        lines.emplace_back(output.substr(start, end - start));
        start = lf + 1;
    }
}

bool ParseChapterList(const std::vector<std::string>& lines, ArchiveCatalogue& catalogue, const FailureReporter& reportFailure)
{
    // A fresh list replaces the comment of the one before.
    catalogue.ArchiveComment.clear();
    const size_t count = lines.size();
    size_t i = 0;

    for (;; ++i) {
        if (i == count)
            return true;
        if (BeginsWith(lines[i], "ERROR")) {
            reportFailure(JarErrorMessage(lines, i));
            return false;
        }
        if (i > 0 && BeginsWith(lines[i], "Archive")) {
            catalogue.ArchiveLine = lines[i++];
            break;
        }
    }

    for (;; ++i) {
        if (i == count)
            return true;
        if (BeginsWith(lines[i], "Analyzing") || BeginsWith(lines[i], "Current chapter")) {
            ++i;
            break;
        }
        if (!lines[i].empty())
            catalogue.ArchiveComment.push_back(lines[i]);
    }

    // Column titles carry no digit.
    while (i < count && lines[i].find_first_of("123456789") == std::string::npos)
        ++i;

    ChapterInfo* chapter = nullptr;
    for (size_t first = i; i < count; ++i) {
        const std::string& line = lines[i];
        if (i == first || IsChapterLine(line)) {
            auto tokens = Tokens<5>(line);
            long long number = LeadingInteger(tokens[0]);
            // A number the table cannot hold starts no chapter; its comment lines are dropped.
            if (number < 1 || number > MaxChapterNumber) {
                chapter = nullptr;
                continue;
            }
            auto info = std::make_unique<ChapterInfo>();
            info->FirstStamp = std::string(tokens[1]) + " " + std::string(tokens[2]);
            info->SecondStamp = std::string(tokens[3]) + " " + std::string(tokens[4]);
            catalogue.LastChapter = static_cast<int>(number);
            chapter = &catalogue.SetChapter(catalogue.LastChapter, std::move(info));
            continue;
        }
        if (Contains(line, "Total chapters listed:"))
            return true;
        if (chapter && !line.empty())
            chapter->ChapterComment.push_back(line);
    }
    return true;
}

bool ParseChapterListing(const std::vector<std::string>& lines, ArchiveCatalogue& catalogue, int chapterNumber, const FailureReporter& reportFailure)
{
    if (chapterNumber < 1 || chapterNumber > MaxChapterNumber) {
        reportFailure("No chapter " + std::to_string(chapterNumber) + " in this archive");
        return false;
    }
    ChapterInfo* chapter = catalogue.Chapter(chapterNumber);
    if (!chapter)
        chapter = &catalogue.SetChapter(chapterNumber, std::make_unique<ChapterInfo>());
    DirectoryMap& directories = chapter->Directories;
    const size_t count = lines.size();
    size_t i = 0;

    for (;; ++i) {
        if (i == count) {
            directories.Obtain("\\");
            return true;
        }
        if (BeginsWith(lines[i], "ERROR")) {
            reportFailure(JarErrorMessage(lines, i));
            return false;
        }
        if (i > 0 && BeginsWith(lines[i], "Analyzing")) {
            ++i;
            break;
        }
    }

    directories.Obtain("\\");
    // Totals of an earlier listing of this chapter must not survive a listing that lacks them.
    chapter->TotalFiles.clear();
    chapter->TotalBytes.clear();

    while (i < count && !BeginsWith(lines[i], "1)") && !BeginsWith(lines[i], "Total files"))
        ++i;

    MadeUpDirectories madeUp;
    while (i < count && StartsWithNonZeroDigit(lines[i])) {
        // Name line: "N) path"; the number, the parenthesis and one blank are dropped.
        const std::string& nameLine = lines[i];
        size_t paren = nameLine.find(')');
        bool named = paren != std::string::npos && paren + 2 < nameLine.size();
        auto entry = std::make_unique<ArchiveEntry>();
        if (named)
            entry->Path = "\\" + nameLine.substr(paren + 2);

        for (++i; i < count && !IsDetailLine(lines[i]); ++i)
            entry->Comment.push_back(lines[i]);
        // Output that stops inside an entry keeps what came before and adds nothing half-filled.
        if (i + 1 >= count)
            break;

        auto details = Tokens<9>(lines[i]);
        auto& columns = entry->Columns;
        columns[ArchiveEntry::Size] = details[0];
        columns[ArchiveEntry::Attributes] = details[1];
        columns[ArchiveEntry::Method] = details[3];
        columns[ArchiveEntry::Chapter] = details[4];
        columns[ArchiveEntry::Modified] = std::string(details[5]) + " " + std::string(details[6]);
        columns[ArchiveEntry::Created] = std::string(details[7]) + " " + std::string(details[8]);
        columns[ArchiveEntry::Name] = LeafName(entry->Path);
        columns[ArchiveEntry::Block] = Tokens<1>(lines[i + 1])[0];
        i += 2;

        // A name line without a name has nowhere to go.
        if (named)
            AddEntry(directories, std::move(entry), madeUp);
    }

    while (i < count && !BeginsWith(lines[i], "Total files"))
        ++i;
    if (i == count)
        return true;
    chapter->TotalFiles = ScanOne(lines[i], "Total files listed: %s");
    if (i + 1 < count)
        chapter->TotalBytes = ScanOne(lines[i + 1], "Total bytes in files listed: %s");
    if (i + 2 < count) {
        std::vector<std::string> ratio = ScanPattern(lines[i + 2], "Whole archived data ratio: %s / %s %s");
        ratio.resize(3);
        catalogue.Ratio = FormatRatio(ratio[0], ratio[1]);
    }
    return true;
}
