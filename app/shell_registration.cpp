#include "app/shell_registration.h"

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

} // namespace shellreg
