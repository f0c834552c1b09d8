#include "tests/soak/app_life.h"

#include <SDL.h>
#include <cxxabi.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <typeinfo>
#include <variant>

#include "app/core/core_data_manager.h"
#include "app/core/timer_view_model.h"
#include "app/core/user_data_manager.h"
#include "app/core/user_default_properties.h"
#include "app/core/user_defaults_accessors.h"
#include "app/screens/navigation/main_navigation_controller_view_controller.h"
#include "app/screens/settings/option_view_controller.h"
#include "app/screens/statistics/charts_view_controller.h"
#include "app/screens/timer/progress_view.h"
#include "app/screens/timer/statistics_bottom_container.h"
#include "app/screens/timer/time_view_controller.h"
#include "app/widgets/menu/drop_down_menu.h"
#include "platform/ensembles/cde_icloud_file_system.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/data_root.h"
#include "platform/foundation/ns_date.h"
#include "platform/uikit/application/ui_application.h"
#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/controls/ui_button.h"
#include "platform/uikit/device/ui_screen.h"
#include "platform/uikit/navigation/ui_bar_button_item.h"
#include "platform/uikit/navigation/ui_navigation_bar.h"
#include "platform/uikit/navigation/ui_navigation_item.h"
#include "platform/uikit/tables/ui_table_view.h"
#include "platform/uikit/text/ui_label.h"
#include "shell/device_choices.h"
#include "shell/key_commands.h"
#include "shell/shell_options.h"
#include "shell/shell_settings.h"
#include "tests/soak/daily_reset.h"
#include "tests/soak/file_read_back.h"
#include "tests/soak/safe_area_check.h"
#include "tests/soak/screen_targets.h"
#include "tests/soak/statistics_screen_check.h"
#include "tests/support/recording_url_opener.h"

