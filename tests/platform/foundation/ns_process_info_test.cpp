#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/foundation/ns_exception.h"
#include "platform/foundation/ns_process_info.h"

using namespace platform;

TEST(NSProcessInfo, ArgumentsAreTheRealLaunchArgumentsUntilSet) {
    const auto launched = NSProcessInfo::processInfo().arguments();
    ASSERT_FALSE(launched.empty());
    EXPECT_NE(launched.front().find("foundation_test"), std::string::npos);

    NSProcessInfo::processInfo().setArguments({"quorvel", "-APMAnalyticsDebugEnabled"});
    EXPECT_EQ(NSProcessInfo::processInfo().arguments().back(), "-APMAnalyticsDebugEnabled");
}

TEST(NSProcessInfo, EnvironmentIsReadLive) {
    ::setenv("QUORVEL_PROCESS_INFO_TEST", "a=b", 1);
    EXPECT_EQ(NSProcessInfo::processInfo().environment().at("QUORVEL_PROCESS_INFO_TEST"), "a=b");
    EXPECT_EQ(NSProcessInfo::processInfo().environmentValue("QUORVEL_PROCESS_INFO_TEST"), "a=b");
    ::unsetenv("QUORVEL_PROCESS_INFO_TEST");
    EXPECT_EQ(NSProcessInfo::processInfo().environmentValue("QUORVEL_PROCESS_INFO_TEST"), std::nullopt);
}

TEST(NSException, RaiseThrowsWithNameReasonAndTheCallStack) {
    try {
        NSException::raise(NSInvalidArgumentException, "bad value");
        FAIL() << "raise returned";
    } catch (const NSException& exception) {
        EXPECT_EQ(exception.name(), "NSInvalidArgumentException");
        EXPECT_EQ(exception.reason(), "bad value");
        EXPECT_STREQ(exception.what(), "bad value");
        EXPECT_GE(exception.callStackSymbols().size(), 2u);
    }
}
