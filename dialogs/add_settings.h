// What the Add dialog keeps for the whole run: compression, the archive-tree choice and its
// pool of command lines. The dialog itself builds on this.
#pragma once

#include "dialogs/history_pool.h"
#include "dialogs/settings_store.h"

namespace setting {
inline constexpr IntSetting Compression{kSettingsSection, "Compression", 0};  // 0 Best .. 3 Fast
inline constexpr IntSetting TreeView{kSettingsSection, "TreeView", 1};
inline constexpr const char* AddLinePoolPrefix = "AddLine Pool";
}

struct AddSettings {
    int compression = 0;
    bool archiveTree = true;
    HistoryPool commandLinePool;   // "AddLine Pool"

    void Load(SettingsStore& store);
    void Save(SettingsStore& store) const;
};
