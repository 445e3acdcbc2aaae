// The Directories dialog's OK checks, in their order, over plain values: the first failing check
// gives its message and the dialog stays open; every check that passes puts its folder back
// without trailing backslashes.
#pragma once

#include <functional>
#include <string>

// "d:\work\\" -> "d:\work", "d:\" -> "d:".
std::string StripTrailingBackslashes(const std::string& folder);

// What the dialog holds when OK is pressed: the radio indexes as the fields store them and the
// edits' texts (stripped in place by the checks that pass).
struct DirectoriesInput {
    int addDir = 1;      // 2: "Directory"
    std::string addEdit;
    int extractDir = 1;  // 2: "Directory"
    std::string extractEdit;
    int startupDir = 0;  // 1: "Directory"
    std::string startupEdit;
    int tempDir = 0;     // 1: "Directory"
    std::string tempEdit;
    std::string jarEdit;
    std::string torvexEdit;
};

// The file system as the checks see it: a folder (a bare drive "d:" when its free space can be
// read) and a file.
struct DirectoriesProbe {
    std::function<bool(const std::string&)> folderExists;
    std::function<bool(const std::string&)> fileExists;
};

// Which edit a failed check names, so the dialog can put the focus there.
enum class DirectoriesField { None, Add, Extract, Startup, Temp, Jar, Torvex };

struct DirectoriesCheck {
    DirectoriesField failed = DirectoriesField::None;
    std::string message;  // empty when every check passed
};

DirectoriesCheck CheckDirectories(DirectoriesInput& input, const DirectoriesProbe& probe);

// The start-up check: which of the two executables are missing, as the message to show before the
// dialog opens; empty when both are there.
std::string MissingExecutablesMessage(bool jarMissing, bool torvexMissing);
