#include "dialogs/miscellaneous_settings.h"

#include <charconv>

#include "dialogs/setting_names.h"

void MiscellaneousSettings::Load(SettingsStore& store)
{
    beepWhenFinished = ReadSetting(store, setting::Beep);
    beepMinutes = ReadSetting(store, setting::BeepEditDialog);
    editedFilesCompression = ReadSetting(store, setting::EditFilesCompress);
    viewerPath = ReadSetting(store, setting::FileViewer);
    doubleClickLaunches = ReadSetting(store, setting::AssocProg);
}

void MiscellaneousSettings::Save(SettingsStore& store) const
{
    WriteSetting(store, setting::Beep, beepWhenFinished);
    WriteSetting(store, setting::BeepEditDialog, beepMinutes);
    WriteSetting(store, setting::EditFilesCompress, editedFilesCompression);
    WriteSetting(store, setting::FileViewer, viewerPath);
    WriteSetting(store, setting::AssocProg, doubleClickLaunches);
}

std::optional<int> ParseBeepMinutes(const std::string& text)
{
    std::size_t first = text.find_first_not_of(' ');
    std::size_t last = text.find_last_not_of(' ');
    if (first == std::string::npos)
        return std::nullopt;
    const char* begin = text.data() + first;
    const char* end = text.data() + last + 1;
    int value = 0;
    auto [stop, error] = std::from_chars(begin, end, value);
    if (error != std::errc() || stop != end || value < 0 || value > 32000)
        return std::nullopt;
    return value;
}
