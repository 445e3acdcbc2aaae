// What "Find" looks for among an archive's versions: a name pattern and optional bounds.
#pragma once

#include "engine/chapter_versions.h"
#include "engine/jar_output.h"
#include "engine/listing_parser.h"

#include <atomic>
#include <functional>
#include <string>

struct FindQuery {
    // Wildcards '*' and '?', case ignored: on the name alone, or on the whole archive path
    // (without its leading backslash) when the pattern holds a backslash.
    std::string pattern = "*";
    // Bytes; -1 for no bound. A bound leaves folders out.
    long long minSize = -1;
    long long maxSize = -1;
    // "YYYY-MM-DD" or "YYYY-MM-DD HH:MM:SS": only what was modified then or later; empty for any.
    std::string modifiedSince;
    // The chapter searched; 0 for every chapter.
    int chapter = 0;
};

// Whether one version answers the query. Folders the listing only implies are never found.
bool FindMatches(const FindQuery& query, const EntryVersion& version);

// The dialog's fields as a query: sizes as numbers of bytes (empty for no bound), the date as
// "YYYY-MM-DD" with an optional time. False with a message for the user when one cannot be read.
bool ReadFindQuery(const std::string& pattern, const std::string& minSize, const std::string& maxSize,
                   const std::string& since, int chapter, FindQuery& query, std::string& error);

// One version Find found, and the chapter in which Go to shows it.
struct FoundEntry {
    std::string path;
    std::string chapters;  // its Chapter cell
    std::string size;
    std::string modified;
    int chapter = 0;       // the chapter searched, or the newest that holds this version
};

// Reads a listing as the archiver writes it and hands on, at once, each row the query finds.
// `stop` set ends the run early.
class FindSink : public OutputLineSink {
public:
    FindSink(const FindQuery& query, std::function<void(FoundEntry)> found, const std::atomic<bool>& stop);
    void Line(std::string_view line) override { reader_.Line(line); }
    bool Stopped() const override { return stop_; }
    // After the run: false after reporting a listing that failed.
    bool Finish(const FailureReporter& reportFailure) { return reader_.Finish(reportFailure); }

private:
    FindQuery query_;
    std::function<void(FoundEntry)> found_;
    const std::atomic<bool>& stop_;
    ArchiveCatalogue scratch_;
    ChapterListingReader reader_;
};
