// The argument texts Torvex hands to jar32.exe. Every blank and quote matters: the archiver
// splits its command line itself, so each text is built in exactly one place, here.
#pragma once

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "engine/jar_contract.h"

// Listings.
// lc "archive"
std::string ChapterListArguments(const std::string& archive);
// v -jbN "archive"
std::string ChapterListingArguments(int chapter, const std::string& archive);
// v "archive": the same listing of the newest chapter, whose number its header gives
std::string NewestChapterListingArguments(const std::string& archive);
// v -jbA-B "archive": every version of chapters A to B, each once.
std::string VersionListingArguments(int first, int last, const std::string& archive);

// Operation commands. `commandLine` is the switch text a dialog built (" x ...", " e ...",
// " a ...", " u ...", " f ...", " ac ..."); the archive and the list file follow it.
// " " + commandLine + " \"archive\" !\"listFile\""
std::string ListFileArguments(const std::string& commandLine, const std::string& archive, const std::string& listFile);
// " " + commandLine + " \"archive\" *": every file of the archive.
std::string WholeArchiveArguments(const std::string& commandLine, const std::string& archive);

// The command word that starts an extract switch text: " e" drops stored paths, " x" keeps them.
std::string ExtractCommandWord(bool keepPaths);
// The command word that starts an add switch text: " a" (0), " u" (1), " f" (2), " ac" (other).
std::string AddCommandWord(int action);

//  x -jbN -y -r- -o"folder" "archive" "entryPath": one entry of chapter N into a folder, for viewing.
std::string ViewExtractArguments(int chapter, const std::string& folder, const std::string& archive, const std::string& entryPath);
//  a -y -r- -mD -jf -o\ "archive" !"listFile": edited copies back to their own places.
// D is 4 minus `editFilesCompress` (0 best .. 3 fast); a value outside 0..3 is taken as the
// nearest end, so the archiver never sees a method it does not have.
std::string SaveBackArguments(int editFilesCompress, const std::string& archive, const std::string& listFile);

//  d -r- -y "archive" !"listFile": the listed files, in the last chapter.
std::string DeleteInLastChapterArguments(const std::string& archive, const std::string& listFile);
//  da -y "archive" !"listFile": the listed files, in every chapter.
std::string DeleteInAllChaptersArguments(const std::string& archive, const std::string& listFile);
//  dc "archive" N M ...: whole chapters, in the order given.
std::string DeleteChaptersArguments(const std::string& archive, const std::vector<std::string>& chapters);

//  t "archive"
std::string TestArguments(const std::string& archive);
