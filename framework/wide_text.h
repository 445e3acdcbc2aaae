// UTF-8 text to and from the system's wide calls (Windows builds only). Every path the program
// hands to the file system goes through FileSystemPath, so any name and any length reach it.
#pragma once

#include <string>

// UTF-16 of UTF-8 text, as it stands (arguments, command lines, a path handed to another program).
std::wstring WideText(const std::string& text);
// The path as the wide calls take it: UTF-16, and a full path long enough to need it in the long
// form ("\\?\C:\...", "\\?\UNC\server\share\..."); shorter and relative paths stay plain.
std::wstring FileSystemPath(const std::string& path);
// UTF-8 of a name the wide calls returned (up to its end, or `length` characters).
std::string Utf8Name(const wchar_t* name, int length = -1);
