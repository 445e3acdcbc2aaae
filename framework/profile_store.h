// The per-user store the framework keeps its own settings in (the recent-file list) and hands to
// the program. The framework only declares it: the program supplies the store (the registry, or
// memory in tests). The section is always given.
#pragma once

#include <string>

class ProfileStore {
public:
    virtual ~ProfileStore() = default;
    // A missing value (or one of the other type) reads as the default.
    virtual int GetProfileInt(const std::string& section, const std::string& name, int defaultValue) = 0;
    virtual std::string GetProfileString(const std::string& section, const std::string& name,
                                         const std::string& defaultValue = std::string()) = 0;
    // Creates the section when needed; failures are ignored.
    virtual void WriteProfileInt(const std::string& section, const std::string& name, int value) = 0;
    virtual void WriteProfileString(const std::string& section, const std::string& name, const std::string& value) = 0;
};
