// The list files the archiver reads with "!file": one path per line, each ended by CR LF.
#pragma once

#include <string>
#include <vector>

// Creates or truncates `path` and writes `lines`. When the file cannot be written completely the
// user is told why and false comes back: the body then ends without running the archiver (the
// progress window goes as after any operation).
bool WriteListFile(const std::string& path, const std::vector<std::string>& lines);

// "List file only": tells the user where the list was left (the program folder may be read-only,
// and then it is in the per-user folder).
void TellListFileLeft(const std::string& path);