namespace quorvel::soak {

namespace {

using platform::CGPoint;
using platform::CGRect;
using platform::UIApplication;
using Kind = WalkStep::Kind;

UIApplication& application() {
    return UIApplication::sharedApplication();
}

std::string rectText(const CGRect& r) {
    auto number = [](double v) { return std::to_string(std::lround(v)); };
    return number(r.minX()) + "," + number(r.minY()) + " " + number(r.width()) + "x" + number(r.height());
}

std::shared_ptr<MainNavigationControllerViewController> mainContainer() {
    for (const auto& window : platform::UIWindow::windows()) {
        auto container =
            std::dynamic_pointer_cast<MainNavigationControllerViewController>(window->rootViewController());
        if (container && !window->isHidden()) return container;
    }
    return nullptr;
}

std::string classNameOf(const platform::UIViewController& controller) {
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> name(
        abi::__cxa_demangle(typeid(controller).name(), nullptr, nullptr, &status), std::free);
    const std::string text = status == 0 && name ? name.get() : typeid(controller).name();
    const auto colon = text.rfind("::");
    return colon == std::string::npos ? text : text.substr(colon + 2);
}

// The class of the screen in front: the frontmost window's controller, the one it presents, or the top
// of a navigation stack.
std::string screenInFront() {
    const auto windows = platform::UIWindow::windows();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        auto controller = (*it)->isHidden() ? nullptr : (*it)->rootViewController();
        if (!controller) continue;
        while (const auto presented = controller->presentedViewController()) controller = presented;
        if (const auto stack = std::dynamic_pointer_cast<platform::UINavigationController>(controller)) {
            if (const auto top = stack->topViewController()) controller = top;
        }
        return classNameOf(*controller);
    }
    return "";
}

// The settings a person chose, as one word. The ticking sounds are left out: a chosen song that left the
// music folder gives way to the default at the next launch, as it should.
std::string chosenSettings() {
    const auto timer = UserDataManager::getPomodoroData();
    const auto app = UserDataManager::getAppSettingData();
    const auto sound = UserDataManager::getSoundSettingData();
    const auto name = [](const std::optional<std::string>& text) {
        std::string word = text.value_or("-");
        std::replace(word.begin(), word.end(), ' ', '_');
        return word;
    };
    char volumes[64];
    std::snprintf(volumes, sizeof volumes, "%.3g/%.3g", sound.alarmVolume, sound.tickingVolume);
    return "lengths:" + std::to_string(timer.focusLength) + "/" + std::to_string(timer.shortBreakLength) +
           "/" + std::to_string(timer.longBreakLength) + ";limits:" + std::to_string(timer.roundLimit) + "/" +
           std::to_string(timer.goalLimit) + ";switches:" + std::to_string(app.preventLockScreenEnabled) +
           std::to_string(app.autoRestart) + std::to_string(app.vibrateAlarmEnabled) +
           std::to_string(app.timerBadgeEnabled) + std::to_string(app.resetCounterAtMidnight) +
           std::to_string(sound.alarmEnabled) + std::to_string(sound.tickingEnabled) +
           ";reset:" + std::to_string(app.autoResetHour) +
           ";reminder:" + std::to_string(app.focusReminderEnabled) + "@" +
           std::to_string(app.focusReminderTime) + "@" + name(app.focusReminderWeekday) +
           ";alarms:" + name(sound.focusAlertSound) + "/" + name(sound.shortBreakAlertSound) + "/" +
           name(sound.longBreakAlertSound) + ";volumes:" + volumes;
}

// The timer screen, when it is what the person sees.
std::shared_ptr<TimeViewController> timerScreenInFront() {
    const auto container = mainContainer();
    auto screen =
        container ? std::dynamic_pointer_cast<TimeViewController>(container->topViewController()) : nullptr;
    return screen && screen->isViewLoaded() && screen->view()->window() ? screen : nullptr;
}

// What the step did, in the life's log, for a person reading a replay.
void say(const std::string& line) {
    std::printf("soak: %s\n", line.c_str());
    std::fflush(stdout);
}

std::string describe(const ScreenTargets::Target& target) {
    std::string text = target.view->className();
    if (const auto* label = dynamic_cast<const platform::UILabel*>(target.view.get()))
        text += " \"" + label->text() + "\"";
    if (const auto* button = dynamic_cast<const platform::UIButton*>(target.view.get())) {
        text += " \"" + button->titleForState(platform::UIControlStateNormal).value_or("") + "\"";
    }
    return text + " at " + rectText(target.shown);
}

CGPoint clamped(CGPoint point) {
    const CGRect screen = platform::UIScreen::mainScreen().bounds();
    return {std::clamp(point.x, screen.minX() + 1, screen.maxX() - 1),
            std::clamp(point.y, screen.minY() + 1, screen.maxY() - 1)};
}

}  // namespace

AppLife::AppLife() = default;

AppLife::~AppLife() = default;

std::optional<LifeAnswer> AppLife::checkFiles() {
    const auto problems =
        FileReadBack::problems({platform::DataRoot::path(), platform::CDEICloudFileSystem::cloudRoot()});
    if (problems.empty()) return std::nullopt;
    std::string message;
    for (const auto& problem : problems) message += (message.empty() ? "" : "; ") + problem;
    return LifeAnswer::failure("files-read-back", message);
}

std::optional<LifeAnswer> AppLife::launch(double start, const std::vector<std::string>& shellArguments) {
    // As the program starts: the lock, the folder, the device, then the app.
    std::string problem;
    lock_ = shell::InstanceLock::acquire(platform::DataRoot::path(), problem);
    if (!lock_) return LifeAnswer::failure("launches", "the data folder's lock: " + problem);
    std::error_code error;
    std::filesystem::create_directories(platform::DataRoot::preferences(), error);
    const auto setup = shell::ShellSettings::resolve(shell::ShellOptions::parse(shellArguments));
    if (const auto* exit = std::get_if<shell::ShellOptions::Exit>(&setup))
        return LifeAnswer::failure("launches", exit->output);

    clock_ = platform::VirtualClock::install(start);
    touches_ = std::make_unique<testing::TouchDriver>(clock_);
    // Links a person follows go nowhere: the walk has no desktop to open them.
    application().setURLOpener(std::make_shared<testing::RecordingURLOpener>());
    const auto& device = std::get<shell::DeviceSetup>(setup);
    say("on " + device.profile.identifier + ", " + shell::DeviceChoices::orientationName(device.orientation) +
        ", " + shell::DeviceChoices::splitName(device.split));
    host_ = std::make_unique<shell::AppHost>(device);
    host_->launch([] {});
    settle(1);
    return std::nullopt;
}

