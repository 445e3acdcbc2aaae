#include "framework/registry_key.h"

#include <algorithm>
#include <vector>

RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept
{
    if (this != &other) {
        Close();
        key_ = other.key_;
        other.key_ = nullptr;
    }
    return *this;
}

bool RegistryKey::Open(HKEY parent, const std::string& path, REGSAM access)
{
    Close();
    return RegOpenKeyExA(parent, path.c_str(), 0, access, &key_) == ERROR_SUCCESS || (key_ = nullptr, false);
}

bool RegistryKey::Create(HKEY parent, const std::string& path, REGSAM access)
{
    Close();
    return RegCreateKeyExA(parent, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key_,
                           nullptr) == ERROR_SUCCESS
           || (key_ = nullptr, false);
}

void RegistryKey::Close()
{
    if (key_)
        RegCloseKey(key_);
    key_ = nullptr;
}

bool RegistryKey::QueryDword(const std::string& name, DWORD& value) const
{
    DWORD type = 0, size = sizeof(value);
    DWORD read = 0;
    if (RegQueryValueExA(key_, name.c_str(), nullptr, &type, (BYTE*)&read, &size) != ERROR_SUCCESS)
        return false;
    if (type != REG_DWORD || size != sizeof(DWORD))
        return false;
    value = read;
    return true;
}

bool RegistryKey::QueryString(const std::string& name, std::string& value) const
{
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key_, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return false;
    // The value may grow between the two reads (another process writes it): ask again then.
    for (int attempt = 0; attempt < 4; ++attempt) {
        std::vector<char> buffer(size + 1, '\0');
        DWORD got = size;
        LONG rc = RegQueryValueExA(key_, name.c_str(), nullptr, &type, (BYTE*)buffer.data(), &got);
        if (rc == ERROR_MORE_DATA) {
            size = got;
            continue;
        }
        if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
            return false;
        buffer[std::min<size_t>(got, size)] = '\0';
        value.assign(buffer.data());  // stops at the terminating zero, stored or not
        return true;
    }
    return false;
}

bool RegistryKey::SetDword(const std::string& name, DWORD value) const
{
    return RegSetValueExA(key_, name.c_str(), 0, REG_DWORD, (const BYTE*)&value, sizeof(value)) == ERROR_SUCCESS;
}

bool RegistryKey::SetString(const std::string& name, const std::string& value) const
{
    return RegSetValueExA(key_, name.c_str(), 0, REG_SZ, (const BYTE*)value.c_str(), (DWORD)value.size() + 1)
           == ERROR_SUCCESS;
}

std::optional<std::string> RegistryDefaultValue(HKEY root, const std::string& path)
{
    RegistryKey key;
    std::string value;
    if (!key.Open(root, path, KEY_READ) || !key.QueryString("", value))
        return std::nullopt;
    return value;
}
