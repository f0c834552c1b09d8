#include "app/screens/timer/count_texts.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

TEST(CountTexts, OneIsSingularEverythingElsePlural) {
    EXPECT_EQ(minutesText(1), "1 Minute");
    EXPECT_EQ(minutesText(0), "0 Minutes");
    EXPECT_EQ(minutesText(25), "25 Minutes");
    EXPECT_EQ(sessionCountText(1), "1 Session");
    EXPECT_EQ(sessionCountText(4), "4 Sessions");
}

TEST(CountTexts, DurationsTurnIntoHoursFromSixtyMinutes) {
    EXPECT_EQ(durationText(59), "59 Minutes");
    EXPECT_EQ(durationText(60), "1 Hour");
    EXPECT_EQ(durationText(61), "1 Hour 1 Minute");
    EXPECT_EQ(durationText(90), "1 Hour 30 Minutes");
    EXPECT_EQ(durationText(119), "1 Hour 59 Minutes");
    EXPECT_EQ(durationText(125), "2 Hours 5 Minutes");
    EXPECT_EQ(durationText(180), "3 Hours ") << "whole hours keep their trailing blank";
}

}  // namespace
}  // namespace quorvel
