#include "app/core/p_file_manager.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/foundation/console.h"
#include "platform/foundation/data_root.h"
#include "platform/foundation/ns_bundle.h"
#include "tests/support/temp_data_root.h"

using quorvel::PFileManager;
namespace fs = std::filesystem;

TEST(PFileManager, TheStoreDirectoryIsMadeInApplicationSupportAndMakingItAgainSucceeds) {
    quorvel::testing::TempDataRoot root;
    platform::Console::Capture console;
    const auto url = PFileManager::shared()->storeDirectoryURL();
    ASSERT_TRUE(url);
    EXPECT_EQ(*url, platform::DataRoot::applicationSupport() /
                        platform::NSBundle::mainBundle()->bundleIdentifier());
    EXPECT_TRUE(PFileManager::shared()->createStoreDirectory());
    EXPECT_TRUE(PFileManager::shared()->createStoreDirectory());
    EXPECT_TRUE(fs::is_directory(*url));
    EXPECT_TRUE(console.lines().empty());
}

TEST(PFileManager, AFileInTheWayFailsWithoutAConsoleLineAndIsKept) {
    quorvel::testing::TempDataRoot root;
    const auto url = *PFileManager::shared()->storeDirectoryURL();
    fs::create_directories(url.parent_path());
    std::ofstream(url) << "not a folder";
    platform::Console::Capture console;
    EXPECT_FALSE(PFileManager::shared()->createStoreDirectory());
    EXPECT_TRUE(console.lines().empty());
    EXPECT_TRUE(fs::is_regular_file(url));
}

TEST(PFileManager, ModelURLIsTheBundlesModelOrNone) {
    quorvel::testing::TempDataRoot folder;
    platform::NSBundle::setMainBundlePath(folder.path());
    EXPECT_FALSE(PFileManager::shared()->modelURL());
    fs::create_directories(folder.path() / "Pomodoro.momd");
    EXPECT_EQ(PFileManager::shared()->modelURL(), folder.path() / "Pomodoro.momd");
    platform::NSBundle::setMainBundlePath({});
}
