#include "operations/view_records.h"

#include <charconv>

namespace {
constexpr const char* kJournalMark = "TorvexViewJournal 1";
constexpr const char* kJournalPrefix = "~TTmpJournal";
constexpr const char* kJournalSuffix = ".txt";

std::vector<std::string> SplitTabs(const std::string& line)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos)
            return fields;
        start = tab + 1;
    }
}

template <typename T>
bool ParseNumber(const std::string& text, T& value)
{
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}
} // namespace

const ViewRecord* FindViewRecord(const ViewedFiles& records, const std::string& archivePath,
                                 const std::string& entryPath, int chapter)
{
    for (const ViewRecord& record : records)
        if (record.chapter == chapter && record.archivePath == archivePath && record.entryPath == entryPath)
            return &record;
    return nullptr;
}

std::string SaveListLine(const ViewRecord& record)
{
    return record.tempDir + "\\." + record.entryPath + "\r\n";
}

std::vector<SaveGroup> TakeMarkedGroups(ViewedFiles& records)
{
    std::vector<SaveGroup> groups;
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (!records[i].saveMark)
            continue;
        records[i].saveMark = false;
        SaveGroup* group = nullptr;
        for (SaveGroup& g : groups)
            if (g.archivePath == records[i].archivePath)
                group = &g;
        if (!group)
            group = &groups.emplace_back(SaveGroup{records[i].archivePath, {}});
        group->records.push_back(i);
    }
    return groups;
}

std::string JournalText(const ViewedFiles& records)
{
    std::string text = std::string(kJournalMark) + "\r\n";
    for (const ViewRecord& r : records) {
        text += std::to_string(r.chapter) + '\t' + std::to_string(r.stamp) + '\t' + r.archivePath + '\t' +
                r.entryPath + '\t' + r.tempDir + '\t' + r.extractedFile + "\r\n";
    }
    return text;
}

ViewedFiles ParseJournal(const std::string& text)
{
    ViewedFiles records;
    std::size_t start = 0;
    bool first = true;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        // A last line without its line end was cut by a kill: it may be incomplete.
        if (end == std::string::npos)
            break;
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (first) {
            first = false;
            if (line != kJournalMark)
                return {};
            continue;
        }
        std::vector<std::string> f = SplitTabs(line);
        ViewRecord r;
        if (f.size() != 6 || !ParseNumber(f[0], r.chapter) || !ParseNumber(f[1], r.stamp) || f[2].empty() ||
            f[3].empty() || f[4].empty() || f[5] != f[4] + f[3])
            continue;
        r.archivePath = f[2];
        r.entryPath = f[3];
        r.tempDir = f[4];
        r.extractedFile = f[5];
        records.push_back(std::move(r));
    }
    return records;
}

std::string JournalFileName(unsigned long processId)
{
    return kJournalPrefix + std::to_string(processId) + kJournalSuffix;
}

std::optional<unsigned long> ProcessIdInName(const std::string& name, const std::string& prefix,
                                             const std::string& suffix)
{
    if (name.size() <= prefix.size() + suffix.size() || name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
        return std::nullopt;
    unsigned long id = 0;
    if (!ParseNumber(name.substr(prefix.size(), name.size() - prefix.size() - suffix.size()), id))
        return std::nullopt;
    return id;
}

std::optional<unsigned long> JournalProcessId(const std::string& fileName)
{
    return ProcessIdInName(fileName, kJournalPrefix, kJournalSuffix);
}
