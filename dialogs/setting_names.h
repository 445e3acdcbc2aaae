// Settings read from the store at the moment they are used (never cached), and those of the
// later option dialogs, with their defaults.
#pragma once

#include "dialogs/settings_store.h"

namespace setting {
// Start-up and the shell extension's hand-off.
inline constexpr IntSetting FirstRun{kSettingsSection, "FirstRun", 1};
inline constexpr IntSetting ExtractDirect{kSettingsSection, jarcontract::name::ExtractDirect, 0};
// The main window's normal place and size and whether it was maximised, from the last run
// ("left top right bottom maximised"); empty at the first start.
inline constexpr StringSetting WindowPlacement{kSettingsSection, "WindowPlacement", ""};

// Miscellaneous dialog group; the operation runner reads "BeepEdit" with its own default.
inline constexpr IntSetting Beep{kSettingsSection, "Beep", 1};
inline constexpr IntSetting BeepEditRunner{kSettingsSection, "BeepEdit", 10};
inline constexpr IntSetting BeepEditDialog{kSettingsSection, "BeepEdit", 5};
inline constexpr IntSetting EditFilesCompress{kSettingsSection, "EditFilesCompress", 0};
inline constexpr IntSetting AssocProg{kSettingsSection, "AssocProg", 0};  // 0 associated program, 1 FileViewer
inline constexpr StringSetting FileViewer{kSettingsSection, "FileViewer", ""};

// Shell Extensions dialog group.
inline constexpr IntSetting ShExtAssociate{kSettingsSection, jarcontract::name::ShExtAssociate, 1};
inline constexpr IntSetting ShExtExtract{kSettingsSection, jarcontract::name::ShExtExtract, 1};
inline constexpr IntSetting ShExtCompress{kSettingsSection, jarcontract::name::ShExtCompress, 1};
inline constexpr IntSetting ShExtCompression{kSettingsSection, jarcontract::name::ShExtCompression, 0};
inline constexpr IntSetting ShExtSkipDir{kSettingsSection, jarcontract::name::ShExtSkipDir, 0};
inline constexpr StringSetting ShExtPrevAssoc{kSettingsSection, "ShExtPrevAssoc", ""};

// Tip of the day ("StartUp" is stored inverted: 0 shows tips at start-up).
inline constexpr IntSetting TipStartUp{kTipSection, "StartUp", 0};
inline constexpr IntSetting TipFilePos{kTipSection, "FilePos", 0};
inline constexpr StringSetting TipTimeStamp{kTipSection, "TimeStamp", ""};
}
