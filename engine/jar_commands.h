// The argument texts Torvex hands to jar32.exe. Every blank and quote matters: the archiver
// splits its command line itself, so each text is built in exactly one place, here.
#pragma once

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace jarcontract {
// The archiver's executable, appended to the Jar folder; the argument text follows the blank.
inline constexpr const char* ExecutableSuffix = "\\jar32.exe ";
// Torvex's configuration for the archiver, in the program folder, passed through the environment.
inline constexpr const char* ConfigFileSuffix = "\\Torvex.cfg";
inline constexpr const char* ConfigVariable = "JAR_CFG_FILE";
inline constexpr const char* ConsoleTitle = "Torvex running Jar";

// Switches of the shell extension's commands (it links nothing of the program, so these stay
// header-only). Add: the compression digit (4 minus the setting) follows.
inline constexpr const char* ShellAddSwitches = "a -y -r- -jf -m";
inline constexpr const char* ShellExtractHereSwitches = " x -r -jf -y ";
// The target folder, its closing quote and a blank follow.
inline constexpr const char* ShellExtractToSwitches = " x -r -jf -y -o\"";

// Jar folder + "\jar32.exe " + arguments: the whole command line of a run; nothing is quoted.
inline std::string CommandLine(const std::string& jarFolder, const std::string& arguments)
{
    return jarFolder + ExecutableSuffix + arguments;
}

// Program folder + "\Torvex.cfg": the value of JAR_CFG_FILE.
inline std::string ConfigFile(const std::string& programFolder)
{
    return programFolder + ConfigFileSuffix;
}

// An environment block (entries "NAME=value", each NUL-ended, one more NUL at the end): the given
// entries with `name` set to `value`, replacing an entry of that name in any case. A child started
// with it gets JAR_CFG_FILE while this process's own environment stays as it is.
inline std::string EnvironmentBlockWith(const std::vector<std::string>& entries, const std::string& name,
                                        const std::string& value)
{
    auto upper = [](std::string text) {
        for (char& c : text)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return text;
    };
    // The name of "NAME=value"; the hidden "=C:=C:\dir" entries keep their leading '='.
    auto entryName = [](const std::string& entry) { return entry.substr(0, entry.find('=', 1)); };
    std::string key = upper(name);
    std::vector<std::string> kept;
    for (const std::string& entry : entries) {
        if (!entry.empty() && upper(entryName(entry)) != key)
            kept.push_back(entry);
    }
    // Windows keeps the block sorted by upper-cased name; the new entry goes to its place.
    auto place = std::find_if(kept.begin(), kept.end(), [&](const std::string& entry) {
        return entry[0] != '=' && upper(entryName(entry)) > key;
    });
    kept.insert(place, name + "=" + value);
    std::string block;
    for (const std::string& entry : kept) {
        block += entry;
        block += '\0';
    }
    block += '\0';
    return block;
}
} // namespace jarcontract

// Listings.
// lc "archive"
std::string ChapterListArguments(const std::string& archive);
// v -jbN "archive"
std::string ChapterListingArguments(int chapter, const std::string& archive);

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
