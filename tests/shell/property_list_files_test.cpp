// Every property list a run of the real quorvel program writes (its settings suites, the pending
// notifications, the analytics library's state, the sync's device record and change files) is read by
// Python's plistlib, a strict reader of the format, with every value equal to what our reader reads.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <vector>

#include "app/core/first_launch_defaults.h"
#include "app/core/temp_user_default_properties.h"
#include "app/core/user_default_properties.h"
#include "platform/foundation/binary_property_list.h"
#include "platform/foundation/ns_date.h"
#include "platform/foundation/property_list.h"
#include "tests/shell/desktop_test.h"
#include "tests/support/eventually.h"
#include "tests/support/python_plist_reader.h"

namespace {

using namespace std::chrono_literals;
using P = quorvel::UserDefaultProperties;
using T = quorvel::TempUserDefaultProperties;
using quorvel::testing::PythonPlistReader;

class WrittenPropertyLists : public quorvel::testing::DesktopTest {
protected:
    // Past its first launch, with three seconds left of a focus session.
    void SetUp() override {
        DesktopTest::SetUp();
        if (IsSkipped()) return;
        if (!PythonPlistReader::available())
            GTEST_SKIP() << "python3 is not installed; tools/setup.sh installs it";
        for (const auto& value : quorvel::firstLaunchDefaults()) P::save(value);
        for (const auto& value : {P::remainingRoundTime(0.05), P::sharedRemainingRoundTime(0.05)})
            P::save(value);
        T::save(T::launchedOnce(true));
        T::save(T::checkedDate(platform::NSDate::now()));
        markGuidanceSeen();
    }

    std::vector<std::filesystem::path> propertyLists() const {
        std::vector<std::filesystem::path> found;
        for (const auto& folder : {root.path(), std::filesystem::path(root.path().string() + "-cloud")}) {
            std::error_code error;
            for (auto it = std::filesystem::recursive_directory_iterator(folder, error);
                 !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
                if (it->is_regular_file() && it->path().extension() == ".plist") found.push_back(it->path());
            }
        }
        return found;
    }
    std::size_t listsInTheCloud() const {
        return static_cast<std::size_t>(std::ranges::count_if(propertyLists(), [&](const auto& file) {
            return file.string().starts_with(root.path().string() + "-cloud/");
        }));
    }
};

bool writtenBinary(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string start(8, '\0');
    in.read(start.data(), 8);
    return platform::BinaryPropertyList::isBinary(start);
}

}  // namespace

TEST_F(WrittenPropertyLists, EveryFileARunWritesReadsTheSameInPlistlib) {
    const Window window = start({"--device", "iPhone8", "--orientation", "portrait"});
    ASSERT_NE(window, 0u);
    user->click(window, 187, 405);  // play: the session ends, is stored and synced, the break starts
    ASSERT_TRUE(app->waitForLine("touch ended")) << app->transcript();
    // The session ends by the program's ticks, and its change file reaches the shared folder after it.
    EXPECT_TRUE(quorvel::testing::eventually([&] { return listsInTheCloud() >= 2; }, [&] { app->listen(250ms); }))
        << app->transcript();
    app->settle(1s);
    user->minimize(window);  // the break runs in the background: its end is a pending notification
    ASSERT_TRUE(app->waitForLine("life-cycle did-enter-background")) << app->transcript();
    app->listen(2s);
    user->restore(window);
    ASSERT_TRUE(app->waitForLine("life-cycle did-become-active")) << app->transcript();
    user->requestClose(window);
    ASSERT_EQ(app->waitForExit(), 0) << app->transcript();

    std::vector<std::string> names;
    for (const auto& file : propertyLists()) {
        SCOPED_TRACE(file.string());
        names.push_back(file.filename().string());
        std::string error;
        const auto ours = platform::PropertyList::readFile(file, &error);
        ASSERT_TRUE(ours) << error;
        const auto theirs = PythonPlistReader::listing(file, &error);
        ASSERT_TRUE(theirs) << error;
        std::string difference;
        EXPECT_TRUE(PythonPlistReader::same(*theirs, PythonPlistReader::listing(*ours), &difference))
            << difference;
        EXPECT_TRUE(writtenBinary(file));
    }
    const auto wrote = [&](const std::string& name) { return std::ranges::count(names, name) == 1; };
    EXPECT_TRUE(wrote("com.brelloc.quorvel.plist"));
    EXPECT_TRUE(wrote("group.Brelloc.PomodoroShare.plist"));
    EXPECT_TRUE(wrote("PendingRequests.plist"));
    EXPECT_GE(listsInTheCloud(), 2u) << "the device record and the session's change file";
    EXPECT_GE(names.size(), 7u) << ::testing::PrintToString(names);
}