void AppLife::settle(double seconds) {
    clock_->advance(seconds);
    clock_->runUntilIdle();
    const auto screen = platform::UIScreen::mainScreen().bounds().size;
    compositor_.draw(shell::DeviceViewport(screen, screen, screen));
}

void AppLife::perform(const WalkStep& step) {
    const auto engine = TimerViewModel::shared();
    switch (step.kind) {
        case Kind::tap:
            tap(step.value);
            break;
        case Kind::swipe:
            swipe(step.value);
            break;
        case Kind::turn:
            pressKey(SDLK_1 + static_cast<int>((step.value + 5) % 6));
            settle(1);
            break;
        case Kind::split:
            pressKey(SDLK_s);
            settle(1);
            break;
        case Kind::background:
            touches_->input().cancel();
            application().enterBackground();
            settle(0.5);
            break;
        case Kind::foreground:
            application().enterForeground();
            settle(1);
            break;
        case Kind::resign:
            touches_->input().cancel();
            application().resignActive();
            settle(0.5);
            break;
        case Kind::activate:
            application().becomeActive();
            settle(1);
            break;
        case Kind::wait:
            settle(std::max(step.value, 1u) / 10.0);
            break;
        case Kind::waitForEnd: {
            // A person waits for it to ring; a paused session does not end by waiting.
            const double remaining = engine->pomodoroTimer() ? engine->elapsedTime() / 1000 : 0;
            settle(remaining + 0.2 + step.value / 10.0);
            break;
        }
        case Kind::sync:
            // The other installation has written to the shared folder; the next merge comes within
            // its interval.
            settle(130);
            break;
        case Kind::music:
            settle(2);
            break;
        case Kind::setting:
            openSetting(step.value);
            break;
        case Kind::play:
            play();
            break;
        case Kind::nearEnd:
            untilNearEnd(step.value);
            break;
        case Kind::overReset:
            overReset(step.value);
            break;
        case Kind::device:
        case Kind::quit:
        case Kind::kill:
        case Kind::setBack:
        case Kind::backUp:
        case Kind::putBack:
            break;
    }
}

void AppLife::pressKey(int key) {
    const auto command = shell::KeyCommand::forKey(key, 0);
    if (!command) return;
    if (command->kind == shell::KeyCommand::Kind::rotate) host_->rotate(command->orientation);
    if (command->kind == shell::KeyCommand::Kind::nextSplit) host_->nextSplit();
}

// A minimised window takes no touches: the step is a moment passing.
void AppLife::tap(std::uint32_t value) {
    const auto targets = ScreenTargets::tappable();
    if (application().applicationState() == platform::UIApplicationState::background || targets.empty()) {
        settle(1.2);
        return;
    }
    const auto& target = targets[value % targets.size()];
    const std::uint32_t rest = value / static_cast<std::uint32_t>(targets.size());
    say("tap " + describe(target) + " of " + std::to_string(targets.size()));
    touches_->tap({target.shown.midX(), target.shown.midY()}, 0.05 + (rest % 3) * 0.1);
    // Long enough for the preferences a tap changed to reach their files.
    settle(1.2 + (rest / 3 % 4) * 0.4);
}

