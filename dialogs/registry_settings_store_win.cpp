#include "dialogs/registry_settings_store.h"

#include "framework/registry_key.h"

RegistrySettingsStore::RegistrySettingsStore(const std::string& company, const std::string& application, HKEY root)
    : root_(root), rootPath_("Software\\" + company + "\\" + application)
{
}

int RegistrySettingsStore::GetProfileInt(const std::string& section, const std::string& name, int defaultValue)
{
    RegistryKey key;
    DWORD value = 0;
    if (!key.Open(root_, rootPath_ + "\\" + section, KEY_READ) || !key.QueryDword(name, value))
        return defaultValue;
    return (int)value;
}

std::string RegistrySettingsStore::GetProfileString(const std::string& section, const std::string& name,
                                                    const std::string& defaultValue)
{
    RegistryKey key;
    std::string value;
    if (!key.Open(root_, rootPath_ + "\\" + section, KEY_READ) || !key.QueryString(name, value))
        return defaultValue;
    return value;
}

void RegistrySettingsStore::WriteProfileInt(const std::string& section, const std::string& name, int value)
{
    RegistryKey key;
    if (key.Create(root_, rootPath_ + "\\" + section, KEY_WRITE))
        key.SetDword(name, (DWORD)value);
}

void RegistrySettingsStore::WriteProfileString(const std::string& section, const std::string& name,
                                               const std::string& value)
{
    RegistryKey key;
    if (key.Create(root_, rootPath_ + "\\" + section, KEY_WRITE))
        key.SetString(name, value);
}
