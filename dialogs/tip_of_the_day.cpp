#include "dialogs/tip_of_the_day.h"

#include "dialogs/setting_names.h"
#include "framework/message_box.h"

TipOfTheDay::TipOfTheDay(SettingsStore& store, const std::string& tipsPath, Texts texts) : store_(store)
{
    ShowAtStartup = ReadSetting(store_, setting::TipStartUp) == 0;
    long position = ReadSetting(store_, setting::TipFilePos);
    if (!file_.Open(tipsPath)) {
        TipText = texts.fileAbsent;
        return;
    }
    // A replaced file starts again at its first tip.
    std::string stamp = file_.TimeStamp();
    if (stamp != ReadSetting(store_, setting::TipTimeStamp)) {
        position = 0;
        WriteSetting(store_, setting::TipTimeStamp, stamp);
    }
    if (!file_.Seek(position))
        PromptUser(texts.fileTrouble, prompt::Ok | prompt::IconExclamation);
    else
        NextTip();
}

TipOfTheDay::~TipOfTheDay()
{
    if (file_.IsOpen())
        WriteSetting(store_, setting::TipFilePos, (int)file_.Position());
}

void TipOfTheDay::StoreShowAtStartup()
{
    WriteSetting(store_, setting::TipStartUp, ShowAtStartup ? 0 : 1);
}
