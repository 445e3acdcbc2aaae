// Where the list files the archiver reads ("~TorvexExtract", "~TorvexAdd", "~TorvexDelete") go:
// the program folder when it can be written, otherwise Torvex's own per-user folder
// (%LOCALAPPDATA%\Torvex). A standard user cannot write Program Files, and a portable copy may
// sit on a read-only share.
#pragma once

#include <string>

// The folder for `programFolder`, decided once per run (Windows builds only).
std::string ListFileFolder(const std::string& programFolder);
