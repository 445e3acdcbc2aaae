// What the Extract dialog keeps for the whole run: its two history pools and the mark of a
// start for extracting one archive directly. The dialog itself builds on this.
#pragma once

#include "dialogs/history_pool.h"

namespace setting {
inline constexpr const char* ExtractPoolPrefix = "Extract Pool";
inline constexpr const char* ExtractLinePoolPrefix = "ExtractLine Pool";
}

struct ExtractSettings {
    HistoryPool commandLinePool;   // "ExtractLine Pool"
    HistoryPool directoryPool;     // "Extract Pool"
    // Set by the document when the program was started to extract one archive: the dialog then
    // opens once without Help.
    bool helpDisabledOnce = false;

    // The directory pool, then the command-line pool.
    void Load(SettingsStore& store);
    void Save(SettingsStore& store) const;
};
