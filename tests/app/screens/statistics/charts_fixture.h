#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "analytics/interface/dzr_app.h"
#include "app/core/core_data_manager.h"
#include "app/core/formatting_helpers.h"
#include "app/core/navigation_bar_style.h"
#include "app/screens/statistics/charts_storyboard.h"
#include "app/screens/statistics/charts_view_controller.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/ns_calendar.h"
#include "platform/foundation/ns_locale.h"
#include "platform/foundation/ns_time_zone.h"
#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/device/device_profile.h"
#include "platform/uikit/device/ui_device.h"
#include "platform/uikit/device/ui_screen.h"
#include "platform/uikit/navigation/ui_navigation_bar.h"
#include "platform/uikit/navigation/ui_navigation_controller.h"
#include "platform/uikit/nibs/ui_storyboard.h"
#include "tests/analytics/engine/events_taken_in.h"
#include "tests/support/temp_data_root.h"

namespace quorvel::testing {

// A session store in a fresh data root, Berlin time and US English, the analytics library taking its
// events in, and a virtual clock that starts on Monday 2 March 2026 at 10:00 in Berlin (unless a
// fixture starts it elsewhere). show() puts the statistics screen, as its storyboard makes it, in a
// navigation controller in a shown window of an iPhone 8.
class ChartsTest : public ::testing::Test {
protected:
    explicit ChartsTest(double clockStart = platform::VirtualClock::kDefaultStart) : clock(platform::VirtualClock::install(clockStart)) {
        useDevice("iPhone8");
        platform::NSTimeZone::setDefaultTimeZone(*platform::NSTimeZone::timeZoneWithName("Europe/Berlin"));
        platform::NSLocale::setCurrentLocale(platform::NSLocale::localeWithLocaleIdentifier("en_US"));
        analytics::DZRApp::configure();
        events = engine_test::EventsTakenIn::installOnEngine();
        auto manager = CoreDataManager::shared();
        manager->setUpStore();
        manager->setNumberHolder(NumberHolder::fetchOrInsert(*CoreDataManager::context()));
        manager->save();
        ChartsStoryboard::registerScenes();
    }
    ~ChartsTest() override { clock->runUntilIdle(); }

public:
    static void useDevice(const char* model) {
        platform::DeviceProfile::setCurrent(*platform::DeviceProfile::named(model));
        platform::UIScreen::mainScreen().reset();
        platform::UIDevice::currentDevice().reset();
    }

    // A wall time in Berlin.
    static platform::NSDate local(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
        return *platform::NSCalendar::currentCalendar().dateFromComponents(
            {.year = year, .month = month, .day = day, .hour = hour, .minute = minute, .second = second});
    }
    // Noon of the day `days` before today (2 March 2026).
    static platform::NSDate daysAgo(int days, int hour = 12) { return local(2026, 3, 2 - days, hour); }

    // Every session of the store, unsaved ones included, read and counted afresh.
    static DayNumbers fullRead() {
        DayNumbers days;
        auto request = platform::NSFetchRequest::fetchRequestWithEntityName("Session");
        request.propertiesToFetch = {"timestamp", "duration"};
        EXPECT_TRUE(CoreDataManager::context()->enumerateFetchRequestForPropertyValues(
            request, [&](const std::vector<platform::Value>& session) {
                if (const auto date = session[0].dateValue()) {
                    auto& day = days[startOfDay(*date)];
                    day.pomodoros += 1;
                    day.minutes += std::max<std::int64_t>(session[1].intValue().value_or(0), 0);
                }
            }));
        return days;
    }

    // A context on a second connection to the store, saving on its own queue, as the sync's merges do.
    static std::shared_ptr<platform::NSManagedObjectContext> mergingContext() {
        const auto& local = CoreDataManager::context()->persistentStoreCoordinator();
        auto merging = std::make_shared<platform::NSPersistentStoreCoordinator>(local->managedObjectModel());
        EXPECT_TRUE(merging->addPersistentStoreWithType(platform::NSSQLiteStoreType, std::nullopt, local->storeURL(), {}));
        auto merge = platform::NSManagedObjectContext::initWithConcurrencyType(
            platform::NSManagedObjectContextConcurrencyType::PrivateQueue);
        merge->setPersistentStoreCoordinator(merging);
        return merge;
    }

    // A session stored the way the timer stores it.
    static void store(platform::NSDate when, std::int64_t minutes = 25) {
        ASSERT_TRUE(CoreDataManager::shared()->insertSession(minutes, SessionType::focus, when));
    }

protected:
    void show() {
        screen = std::static_pointer_cast<ChartsViewController>(
            platform::UIStoryboard::storyboardWithName(ChartsStoryboard::kName)
                ->instantiateViewControllerWithIdentifier(ChartsStoryboard::kScreen));
        ASSERT_TRUE(screen);
        navigation = platform::UINavigationController::withRootViewController(screen);
        styleNavigationBar(false, navigation->navigationBar());
        window = std::make_shared<platform::UIWindow>();
        window->setRootViewController(navigation);
        window->makeKeyAndVisible();
        clock->runUntilIdle();
    }

    // The chart events the library took in so far, as "key=value" texts.
    std::vector<std::string> chartEvents() {
        clock->runUntilIdle();
        std::vector<std::string> texts;
        for (const auto& event : events->events()) {
            if (event.name() != "Chart_Event") continue;
            std::string text;
            for (const auto& [key, value] : event.parameters()) {
                if (key == "_o") continue;
                if (!text.empty()) text += " ";
                text += key + "=" + (value.stringValue() ? *value.stringValue() : std::to_string(value.int64Value()));
            }
            texts.push_back(text);
        }
        return texts;
    }

    TempDataRoot root;
    std::shared_ptr<platform::VirtualClock> clock;
    std::shared_ptr<engine_test::EventsTakenIn> events;
    std::shared_ptr<platform::UIWindow> window;
    std::shared_ptr<ChartsViewController> screen;
    std::shared_ptr<platform::UINavigationController> navigation;
};

}  // namespace quorvel::testing
