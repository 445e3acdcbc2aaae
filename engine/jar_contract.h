// What torvex.exe and the Explorer extension share: the archiver's executable and configuration,
// the extension's switch texts, where the per-user settings live and the names of the settings
// both read, and what makes a file an archive. Header-only: the extension links nothing of the
// program, so everything here is inline and declares nothing that needs linking.
#pragma once

#include <string>

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

// "JAR_CFG_FILE=" + program folder + "\Torvex.cfg".
inline std::string ConfigAssignment(const std::string& programFolder)
{
    return std::string(ConfigVariable) + "=" + programFolder + ConfigFileSuffix;
}

// "JAR_CFG_FILE=": putting a name with an empty value removes the variable.
inline std::string ConfigRemoval()
{
    return std::string(ConfigVariable) + "=";
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
