#include "operations/finish_beep.h"
#include "operations/operation_kind.h"

#include <gtest/gtest.h>

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

TEST(OperationKind, EachKindGetsTheArgumentItsBodyExpects)
{
    EXPECT_EQ(static_cast<uint32_t>(OperationKind::AddFiles), 0u);
    EXPECT_EQ(static_cast<uint32_t>(OperationKind::TestArchive), 4u);
    EXPECT_EQ(static_cast<uint32_t>(OperationKind::DeleteChapters), 7u);
    EXPECT_EQ(BodyArgumentFor(OperationKind::ExtractFiles), BodyArgument::RequestArgument);
    for (auto kind : {OperationKind::AddDropped, OperationKind::DeleteFiles, OperationKind::DeleteChapters})
        EXPECT_EQ(BodyArgumentFor(kind), BodyArgument::ViewWindow);
    for (auto kind : {OperationKind::AddFiles, OperationKind::ExtractToCurrent, OperationKind::ExtractArchive,
                      OperationKind::TestArchive, static_cast<OperationKind>(9)})
        EXPECT_EQ(BodyArgumentFor(kind), BodyArgument::None);
}

} // namespace
