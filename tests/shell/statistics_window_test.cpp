// The real quorvel window on a virtual X server: the statistics screen's day panel as a person moves a
// finger along the line chart, one day after another, narrow dates and wide ones; the averages over
// the charts on a small phone turned on its side; and the averages of a later launch, after sessions were
// stored and changed meanwhile, or in another time zone.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "app/core/core_data_manager.h"
#include "app/core/formatting_helpers.h"
#include "app/screens/statistics/charts_view_controller.h"
#include "platform/coregraphics/cg_geometry.h"
#include "platform/foundation/ns_time_zone.h"
#include "tests/shell/screen_listing.h"
#include "tests/shell/stored_sessions.h"
#include "tests/shell/walking_desktop_test.h"
#include "tests/support/eventually.h"
#include "tests/support/kept_time_zone.h"

namespace {

using namespace std::chrono_literals;
using quorvel::testing::DesktopUser;
using Window = DesktopUser::Window;

// `count` sessions of `minutes` on each of the last `days` days, today included, stored in the data
// root the program will open.
void storeSessionsOfLastDays(int days, int count, std::int64_t minutes) {
    auto manager = quorvel::CoreDataManager::shared();
    manager->setUpStore();
    auto context = quorvel::CoreDataManager::context();
    ASSERT_TRUE(context);
    const platform::NSDate today = quorvel::startOfDay(platform::NSDate::now());
    for (int day = 0; day < days; ++day) {
        for (int i = 0; i < count; ++i) {
            auto session = std::dynamic_pointer_cast<quorvel::Session>(
                context->insertNewObjectForEntityForName("Session"));
            ASSERT_TRUE(session);
            session->setTimestamp(quorvel::dateByAddingDays(today, -day).dateByAddingTimeInterval(60.0 * i));
            session->setDuration(minutes);
            session->setType(0);
        }
    }
    ASSERT_TRUE(manager->save());
    quorvel::CoreDataManager::closeStore();
}

// Moves `count` of the sessions stored today to `days` days before, as a merge that changes them would.
void moveTodaysSessions(int count, int days) {
    auto manager = quorvel::CoreDataManager::shared();
    manager->setUpStore();
    const platform::NSDate today = quorvel::startOfDay(platform::NSDate::now());
    int moved = 0;
    for (const auto& session : manager->fetchSessions(today, quorvel::dateByAddingDays(today, 1))) {
        if (moved++ == count) break;
        session->setTimestamp(quorvel::dateByAddingDays(today, -days).dateByAddingTimeInterval(3600.0 * 12));
    }
    ASSERT_TRUE(manager->save());
    quorvel::CoreDataManager::closeStore();
}

class StatisticsWindow : public quorvel::testing::WalkingDesktopTest {
protected:
    // A phone held upright, on the statistics screen, chosen through the menu under the bar.
    Window startOnStatistics(const char* device = "iPhone8", const quorvel::testing::ShellProcess::Environment& environment = {}) {
        markGuidanceSeen();
        const Window window = start({"--device", device, "--orientation", "portrait"}, environment);
        app->settle(1s);
        for (const auto& [x, y] : {std::pair{50, 42}, std::pair{187, 154}}) {
            user->click(window, x, y);
            EXPECT_TRUE(app->waitForLine("touch ended")) << app->transcript();
            app->settle(1s);
        }
        return window;
    }
    // The two averages the screen shows, from the top (the 30 days' over the line chart), each up to its
    // bracket.
    std::vector<std::string> averages(Window window, const std::string& name) {
        auto texts = wholeAverages(window, name);
        for (auto& text : texts) text = text.substr(0, text.find(" ("));
        return texts;
    }
    // The averages once the screen shows `expected`: its totals are counted off the main thread after the
    // first frame, in a loaded machine's own time. What shows last when the guard gives up first.
    std::vector<std::string> averagesOnce(Window window, const std::string& name,
                                          const std::vector<std::string>& expected, bool whole = false) {
        std::vector<std::string> shown;
        quorvel::testing::eventually(
            [&] { return (shown = whole ? wholeAverages(window, name) : averages(window, name)) == expected; },
            [&] { app->listen(250ms); });
        return shown;
    }
    // Both averages as the screen writes them, minutes included, from the top.
    std::vector<std::string> wholeAverages(Window window, const std::string& name) {
        std::vector<std::pair<platform::CGFloat, std::string>> shown;
        for (const auto& view : look(window, name).views) {
            if (view.text.starts_with("Average ")) shown.emplace_back(view.frame.minY(), view.text);
        }
        std::sort(shown.begin(), shown.end());
        std::vector<std::string> texts;
        for (const auto& [top, text] : shown) texts.push_back(text);
        return texts;
    }
    // The averages over the last 30 and 14 days of the present zone, read from the store the program left.
    static std::vector<std::string> averagesOfTheStore() {
        const auto sessions = quorvel::testing::storedSessions();
        EXPECT_TRUE(sessions);
        const platform::NSDate tomorrow = quorvel::dateByAddingDays(quorvel::startOfDay(platform::NSDate::now()), 1);
        std::vector<std::string> texts;
        for (const int days : {30, 14}) {
            const platform::NSDate first = quorvel::dateByAddingDays(tomorrow, -days);
            double count = 0, minutes = 0;
            for (const auto& session : sessions.value_or(std::vector<quorvel::testing::StoredSession>())) {
                const platform::NSDate end(session.end);
                if (end < first || !(end < tomorrow)) continue;
                count += 1;
                minutes += double(session.minutes);
            }
            texts.push_back(quorvel::ChartsViewController::averageText(count / days, minutes / days));
        }
        return texts;
    }
    static bool white(const DesktopUser::Rgb& c) { return c.red > 200 && c.green > 200 && c.blue > 200; }
    // Whether any white text lies in the band of rows from `top` to `bottom`, left of `right`, in the panel.
    bool whiteBetween(Window window, int top, int bottom, int right) const {
        for (int y = top; y <= bottom; ++y) {
            for (int x = kPanelTextLeft; x <= right; ++x) {
                if (white(user->pixel(window, x, y))) return true;
            }
        }
        return false;
    }

