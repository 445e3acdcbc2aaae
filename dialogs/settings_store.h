// The per-user key/value store of every setting, with the framework's profile calls; the section
// is always given. The registry implementation lives under HKCU\Software\Quendal\Torvex; the
// in-memory one serves tests.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <variant>

inline constexpr const char* kSettingsSection = "Settings";
inline constexpr const char* kTipSection = "Tip";
inline constexpr const char* kRecentFileSection = "Recent File List";

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // A missing value (or one of the other type) reads as the default.
    virtual int GetProfileInt(const std::string& section, const std::string& name, int defaultValue) = 0;
    virtual std::string GetProfileString(const std::string& section, const std::string& name,
                                         const std::string& defaultValue = std::string()) = 0;
    // Creates the section when needed; failures are ignored.
    virtual void WriteProfileInt(const std::string& section, const std::string& name, int value) = 0;
    virtual void WriteProfileString(const std::string& section, const std::string& name, const std::string& value) = 0;
};

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
