// The real quorvel program started where the desktop does not let it in: it waits a moment for a busy
// desktop, and otherwise says so in one line and leaves, with the data folder as it found it.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "tests/shell/desktop_test.h"
#include "tests/support/refusing_display.h"

namespace {

using namespace std::chrono_literals;
using quorvel::testing::RefusingDisplay;
using quorvel::testing::ShellProcess;

// As a person starts it: SDL is not told which driver to use.
const ShellProcess::Environment kAsAPersonStartsIt = {{"SDL_VIDEODRIVER", ""}};
const std::string kBusy = "Maximum number of clients reached";

// Every file and folder under `root` with its size and last change; none when there is no `root`.
std::map<std::string, std::pair<std::uintmax_t, std::filesystem::file_time_type>> everythingUnder(
    const std::filesystem::path& root) {
    std::map<std::string, std::pair<std::uintmax_t, std::filesystem::file_time_type>> contents;
    if (!std::filesystem::exists(root)) return contents;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        const auto size = entry.is_regular_file() ? entry.file_size() : 0;
        contents[entry.path().string()] = {size, entry.last_write_time()};
    }
    return contents;
}

class UnreachableDesktopTest : public quorvel::testing::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        markGuidanceSeen();
    }
};

}  // namespace

TEST_F(UnreachableDesktopTest, AStartOnADisplayNothingServesSaysSoInOneLineAndLeavesTheNextStartFree) {
    const std::string nowhere = RefusingDisplay::unserved();
    ASSERT_FALSE(nowhere.empty());
    const auto before = everythingUnder(root.path());

    ShellProcess lost(nowhere, root.path(), {}, kAsAPersonStartsIt);
    EXPECT_EQ(lost.waitForExit(), 1) << lost.transcript();
    ASSERT_EQ(lost.lines().size(), 1u) << lost.transcript();
    EXPECT_NE(lost.lines()[0].find("display " + nowhere), std::string::npos) << lost.lines()[0];
    EXPECT_EQ(everythingUnder(root.path()), before) << "no data written and no lock taken";

    const Window window = start({"--device", "iPhone8"}, kAsAPersonStartsIt);
    ASSERT_NE(window, 0u) << "the start on the real display right after";
    user->requestClose(window);
    EXPECT_EQ(app->waitForExit(), 0) << app->transcript();
}

TEST_F(UnreachableDesktopTest, AStartWhileTheDisplayRefusesForAMomentOpensItsWindowThere) {
    // Refused once; the program's next try, however soon, finds the real display.
    RefusingDisplay busy(kBusy, display->name());
    ASSERT_TRUE(busy.started());
    app = std::make_unique<ShellProcess>(busy.name(), root.path(),
                                         std::vector<std::string>{"--device", "iPhone8"}, kAsAPersonStartsIt);
    ASSERT_TRUE(busy.waitForRefusal(quorvel::testing::kPatience)) << app->transcript();

    EXPECT_TRUE(app->waitForLine("frame 1")) << app->transcript();
    const auto window = user->waitForWindow(app->pid(), quorvel::testing::kPatience);
    ASSERT_TRUE(window) << "drawing nowhere instead\n" << app->transcript();
    // A refusal it got past is no news to a person.
    EXPECT_EQ(app->count(kBusy), 0u) << app->transcript();
    user->requestClose(*window);
    EXPECT_EQ(app->waitForExit(), 0) << app->transcript();
}

TEST(UnreachableDesktop, ADisplayThatKeepsRefusingEndsTheStartInOneLineSayingWhy) {
    RefusingDisplay full(kBusy);
    ASSERT_TRUE(full.started());
    quorvel::testing::TempDataRoot root;
    const auto home = root.path() / "never-made";

    ShellProcess app(full.name(), home, {}, kAsAPersonStartsIt);
    EXPECT_EQ(app.waitForExit(), 1) << app.transcript();
    ASSERT_EQ(app.lines().size(), 1u) << app.transcript();
    // The server's reason once, in the program's own line, however often it was asked.
    const std::string& line = app.lines()[0];
    EXPECT_TRUE(line.starts_with("quorvel: cannot open a window on display " + full.name())) << line;
    EXPECT_NE(line.find(kBusy), std::string::npos) << line;
    EXPECT_EQ(line.find(kBusy), line.rfind(kBusy)) << line;
    EXPECT_FALSE(std::filesystem::exists(home));
}