void AppLife::swipe(std::uint32_t value) {
    const auto targets = ScreenTargets::swipeable();
    if (application().applicationState() == platform::UIApplicationState::background || targets.empty()) {
        settle(1.2);
        return;
    }
    const auto& target = targets[value % targets.size()];
    std::uint32_t rest = value / static_cast<std::uint32_t>(targets.size());
    const int direction = static_cast<int>(rest % 4);
    rest /= 4;
    const double reach = 0.3 + (rest % 6) * 0.12;
    rest /= 6;
    const double seconds = 0.1 + (rest % 4) * 0.15;
    const CGRect& shown = target.shown;
    const double dx = direction == 0 ? -1 : direction == 1 ? 1 : 0;
    const double dy = direction == 2 ? -1 : direction == 3 ? 1 : 0;
    const CGPoint middle{shown.midX(), shown.midY()};
    const CGPoint from =
        clamped({middle.x - dx * shown.width() * reach / 2, middle.y - dy * shown.height() * reach / 2});
    const CGPoint to =
        clamped({middle.x + dx * shown.width() * reach / 2, middle.y + dy * shown.height() * reach / 2});
    say("swipe " + describe(target) + " of " + std::to_string(targets.size()) + " to " +
        std::to_string(std::lround(to.x)) + "," + std::to_string(std::lround(to.y)));
    touches_->drag(from, to, seconds);
    settle(2);
}

bool AppLife::tapView(const platform::UIView& view) {
    const CGRect shown = ScreenTargets::onScreen(view, view.bounds());
    if (shown.isEmpty() || !ScreenTargets::reaches(view, {shown.midX(), shown.midY()})) return false;
    touches_->tap({shown.midX(), shown.midY()});
    settle(1.2);
    return true;
}

// As a person goes to a setting (or, now and then, to another screen of the menu): the menu, its item,
// the list scrolled by the finger until the row shows whole, and a tap on the row. Whatever stands in
// the way (a question, a sheet) and the step ends there, as a person would stop.
void AppLife::openSetting(std::uint32_t value) {
    const auto container = mainContainer();
    if (!container || application().applicationState() == platform::UIApplicationState::background) {
        settle(1.2);
        return;
    }
    // From a screen a setting opened, back the way the person came.
    for (int back = 0; back < 3 && container->viewControllers().size() > 1; ++back) {
        const auto button = container->navigationBar()->backButton();
        if (!button || !tapView(*button)) return settle(1.2);
    }
    // One step in four goes to one of the menu's screens instead of a setting.
    const auto& screens = MainNavigationControllerViewController::screens();
    const bool menuScreen = value % 4 == 0;
    const std::string wanted =
        menuScreen ? screens[value / 4 % screens.size()].identifier : "OptionViewController";
    if (container->topViewController()->sceneIdentifier() != wanted) {
        const auto item = container->topViewController()->navigationItem()->leftBarButtonItem();
        if (!item || !item->customView() || !tapView(*item->customView())) return settle(1.2);
        const auto& items = container->optionsMenu()->itemViews();
        for (std::size_t i = 0; i < screens.size() && i < items.size(); ++i) {
            if (screens[i].identifier == wanted && !tapView(*items[i])) return;
        }
        settle(1);
    }
    const auto settings = std::dynamic_pointer_cast<OptionViewController>(container->topViewController());
    if (menuScreen || !settings) return;
    const auto table = settings->tableView();
    if (!table) return;
    std::vector<platform::NSIndexPath> rows;
    for (long section = 0; section < table->numberOfSections(); ++section) {
        for (long row = 0; row < table->numberOfRowsInSection(section); ++row) rows.push_back({section, row});
    }
    if (rows.empty()) return;
    const auto path = rows[value % rows.size()];
    say("setting row " + std::to_string(path.section) + "." + std::to_string(path.row));
    for (int drags = 0; drags < 20; ++drags) {
        const CGRect list = ScreenTargets::onScreen(*table, table->bounds());
        const CGRect row = ScreenTargets::inScreenPoints(*table, table->rectForRowAtIndexPath(path));
        if (list.isEmpty() || row.isNull()) return;
        // Clear of the bar above and the screen's edge below: where a person's finger finds it.
        const CGRect usable(list.minX(), list.minY() + 70, list.width(), list.height() - 110);
        if (row.minY() >= usable.minY() && row.maxY() <= usable.maxY()) {
            if (const auto cell = table->cellForRowAtIndexPath(path)) tapView(*cell);
            return;
        }
        const double wanted = row.midY() - usable.midY();
        const double by = std::clamp(wanted, -usable.height() * 0.6, usable.height() * 0.6);
        const double x = list.midX(), middle = usable.midY();
        touches_->drag(clamped({x, middle + by / 2}), clamped({x, middle - by / 2}), 0.6);
        settle(1.5);
    }
}

