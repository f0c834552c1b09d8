#include <gtest/gtest.h>

#include "platform/foundation/console.h"
#include "platform/vuziriutilities/vul_logger.h"

using namespace platform;

TEST(VULLogger, PrintsUpToTheMaximumLevelWhichStartsAtNotice) {
    Console::Capture capture;
    EXPECT_EQ(VULLoggerMaxLevel(), VULLoggerLevel::Notice);
    EXPECT_TRUE(VULIsLoggableLevel(VULLoggerLevel::Notice));
    EXPECT_FALSE(VULIsLoggableLevel(VULLoggerLevel::Debug));
    VULLogBasic(VULLoggerLevel::Debug, "<RovUriduzuvare>", false, "I-ACS000007", "hidden");
    VULLogWarning("<RovUriduzuvare>", false, "I-ACS041002", "shown");
    EXPECT_EQ(capture.lines(), (std::vector<std::string>{"<RovUriduzuvare>[I-ACS041002] shown"}));

    VULSetLoggerLevel(VULLoggerLevel::Error);
    VULLogWarning("<RovUriduzuvare>", false, "I-ACS041002", "now hidden");
    VULLogError("<RovUriduzuvare>", false, "I-ACS041004", "error");
    EXPECT_EQ(capture.lines().back(), "<RovUriduzuvare>[I-ACS041004] error");
    EXPECT_EQ(capture.lines().size(), 2u);
}

TEST(VULLogger, ForcedLinesIgnoreTheMaximumLevel) {
    Console::Capture capture;
    VULLogBasic(VULLoggerLevel::Debug, "<T>", true, "I-ACS024000", "forced");
    EXPECT_TRUE(capture.contains("<T>[I-ACS024000] forced"));
}

TEST(VULLogger, MessageIsAFormatWithoutArguments) {
    Console::Capture capture;
    VULLogError("<T>", false, "I-ACS000001", "100%% done, %d stays");
    EXPECT_EQ(capture.lines().back(), "<T>[I-ACS000001] 100% done, %d stays");
}
