// Scratch files of tests.
#pragma once

#include <string>

namespace testsupport {

// Removes a file, or a folder with everything in it; quiet when nothing is there. A link or
// junction goes, not what it leads to.
void RemoveTree(const std::string& path);

// A symbolic link to a folder; `target` may be relative to the link's folder ("..").
// On Windows this needs the right to make links; under Wine (whose call makes nothing) it is
// made on the Linux side, where Wine shows it as a folder. False when it cannot be made.
bool MakeFolderLink(const std::string& link, const std::string& target);

// A second name for a file.
bool MakeHardLink(const std::string& link, const std::string& target);

#ifdef _WIN32
// The Linux path Wine keeps `path` at; empty on Windows itself.
std::string UnixPath(const std::string& path);
// UTF-8 text as the W calls take it.
std::wstring Wide(const std::string& text);
#endif

} // namespace testsupport
