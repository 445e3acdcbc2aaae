// The preferences the Miscellaneous dialog edits: read from the store when it opens, written when
// it is confirmed. The parts that act on them read the store themselves.
#pragma once

#include <optional>
#include <string>

#include "dialogs/settings_store.h"

struct MiscellaneousSettings {
    int beepWhenFinished = 1;
    int beepMinutes = 5;
    int editedFilesCompression = -1;  // 0 best .. 3 fast
    std::string viewerPath;
    int doubleClickLaunches = -1;     // 0 associated program, 1 viewer

    void Load(SettingsStore& store);
    void Save(SettingsStore& store) const;
};

// The "min." edit's text as a number of minutes: a whole number from 0 to 32000, else none.
std::optional<int> ParseBeepMinutes(const std::string& text);