    // Where the line chart's panel writes its heading, and the rows a second line would take, above the
    // hairline that rests under it.
    static constexpr int kPanelTextLeft = 20;
    static constexpr int kHeadingTop = 112, kHeadingBottom = 132;
    static constexpr int kSecondLineTop = 135, kSecondLineBottom = 146;

    // Whether the white text in `frame` (points) of the screenshot ends in a glyph as tall as its line,
    // a closing bracket, rather than the low dots of an ellipsis.
    static bool endsInATallGlyph(const platform::UIImage& shot, const platform::CGRect& frame,
                                 platform::CGFloat scale) {
        const int left = int(frame.minX() * scale), right = int(frame.maxX() * scale);
        const int top = int(frame.minY() * scale), bottom = int(frame.maxY() * scale);
        // Each column's topmost and lowest row of white, from the left; top > bottom where it has none.
        std::vector<std::pair<int, int>> ink;
        for (int x = left; x <= right; ++x) {
            std::pair<int, int> rows{bottom + 1, top - 1};
            for (int y = top; y <= bottom; ++y) {
                const auto p = shot.pixelAt(x, y);
                if (std::min({p.r, p.g, p.b}) <= 150) continue;
                rows = {std::min(rows.first, y), std::max(rows.second, y)};
            }
            ink.push_back(rows);
        }
        const auto inked = [](const std::pair<int, int>& rows) { return rows.first <= rows.second; };
        int lineTop = bottom + 1, lineBottom = top - 1;
        for (const auto& [from, to] : ink) {
            lineTop = std::min(lineTop, from);
            lineBottom = std::max(lineBottom, to);
        }
        // The last glyph: the columns of white that run, without a gap, up to the rightmost one.
        auto column = std::find_if(ink.rbegin(), ink.rend(), inked);
        int glyphTop = bottom + 1, glyphBottom = top - 1;
        for (; column != ink.rend() && inked(*column); ++column) {
            glyphTop = std::min(glyphTop, column->first);
            glyphBottom = std::max(glyphBottom, column->second);
        }
        return lineBottom > lineTop && glyphBottom - glyphTop >= 0.6 * (lineBottom - lineTop);
    }

    // A case that counts days in another zone puts the process's zone back: the cases after it store
    // "today's" sessions by the days of the zone the program runs in.
    quorvel::testing::KeptTimeZone keptZone_;
};

}  // namespace

TEST_F(StatisticsWindow, EveryDaysHeadingIsOneLineWhereverTheFingerCameFrom) {
    const Window window = startOnStatistics();
    ASSERT_NE(window, 0u);
    // From today back along the month: a narrow date ("Tue, Dec 1") comes before a wider one
    // ("Mon, Nov 30"), and a finger that rests keeps the panel up.
    user->press(window, 355, 200);
    for (int x = 345; x >= 25; x -= 10) {
        user->moveTo(window, x, 200);
        ASSERT_TRUE(app->waitForLine("frame ")) << app->transcript();
        app->settle(300ms);
        EXPECT_TRUE(whiteBetween(window, kHeadingTop, kHeadingBottom, 200)) << "no heading at x " << x;
        EXPECT_FALSE(whiteBetween(window, kSecondLineTop, kSecondLineBottom, 200))
            << "the heading runs onto a second line at x " << x;
        if (HasFailure()) break;
    }
    screenshot(window, "statistics_heading_after_drag.png");
    user->release();
    user->requestClose(window);
    EXPECT_EQ(app->waitForExit(), 0) << app->transcript();
}

