// An open registry key, closed when the owner goes; move-only.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey() { Close(); }
    RegistryKey(RegistryKey&& other) noexcept : key_(other.key_) { other.key_ = nullptr; }
    RegistryKey& operator=(RegistryKey&& other) noexcept;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    bool Open(HKEY parent, const std::string& path, REGSAM access = KEY_READ);
    bool Create(HKEY parent, const std::string& path, REGSAM access = KEY_ALL_ACCESS);
    void Close();
    HKEY Handle() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }

    // False when the value is missing or of another type.
    bool QueryDword(const std::string& name, DWORD& value) const;
    bool QueryString(const std::string& name, std::string& value) const;
    bool SetDword(const std::string& name, DWORD value) const;
    bool SetString(const std::string& name, const std::string& value) const;

private:
    HKEY key_ = nullptr;
};

// The default value of key `path` under `root`; none when the key is missing or the value is not text.
std::optional<std::string> RegistryDefaultValue(HKEY root, const std::string& path);
