// The folder settings the Directories dialog edits, held by the application for the whole run
// (everything reads them from here), with "ViewType" which is saved with them.
#pragma once

#include "dialogs/settings_store.h"

namespace setting {
inline constexpr IntSetting AddDir{kSettingsSection, "addDir", 1};          // 0 last, 1 current, 2 fixed
inline constexpr StringSetting AddEdit{kSettingsSection, "addEdit", "c:"};
inline constexpr StringSetting AddLast{kSettingsSection, "addLast", "c:"};
inline constexpr IntSetting ExtractDir{kSettingsSection, "extractDir", 1};  // 0 last, 1 current, 2 fixed
inline constexpr StringSetting ExtractEdit{kSettingsSection, "extractEdit", "c:"};
inline constexpr StringSetting ExtractLast{kSettingsSection, "extractLast", "c:"};
inline constexpr IntSetting StartupDir{kSettingsSection, "startupDir", 0};  // 0 last archive's folder, 1 fixed
inline constexpr StringSetting StartupEdit{kSettingsSection, "startupEdit", "c:"};
inline constexpr StringSetting StartupLast{kSettingsSection, "startupLast", "c:"};
inline constexpr IntSetting TempDir{kSettingsSection, jarcontract::name::TempDir, 0};        // 0 archive's folder, 1 fixed
inline constexpr StringSetting TempEdit{kSettingsSection, jarcontract::name::TempEdit, "c:"};
inline constexpr StringSetting JarEdit{kSettingsSection, jarcontract::name::JarEdit, "c:"};
inline constexpr StringSetting TorvexEdit{kSettingsSection, jarcontract::name::TorvexEdit, "c:"};
inline constexpr IntSetting ViewType{kSettingsSection, "ViewType", 1};      // 0 list, 1 details
}

struct DirectoriesSettings {
    // Set at the first start: the dialog then opens without Help once.
    bool firstRunMode = false;
    int viewType = -1;
    std::string addLast;
    std::string extractLast;
    std::string startupLast;
    std::string addEdit;
    int addDir = -1;
    std::string extractEdit;
    int extractDir = -1;
    std::string jarEdit;
    std::string startupEdit;
    int startupDir = -1;
    int tempDir = -1;
    std::string tempEdit;
    std::string torvexEdit;

    // The first start records the folder it was started from as the program folder, so that it
    // finds Torvex.cfg and torvex.exe there. Our builds ship jar32.exe beside the program: when
    // it is in that folder and no archiver folder was ever set, that folder is recorded too.
    static void RecordFirstRunFolders(SettingsStore& store, const std::string& startFolder, bool jarInStartFolder);

    // The fourteen values, in the order the store lists them.
    void Load(SettingsStore& store);
    void Save(SettingsStore& store) const;
};
