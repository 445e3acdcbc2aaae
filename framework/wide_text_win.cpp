// Text crosses to the system's wide calls here. The program keeps its text in UTF-8, its code
// page; the wide calls take any name and, in the long form ("\\?\C:\..."), a path of any length,
// where the A calls stop at 260 characters on a system without the long-path policy and under Wine.
#include "framework/wide_text.h"

#include <windows.h>

#include <algorithm>
#include <string_view>

std::wstring WideText(const std::string& text)
{
    std::wstring wide;
    if (!text.empty()) {
        int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
        wide.assign(static_cast<size_t>(n), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    }
    return wide;
}

std::wstring FileSystemPath(const std::string& path)
{
    std::wstring wide = WideText(path);
    // The plain form stops short of 260 characters (CreateDirectory leaves room for an 8.3 name)
    // and drops a trailing dot or blank from every name, so a name a Linux folder or a share
    // keeps that way could not be reached. The long form is taken as it stands: only a full path
    // without "." or ".." parts and with backslashes alone gets it.
    const size_t plainLimit = 248;
    bool oddName = false;
    for (size_t start = 0; start <= wide.size();) {
        size_t end = std::min(wide.find(L'\\', start), wide.size());
        std::wstring_view part = std::wstring_view(wide).substr(start, end - start);
        if (part == L"." || part == L"..")
            return wide;
        oddName |= !part.empty() && (part.back() == L'.' || part.back() == L' ');
        start = end + 1;
    }
    if ((wide.size() < plainLimit && !oddName) || wide.rfind(L"\\\\?\\", 0) == 0 ||
        wide.find(L'/') != std::wstring::npos)
        return wide;
    bool drive = wide.size() > 2 && wide[1] == L':' && wide[2] == L'\\';
    bool unc = wide.rfind(L"\\\\", 0) == 0;
    if (drive)
        return L"\\\\?\\" + wide;
    if (unc)
        return L"\\\\?\\UNC\\" + wide.substr(2);
    return wide;
}

std::string Utf8Name(const wchar_t* name, int length)
{
    int n = length == 0 ? 0 : WideCharToMultiByte(CP_UTF8, 0, name, length, nullptr, 0, nullptr, nullptr);
    if (n <= (length < 0 ? 1 : 0))
        return std::string();
    std::string text(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, name, length, text.data(), n, nullptr, nullptr);
    if (length < 0)
        text.pop_back();
    return text;
}
