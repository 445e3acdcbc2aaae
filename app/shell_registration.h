// What registering Torvex with the shell writes: the ".j" association, the document type, the
// extension's COM class and its context-menu handlers, as plain data the registry code carries
// out; the previous-owner rule for ".j"; and the keys an uninstall removes, in order.
#pragma once

#include <string>
#include <vector>

namespace shellreg {

inline constexpr const char* kExtensionClsid = "{6F0A91C4-2D7B-11D2-8E41-5A7C0D93B1E2}";
inline constexpr const char* kDocumentType = "Torvex.Document";
inline constexpr const char* kDotJ = ".j";
inline constexpr const char* kSettingsRoot = "Software\\Quendal\\Torvex";

enum class Root { ClassesRoot, CurrentUser };

// One key under HKEY_CLASSES_ROOT given a string value (empty name: the default value).
struct KeyWrite {
    std::string key;
    std::string valueName;
    std::string data;
    bool operator==(const KeyWrite&) const = default;
};

// Writes and deletions in the order they are made.
struct RegistrationPlan {
    std::vector<KeyWrite> writes;
    std::vector<std::string> deletions;  // under HKEY_CLASSES_ROOT
};

// The layout for the three choices. `folder` is the program folder (torvexEdit), where
// torvex.exe and TorvexShExt.dll are; `previousAssociation` the owner of ".j" before Torvex.
RegistrationPlan PlanRegistration(bool associate, bool enableCompression, bool enableExtraction,
                                  const std::string& folder, const std::string& previousAssociation);

// Who owned ".j" before Torvex: the current owner while that is someone else, otherwise the
// owner recorded when Torvex took it (so registering again keeps the first owner).
std::string PreviousAssociation(const std::string& currentDotJOwner, const std::string& recordedOwner);

// What an uninstall does with ".j".
enum class DotJAction { LeaveAlone, Restore, DeleteKey };
DotJAction UninstallDotJ(const std::string& currentDotJOwner, const std::string& recordedOwner);

struct KeyPath {
    Root root;
    std::string path;
    bool operator==(const KeyPath&) const = default;
};
// Every key of Torvex, children before parents, in the order the uninstall deletes them.
std::vector<KeyPath> UninstallKeys();

} // namespace shellreg
