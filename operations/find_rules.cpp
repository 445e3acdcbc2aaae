#include "operations/find_rules.h"

#include "framework/name_compare.h"

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
