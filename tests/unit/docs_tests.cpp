// The manuals and the tips that ship beside torvex.exe: every help topic the dialogs open exists
// in both manuals, and the tips file gives enough tips through the reader the program uses.
#include "dialogs/tips_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

namespace {

const std::string kDocs = std::string(TORVEX_TEST_DATA) + "/../../docs/";

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace

TEST(ShippedDocs, BothManualsCarryEveryHelpTopic)
{
    for (const char* manual : {"manual.htm", "manuel.htm"}) {
        std::string html = ReadAll(kDocs + manual);
        ASSERT_FALSE(html.empty()) << manual;
        for (const char* topic : {"Add", "Extract", "Del", "BuildFileList", "ConfigureTorvex", "SetMisc", "Associate", "History"})
            EXPECT_NE(html.find("id=\"" + std::string(topic) + "\""), std::string::npos) << manual << " #" << topic;
    }
    EXPECT_NE(ReadAll(kDocs + "manuel.htm").find("lang=\"fr\""), std::string::npos);
}

TEST(ShippedDocs, TipsFileOpensWithCommentsAndHoldsAtLeast25Tips)
{
    std::string text = ReadAll(kDocs + "tips.txt");
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text[0], ';');
    TipsFile tips;
    ASSERT_TRUE(tips.Open(kDocs + "tips.txt"));
    std::set<std::string> seen;
    for (int i = 0; i < 100; ++i) {
        std::string tip = tips.NextTip();
        ASSERT_FALSE(tip.empty());
        EXPECT_LT(tip.size(), TipsFile::kPieceLength) << "a tip longer than one piece: " << tip;
        seen.insert(tip);
    }
    EXPECT_GE(seen.size(), 25u);
}

TEST(ShippedDocs, BothManualsNameTheListsColumnsAsTheListShowsThem)
{
    for (const char* manual : {"manual.htm", "manuel.htm"}) {
        std::string html = ReadAll(kDocs + manual);
        size_t from = html.find("Name");
        ASSERT_NE(from, std::string::npos) << manual;
        for (const char* column : {"Size", "Modified", "Created", "Attributes", "Chapter", "Method", "Block"})
            EXPECT_NE(html.find(column, from), std::string::npos) << manual << ": " << column;
        // Columns the list never had.
        EXPECT_EQ(html.find("Packed"), std::string::npos) << manual;
        EXPECT_EQ(html.find("taille compressée"), std::string::npos) << manual;
    }
}
