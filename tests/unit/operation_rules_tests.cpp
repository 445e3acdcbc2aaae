#include "operations/finish_beep.h"
#include "operations/list_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "framework/message_box.h"

namespace {

constexpr int64_t Minute = 60000;

TEST(FinishBeep, SoundsWhenTheOperationLastedAtLeastBeepEditMinutesAndBeepIsOn)
{
    FinishBeepSettings defaults;  // Beep 1, BeepEdit 10
    EXPECT_FALSE(FinishBeepDue(defaults, 3000));
    EXPECT_FALSE(FinishBeepDue(defaults, 10 * Minute - 1));
    EXPECT_TRUE(FinishBeepDue(defaults, 10 * Minute));
    EXPECT_TRUE(FinishBeepDue(defaults, 25 * Minute));

    EXPECT_FALSE(FinishBeepDue({0, 10}, 60 * Minute));
    EXPECT_FALSE(FinishBeepDue({0, 0}, 60 * Minute));
    EXPECT_TRUE(FinishBeepDue({2, 1}, Minute));  // any non-zero Beep
    EXPECT_TRUE(FinishBeepDue({1, 0}, 0));
    EXPECT_TRUE(FinishBeepDue({1, -5}, 0));
    // A setting large enough to overflow 32-bit milliseconds still means hours.
    EXPECT_FALSE(FinishBeepDue({1, 100000}, 1000 * Minute));
    EXPECT_TRUE(FinishBeepDue({1, 100000}, 100000 * Minute));
}

TEST(ListFile, OnePathPerLineEndedByCrLfAndAClearRefusalWhenItCannotBeWritten)
{
    std::string path = ::testing::TempDir() + "tvx_list_file_test.txt";
    ASSERT_TRUE(WriteListFile(path, {"\\docs\\a.txt", "C:\\data\\.\\b c.txt"}));
    ASSERT_TRUE(WriteListFile(path, {"\\docs\\a.txt", "C:\\data\\.\\b c.txt"}));  // truncated, not appended
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    EXPECT_EQ(bytes, "\\docs\\a.txt\r\nC:\\data\\.\\b c.txt\r\n");
    std::remove(path.c_str());

    std::vector<PromptRequest> prompts;
    SetPromptScript([&](const PromptRequest& r) { prompts.push_back(r); return prompt::IdOk; });
    std::string nowhere = ::testing::TempDir() + "tvx_no_such_folder/list.txt";
    EXPECT_FALSE(WriteListFile(nowhere, {"x"}));
    SetPromptScript({});
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].text, "Can't create " + nowhere);
    EXPECT_EQ(prompts[0].type, prompt::Ok | prompt::IconStop);
}

} // namespace
