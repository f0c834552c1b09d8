#include "app/core/p_file_manager.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/foundation/console.h"
#include "platform/foundation/data_root.h"
#include "platform/foundation/ns_bundle.h"
#include "tests/support/temp_data_root.h"

using quorvel::PFileManager;
namespace fs = std::filesystem;

// Without a model, or with the folder blocked, the store's own tests show what the app then does.
TEST(PFileManager, TheStoreDirectoryIsMadeInApplicationSupportAndAFileInItsWayIsKeptSilently) {
    quorvel::testing::TempDataRoot root;
    platform::Console::Capture console;
    const auto url = PFileManager::shared()->storeDirectoryURL();
    ASSERT_TRUE(url);
    EXPECT_EQ(*url, platform::DataRoot::applicationSupport() /
                        platform::NSBundle::mainBundle()->bundleIdentifier());
    EXPECT_TRUE(PFileManager::shared()->createStoreDirectory());
    EXPECT_TRUE(PFileManager::shared()->createStoreDirectory());
    EXPECT_TRUE(fs::is_directory(*url));

    fs::remove(*url);
    std::ofstream(*url) << "not a folder";
    EXPECT_FALSE(PFileManager::shared()->createStoreDirectory());
    EXPECT_TRUE(fs::is_regular_file(*url));
    EXPECT_TRUE(console.lines().empty());
}
