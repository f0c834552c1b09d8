#include <gtest/gtest.h>

#include <cstdlib>

#include "analytics/monitor/apm_identity.h"

using namespace analytics;

TEST(APMIdentity, LibraryVersionDropsTheLastThreeCharacters) {
    EXPECT_EQ(APMIdentity::rovUriduzuvareLibraryVersion(), 81500);
    EXPECT_EQ(APMIdentity::libraryVersionFromText("1234"), 1);
    EXPECT_EQ(APMIdentity::libraryVersionFromText("123"), 0);
    EXPECT_EQ(APMIdentity::libraryVersionFromText("x1234"), 0);
}

TEST(APMIdentity, StoreInstallationComesFromTheLaunchEnvironment) {
    ::unsetenv("QUORVEL_STORE_INSTALLATION");
    EXPECT_FALSE(APMIdentity::isFromAppStore());
    ::setenv("QUORVEL_STORE_INSTALLATION", "1", 1);
    EXPECT_TRUE(APMIdentity::isFromAppStore());
    ::unsetenv("QUORVEL_STORE_INSTALLATION");
}
