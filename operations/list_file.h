// The list files the archiver reads with "!file": one path per line, each ended by CR LF. They
// are written in the program folder and deleted after the run.
#pragma once

#include <string>
#include <vector>

// The list file `name` in the folder list files go to (the program folder, or the per-user one
// when that cannot be written).
std::string ProgramFileName(const std::string& programFolder, const char* name);

// Creates or truncates `path` and writes `lines`. When the file cannot be written completely the
// user is told why ("Can't create <path>") and false comes back: the body then ends without
// running the archiver.
bool WriteListFile(const std::string& path, const std::vector<std::string>& lines);
// The same, for lines already joined and ended by CR LF.
bool WriteListText(const std::string& path, const std::string& text);

// "List file only": tells the user where the list was left (the program folder may be read-only,
// and then it is in the per-user folder).
void TellListFileLeft(const std::string& path);
