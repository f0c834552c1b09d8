// Which video drivers the program may start, from what the environment names.
#include "shell/desktop_connection.h"

#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

namespace {

using quorvel::shell::DesktopConnection;

const char* const kVariables[] = {"SDL_VIDEODRIVER", "DISPLAY", "WAYLAND_DISPLAY"};

// Each case sets the three variables; the test program's own come back at the end.
class DesktopConnectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : kVariables) {
            const char* value = std::getenv(name);
            saved_[name] = value ? std::optional<std::string>(value) : std::nullopt;
        }
    }
    void TearDown() override {
        for (const auto& [name, value] : saved_) set(name.c_str(), value ? value->c_str() : nullptr);
    }

    static void use(const char* videoDriver, const char* display, const char* waylandDisplay) {
        set("SDL_VIDEODRIVER", videoDriver);
        set("DISPLAY", display);
        set("WAYLAND_DISPLAY", waylandDisplay);
    }

private:
    static void set(const char* name, const char* value) {
        if (value) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }

    std::map<std::string, std::optional<std::string>> saved_;
};

}  // namespace

TEST_F(DesktopConnectionTest, OnlyTheDesktopsTheEnvironmentPointsAtAreTriedNeverOneThatDrawsNowhere) {
    use(nullptr, ":77", nullptr);
    EXPECT_EQ(DesktopConnection::drivers(), "x11");
    EXPECT_EQ(DesktopConnection::displayName(), ":77");

    use(nullptr, nullptr, "wayland-1");
    EXPECT_EQ(DesktopConnection::drivers(), "wayland");

    use(nullptr, ":0", "wayland-0");
    EXPECT_EQ(DesktopConnection::drivers(), "x11,wayland");
    EXPECT_EQ(DesktopConnection::displayName(), ":0 or wayland-0");

    // An empty variable names nothing, to SDL as to us.
    use("", ":0", "");
    EXPECT_EQ(DesktopConnection::drivers(), "x11");

    use(nullptr, nullptr, nullptr);
    EXPECT_EQ(DesktopConnection::drivers(), "");
    std::string problem;
    EXPECT_FALSE(DesktopConnection::start(problem));
    EXPECT_NE(problem.find("no desktop"), std::string::npos) << problem;
}

TEST_F(DesktopConnectionTest, ADriverSdlVideoDriverNamesIsTheOneStarted) {
    use("offscreen", nullptr, nullptr);
    EXPECT_EQ(DesktopConnection::drivers(), "offscreen");
    std::string problem;
    ASSERT_TRUE(DesktopConnection::start(problem)) << problem;
    EXPECT_STREQ(SDL_GetCurrentVideoDriver(), "offscreen");
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}
