#include "jar_test_support.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <ctime>

#include "engine/listing_parser.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

int64_t StampOf(int year, int month, int day, int hour, int minute, int second)
{
    // Days since 1601-01-01 (proleptic Gregorian), then ticks; UTC.
    auto daysFromCivil = [](int y, int m, int d) {
        y -= m <= 2;
        int era = (y >= 0 ? y : y - 399) / 400;
        int yoe = y - era * 400;
        int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
        int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
        return int64_t(era) * 146097 + doe - 719468; // days since 1970-01-01
    };
    int64_t days = daysFromCivil(year, month, day);
    int64_t seconds = days * 86400 + hour * 3600 + minute * 60 + second;
    return 116444736000000000LL + seconds * 10000000;
}

void JarTest::SetUp()
{
    static std::atomic<int> counter{0};
#ifdef _WIN32
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    root = std::string(temp) + "jartest" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(counter++);
#else
    root = "/tmp/jartest" + std::to_string(getpid()) + "_" + std::to_string(counter++);
#endif
    RemoveTree(root);
    ASSERT_TRUE(jar::CreateDirectories(root));
    archive = P("t.j");
}

void JarTest::TearDown()
{
    if (!HasFailure())
        RemoveTree(root);
}

std::string JarTest::P(const std::string& relative) const
{
    return root + jar::kDiskSeparator + jar::ToDiskSeparators(relative);
}

void JarTest::Write(const std::string& relative, const std::string& content, int64_t modified)
{
    std::string path = P(relative);
    jar::CreateDirectories(path.substr(0, path.find_last_of(jar::kDiskSeparator)));
    jar::DiskFile file;
    ASSERT_TRUE(file.Open(path, jar::DiskFile::ForWriting)) << path;
    ASSERT_TRUE(file.Write(content.data(), content.size()));
    file.Close();
    if (modified)
        jar::SetFileStamps(path, modified, modified, 0);
}

std::string JarTest::ReadRaw(const std::string& path) const
{
    jar::DiskFile file;
    if (!file.Open(path, jar::DiskFile::ForReading))
        return "<missing>";
    std::string text(size_t(file.Size()), '\0');
    if (!text.empty() && !file.ReadAt(0, text.data(), text.size()))
        return "<unreadable>";
    return text;
}

std::string JarTest::Read(const std::string& relative) const { return ReadRaw(P(relative)); }

bool JarTest::Exists(const std::string& relative) const
{
    jar::FileInfo info;
    return jar::GetFileInfo(P(relative), info);
}

std::string JarTest::WriteList(const std::string& relative, const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    Write(relative, text);
    return P(relative);
}

std::string JarTest::ListingText(const std::string& path)
{
    return RunJar("lc " + Q(path)).merged() + RunJar("v -jb1- " + Q(path)).merged();
}

ArchiveCatalogue JarTest::List(const std::string& path, int chapter)
{
    ArchiveCatalogue catalogue;
    catalogue.ArchivePath = path;
    std::vector<std::string> reports;
    FailureReporter reporter = [&](const std::string& message) {
        reports.push_back(message);
        return false;
    };
    std::vector<std::string> lines;
    SplitOutputLines(RunJar("lc " + Q(path)).merged(), lines);
    EXPECT_TRUE(ParseChapterList(lines, catalogue, reporter));
    int n = chapter < 0 ? catalogue.LastChapter : chapter;
    if (n > 0) {
        lines.clear();
        SplitOutputLines(RunJar("v -jb" + std::to_string(n) + " " + Q(path)).merged(), lines);
        EXPECT_TRUE(ParseChapterListing(lines, catalogue, n, reporter));
    }
    EXPECT_TRUE(reports.empty()) << (reports.empty() ? "" : reports[0]);
    return catalogue;
}

std::vector<const ArchiveEntry*> JarTest::Entries(const ArchiveCatalogue& catalogue, int chapter)
{
    std::vector<const ArchiveEntry*> entries;
    const ChapterInfo* info = catalogue.Chapter(chapter);
    if (!info)
        return entries;
    for (const auto& [directory, list] : info->Directories)
        for (const auto& entry : list)
            entries.push_back(entry.get());
    return entries;
}

const ArchiveEntry* JarTest::Find(const ArchiveCatalogue& catalogue, int chapter, const std::string& path)
{
    for (const ArchiveEntry* entry : Entries(catalogue, chapter))
        if (entry->Path == path)
            return entry;
    return nullptr;
}

ScopedEnvironment::ScopedEnvironment(const char* name, const std::string& value) : name_(name)
{
#ifdef _WIN32
    SetEnvironmentVariableA(name, value.c_str());
#else
    setenv(name, value.c_str(), 1);
#endif
}

void ScopedEnvironment::Restore()
{
    if (!set_)
        return;
    set_ = false;
#ifdef _WIN32
    SetEnvironmentVariableA(name_, nullptr);
#else
    unsetenv(name_);
#endif
}

std::vector<jarcontract::ProgressRecord> RecordsOf(const std::string& text)
{
    std::vector<jarcontract::ProgressRecord> records;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        jarcontract::ProgressRecord record;
        std::string line = text.substr(start, end - start);
        EXPECT_TRUE(jarcontract::ParseProgressRecord(line, record)) << "not a record: " << line;
        records.push_back(record);
    }
    EXPECT_EQ(start, text.size()) << "a record without its line end";
    return records;
}

std::string NoiseOf(size_t size, uint32_t seed)
{
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        seed = seed * 1664525u + 1013904223u;
        c = char(seed >> 24);
    }
    return bytes;
}
