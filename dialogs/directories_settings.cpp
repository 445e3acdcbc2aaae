#include "dialogs/directories_settings.h"

void DirectoriesSettings::RecordFirstRunFolders(SettingsStore& store, const std::string& startFolder,
                                                bool jarInStartFolder)
{
    WriteSetting(store, setting::TorvexEdit, startFolder);
    // An empty default marks "never set": a folder the user chose is never replaced.
    if (jarInStartFolder && store.GetProfileString(kSettingsSection, setting::JarEdit.name, "").empty())
        WriteSetting(store, setting::JarEdit, startFolder);
}

void DirectoriesSettings::Load(SettingsStore& store)
{
    addDir = ReadSetting(store, setting::AddDir);
    addEdit = ReadSetting(store, setting::AddEdit);
    addLast = ReadSetting(store, setting::AddLast);
    extractDir = ReadSetting(store, setting::ExtractDir);
    extractEdit = ReadSetting(store, setting::ExtractEdit);
    extractLast = ReadSetting(store, setting::ExtractLast);
    startupDir = ReadSetting(store, setting::StartupDir);
    startupEdit = ReadSetting(store, setting::StartupEdit);
    startupLast = ReadSetting(store, setting::StartupLast);
    tempDir = ReadSetting(store, setting::TempDir);
    tempEdit = ReadSetting(store, setting::TempEdit);
    jarEdit = ReadSetting(store, setting::JarEdit);
    torvexEdit = ReadSetting(store, setting::TorvexEdit);
    viewType = ReadSetting(store, setting::ViewType);
}

void DirectoriesSettings::Save(SettingsStore& store) const
{
    WriteSetting(store, setting::AddDir, addDir);
    WriteSetting(store, setting::AddEdit, addEdit);
    WriteSetting(store, setting::AddLast, addLast);
    WriteSetting(store, setting::ExtractDir, extractDir);
    WriteSetting(store, setting::ExtractEdit, extractEdit);
    WriteSetting(store, setting::ExtractLast, extractLast);
    WriteSetting(store, setting::StartupDir, startupDir);
    WriteSetting(store, setting::StartupEdit, startupEdit);
    WriteSetting(store, setting::StartupLast, startupLast);
    WriteSetting(store, setting::TempDir, tempDir);
    WriteSetting(store, setting::TempEdit, tempEdit);
    WriteSetting(store, setting::JarEdit, jarEdit);
    WriteSetting(store, setting::TorvexEdit, torvexEdit);
    WriteSetting(store, setting::ViewType, viewType);
}
