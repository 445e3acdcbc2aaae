// What registering Torvex with the shell writes: the ".j" association, the document type, the
// extension's COM class and its context-menu handlers, as plain data the registry code carries
// out; the previous-owner rule for ".j"; and the keys an uninstall removes, in order.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace shellreg {

inline constexpr const char* kExtensionClsid = "{6F0A91C4-2D7B-11D2-8E41-5A7C0D93B1E2}";
inline constexpr const char* kDocumentType = "Torvex.Document";
inline constexpr const char* kDotJ = ".j";
inline constexpr const char* kSettingsRoot = "Software\\Quendal\\Torvex";

// ClassesRoot: what HKEY_CLASSES_ROOT shows (the user's classes over the machine's on Windows);
// UserClasses: HKEY_CURRENT_USER\Software\Classes, which a standard user may write.
enum class Root { ClassesRoot, CurrentUser, UserClasses };

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
// Every key of Torvex, children before parents, in the order the uninstall deletes them. A
// ClassesRoot key names a class key, removed per user and from the merged view.
std::vector<KeyPath> UninstallKeys();

// The registry as registration uses it: the Windows registry, or a test's fake.
class RegistryAccess {
public:
    virtual ~RegistryAccess() = default;
    // Creates the key when missing; 0 or the system's error code.
    virtual long WriteString(Root root, const std::string& key, const std::string& name, const std::string& data) = 0;
    // nullopt when the key or the value is missing.
    virtual std::optional<std::string> ReadString(Root root, const std::string& key, const std::string& name) = 0;
    virtual bool KeyExists(Root root, const std::string& key) = 0;
    // 0, the "not found" code, or another error code.
    virtual long DeleteKey(Root root, const std::string& key) = 0;
    virtual bool IsNotFound(long code) = 0;
    virtual std::string ErrorText(long code) = 0;
};

// The default value of ".j" as the user's shell sees it; empty when it has none.
std::string ReadDotJOwner(RegistryAccess& registry);

// Carries the plan out per user (no elevation needed). Where HKEY_CLASSES_ROOT does not show a
// value afterwards (a system that does not merge the user's classes), it is written there too; a
// refusal there is passed over when the user's key took. A write that took nowhere is told once,
// in one message naming the key and the reason; false then.
bool ApplyRegistration(RegistryAccess& registry, const RegistrationPlan& plan);

// Hands ".j" back (or deletes it) and deletes every key of UninstallKeys(), the class keys both
// per user and where HKEY_CLASSES_ROOT still shows them; what is missing or refused is passed over.
void RemoveRegistration(RegistryAccess& registry);

} // namespace shellreg
