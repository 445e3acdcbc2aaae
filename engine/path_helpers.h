// Small path functions used on archive paths ("\docs\a.txt", root "\") and disk paths
// ("C:\data", drive root "C:") alike. Backslash is the only separator.
#pragma once

#include <functional>
#include <string>

// Text before the last backslash. "\a" gives "\" (true); "\" gives "\" (false);
// no backslash gives "" (false).
bool ParentPath(const std::string& path, std::string& parent);
// Text after the last backslash (true), the whole path when there is none (false);
// "\" gives "\" (false).
bool LeafName(const std::string& path, std::string& leaf);
std::string LeafName(const std::string& path);
// Text after the last dot; empty without a dot.
std::string FileExtension(const std::string& path);
// "C:\" of "C:\x\y"; empty when the path does not start with a drive root.
std::string DriveRoot(const std::string& path);

// Replaces the file with `content`, bytes as they are; false when it cannot be written whole.
bool WriteTextFile(const std::string& path, const std::string& content);

// File system (Windows builds only). The program's paths are UTF-8 and may pass 260 characters:
// these helpers call the wide API through framework/wide_text.h.
// The system's text for an error code, without its line end.
std::string SystemErrorText(unsigned long code);
// One entry of a folder; times are the file system's (UTC, 100 ns since 1601).
struct FolderEntry {
    std::string name;
    unsigned long attributes = 0;
    unsigned long long size = 0;
    unsigned long long modified = 0;
    unsigned long long created = 0;
};
// Calls `each` for every entry of the folder ("C:" for a drive root) but "." and "..". 0 when the
// folder was read to its end; otherwise the system's error code (and the entries are not all).
unsigned long ReadFolder(const std::string& folder, const std::function<void(const FolderEntry&)>& each);
// True when a file or directory of that name exists, or a drive ("c:", "c:\") answers.
bool PathExists(const std::string& path);
// Creates a directory and its missing ancestors.
bool CreateDirectoryTree(const std::string& path);
// The path with every short (8.3) component in its long form, as the folder lists it; the
// path unchanged when it does not exist.
std::string LongPathName(const std::string& path);

// The system's folder for temporary files, with its trailing backslash; empty when unknown.
std::string SystemTempFolder();
// The folder as a started program's current folder: a drive root in full ("C:\\" for "C:"), and
// empty (start in this process's own) when it is longer than a current folder can be, which would
// keep the program from starting at all.
std::string StartFolder(const std::string& folder);
