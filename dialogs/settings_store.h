// The per-user key/value store of every setting: the framework's profile interface, which the
// program implements twice, in the registry under HKCU\Software\Quendal\Torvex and in memory
// for tests. The section is always given.
#pragma once

#include "engine/jar_contract.h"
#include "framework/profile_store.h"

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <variant>

inline constexpr const char* kSettingsSection = jarcontract::SettingsSection;
inline constexpr const char* kTipSection = jarcontract::TipSection;

using SettingsStore = ProfileStore;

// A named setting with its default, declared next to the code that reads it.
struct IntSetting {
    const char* section;
    const char* name;
    int defaultValue;
};
struct StringSetting {
    const char* section;
    const char* name;
    const char* defaultValue;
};

inline int ReadSetting(SettingsStore& store, const IntSetting& s)
{
    return store.GetProfileInt(s.section, s.name, s.defaultValue);
}
inline std::string ReadSetting(SettingsStore& store, const StringSetting& s)
{
    return store.GetProfileString(s.section, s.name, s.defaultValue);
}
inline void WriteSetting(SettingsStore& store, const IntSetting& s, int value)
{
    store.WriteProfileInt(s.section, s.name, value);
}
inline void WriteSetting(SettingsStore& store, const StringSetting& s, const std::string& value)
{
    store.WriteProfileString(s.section, s.name, value);
}

class MemorySettingsStore : public SettingsStore {
public:
    int GetProfileInt(const std::string& section, const std::string& name, int defaultValue) override;
    std::string GetProfileString(const std::string& section, const std::string& name,
                                 const std::string& defaultValue = std::string()) override;
    void WriteProfileInt(const std::string& section, const std::string& name, int value) override;
    void WriteProfileString(const std::string& section, const std::string& name, const std::string& value) override;

    bool Has(const std::string& section, const std::string& name) const;
    void Remove(const std::string& section, const std::string& name);

private:
    std::map<std::pair<std::string, std::string>, std::variant<int, std::string>> values_;
};
