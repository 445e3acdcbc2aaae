#include "dialogs/add_settings.h"

void AddSettings::Load(SettingsStore& store)
{
    compression = ReadSetting(store, setting::Compression);
    archiveTree = ReadSetting(store, setting::TreeView) != 0;
    commandLinePool.Load(store, setting::AddLinePoolPrefix);
}

void AddSettings::Save(SettingsStore& store) const
{
    WriteSetting(store, setting::Compression, compression);
    WriteSetting(store, setting::TreeView, archiveTree ? 1 : 0);
    commandLinePool.Save(store, setting::AddLinePoolPrefix);
}
