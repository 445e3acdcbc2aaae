// Small path functions used on archive paths ("\docs\a.txt", root "\") and disk paths
// ("C:\data", drive root "C:") alike. Backslash is the only separator.
#pragma once

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

// File system (Windows builds only).
// True when a file or directory of that name exists, or a drive ("c:", "c:\") answers.
bool PathExists(const std::string& path);
// Creates a directory and its missing ancestors.
bool CreateDirectoryTree(const std::string& path);
// The system's folder for temporary files, with its trailing backslash; empty when unknown.
std::string SystemTempFolder();
