#include "dialogs/extract_settings.h"

void ExtractSettings::Load(SettingsStore& store)
{
    directoryPool.Load(store, setting::ExtractPoolPrefix);
    commandLinePool.Load(store, setting::ExtractLinePoolPrefix);
}

void ExtractSettings::Save(SettingsStore& store) const
{
    directoryPool.Save(store, setting::ExtractPoolPrefix);
    commandLinePool.Save(store, setting::ExtractLinePoolPrefix);
}
