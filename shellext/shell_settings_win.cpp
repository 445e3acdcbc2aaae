#include "shellext/shell_settings_win.h"

#include "shellext/context_menu_rules.h"
#include "shellext/wide_text_win.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace shellext {

namespace {

class SettingsKey {
public:
    explicit SettingsKey(REGSAM access, bool create = false)
    {
        const std::string path = jarcontract::SectionKeyPath(jarcontract::SettingsSection);
        LONG result = create ? RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, access, nullptr,
                                               &key_, nullptr)
                             : RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, access, &key_);
        if (result != ERROR_SUCCESS)
            key_ = nullptr;
    }
    ~SettingsKey()
    {
        if (key_)
            RegCloseKey(key_);
    }
    SettingsKey(const SettingsKey&) = delete;
    SettingsKey& operator=(const SettingsKey&) = delete;
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

} // namespace

int ReadSettingInt(const char* name)
{
    SettingsKey key(KEY_READ);
    if (!key.get())
        return 0;
    DWORD type = 0, value = 0, size = sizeof(value);
    if (RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(value))
        return 0;
    return static_cast<int>(value);
}

std::string ReadSettingString(const char* name)
{
    SettingsKey key(KEY_READ);
    if (!key.get())
        return std::string();
    // Read wide: the program stored the text from its UTF-8 code page, the shell's may differ.
    std::wstring wideName = Wide(name);
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key.get(), wideName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::string();
    // The stored text need not end with a terminator; never read past what was returned.
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key.get(), wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                         &size) != ERROR_SUCCESS)
        return std::string();
    buffer[std::min<size_t>(size / sizeof(wchar_t), buffer.size() - 1)] = L'\0';
    return Utf8(buffer.data());
}

bool WriteSettingInt(const char* name, int value)
{
    SettingsKey key(KEY_SET_VALUE, true);
    if (!key.get())
        return false;
    DWORD data = static_cast<DWORD>(value);
    return RegSetValueExA(key.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof(data)) ==
           ERROR_SUCCESS;
}

} // namespace shellext
