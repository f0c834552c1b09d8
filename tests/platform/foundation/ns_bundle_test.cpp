#include "platform/foundation/ns_bundle.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "tests/support/temp_data_root.h"

using namespace platform;
namespace fs = std::filesystem;

namespace {

void writeInfoPlist(const fs::path& folder, const std::string& dictBody) {
    std::ofstream(folder / "Info.plist")
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
        << dictBody << "</dict>\n</plist>\n";
}

}  // namespace

TEST(BundleResources, FindsFilesAndFoldersByNameAndExtension) {
    quorvel::testing::TempDataRoot folder;
    std::ofstream(folder.path() / "Three Ring Chime.wav") << "RIFF";
    fs::create_directories(folder.path() / "Pomodoro.momd");
    NSBundle bundle(folder.path());

    EXPECT_EQ(bundle.pathForResource("Three Ring Chime", "wav"), folder.path() / "Three Ring Chime.wav");
    EXPECT_EQ(bundle.URLForResource("Pomodoro", "momd"), folder.path() / "Pomodoro.momd");
    EXPECT_EQ(bundle.pathForResource("Three Ring Chime.wav", ""), folder.path() / "Three Ring Chime.wav");
    EXPECT_FALSE(bundle.pathForResource("Three Ring Chime", "mp3"));
    EXPECT_FALSE(bundle.URLForResource("Missing", "momd"));
    EXPECT_FALSE(bundle.pathForResource("", "wav"));
    EXPECT_FALSE(bundle.pathForResource("../etc/passwd", ""));
}

TEST(BundleResources, LookInTheGeneratedFolderAfterTheirOwn) {
    quorvel::testing::TempDataRoot own;
    quorvel::testing::TempDataRoot generated;
    std::ofstream(own.path() / "Ding.wav") << "own";
    std::ofstream(generated.path() / "Ding.wav") << "generated";
    std::ofstream(generated.path() / "Rain.mp3") << "generated";
    NSBundle bundle(own.path(), generated.path());

    EXPECT_EQ(bundle.pathForResource("Ding", "wav"), own.path() / "Ding.wav");
    EXPECT_EQ(bundle.pathForResource("Rain", "mp3"), generated.path() / "Rain.mp3");
    EXPECT_FALSE(bundle.pathForResource("Steam", "mp3"));
    EXPECT_FALSE(bundle.pathForResource("../Rain.mp3", ""));
    EXPECT_FALSE(NSBundle(own.path()).pathForResource("Rain", "mp3"));
}

TEST(BundleIdentifier, ComesFromInfoPlistOrFallsBack) {
    quorvel::testing::TempDataRoot folder;
    writeInfoPlist(folder.path(),
                   "<key>CFBundleName</key><string>CFBundleIdentifier</string>\n"
                   "<key>CFBundleIdentifier</key>\n<string>org.example.other</string>\n");
    EXPECT_EQ(NSBundle(folder.path()).bundleIdentifier(), "org.example.other");

    writeInfoPlist(folder.path(), "<key>CFBundleIdentifier</key><integer>7</integer>\n");
    EXPECT_EQ(NSBundle(folder.path()).bundleIdentifier(), "com.brelloc.quorvel");
    std::ofstream(folder.path() / "Info.plist") << "<plist><dict><key>CFBundleIdentifier";  // cut short
    EXPECT_EQ(NSBundle(folder.path()).bundleIdentifier(), "com.brelloc.quorvel");
    fs::remove(folder.path() / "Info.plist");
    EXPECT_EQ(NSBundle(folder.path()).bundleIdentifier(), "com.brelloc.quorvel");
}

TEST(BundleMain, ReadsTheProjectResourcesUnlessPointedElsewhere) {
    ::unsetenv("QUORVEL_RESOURCES");
    NSBundle::setMainBundlePath({});
    EXPECT_EQ(NSBundle::mainBundle()->resourcePath(), fs::path(QUORVEL_RESOURCES_DIR));
    EXPECT_EQ(NSBundle::mainBundle()->bundleIdentifier(), "com.brelloc.quorvel");
    EXPECT_TRUE(NSBundle::mainBundle()->pathForResource("Info", "plist"));

    quorvel::testing::TempDataRoot folder;
    NSBundle::setMainBundlePath(folder.path());
    EXPECT_EQ(NSBundle::mainBundle()->resourcePath(), folder.path());

    ::setenv("QUORVEL_RESOURCES", folder.path().c_str(), 1);
    NSBundle::setMainBundlePath({});
    EXPECT_EQ(NSBundle::mainBundle()->resourcePath(), folder.path());
    ::unsetenv("QUORVEL_RESOURCES");
    NSBundle::setMainBundlePath({});
}