// As a person comes back to the timer: through the menu when another screen is in front, then the
// play button in the progress ring, unless the timer already runs.
void AppLife::play() {
    if (application().applicationState() == platform::UIApplicationState::background) return settle(1.2);
    if (!timerScreenInFront()) openSetting(0);  // the menu's first screen is the timer's
    const auto screen = timerScreenInFront();
    // The first-run guidance lies over it: a person pages on through it first.
    if (const auto& guidance = screen ? screen->guidanceView() : nullptr; guidance && guidance->window()) {
        const CGRect over = ScreenTargets::onScreen(*guidance, guidance->bounds());
        say("page the guidance on");
        touches_->drag(clamped({over.maxX() - over.width() * 0.2, over.midY()}),
                       clamped({over.minX() + over.width() * 0.2, over.midY()}), 0.3);
        return settle(2);
    }
    const auto ring = screen ? screen->progressView() : nullptr;
    const auto button = ring ? ring->progressButton() : nullptr;
    const CGRect shown = button ? ScreenTargets::onScreen(*button, button->bounds()) : CGRect();
    if (shown.isEmpty() || TimerViewModel::shared()->pomodoroTimer()) return settle(1.2);
    // Where the button shows, whatever lies over it (a question, a menu) takes the tap.
    say("start the timer");
    touches_->tap({shown.midX(), shown.midY()});
    settle(1.2);
}

// A stopped or paused session does not end by waiting: then it is a moment.
void AppLife::untilNearEnd(std::uint32_t tenths) {
    const auto engine = TimerViewModel::shared();
    const double remaining = engine->pomodoroTimer() ? engine->elapsedTime() / 1000 : 0;
    settle(remaining > tenths / 10.0 ? remaining - tenths / 10.0 : 1.2);
}

// The next moment the daily reset falls due, in local time, whether or not the reset is switched on.
void AppLife::overReset(std::uint32_t tenths) {
    const double now = platform::NSDate::now().timeIntervalSinceReferenceDate();
    const double ahead = DailyReset::nextMoment(UserDataManager::getAppSettingData().autoResetHour, now) - now;
    say("over the reset moment, " + std::to_string(tenths / 10.0) + " s beyond");
    settle(ahead + tenths / 10.0);
}

void AppLife::quit() {
    touches_->input().cancel();
    application().terminate();
    clock_->runUntilIdle();
    host_.reset();
}

std::optional<LifeAnswer> AppLife::checkCounters() {
    if (application().applicationState() == platform::UIApplicationState::background) return std::nullopt;
    const auto screen = timerScreenInFront();
    const auto holder = screen ? screen->statisticsHolder() : nullptr;
    if (!holder) return std::nullopt;
    const auto engine = TimerViewModel::shared();
    using P = UserDefaultProperties;
    const auto defaults = P::standardDefaults();
    const auto savedRound = defaults->integerForKey(P::key(P::Case::latestRound));
    const auto savedGoal = defaults->integerForKey(P::key(P::Case::latestGoal));
    if (savedRound != engine->currentRound() || savedGoal != engine->currentGoal()) {
        return LifeAnswer::failure("counters-shown",
                                   "the engine counts round " + std::to_string(engine->currentRound()) +
                                       " and goal " + std::to_string(engine->currentGoal()) +
                                       ", the saved counters are " + std::to_string(savedRound) + " and " +
                                       std::to_string(savedGoal));
    }
    const auto settings = UserDataManager::getPomodoroData();
    const std::string round = std::to_string(savedRound) + "/" + std::to_string(settings.roundLimit);
    const std::string goal = std::to_string(savedGoal) + "/" + std::to_string(settings.goalLimit);
    if (holder->roundLabel()->text() != round || holder->goalLabel()->text() != goal) {
        return LifeAnswer::failure("counters-shown", "the screen shows round " +
                                                         holder->roundLabel()->text() + " and goal " +
                                                         holder->goalLabel()->text() + ", the store holds " +
                                                         round + " and " + goal);
    }
    return std::nullopt;
}

