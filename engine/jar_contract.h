// What torvex.exe and the Explorer extension share: the archiver's executable and configuration,
// the extension's switch texts, where the per-user settings live and the names of the settings
// both read, and what makes a file an archive. Header-only: the extension links nothing of the
// program, so everything here is inline and declares nothing that needs linking.
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

// Switches of the extension's commands. Add: the compression digit (4 minus the setting) follows.
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

// The progress channel and the cancel signal, both optional. A parent that wants them creates the
// handles inheritable and names them, as decimal numbers, in the child's own environment block:
//   JAR_PROGRESS_HANDLE  the write end of a pipe (a file descriptor on POSIX) that JAR writes
//                        progress records to: one line of UTF-8 each, ended by '\n', six fields
//                        separated by one tab, the current file last (it may hold tabs):
//                        phase, files done, files total, bytes done, bytes total, current file.
//                        A count not yet known is -1. Records come at every file and a few times a
//                        second inside large ones; the parent must keep reading the pipe.
//   JAR_CANCEL_HANDLE    a manual-reset event (on POSIX the read end of a pipe, set once readable:
//                        a byte written, or every write end closed)
//                        that JAR checks between files and at least every 8 MB inside one. When it
//                        is set, JAR stops: an update leaves the archive as it was and removes its
//                        temporary file, an extraction removes the file it was writing; it prints
//                        one "ERROR: cancelled" line and ends with CancelledExitCode.
// Without these variables JAR prints and behaves exactly as it does without them.
inline constexpr const char* ProgressVariable = "JAR_PROGRESS_HANDLE";
inline constexpr const char* CancelVariable = "JAR_CANCEL_HANDLE";
inline constexpr int CancelledExitCode = 3;

// The phases a record names.
namespace phase {
inline constexpr const char* Scan = "scan";         // finding the files to add
inline constexpr const char* Compress = "compress"; // storing new data
inline constexpr const char* Copy = "copy";         // carrying kept data into the new archive
inline constexpr const char* Index = "index";       // writing the index and committing
inline constexpr const char* Test = "test";
inline constexpr const char* Extract = "extract";
} // namespace phase

struct ProgressRecord
{
    std::string phase;
    long long filesDone = -1;
    long long filesTotal = -1;
    long long bytesDone = -1;
    long long bytesTotal = -1;
    std::string file;
};

// One record line (without its '\n') as the fields it holds; false for a line that is not one.
inline bool ParseProgressRecord(const std::string& line, ProgressRecord& record)
{
    std::vector<std::string> fields;
    size_t start = 0;
    while (fields.size() < 5) {
        size_t tab = line.find('\t', start);
        if (tab == std::string::npos)
            return false;
        fields.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
    auto number = [](const std::string& text, long long& value) {
        if (text.empty() || text.size() > 19)
            return false;
        size_t i = text[0] == '-' ? 1 : 0;
        if (i == text.size())
            return false;
        long long n = 0;
        for (; i < text.size(); ++i) {
            if (text[i] < '0' || text[i] > '9')
                return false;
            n = n * 10 + (text[i] - '0');
        }
        value = text[0] == '-' ? -n : n;
        return value >= -1;
    };
    ProgressRecord parsed;
    parsed.phase = fields[0];
    if (parsed.phase.empty() || !number(fields[1], parsed.filesDone) || !number(fields[2], parsed.filesTotal) ||
        !number(fields[3], parsed.bytesDone) || !number(fields[4], parsed.bytesTotal))
        return false;
    parsed.file = line.substr(start);
    if (!parsed.file.empty() && parsed.file.back() == '\r')
        parsed.file.pop_back();
    record = std::move(parsed);
    return true;
}

// An archive is a file whose text after the last dot is exactly "j" (lower case): ".J" is not one.
inline bool IsArchiveName(const std::string& path)
{
    return path.size() >= 2 && path.compare(path.size() - 2, 2, ".j") == 0;
}

// The per-user settings: HKEY_CURRENT_USER\Software\<Company>\<Product>\<section>.
inline constexpr const char* Company = "Quendal";
inline constexpr const char* Product = "Torvex";
inline constexpr const char* SettingsSection = "Settings";
inline constexpr const char* TipSection = "Tip";

// "Software\Quendal\Torvex\<section>", below HKEY_CURRENT_USER.
inline std::string SectionKeyPath(const std::string& section)
{
    return std::string("Software\\") + Company + "\\" + Product + "\\" + section;
}

// Names of the settings (section "Settings") both deliverables read or write.
namespace name {
inline constexpr const char* JarEdit = "jarEdit";              // the archiver's folder
inline constexpr const char* TorvexEdit = "torvexEdit";        // the program folder
inline constexpr const char* TempDir = "tempDir";              // 0 archive's folder, 1 fixed
inline constexpr const char* TempEdit = "tempEdit";
inline constexpr const char* ExtractDirect = "ExtractDirect";  // the extension's hand-off to the program
inline constexpr const char* ShExtAssociate = "ShExtAssociate";
inline constexpr const char* ShExtExtract = "ShExtExtract";
inline constexpr const char* ShExtCompress = "ShExtCompress";
inline constexpr const char* ShExtCompression = "ShExtCompression";
inline constexpr const char* ShExtSkipDir = "ShExtSkipDir";
} // namespace name
} // namespace jarcontract
