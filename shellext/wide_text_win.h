// The extension keeps its texts in UTF-8 and calls the wide API. It runs inside the shell, whose
// ANSI code page is the system's, while jar32.exe and torvex.exe run with UTF-8 as theirs: names,
// list files and command lines must reach them unchanged, whatever characters they hold.
#pragma once

#include <windows.h>

#include <string>

namespace shellext {

// Empty when the text is not valid UTF-16 (an unpaired surrogate) and strict is set.
inline std::string Utf8(const wchar_t* text, int length = -1, bool strict = false)
{
    if (!text || length == 0)
        return std::string();
    DWORD flags = strict ? WC_ERR_INVALID_CHARS : 0;
    int size = WideCharToMultiByte(CP_UTF8, flags, text, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return std::string();
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, flags, text, length, out.data(), size, nullptr, nullptr);
    if (length < 0)
        out.pop_back();  // the terminator was converted too
    return out;
}

// Keeps embedded NULs (environment blocks).
inline std::wstring Wide(const std::string& text)
{
    if (text.empty())
        return std::wstring();
    int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
    return out;
}

} // namespace shellext
