// The switch part of an archiver extract command, and the Extract dialog's own decisions (its
// chapter rules and OK checks), kept apart from the window so they can be tested as text.
#pragma once

#include <functional>
#include <string>

#include "dialogs/path_option.h"

namespace extractopt {
// updateMode
constexpr int UpdateNone = 0, Freshen = 1, Update = 2;
// updateCriterion (index in the update combo)
constexpr int NewerFiles = 0, OlderFiles = 1, DateOrSizeChanged = 2;
// extractWhat
constexpr int AllFiles = 0, SelectedFiles = 1, FilesList = 2;
}

struct ExtractSwitchOptions {
    PathOption pathOption = PathOption::Partial;
    std::string directory;
    bool overwriteWithoutPrompting = true;
    int updateMode = extractopt::UpdateNone;
    int updateCriterion = extractopt::NewerFiles;
    bool extractChapters = false;
    int chapterFrom = 1;
    std::string chapterTo;
    // The chapter the caller extracts when no range is given; 0 or less when none is known
    // (a whole archive chosen on disk): the archiver then takes its newest chapter.
    int currentChapter = 0;
    bool wholeArchiveMode = false;
    // Names reach into subfolders (" -r"), as they always do for a whole archive.
    bool recurse = false;
};

// " x" or " e", the chapters, the update rule, " -y", the target folder in quotes and the
// recursion switch, each with its leading blank.
std::string BuildExtractSwitches(const ExtractSwitchOptions& options);

// A text read as the Extract dialog reads a chapter: its leading decimal digits (0 when none).
long long ChapterNumber(const std::string& text);

// The chapter rules of the dialog, run on every change of "From" or "To" and on clicks of
// "Extract chapters".
struct ChapterRuleResult {
    bool toReplaced = false;    // "To" takes the text of "From"
    bool partialPathAllowed = true;
};
// `fromChanged`: "From" was just edited (only then may "To" follow it).
ChapterRuleResult ApplyChapterRules(const std::string& fromText, const std::string& toText, bool extractChapters,
                                    bool fromChanged);

// The message that refuses OK, or empty when the dialog may close.
std::string ExtractOkRefusal(const std::string& directory, bool extractChapters, const std::string& fromText,
                             const std::string& toText);

// The standard range message for a chapter number; a chapter above it would wrap in the
// switches.
inline constexpr const char* kChapterRangeMessage = "Please enter an integer between 1 and 2147483647.";
// The range message when "From" or "To" reads as a chapter above 2147483647, else empty.
std::string ChapterRangeRefusal(const std::string& fromText, const std::string& toText);

// Where the directory picker opens: the typed folder, or its nearest existing parent when it
// does not exist yet; "extractLast" (else "c:") when nothing typed leads to a folder.
std::string BrowseStartFolder(const std::string& typed, const std::string& extractLast,
                              const std::function<bool(const std::string&)>& exists);