// Averages of hours on the narrowest phone lying on its side: both lines end in their closing bracket,
// the minutes whole, not in an ellipsis.
TEST_F(StatisticsWindow, TheAveragesOfHoursReadWholeOnASmallPhoneOnItsSide) {
    storeSessionsOfLastDays(14, 12, 54);
    const Window window = startOnStatistics("iPhoneSE");
    ASSERT_NE(window, 0u);
    user->pressKey(window, "3");
    ASSERT_TRUE(app->waitForLine("device landscape-left")) << app->transcript();
    app->settle(1500ms);

    const auto listing = look(window, "statistics_averages_small_phone_landscape.png");
    ASSERT_TRUE(shot_) << app->transcript();
    ASSERT_GT(listing.screen.width(), 0) << app->transcript();
    int averages = 0;
    for (const auto& view : listing.views) {
        if (!view.text.starts_with("Average ")) continue;
        ++averages;
        EXPECT_TRUE(endsInATallGlyph(*shot_, view.frame, shot_->pixelWidth() / listing.screen.width()))
            << view.describe() << " ends in an ellipsis";
    }
    EXPECT_EQ(averages, 2) << app->transcript();
    user->requestClose(window);
    EXPECT_EQ(app->waitForExit(), 0) << app->transcript();
}

// The screen of a later launch starts from what the last visit read: the sessions stored since are
// added to it, and a change to a stored session meanwhile is never missed.
TEST_F(StatisticsWindow, ALaterLaunchShowsTheSessionsStoredAndChangedSince) {
    storeSessionsOfLastDays(14, 12, 25);
    Window window = startOnStatistics();
    ASSERT_NE(window, 0u);
    // 168 sessions: 5.6 a day over 30 days, 12 over 14.
    const std::vector<std::string> first{"Average 6 Focus Sessions", "Average 12 Focus Sessions"};
    EXPECT_EQ(averagesOnce(window, "statistics_first_launch.png", first), first);
    user->requestClose(window);
    ASSERT_EQ(app->waitForExit(), 0) << app->transcript();

    storeSessionsOfLastDays(14, 3, 25);
    moveTodaysSessions(14, 20);
    window = startOnStatistics();
    ASSERT_NE(window, 0u);
    // 210 sessions, of which 196 in the last 14 days: 7 a day over 30 days, 14 over 14.
    const std::vector<std::string> later{"Average 7 Focus Sessions", "Average 14 Focus Sessions"};
    EXPECT_EQ(averagesOnce(window, "statistics_later_launch.png", later), later);
    user->requestClose(window);
    EXPECT_EQ(app->waitForExit(), 0) << app->transcript();
}

// A later launch in another time zone counts the same sessions by that zone's days: half past midnight
// in Berlin is the evening before in New York (unless New York's evening is Berlin's night, the days'
// figures differ).
TEST_F(StatisticsWindow, ALaterLaunchInAnotherZoneCountsTheSessionsByItsDays) {
    const auto zone = [](const char* name) {
        platform::NSTimeZone::setDefaultTimeZone(*platform::NSTimeZone::timeZoneWithName(name));
    };
    zone("Europe/Berlin");
    {
        auto manager = quorvel::CoreDataManager::shared();
        manager->setUpStore();
        const platform::NSDate today = quorvel::startOfDay(platform::NSDate::now());
        for (int day = 0; day < 20; ++day) {
            for (int i = 0; i < 5; ++i)
                manager->insertSession(25, quorvel::SessionType::focus,
                                       quorvel::dateByAddingDays(today, -day).dateByAddingTimeInterval(1800.0 + 60 * i));
        }
        quorvel::CoreDataManager::closeStore();
    }
    const auto berlinDays = averagesOfTheStore();
    Window window = startOnStatistics("iPhone8", {{"TZ", "Europe/Berlin"}});
    ASSERT_NE(window, 0u);
    const auto inBerlin = averagesOnce(window, "statistics_in_berlin.png", berlinDays, true);
    user->requestClose(window);
    ASSERT_EQ(app->waitForExit(), 0) << app->transcript();
    EXPECT_EQ(inBerlin, averagesOfTheStore());

    zone("America/New_York");
    const auto newYorkDays = averagesOfTheStore();
    zone("Europe/Berlin");
    window = startOnStatistics("iPhone8", {{"TZ", "America/New_York"}});
    ASSERT_NE(window, 0u);
    const auto inNewYork = averagesOnce(window, "statistics_in_new_york.png", newYorkDays, true);
    user->requestClose(window);
    ASSERT_EQ(app->waitForExit(), 0) << app->transcript();
    zone("America/New_York");
    EXPECT_EQ(inNewYork, averagesOfTheStore());
}
