// What the document reads and writes of the settings. The application implements it over its
// settings groups, so the document knows no dialog and no settings store.
#pragma once

#include <string>

class DocumentSettings {
public:
    virtual ~DocumentSettings() = default;
    // The folder of jar32.exe (jarEdit) and the program folder (torvexEdit).
    virtual std::string JarFolder() const = 0;
    virtual std::string ProgramFolder() const = 0;
    // The folder of the archive last opened, for the next start (startupLast).
    virtual void RememberStartupFolder(const std::string& folder) = 0;
    // True when the shell extension started this run to extract the archive it opens; the flag
    // serves one start only and is cleared here.
    virtual bool TakeExtractDirect() = 0;
    // The Extract dialog's next opening goes without Help.
    virtual void DisableExtractHelpOnce() = 0;
};
