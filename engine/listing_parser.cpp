#include "engine/listing_parser.h"

#include "engine/path_helpers.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cstdio>
#include <unordered_map>

namespace {

constexpr long long MaxChapterNumber = MaxListedChapter;
// Deeper than Windows itself can hold: a listing naming such a path is damaged, and building its
// folders would cost memory with the square of the depth.
constexpr size_t MaxPathLevels = 1024;
constexpr size_t MaxPathLength = 32767;
constexpr char DamagedListing[] = "The archive listing is damaged: a path deeper than 1024 levels or longer than 32767 characters\n";

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

// The token (a run of non-blank characters) after the blanks at `pos`, read whole however long;
// `pos` moves past it. Empty at the end of the line.
std::string_view NextToken(std::string_view line, size_t& pos)
{
    while (pos < line.size() && IsBlank(line[pos]))
        ++pos;
    size_t start = pos;
    while (pos < line.size() && !IsBlank(line[pos]))
        ++pos;
    return line.substr(start, pos - start);
}

// The first N tokens of a line; missing ones are empty.
template <size_t N>
std::array<std::string_view, N> Tokens(std::string_view line)
{
    std::array<std::string_view, N> tokens{};
    size_t pos = 0;
    for (size_t t = 0; t < N; ++t) {
        tokens[t] = NextToken(line, pos);
        if (tokens[t].empty())
            break;
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
bool IsDetailLine(const std::array<std::string_view, 9>& tokens)
{
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
            std::string_view token = NextToken(line, pos);
            if (token.empty())
                break;
            tokens.emplace_back(token);
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

std::unique_ptr<ArchiveEntry> MakeDirectoryEntry(const std::string& path)
{
    auto entry = std::make_unique<ArchiveEntry>();
    entry->Path = path;
    EntryColumns::Cells cells{};
    std::string leaf = LeafName(path);
    cells[ArchiveEntry::Name] = leaf;
    cells[ArchiveEntry::Attributes] = "....D";
    cells[ArchiveEntry::Size] = "0";
    entry->Columns.Assign(cells);
    return entry;
}

// LeafName and the parent of ArchiveEntry::ParentDirectory, as views into the path.
std::string_view LeafView(std::string_view path)
{
    if (path == "\\")
        return path;
    size_t slash = path.rfind('\\');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view ParentView(std::string_view path)
{
    size_t slash = path.rfind('\\');
    if (slash == std::string_view::npos)
        return {};
    return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
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
    LineCollector collector(lines);
    LineSplitter(collector).Feed(output);
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
    ChapterListingReader reader(catalogue, chapterNumber);
    for (const std::string& line : lines)
        reader.Line(line);
    return reader.Finish(reportFailure);
}

ChapterListingReader::ChapterListingReader(ArchiveCatalogue& catalogue, int chapterNumber)
    : catalogue_(catalogue), number_(chapterNumber), stage_(Stage::BadChapter)
{
    if (chapterNumber < 1 || chapterNumber > MaxChapterNumber)
        return;
    chapter_ = catalogue.Chapter(chapterNumber);
    if (!chapter_)
        chapter_ = &catalogue.SetChapter(chapterNumber, std::make_unique<ChapterInfo>());
    stage_ = Stage::Header;
}

ChapterListingReader::ChapterListingReader(ArchiveCatalogue& catalogue, NamedByHeader)
    : catalogue_(catalogue), number_(0), stage_(Stage::Header)
{
}

ChapterListingReader::~ChapterListingReader() = default;

// "Analyzing chapter N", N a number the table can hold: that chapter's slot is filled.
bool ChapterListingReader::TakeNamedChapter(std::string_view line)
{
    auto tokens = Tokens<3>(line);
    long long number = LeadingInteger(tokens[2]);
    if (tokens[1] != "chapter" || std::to_string(number) != tokens[2] || number < 1 || number > MaxChapterNumber)
        return false;
    number_ = static_cast<int>(number);
    chapter_ = catalogue_.Chapter(number_);
    if (!chapter_)
        chapter_ = &catalogue_.SetChapter(number_, std::make_unique<ChapterInfo>());
    return true;
}

void ChapterListingReader::Line(std::string_view line)
{
    bool first = firstLine_;
    firstLine_ = false;
    switch (stage_) {
    case Stage::Header:
        if (BeginsWith(line, "ERROR")) {
            stage_ = Stage::Error;
            errorMessage_ = "JAR ";
            errorMessage_.append(line).append("\n");
        } else if (!first && BeginsWith(line, "Analyzing")) {
            if (!chapter_ && !TakeNamedChapter(line)) {
                stage_ = Stage::BadChapter;
                return;
            }
            chapter_->Directories.Obtain("\\");
            // Totals of an earlier listing of this chapter must not survive a listing that lacks them.
            chapter_->TotalFiles.clear();
            chapter_->TotalBytes.clear();
            stage_ = Stage::LeadIn;
        }
        return;
    case Stage::LeadIn:
        if (BeginsWith(line, "1)") || BeginsWith(line, "Total files"))
            EntryOrTotals(line);
        return;
    case Stage::Entries:
        EntryOrTotals(line);
        return;
    case Stage::Comments: {
        auto tokens = Tokens<9>(line);
        if (IsDetailLine(tokens))
            DetailLine(line, tokens);
        else
            entry_->Comment.emplace_back(line);
        return;
    }
    case Stage::Block:
        BlockLine(line);
        return;
    case Stage::Totals:
        if (BeginsWith(line, "Total files")) {
            chapter_->TotalFiles = ScanOne(line, "Total files listed: %s");
            stage_ = Stage::TotalBytes;
        }
        return;
    case Stage::TotalBytes:
        chapter_->TotalBytes = ScanOne(line, "Total bytes in files listed: %s");
        stage_ = Stage::Ratio;
        return;
    case Stage::Ratio: {
        std::vector<std::string> ratio = ScanPattern(line, "Whole archived data ratio: %s / %s %s");
        ratio.resize(3);
        catalogue_.Ratio = FormatRatio(ratio[0], ratio[1]);
        stage_ = Stage::Done;
        return;
    }
    case Stage::Error:
        if (errorMessage_ != DamagedListing)
            errorMessage_.append(line).append("\n");
        return;
    case Stage::BadChapter:
    case Stage::Done:
        return;
    }
}

// Entries follow one another while lines begin with a digit; the first other line starts the
// search for the totals.
void ChapterListingReader::EntryOrTotals(std::string_view line)
{
    if (StartsWithNonZeroDigit(line)) {
        NameLine(line);
        return;
    }
    stage_ = Stage::Totals;
    Line(line);
}

// "N) path": the number, the parenthesis and one blank are dropped.
void ChapterListingReader::NameLine(std::string_view line)
{
    entry_ = std::make_unique<ArchiveEntry>();
    size_t paren = line.find(')');
    named_ = paren != std::string_view::npos && paren + 2 < line.size();
    if (named_) {
        std::string_view name = line.substr(paren + 2);
        if (name.size() > MaxPathLength || size_t(std::count(name.begin(), name.end(), '\\')) >= MaxPathLevels) {
            stage_ = Stage::Error;
            errorMessage_ = DamagedListing;
            return;
        }
        entry_->Path.reserve(name.size() + 1);
        entry_->Path += '\\';
        entry_->Path += name;
    }
    stage_ = Stage::Comments;
}

void ChapterListingReader::DetailLine(std::string_view line, const std::array<std::string_view, 9>& details)
{
    cells_[ArchiveEntry::Size] = details[0];
    cells_[ArchiveEntry::Attributes] = details[1];
    cells_[ArchiveEntry::Method] = details[3];
    cells_[ArchiveEntry::Chapter] = details[4];
    cells_[ArchiveEntry::Modified].assign(details[5]).append(" ").append(details[6]);
    cells_[ArchiveEntry::Created].assign(details[7]).append(" ").append(details[8]);
    // Should the listing end here, this line is where the search for the totals begins.
    detailIsTotals_ = BeginsWith(line, "Total files");
    if (detailIsTotals_)
        detailTotalFiles_ = ScanOne(line, "Total files listed: %s");
    stage_ = Stage::Block;
}

void ChapterListingReader::BlockLine(std::string_view line)
{
    detailIsTotals_ = false;
    stage_ = Stage::Entries;
    std::unique_ptr<ArchiveEntry> entry = std::move(entry_);
    // A name line without a name has nowhere to go.
    if (!named_)
        return;
    EntryColumns::Cells cells;
    for (size_t c = 0; c < EntryColumnCount; ++c)
        cells[c] = cells_[c];
    cells[ArchiveEntry::Name] = LeafView(entry->Path);
    cells[ArchiveEntry::Block] = Tokens<1>(line)[0];
    cells[ArchiveEntry::Source] = {};
    entry->Columns.Assign(cells);
    AddEntry(std::move(entry));
}

// Files before directories never happen in our own listings, but when a directory's line comes
// after entries inside it, the directory entry already made up for it takes the real line's
// place instead of the directory being shown twice.
void ChapterListingReader::AddEntry(std::unique_ptr<ArchiveEntry> entry)
{
    if (onEntry)
        onEntry(*entry);
    DirectoryMap& directories = chapter_->Directories;
    if (entry->IsDirectory()) {
        directories.Obtain(entry->Path);
        auto found = madeUp_.find(entry->Path);
        if (found != madeUp_.end()) {
            *found->second = std::move(*entry);
            madeUp_.erase(found);
            return;
        }
    }
    std::string_view parentView = ParentView(entry->Path);
    if (lastList_ && parentView == lastParent_) {
        lastList_->Add(std::move(entry));
        return;
    }
    std::string parent(parentView);
    if (EntryList* list = directories.Find(parent)) {
        list->Add(std::move(entry));
        lastParent_ = parent;
        lastList_ = list;
        return;
    }
    EntryList& list = directories.Obtain(parent);
    list.Add(std::move(entry));
    lastParent_ = parent;
    lastList_ = &list;

    // Complete the ancestors the listing only implies, up to the first one that has a list.
    std::string directory = parent;
    std::string grandParent;
    while (ParentPath(directory, grandParent)) {
        auto made = MakeDirectoryEntry(directory);
        madeUp_[directory] = made.get();
        if (EntryList* above = directories.Find(grandParent)) {
            above->Add(std::move(made));
            break;
        }
        directories.Obtain(grandParent).Add(std::move(made));
        directory = grandParent;
    }
}

bool ChapterListingReader::Finish(const FailureReporter& reportFailure)
{
    switch (stage_) {
    case Stage::BadChapter:
        reportFailure("No chapter " + std::to_string(number_) + " in this archive");
        return false;
    case Stage::Error:
        reportFailure(errorMessage_);
        return false;
    case Stage::Header:
        if (!chapter_) {
            reportFailure("No chapter found in this archive");
            return false;
        }
        chapter_->Directories.Obtain("\\");
        return true;
    case Stage::Block:
        // Output that stops inside an entry keeps what came before and adds nothing half-filled.
        if (detailIsTotals_)
            chapter_->TotalFiles = detailTotalFiles_;
        return true;
    default:
        return true;
    }
}
