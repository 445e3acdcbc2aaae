#include "dialogs/settings_store.h"

int MemorySettingsStore::GetProfileInt(const std::string& section, const std::string& name, int defaultValue)
{
    auto it = values_.find({section, name});
    if (it == values_.end() || !std::holds_alternative<int>(it->second))
        return defaultValue;
    return std::get<int>(it->second);
}

std::string MemorySettingsStore::GetProfileString(const std::string& section, const std::string& name,
                                                  const std::string& defaultValue)
{
    auto it = values_.find({section, name});
    if (it == values_.end() || !std::holds_alternative<std::string>(it->second))
        return defaultValue;
    return std::get<std::string>(it->second);
}

void MemorySettingsStore::WriteProfileInt(const std::string& section, const std::string& name, int value)
{
    values_[{section, name}] = value;
}

void MemorySettingsStore::WriteProfileString(const std::string& section, const std::string& name, const std::string& value)
{
    values_[{section, name}] = value;
}

bool MemorySettingsStore::Has(const std::string& section, const std::string& name) const
{
    return values_.count({section, name}) != 0;
}

void MemorySettingsStore::Remove(const std::string& section, const std::string& name)
{
    values_.erase({section, name});
}
