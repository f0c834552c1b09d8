#include "platform/foundation/ns_file_manager.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/foundation/data_root.h"
#include "tests/support/temp_data_root.h"

using namespace platform;
namespace fs = std::filesystem;

namespace {

void writeFile(const fs::path& path, const std::string& text) {
    std::ofstream(path) << text;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TEST(FileManagerDirectories, UserDomainFoldersLiveInTheDataRoot) {
    quorvel::testing::TempDataRoot root;
    auto manager = NSFileManager::defaultManager();
    const std::pair<NSSearchPathDirectory, fs::path> folders[] = {
        {NSSearchPathDirectory::ApplicationSupport, DataRoot::applicationSupport()},
        {NSSearchPathDirectory::Caches, DataRoot::caches()},
        {NSSearchPathDirectory::Library, DataRoot::library()},
        {NSSearchPathDirectory::Document, root.path() / "Documents"}};
    for (const auto& [directory, path] : folders) {
        EXPECT_EQ(manager->URLsForDirectory(directory, NSSearchPathDomainMask::User), std::vector{path});
    }
    EXPECT_TRUE(
        manager->URLsForDirectory(NSSearchPathDirectory::ApplicationSupport, NSSearchPathDomainMask::Local)
            .empty());
}

TEST(FileManagerCreate, WithIntermediatesTwiceSucceedsWithoutNeedsAParentAndNoFolderYet) {
    quorvel::testing::TempDataRoot root;
    auto manager = NSFileManager::defaultManager();
    const fs::path store = DataRoot::applicationSupport() / "com.brelloc.quorvel";
    std::string error;
    EXPECT_TRUE(manager->createDirectoryAtPath(store, true, &error)) << error;
    EXPECT_TRUE(manager->createDirectoryAtPath(store, true, &error)) << error;
    EXPECT_TRUE(fs::is_directory(store));
    EXPECT_FALSE(manager->createDirectoryAtPath(root.path() / "a" / "b", false, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(manager->createDirectoryAtPath(root.path() / "a", false));
    EXPECT_FALSE(manager->createDirectoryAtPath(root.path() / "a", false));
}

TEST(FileManagerCreate, AFileInTheWayFails) {
    quorvel::testing::TempDataRoot root;
    auto manager = NSFileManager::defaultManager();
    writeFile(root.path() / "blocker", "x");
    std::string error;
    EXPECT_FALSE(manager->createDirectoryAtPath(root.path() / "blocker", true, &error));
    EXPECT_NE(error.find("blocker"), std::string::npos);
    error.clear();
    EXPECT_FALSE(manager->createDirectoryAtPath(root.path() / "blocker" / "inner", true, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(readFile(root.path() / "blocker"), "x");
    EXPECT_FALSE(
        manager->createDirectoryAtPath(root.path() / "blocker", true));  // no error pointer: no crash
}

TEST(FileManagerExistence, TellsFilesFromFolders) {
    quorvel::testing::TempDataRoot root;
    auto manager = NSFileManager::defaultManager();
    writeFile(root.path() / "file", "x");
    bool isDirectory = true;
    EXPECT_TRUE(manager->fileExistsAtPath(root.path() / "file", &isDirectory));
    EXPECT_FALSE(isDirectory);
    EXPECT_TRUE(manager->fileExistsAtPath(root.path(), &isDirectory));
    EXPECT_TRUE(isDirectory);
    EXPECT_FALSE(manager->fileExistsAtPath(root.path() / "missing", &isDirectory));
    EXPECT_FALSE(isDirectory);
    EXPECT_TRUE(manager->isWritableFileAtPath(root.path() / "file"));
    EXPECT_FALSE(manager->isWritableFileAtPath(root.path() / "missing"));
}

TEST(FileManagerRemove, RemovesFilesAndWholeTrees) {
    quorvel::testing::TempDataRoot root;
    auto manager = NSFileManager::defaultManager();
    ASSERT_TRUE(manager->createDirectoryAtPath(root.path() / "tree" / "branch", true));
    writeFile(root.path() / "tree" / "branch" / "leaf", "x");
    writeFile(root.path() / "single", "x");
    EXPECT_TRUE(manager->removeItemAtPath(root.path() / "single"));
    EXPECT_TRUE(manager->removeItemAtPath(root.path() / "tree"));
    EXPECT_FALSE(fs::exists(root.path() / "tree"));
    std::string error;
    EXPECT_FALSE(manager->removeItemAtPath(root.path() / "tree", &error));
    EXPECT_FALSE(error.empty());
}

TEST(FileManagerMove, MovesFilesAndFolders) {
    quorvel::testing::TempDataRoot root;
    auto manager = NSFileManager::defaultManager();
    writeFile(root.path() / "from", "payload");
    std::string error;
    EXPECT_TRUE(manager->moveItemAtPath(root.path() / "from", root.path() / "to", &error)) << error;
    EXPECT_FALSE(fs::exists(root.path() / "from"));
    EXPECT_EQ(readFile(root.path() / "to"), "payload");

    ASSERT_TRUE(manager->createDirectoryAtPath(root.path() / "folder", true));
    writeFile(root.path() / "folder" / "inside", "x");
    EXPECT_TRUE(manager->moveItemAtPath(root.path() / "folder", root.path() / "moved"));
    EXPECT_EQ(readFile(root.path() / "moved" / "inside"), "x");
}

TEST(FileManagerMove, NeverReplacesTheDestination) {
    quorvel::testing::TempDataRoot root;
    auto manager = NSFileManager::defaultManager();
    writeFile(root.path() / "from", "new");
    writeFile(root.path() / "to", "old");
    std::string error;
    EXPECT_FALSE(manager->moveItemAtPath(root.path() / "from", root.path() / "to", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(readFile(root.path() / "from"), "new");
    EXPECT_EQ(readFile(root.path() / "to"), "old");

    error.clear();
    EXPECT_FALSE(manager->moveItemAtPath(root.path() / "missing", root.path() / "elsewhere", &error));
    EXPECT_FALSE(error.empty());
}

TEST(FileManagerAttributes, ImmutableMarkIsReadSetAndCleared) {
    quorvel::testing::TempDataRoot root;
    auto manager = NSFileManager::defaultManager();
    const fs::path file = root.path() / "store.sql";
    writeFile(file, "x");
    ASSERT_TRUE(manager->attributesOfItemAtPath(file));
    EXPECT_FALSE(manager->attributesOfItemAtPath(file)->immutable);
    if (!manager->setImmutable(true, file))
        GTEST_SKIP() << "no immutable flag here (needs CAP_LINUX_IMMUTABLE)";
    EXPECT_TRUE(manager->attributesOfItemAtPath(file)->immutable);
    EXPECT_FALSE(manager->removeItemAtPath(file));
    EXPECT_TRUE(manager->setImmutable(false, file));
    EXPECT_FALSE(manager->attributesOfItemAtPath(file)->immutable);
    EXPECT_TRUE(manager->removeItemAtPath(file));

    std::string error;
    EXPECT_FALSE(manager->attributesOfItemAtPath(file, &error));
    EXPECT_FALSE(error.empty());
}

TEST(FileManagerAttributes, FileSystemReportsItsFreeSpace) {
    quorvel::testing::TempDataRoot root;
    auto manager = NSFileManager::defaultManager();
    const auto attributes = manager->attributesOfFileSystemForPath(root.path());
    ASSERT_TRUE(attributes);
    EXPECT_GT(attributes->size, 0u);
    EXPECT_LE(attributes->freeSize, attributes->size);
    EXPECT_FALSE(manager->attributesOfFileSystemForPath(root.path() / "missing"));
}
