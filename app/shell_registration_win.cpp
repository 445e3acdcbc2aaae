#include "app/shell_registration_win.h"

#include "framework/message_box.h"
#include "framework/registry_key.h"

#include <windows.h>

namespace shellreg {

namespace {

std::string SystemText(LONG code)
{
    char* text = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, (DWORD)code, 0, (LPSTR)&text, 0, nullptr);
    std::string result = length && text ? std::string(text, length) : "error " + std::to_string(code);
    if (text)
        LocalFree(text);
    while (!result.empty() && (result.back() == '\r' || result.back() == '\n' || result.back() == ' ' ||
                               result.back() == '.'))
        result.pop_back();
    return result;
}

HKEY RootKey(Root root)
{
    return root == Root::ClassesRoot ? HKEY_CLASSES_ROOT : HKEY_CURRENT_USER;
}

} // namespace

std::string ReadDotJOwner()
{
    RegistryKey key;
    std::string value;
    if (key.Create(HKEY_CLASSES_ROOT, kDotJ))
        key.QueryString("", value);
    return value;
}

bool ApplyRegistration(const RegistrationPlan& plan)
{
    std::string failure;
    for (const KeyWrite& write : plan.writes) {
        HKEY handle = nullptr;
        LONG rc = RegCreateKeyExA(HKEY_CLASSES_ROOT, write.key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_ALL_ACCESS, nullptr, &handle, nullptr);
        if (rc == ERROR_SUCCESS) {
            rc = RegSetValueExA(handle, write.valueName.empty() ? nullptr : write.valueName.c_str(), 0, REG_SZ,
                                (const BYTE*)write.data.c_str(), (DWORD)write.data.size() + 1);
            RegCloseKey(handle);
        }
        if (rc != ERROR_SUCCESS && failure.empty())
            failure = "HKEY_CLASSES_ROOT\\" + write.key + ": " + SystemText(rc);
    }
    for (const std::string& key : plan.deletions) {
        LONG rc = RegDeleteKeyA(HKEY_CLASSES_ROOT, key.c_str());
        if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND && failure.empty())
            failure = "HKEY_CLASSES_ROOT\\" + key + ": " + SystemText(rc);
    }
    if (failure.empty())
        return true;
    // Without this the user would believe Explorer knows Torvex when it does not.
    PromptUser("The shell integration could not be registered.\n" + failure + ".", prompt::Ok | prompt::IconStop);
    return false;
}

void RemoveRegistration()
{
    std::string owner = ReadDotJOwner();
    std::string recorded;
    {
        RegistryKey settings;
        if (settings.Open(HKEY_CURRENT_USER, std::string(kSettingsRoot) + "\\Settings", KEY_READ))
            settings.QueryString("ShExtPrevAssoc", recorded);
    }
    switch (UninstallDotJ(owner, recorded)) {
    case DotJAction::Restore: {
        RegistryKey key;
        if (key.Open(HKEY_CLASSES_ROOT, kDotJ, KEY_ALL_ACCESS))
            key.SetString("", recorded);
        break;
    }
    case DotJAction::DeleteKey:
        RegDeleteKeyA(HKEY_CLASSES_ROOT, kDotJ);
        break;
    case DotJAction::LeaveAlone:
        break;
    }
    for (const KeyPath& key : UninstallKeys())
        RegDeleteKeyA(RootKey(key.root), key.path.c_str());
}

} // namespace shellreg
