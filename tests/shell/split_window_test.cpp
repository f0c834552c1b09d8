// The real quorvel window of a tablet in split view: a person steps through the shares with the S key,
// and each share's timer screen is the one a launch straight into that share draws.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/uikit/drawing/ui_image.h"
#include "tests/shell/desktop_test.h"
#include "tests/support/golden_image.h"

namespace {

using namespace std::chrono_literals;
using Window = quorvel::testing::DesktopUser::Window;

class SplitWindow : public quorvel::testing::DesktopTest {
protected:
    // An iPad Pro 11-inch held `orientation`, launched into `share`, its first layout settled.
    Window launch(const std::string& orientation, const std::string& share) {
        markGuidanceSeen();
        const Window window =
            start({"--device", "iPadPro11Inch", "--orientation", orientation, "--split", share});
        app->listen(1500ms);
        return window;
    }
    void quit(Window window) {
        user->requestClose(window);
        EXPECT_EQ(app->waitForExit(), 0) << app->transcript();
    }
    // The S key, and the new share laid out.
    void nextShare(Window window, const std::string& expected) {
        user->pressKey(window, "s");
        EXPECT_TRUE(app->waitForLine("split " + expected)) << app->transcript();
        app->listen(1500ms);
    }
    static std::string fileName(const std::string& orientation, const std::string& share, const char* how) {
        std::string name = "split_" + orientation + "_" + share + "_" + how + ".png";
        std::replace(name.begin(), name.end(), '/', '-');
        return name;
    }

    // Steps from `first` through the shares after it, each compared with a launch into that share.
    void expectEachShareAsLaunched(const std::string& orientation, const std::string& first,
                                   const std::vector<std::string>& following) {
        Window window = launch(orientation, first);
        ASSERT_NE(window, 0u);
        std::vector<std::shared_ptr<platform::UIImage>> reached;
        for (const auto& share : following) {
            nextShare(window, share);
            reached.push_back(screenshot(window, fileName(orientation, share, "pressed")));
            ASSERT_TRUE(reached.back()) << app->transcript();
        }
        quit(window);
        for (std::size_t i = 0; i < following.size(); ++i) {
            window = launch(orientation, following[i]);
            ASSERT_NE(window, 0u);
            const auto launched = screenshot(window, fileName(orientation, following[i], "launched"));
            ASSERT_TRUE(launched) << app->transcript();
            EXPECT_EQ(quorvel::testing::differingShare(*reached[i], *launched), 0)
                << "the share " << following[i] << " after S differs from a launch into it; compare the "
                << fileName(orientation, following[i], "pressed") << " and "
                << fileName(orientation, following[i], "launched") << " screenshots";
            quit(window);
        }
    }
};

}  // namespace

TEST_F(SplitWindow, EachShareReachedWithTheSKeyLooksAsLaunchedIntoItLyingSideways) {
    expectEachShareAsLaunched("landscape-left", "full", {"2/3", "1/2", "1/3", "full"});
}

TEST_F(SplitWindow, EachShareReachedWithTheSKeyLooksAsLaunchedIntoItUpright) {
    expectEachShareAsLaunched("portrait", "1/3", {"full", "2/3", "1/2"});
}
