// File names compared as Windows compares them: ordinal, ignoring case in every script (not only
// ASCII), over UTF-8 text. Every case-insensitive comparison of names goes through here.
#pragma once

#include <string_view>

// Negative, zero or positive as `a` sorts before, is the same name as, or sorts after `b`.
// On Windows this is the system's own ordinal comparison ignoring case; elsewhere a stand-in that
// folds case the same way for the scripts names are usually written in.
int CompareNamesIgnoringCase(std::string_view a, std::string_view b);

inline bool SameNameIgnoringCase(std::string_view a, std::string_view b)
{
    return CompareNamesIgnoringCase(a, b) == 0;
}

inline bool NameBeforeIgnoringCase(std::string_view a, std::string_view b)
{
    return CompareNamesIgnoringCase(a, b) < 0;
}

// True when `name` matches `pattern`, whose '*' stands for any run of characters and '?' for one;
// every other character matches as names compare, ignoring case.
bool MatchesNamePattern(std::string_view pattern, std::string_view name);
