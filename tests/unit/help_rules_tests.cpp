// The manual chosen by the user's language, and the browser's DDE command filled with its address.
#include "operations/file_url.h"
#include "operations/help_rules.h"

#include <gtest/gtest.h>

TEST(HelpRules, ManualByPrimaryLanguage)
{
    EXPECT_EQ(ManualFileFor("C:\\Torvex", 0x040C), "C:\\Torvex\\manuel.htm");  // French (France)
    EXPECT_EQ(ManualFileFor("C:\\Torvex", 0x0C0C), "C:\\Torvex\\manuel.htm");  // French (Canada)
    EXPECT_EQ(ManualFileFor("C:\\Torvex", 0x100C), "C:\\Torvex\\manuel.htm");  // French (Switzerland)
    EXPECT_EQ(ManualFileFor("C:\\Torvex", 0x0409), "C:\\Torvex\\manual.htm");
    EXPECT_EQ(ManualFileFor("C:\\Torvex", 0x0407), "C:\\Torvex\\manual.htm");
    // 0x0C in the high byte is a sub-language, not French.
    EXPECT_EQ(ManualFileFor("C:\\Torvex", 0x0C09), "C:\\Torvex\\manual.htm");
}

TEST(HelpRules, DdeCommandFilledLikeAMessage)
{
    const std::string address = "C:\\Torvex\\manual.htm#Extract";
    EXPECT_EQ(FillDdeCommand("\"%1\",,-1,0,,,,", address), "\"" + address + "\",,-1,0,,,,");
    EXPECT_EQ(FillDdeCommand("%1!s!", address), address);
    EXPECT_EQ(FillDdeCommand("open %1 twice %1", "a"), "open a twice a");
    EXPECT_EQ(FillDdeCommand("100%% sure%. %!", "a"), "100% sure. !");
    EXPECT_EQ(FillDdeCommand("line%nnext", "a"), "line\r\nnext");
    EXPECT_EQ(FillDdeCommand("kept%0dropped %1", "a"), "kept");
    EXPECT_EQ(FillDdeCommand("[%2][%1]", "a"), "[][a]");
    EXPECT_EQ(FillDdeCommand("[%12]", "a"), "[]");  // insert twelve, not insert one then "2"
    EXPECT_EQ(FillDdeCommand("trailing %", "a"), "trailing %");
    EXPECT_EQ(FillDdeCommand("", "a"), "");
}

TEST(HelpRules, ManualAddressIsAFileUrl)
{
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\Program Files\\Torvex\\manual.htm", "file:///C:/Program%20Files/Torvex/manual.htm"},
        {"Z:\\tmp\\a#b%c?d\\manual.htm", "file:///Z:/tmp/a%23b%25c%3Fd/manual.htm"},
        {"C:\\Users\\Zoë\\日本\\manual.htm", "file:///C:/Users/Zo%C3%AB/%E6%97%A5%E6%9C%AC/manual.htm"},
        {"\\\\server\\share\\Torvex\\manual.htm", "file://server/share/Torvex/manual.htm"},
        {"\\\\?\\C:\\long\\manual.htm", "file:///C:/long/manual.htm"},
        {"\\\\?\\UNC\\server\\share\\manual.htm", "file://server/share/manual.htm"},
    };
    for (const auto& [path, url] : cases)
        EXPECT_EQ(FileUrl(path), url) << path;
}
