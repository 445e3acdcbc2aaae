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
