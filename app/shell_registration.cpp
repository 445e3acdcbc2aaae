#include "app/shell_registration.h"

#include "framework/message_box.h"

namespace shellreg {

namespace {

const std::string kDocumentKey = kDocumentType;
const std::string kClassKey = std::string("CLSID\\") + kExtensionClsid;
const std::string kMenuHandlers = kDocumentKey + "\\shellex\\ContextMenuHandlers";
const std::string kArchiveMenuKey = kMenuHandlers + "\\TorvexMenu";
const std::string kFilesMenuKey = "*\\shellex\\ContextMenuHandlers\\Torvex";
const std::string kFoldersMenuKey = "Directory\\shellex\\ContextMenuHandlers\\Torvex";

} // namespace

RegistrationPlan PlanRegistration(bool associate, bool enableCompression, bool enableExtraction,
                                  const std::string& folder, const std::string& previousAssociation)
{
    RegistrationPlan plan;
    auto& w = plan.writes;
    if (associate) {
        w.push_back({kDotJ, "", kDocumentType});
        w.push_back({kDocumentKey, "", "Torvex Document"});
        w.push_back({kDocumentKey + "\\DefaultIcon", "", folder + "\\torvex.exe,0"});
        w.push_back({kDocumentKey + "\\shell\\open\\command", "", "\"" + folder + "\\torvex.exe\" \"%1\""});
        w.push_back({kClassKey, "", "Torvex Shell Extension"});
        w.push_back({kClassKey + "\\InProcServer32", "", folder + "\\TorvexShExt.dll"});
        w.push_back({kClassKey + "\\InProcServer32", "ThreadingModel", "Apartment"});
        w.push_back({kDocumentKey + "\\shellex\\DropHandler", "", kExtensionClsid});
    } else {
        // The owner before Torvex gets ".j" back; with none, ".j" keeps an empty default value.
        w.push_back({kDotJ, "", previousAssociation});
    }
    if (enableExtraction) {
        w.push_back({kMenuHandlers, "", "TorvexMenu"});
        w.push_back({kArchiveMenuKey, "", kExtensionClsid});
    } else {
        plan.deletions.push_back(kArchiveMenuKey);
    }
    if (enableCompression) {
        w.push_back({kFilesMenuKey, "", kExtensionClsid});
        w.push_back({kFoldersMenuKey, "", kExtensionClsid});
    } else {
        plan.deletions.push_back(kFilesMenuKey);
        plan.deletions.push_back(kFoldersMenuKey);
    }
    return plan;
}

std::string PreviousAssociation(const std::string& currentDotJOwner, const std::string& recordedOwner)
{
    return currentDotJOwner == kDocumentType ? recordedOwner : currentDotJOwner;
}

DotJAction UninstallDotJ(const std::string& currentDotJOwner, const std::string& recordedOwner)
{
    if (currentDotJOwner != kDocumentType)
        return DotJAction::LeaveAlone;
    return recordedOwner.empty() ? DotJAction::DeleteKey : DotJAction::Restore;
}

std::vector<KeyPath> UninstallKeys()
{
    const std::string settings = kSettingsRoot;
    return {
        {Root::ClassesRoot, kDocumentKey + "\\DefaultIcon"},
        {Root::ClassesRoot, kDocumentKey + "\\shell\\open\\command"},
        {Root::ClassesRoot, kDocumentKey + "\\shell\\open"},
        {Root::ClassesRoot, kDocumentKey + "\\shell"},
        {Root::ClassesRoot, kArchiveMenuKey},
        {Root::ClassesRoot, kMenuHandlers},
        {Root::ClassesRoot, kDocumentKey + "\\shellex\\DropHandler"},
        {Root::ClassesRoot, kDocumentKey + "\\shellex"},
        {Root::ClassesRoot, kDocumentKey},
        {Root::ClassesRoot, kClassKey + "\\InProcServer32"},
        {Root::ClassesRoot, kClassKey},
        {Root::CurrentUser, settings + "\\Tip"},
        {Root::CurrentUser, settings + "\\Settings"},
        {Root::CurrentUser, settings + "\\Recent File List"},
        {Root::CurrentUser, settings},
        {Root::ClassesRoot, kFilesMenuKey},
        {Root::ClassesRoot, kFoldersMenuKey},
    };
}

std::string ReadDotJOwner(RegistryAccess& registry)
{
    return registry.ReadString(Root::ClassesRoot, kDotJ, "").value_or("");
}

namespace {

const std::string kUserClassesName = "HKEY_CURRENT_USER\\Software\\Classes\\";

// Writes per user; where the merged view does not show the value, there too. The failure text,
// or empty when the value is seen.
std::string WriteClassValue(RegistryAccess& registry, const KeyWrite& write)
{
    long rc = registry.WriteString(Root::UserClasses, write.key, write.valueName, write.data);
    if (registry.ReadString(Root::ClassesRoot, write.key, write.valueName) == write.data)
        return std::string();
    long merged = registry.WriteString(Root::ClassesRoot, write.key, write.valueName, write.data);
    if (rc == 0 || merged == 0)
        return std::string();
    return kUserClassesName + write.key + ": " + registry.ErrorText(rc);
}

std::string DeleteClassKey(RegistryAccess& registry, const std::string& key)
{
    long rc = registry.DeleteKey(Root::UserClasses, key);
    if (!registry.KeyExists(Root::ClassesRoot, key))
        return std::string();
    long merged = registry.DeleteKey(Root::ClassesRoot, key);
    if (merged == 0 || registry.IsNotFound(merged))
        return std::string();
    return "HKEY_CLASSES_ROOT\\" + key + ": " + registry.ErrorText(rc == 0 || registry.IsNotFound(rc) ? merged : rc);
}

} // namespace

bool ApplyRegistration(RegistryAccess& registry, const RegistrationPlan& plan)
{
    std::string failure;
    for (const KeyWrite& write : plan.writes) {
        std::string text = WriteClassValue(registry, write);
        if (failure.empty())
            failure = text;
    }
    for (const std::string& key : plan.deletions) {
        std::string text = DeleteClassKey(registry, key);
        if (failure.empty())
            failure = text;
    }
    if (failure.empty())
        return true;
    // Without this the user would believe Explorer knows Torvex when it does not.
    PromptUser("The shell integration could not be registered.\n" + failure + ".", prompt::Ok | prompt::IconStop);
    return false;
}

void RemoveRegistration(RegistryAccess& registry)
{
    std::string recorded = registry.ReadString(Root::CurrentUser, std::string(kSettingsRoot) + "\\Settings",
                                                "ShExtPrevAssoc").value_or("");
    switch (UninstallDotJ(ReadDotJOwner(registry), recorded)) {
    case DotJAction::Restore:
        WriteClassValue(registry, {kDotJ, "", recorded});
        break;
    case DotJAction::DeleteKey:
        registry.DeleteKey(Root::UserClasses, kDotJ);
        if (ReadDotJOwner(registry) == kDocumentType)
            registry.DeleteKey(Root::ClassesRoot, kDotJ);
        break;
    case DotJAction::LeaveAlone:
        break;
    }
    for (const KeyPath& key : UninstallKeys()) {
        if (key.root == Root::ClassesRoot) {
            DeleteClassKey(registry, key.path);
        } else {
            registry.DeleteKey(key.root, key.path);
        }
    }
}

} // namespace shellreg
