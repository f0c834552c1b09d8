// Two quorvel programs started on one data folder: the second says who runs it and leaves.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>

#include <filesystem>
#include <map>
#include <string>
#include <utility>

#include "tests/shell/desktop_test.h"

namespace {

using quorvel::testing::ShellProcess;

// Every file and folder under `root`, with its size and last change.
std::map<std::string, std::pair<std::uintmax_t, std::filesystem::file_time_type>> contentsOf(
    const std::filesystem::path& root) {
    std::map<std::string, std::pair<std::uintmax_t, std::filesystem::file_time_type>> contents;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        const auto size = entry.is_regular_file() ? entry.file_size() : 0;
        contents[entry.path().string()] = {size, entry.last_write_time()};
    }
    return contents;
}

class InstanceLockTest : public quorvel::testing::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        markGuidanceSeen();
    }
};

}  // namespace

TEST_F(InstanceLockTest, ASecondStartOnTheFolderNamesTheRunningOneAndWritesNothingAndAKilledOneLeavesNoLock) {
    ASSERT_NE(start({"--device", "iPhone8"}), 0u);
    // The first one holds still, its lock held, while the second comes: whatever changes in the folder
    // meanwhile is the second one's doing, however late the first one's own writes fall.
    ASSERT_EQ(::kill(app->pid(), SIGSTOP), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(app->pid(), &status, WUNTRACED), app->pid());
    ASSERT_TRUE(WIFSTOPPED(status));
    const auto before = contentsOf(root.path());

    ShellProcess second(display->name(), root.path(), {"--device", "iPadPro9Inch"});
    EXPECT_EQ(second.waitForExit(), 1) << second.transcript();
    ASSERT_EQ(second.lines().size(), 1u) << second.transcript();
    EXPECT_NE(second.lines()[0].find("process " + std::to_string(app->pid())), std::string::npos)
        << second.lines()[0];
    EXPECT_EQ(contentsOf(root.path()), before);

    ::kill(app->pid(), SIGKILL);
    EXPECT_EQ(app->waitForExit(), 128 + SIGKILL);
    EXPECT_NE(start({"--device", "iPhone8"}), 0u) << "a new start after the kill";
}
