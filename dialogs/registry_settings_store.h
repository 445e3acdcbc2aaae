// The settings store in the registry: HKEY_CURRENT_USER\Software\<company>\<application>\<section>,
// integers as REG_DWORD, strings as REG_SZ.
#pragma once

#include "dialogs/settings_store.h"

#include <windows.h>

class RegistrySettingsStore : public SettingsStore {
public:
    RegistrySettingsStore(const std::string& company, const std::string& application, HKEY root = HKEY_CURRENT_USER);

    int GetProfileInt(const std::string& section, const std::string& name, int defaultValue) override;
    std::string GetProfileString(const std::string& section, const std::string& name,
                                 const std::string& defaultValue = std::string()) override;
    void WriteProfileInt(const std::string& section, const std::string& name, int value) override;
    void WriteProfileString(const std::string& section, const std::string& name, const std::string& value) override;

    // "Software\<company>\<application>".
    const std::string& RootPath() const { return rootPath_; }

private:
    HKEY root_;
    std::string rootPath_;
};
