#include "operations/find_rules.h"

#include "framework/name_compare.h"

#include <cctype>
#include <charconv>

bool FindMatches(const FindQuery& query, const EntryVersion& version)
{
    if (version.Implied() || (query.chapter != 0 && !version.In(query.chapter)))
        return false;
    const ArchiveEntry& entry = *version.entry;
    if (query.minSize >= 0 || query.maxSize >= 0) {
        std::string_view text = entry.Columns[ArchiveEntry::Size].view();
        long long size = -1;
        auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), size);
        if (entry.IsDirectory() || error != std::errc() || end != text.data() + text.size())
            return false;
        if ((query.minSize >= 0 && size < query.minSize) || (query.maxSize >= 0 && size > query.maxSize))
            return false;
    }
    if (!query.modifiedSince.empty() && entry.Columns[ArchiveEntry::Modified].view() < query.modifiedSince)
        return false;
    std::string_view path = entry.Path;
    std::string_view subject = query.pattern.find('\\') != std::string::npos
                                   ? path.substr(path.empty() ? 0 : 1)
                                   : path.substr(path.rfind('\\') + 1);
    return MatchesNamePattern(query.pattern, subject);
}

namespace {

bool ReadBytes(const std::string& text, long long& value)
{
    value = -1;
    if (text.empty())
        return true;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value >= 0;
}

// "YYYY-MM-DD" or "YYYY-MM-DD HH:MM:SS", as the listings write dates.
bool IsStamp(const std::string& text)
{
    const std::string shape = "dddd-dd-dd dd:dd:dd";
    if (text.size() != 10 && text.size() != shape.size())
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        bool digit = std::isdigit(static_cast<unsigned char>(text[i])) != 0;
        if (shape[i] == 'd' ? !digit : text[i] != shape[i])
            return false;
    }
    return true;
}

} // namespace

bool ReadFindQuery(const std::string& pattern, const std::string& minSize, const std::string& maxSize,
                   const std::string& since, int chapter, FindQuery& query, std::string& error)
{
    FindQuery read;
    read.pattern = pattern.empty() ? "*" : pattern;
    read.chapter = chapter;
    if (!ReadBytes(minSize, read.minSize) || !ReadBytes(maxSize, read.maxSize)) {
        error = "Give sizes as a number of bytes, or leave them empty.";
        return false;
    }
    if (read.maxSize >= 0 && read.minSize > read.maxSize) {
        error = "The smallest size is larger than the largest.";
        return false;
    }
    if (!since.empty() && !IsStamp(since)) {
        error = "Give the date as YYYY-MM-DD (a time HH:MM:SS may follow), or leave it empty.";
        return false;
    }
    read.modifiedSince = since;
    query = read;
    return true;
}

FindSink::FindSink(const FindQuery& query, std::function<void(FoundEntry)> found, const std::atomic<bool>& stop)
    : query_(query), found_(std::move(found)), stop_(stop), reader_(scratch_, 1)
{
    reader_.onEntry = [this](const ArchiveEntry& entry) {
        EntryVersion version{&entry, 0, 0};
        if (!ReadChapterSpan(entry.Columns[ArchiveEntry::Chapter].view(), version.first, version.last))
            version.first = version.last = query_.chapter;
        if (version.first == 0 || !FindMatches(query_, version))
            return;
        found_({entry.Path, entry.Columns[ArchiveEntry::Chapter].str(), entry.Columns[ArchiveEntry::Size].str(),
                entry.Columns[ArchiveEntry::Modified].str(), query_.chapter ? query_.chapter : version.last});
    };
}
