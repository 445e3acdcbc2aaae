// What "Find" looks for among an archive's versions: a name pattern and optional bounds.
#pragma once

#include "engine/chapter_versions.h"

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
