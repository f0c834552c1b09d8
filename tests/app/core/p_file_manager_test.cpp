#include "app/core/p_file_manager.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/foundation/console.h"
#include "platform/foundation/data_root.h"
#include "platform/foundation/ns_bundle.h"
#include "tests/support/temp_data_root.h"

using namespace quorvel;
namespace fs = std::filesystem;

namespace {

// Points the main bundle at a folder for one test and back afterwards.
struct BundleAt {
    explicit BundleAt(const fs::path& folder) { platform::NSBundle::setMainBundlePath(folder); }
    ~BundleAt() { platform::NSBundle::setMainBundlePath({}); }
};

}  // namespace

TEST(PFileManager, StoreDirectoryIsTheBundleIdentifierFolderInApplicationSupport) {
    quorvel::testing::TempDataRoot root;
    const auto url = PFileManager::shared()->storeDirectoryURL();
    ASSERT_TRUE(url);
    EXPECT_EQ(*url, platform::DataRoot::applicationSupport() /
                        platform::NSBundle::mainBundle()->bundleIdentifier());
    EXPECT_FALSE(fs::exists(*url));
}

TEST(PFileManager, CreatingTheStoreDirectoryTwiceSucceedsBothTimes) {
    quorvel::testing::TempDataRoot root;
    platform::Console::Capture console;
    EXPECT_TRUE(PFileManager::shared()->createStoreDirectory());
    EXPECT_TRUE(PFileManager::shared()->createStoreDirectory());
    EXPECT_TRUE(fs::is_directory(*PFileManager::shared()->storeDirectoryURL()));
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
    BundleAt bundle(folder.path());
    EXPECT_FALSE(PFileManager::shared()->modelURL());
    fs::create_directories(folder.path() / "Pomodoro.momd");
    EXPECT_EQ(PFileManager::shared()->modelURL(), folder.path() / "Pomodoro.momd");
}
