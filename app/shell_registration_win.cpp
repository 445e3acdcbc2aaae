#include "app/shell_registration_win.h"

#include <windows.h>

namespace shellreg {

namespace {

HKEY Parent(Root root, std::string& key)
{
    switch (root) {
    case Root::ClassesRoot:
        return HKEY_CLASSES_ROOT;
    case Root::UserClasses:
        key = "Software\\Classes\\" + key;
        return HKEY_CURRENT_USER;
    case Root::CurrentUser:
        break;
    }
    return HKEY_CURRENT_USER;
}

class WinRegistry : public RegistryAccess {
public:
    long WriteString(Root root, const std::string& keyName, const std::string& name, const std::string& data) override
    {
        std::string key = keyName;
        HKEY parent = Parent(root, key);
        HKEY handle = nullptr;
        LONG rc = RegCreateKeyExA(parent, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                                  &handle, nullptr);
        if (rc != ERROR_SUCCESS)
            return rc;
        rc = RegSetValueExA(handle, name.empty() ? nullptr : name.c_str(), 0, REG_SZ, (const BYTE*)data.c_str(),
                            (DWORD)data.size() + 1);
        RegCloseKey(handle);
        return rc;
    }

    std::optional<std::string> ReadString(Root root, const std::string& keyName, const std::string& name) override
    {
        std::string key = keyName;
        HKEY parent = Parent(root, key);
        DWORD size = 0;
        const char* value = name.empty() ? nullptr : name.c_str();
        if (RegGetValueA(parent, key.c_str(), value, RRF_RT_REG_SZ, nullptr, nullptr, &size) != ERROR_SUCCESS)
            return std::nullopt;
        std::string text(size, '\0');
        if (RegGetValueA(parent, key.c_str(), value, RRF_RT_REG_SZ, nullptr, text.data(), &size) != ERROR_SUCCESS)
            return std::nullopt;
        text.resize(size > 0 ? size - 1 : 0);
        return text;
    }

    bool KeyExists(Root root, const std::string& keyName) override
    {
        std::string key = keyName;
        HKEY parent = Parent(root, key);
        HKEY handle = nullptr;
        if (RegOpenKeyExA(parent, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
            return false;
        RegCloseKey(handle);
        return true;
    }

    long DeleteKey(Root root, const std::string& keyName) override
    {
        std::string key = keyName;
        HKEY parent = Parent(root, key);
        return RegDeleteKeyA(parent, key.c_str());
    }

    bool IsNotFound(long code) override { return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND; }

    std::string ErrorText(long code) override
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
};

} // namespace

RegistryAccess& SystemRegistry()
{
    static WinRegistry registry;
    return registry;
}

std::string ReadDotJOwner()
{
    return ReadDotJOwner(SystemRegistry());
}

bool ApplyRegistration(const RegistrationPlan& plan)
{
    return ApplyRegistration(SystemRegistry(), plan);
}

void RemoveRegistration()
{
    RemoveRegistration(SystemRegistry());
}

} // namespace shellreg