std::optional<LifeAnswer> AppLife::checkSafeArea() {
    if (application().applicationState() == platform::UIApplicationState::background) return std::nullopt;
    const auto outside = SafeAreaCheck::outside();
    if (outside.empty()) return std::nullopt;
    const auto& first = outside.front();
    return LifeAnswer::failure("safe-area", first.view + " shows at " + rectText(first.shown) +
                                                ", outside the safe area " +
                                                rectText(SafeAreaCheck::safeArea()));
}

std::optional<LifeAnswer> AppLife::checkStatistics() {
    if (application().applicationState() == platform::UIApplicationState::background) return std::nullopt;
    const auto container = mainContainer();
    const auto screen =
        container ? std::dynamic_pointer_cast<ChartsViewController>(container->topViewController()) : nullptr;
    if (!screen || !screen->isViewLoaded() || !screen->view()->window()) return std::nullopt;
    std::vector<StatisticsFigures::Session> stored;
    for (const auto& session : CoreDataManager::shared()->fetchAllSessions()) {
        stored.push_back({session->timestamp() ? session->timestamp()->timeIntervalSinceReferenceDate() : 0,
                          session->duration()});
    }
    if (auto problem = StatisticsScreenCheck::problem(*screen, stored, clock_->now()))
        return LifeAnswer::failure("statistics-shown", *problem);
    return std::nullopt;
}

LifeReport AppLife::report() {
    const auto engine = TimerViewModel::shared();
    LifeReport out;
    out.now = clock_->now();
    out.goal = engine->currentGoal();
    out.round = engine->currentRound();
    out.running = engine->pomodoroTimer() != nullptr;
    out.screen = screenInFront();
    out.settings = chosenSettings();
    out.startedMinutes.push_back(static_cast<std::int64_t>(engine->focusDuration()));
    if (engine->currentSession().type == SessionType::focus) {
        out.startedMinutes.push_back(static_cast<std::int64_t>(engine->sessionWholeLength() / 60000));
    }
    out.inFront = application().applicationState() != platform::UIApplicationState::background;
    if (const auto checked = checkedDate(*UserDefaultProperties::standardDefaults()))
        out.resetChecked = checked->timeIntervalSinceReferenceDate();
    out.full = reported_.empty();
    std::map<std::string, StoredSession> now;
    for (const auto& session : CoreDataManager::shared()->fetchAllSessions()) {
        if (session->type() != static_cast<std::int64_t>(SessionType::focus)) continue;
        if (now.contains(session->uniqueIdentifier())) out.twice.push_back(session->uniqueIdentifier());
        StoredSession stored{
            session->uniqueIdentifier(),
            session->timestamp() ? session->timestamp()->timeIntervalSinceReferenceDate() : -1,
            session->duration()};
        if (!reported_.contains(stored.identifier)) out.added.push_back(stored);
        now[stored.identifier] = stored;
    }
    for (const auto& [identifier, session] : reported_) {
        if (!now.contains(identifier)) out.gone.push_back(identifier);
    }
    reported_ = std::move(now);
    return out;
}

LifeAnswer AppLife::answer() {
    auto problem = checkCounters();
    if (!problem) problem = checkStatistics();
    if (!problem) problem = checkSafeArea();
    if (!problem) problem = checkFiles();
    if (!problem) return LifeAnswer{report(), "", ""};
    // What the person saw when it went wrong, beside the walk's logs.
    if (const char* folder = std::getenv("QUORVEL_SOAK_FOLDER")) {
        compositor_.writeScreenshot(std::filesystem::path(folder) / "failure.png");
    }
    return *problem;
}

}  // namespace quorvel::soak
