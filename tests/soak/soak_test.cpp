// The soak walker's own parts, on real files and real processes: its steps as text, the shrinking of a
// failing walk, the ledger that holds the app's reports to account, the read-back of the files the app
// writes, and short walks of the real app (among them the replays of the walks that found faults).
#include <gtest/gtest.h>

#include <sqlite3.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "platform/ensembles/change_file.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/property_list.h"
#include "platform/uikit/application/ui_window.h"
#include "platform/uikit/controls/ui_button.h"
#include "platform/uikit/device/device_profile.h"
#include "platform/uikit/scrolling/ui_scroll_view.h"
#include "platform/uikit/touches/ui_tap_gesture_recognizer.h"
#include "shell/shell_options.h"
#include "tests/soak/data_copy.h"
#include "tests/soak/file_read_back.h"
#include "tests/soak/life_report.h"
#include "tests/soak/screen_targets.h"
#include "tests/soak/shared_folder_litter.h"
#include "tests/soak/shared_folder_sessions.h"
#include "tests/soak/walk_ledger.h"
#include "tests/soak/walk_plan.h"
#include "tests/soak/walk_shrinker.h"
#include "tests/soak/walk_step.h"
#include "tests/support/temp_data_root.h"

using namespace quorvel::soak;
using Kind = WalkStep::Kind;

namespace {

// Runs the walker program; its exit status and everything it printed.
std::pair<int, std::string> runSoak(const std::string& arguments) {
    const std::string command = std::string(QUORVEL_SOAK) + " " + arguments + " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    std::string output;
    char chunk[4096];
    while (pipe && std::fgets(chunk, sizeof chunk, pipe)) output += chunk;
    const int status = pipe ? ::pclose(pipe) : -1;
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

LifeReport reportAt(double now, std::int64_t goal, std::vector<StoredSession> added = {},
                    std::vector<std::int64_t> started = {25}) {
    LifeReport report;
    report.now = now;
    report.goal = goal;
    report.added = std::move(added);
    report.startedMinutes = std::move(started);
    return report;
}

}  // namespace

TEST(SoakWalkSteps, AWalkIsWrittenAndReadBackAsOneLineAndABadStepIsNamed) {
    const Walk walk{
        {Kind::tap, 17}, {Kind::wait, 300}, {Kind::kill, 40}, {Kind::setBack, 120}, {Kind::sync, 2}};
    EXPECT_EQ(walkText(walk), "t17,w300,k40,c120,y2");
    EXPECT_EQ(parseWalk(walkText(walk)), walk);
    std::string error;
    EXPECT_FALSE(parseWalk("t17,x3", &error));
    EXPECT_EQ(error, "not a step: \"x3\"");
    EXPECT_FALSE(parseWalk("t17,t", &error));
    EXPECT_FALSE(parseWalk("t-1", &error));
}

TEST(SoakWalkSteps, ASeedDrawsTheSameWalkEveryTimeWithEveryKindOfStep) {
    EXPECT_EQ(WalkPlan::steps(5, 3000), WalkPlan::steps(5, 3000));
    EXPECT_EQ(WalkPlan::setup(5).start, WalkPlan::setup(5).start);
    EXPECT_NE(WalkPlan::steps(5, 50), WalkPlan::steps(6, 50));
    std::set<char> kinds;
    for (const auto& step : WalkPlan::steps(5, 3000)) kinds.insert(static_cast<char>(step.kind));
    EXPECT_EQ(std::string(kinds.begin(), kinds.end()), "abcdefghijkmnopqrstuwy");
}

TEST(SoakWalkSteps, ADeviceStepNamesAModelOrientationAndShareTheShellKnows) {
    const auto& models = platform::DeviceProfile::knownModels();
    const auto phone =
        std::find_if(models.begin(), models.end(), [](auto& m) { return m.identifier == "iPhoneXS"; });
    const auto tablet =
        std::find_if(models.begin(), models.end(), [](auto& m) { return m.identifier == "iPadPro11Inch"; });
    ASSERT_NE(phone, models.end());
    ASSERT_NE(tablet, models.end());
    const auto index = [&](auto it) { return static_cast<std::uint32_t>(it - models.begin()); };
    const auto count = static_cast<std::uint32_t>(models.size());

    const WalkStep onPhone{Kind::device, 45000 + index(phone) + count * (1 + 4 * 3)};
    EXPECT_TRUE(onPhone.endsLife());
    EXPECT_EQ(onPhone.shellArguments(),
              (std::vector<std::string>{"--device", "iPhoneXS", "--orientation", "landscape-left"}));
    const WalkStep onTablet{Kind::device, 2000 + index(tablet) + count * (3 + 4 * 2)};
    EXPECT_EQ(onTablet.shellArguments(),
              (std::vector<std::string>{"--device", "iPadPro11Inch", "--orientation", "upside-down",
                                        "--split", "1/2"}));
    for (std::uint32_t pick = 0; pick < 1000; ++pick) {
        const auto arguments = WalkStep{Kind::device, pick}.shellArguments();
        const auto options = quorvel::shell::ShellOptions::parse(arguments);
        EXPECT_FALSE(options.exit) << pick;
    }
}

namespace {

bool notchedLandscapePhone(const WalkStep& step) {
    if (step.kind != Kind::device) return false;
    const auto arguments = step.shellArguments();
    const auto model = platform::DeviceProfile::named(arguments[1]);
    return model && model->family == platform::DeviceFamily::phone &&
           model->safeAreaInsetsFor(platform::UIInterfaceOrientation::portrait).bottom > 0 &&
           arguments[3].starts_with("landscape");
}

}  // namespace

// A minute of walk makes some fifteen hundred steps: each seed's must bring the moments faults
// hide in — a kill or quit within a second of a session's end, either side; a minimised window while a
// session ends; time over the reset moment; a copy put back — and a notched phone on its side.
TEST(SoakWalkSteps, AFewMinutesOfWalkLandOnTheMomentsFaultsHideIn) {
    for (std::uint64_t seed : {1u, 2u, 3u, 4u, 5u}) {
        SCOPED_TRACE(seed);
        const Walk walk = WalkPlan::steps(seed, 1500);
        int killedBefore = 0, endedAfter = 0, minimisedAcross = 0, overReset = 0, notchedOnItsSide = 0;
        int putBack = 0;
        bool copied = false;
        for (std::size_t i = 0; i + 1 < walk.size(); ++i) {
            copied |= walk[i].kind == Kind::backUp;
            if (copied && walk[i].kind == Kind::putBack) ++putBack;
            const auto& next = walk[i + 1];
            const bool ends = next.kind == Kind::kill || next.kind == Kind::quit;
            if (ends && walk[i].kind == Kind::nearEnd && walk[i].value <= 10) ++killedBefore;
            if (ends && walk[i].kind == Kind::waitForEnd && walk[i].value < 10) ++endedAfter;
            if (walk[i].kind == Kind::background && next.kind == Kind::waitForEnd) ++minimisedAcross;
            if (walk[i].kind == Kind::overReset) ++overReset;
            if (notchedLandscapePhone(walk[i])) ++notchedOnItsSide;
        }
        EXPECT_GE(killedBefore, 2);
        EXPECT_GE(endedAfter, 2);
        EXPECT_GE(minimisedAcross, 2);
        EXPECT_GE(overReset, 2);
        EXPECT_GE(notchedOnItsSide, 1);
        EXPECT_GE(putBack, 1);
    }
}

TEST(SoakWalkSteps, AReportCrossesBetweenTheProcessesWhole) {
    LifeReport report;
    report.now = 800270857.56666672;
    report.goal = 3;
    report.round = 1;
    report.running = true;
    report.startedMinutes = {25, 55};
    report.added = {{"9C4436ED-8DBA", 814521676.8499999, 25}, {"58BDCBC9-D8CE", 814569099.35, 5}};
    report.gone = {"A", "B"};
    const auto back = LifeAnswer::parse(LifeAnswer{report, "", ""}.text());
    ASSERT_TRUE(back && back->report);
    EXPECT_EQ(back->report->now, report.now);
    EXPECT_EQ(back->report->added, report.added);
    EXPECT_EQ(back->report->gone, report.gone);
    EXPECT_EQ(back->report->startedMinutes, report.startedMinutes);
    EXPECT_TRUE(back->report->running);

    const auto failed = LifeAnswer::parse(LifeAnswer{std::nullopt, "safe-area", "a label\nat 16,19"}.text());
    ASSERT_TRUE(failed);
    EXPECT_FALSE(failed->report);
    EXPECT_EQ(failed->invariant, "safe-area");
    EXPECT_EQ(failed->message, "a label / at 16,19");
}

// What a person could touch, on a real window: only what shows, takes touches and is not covered.
TEST(SoakWalkTargets, OnlyControlsAndTapTargetsAFingerWouldReachAreTappable) {
    using namespace platform;
    const auto clock = VirtualClock::install();
    DeviceProfile::setCurrent(*DeviceProfile::named("iPhone8"));
    const auto window = std::make_shared<UIWindow>(CGRect(0, 0, 375, 667));
    window->makeKeyAndVisible();
    const auto button = [&](CGRect frame) {
        auto made = UIButton::buttonWithType(UIButtonType::custom);
        made->setFrame(frame);
        window->addSubview(made);
        return made;
    };
    const auto open = button({10, 10, 100, 40});
    button({10, 60, 100, 40})->setEnabled(false);
    button({10, 110, 100, 40})->setHidden(true);
    button({10, 160, 100, 40});
    const auto cover = std::make_shared<UIView>(CGRect(0, 150, 375, 60));  // over the fourth
    window->addSubview(cover);
    const auto tappable = std::make_shared<UIView>(CGRect(10, 300, 100, 40));
    tappable->addGestureRecognizer(std::make_shared<UITapGestureRecognizer>([](UIGestureRecognizer&) {}));
    window->addSubview(tappable);
    const auto scroller = std::make_shared<UIScrollView>(CGRect(0, 400, 375, 200));
    window->addSubview(scroller);

    const auto targets = quorvel::soak::ScreenTargets::tappable();
    ASSERT_EQ(targets.size(), 2u);
    EXPECT_EQ(targets[0].view, open);
    EXPECT_EQ(targets[1].view, tappable);
    const auto swipeable = quorvel::soak::ScreenTargets::swipeable();
    ASSERT_EQ(swipeable.size(), 1u);
    EXPECT_EQ(swipeable[0].view, scroller);
    EXPECT_EQ(swipeable[0].shown, CGRect(0, 400, 375, 200));
}

TEST(SoakWalkShrinking, AFailureThatNeedsTwoStepsShrinksToThoseTwoInTheirOrder) {
    // Fails once a kill follows the tap t3, at the kill.
    const auto trial = [](const Walk& walk) -> std::optional<std::size_t> {
        bool tapped = false;
        for (std::size_t i = 0; i < walk.size(); ++i) {
            if (walk[i] == WalkStep{Kind::tap, 3}) tapped = true;
            if (tapped && walk[i].kind == Kind::kill) return i + 1;
        }
        return std::nullopt;
    };
    Walk walk;
    for (std::uint32_t i = 0; i < 40; ++i) walk.push_back({Kind::wait, i});
    walk.insert(walk.begin() + 11, {Kind::tap, 3});
    walk.insert(walk.begin() + 29, {Kind::kill, 5});
    walk.push_back({Kind::kill, 6});
    EXPECT_EQ(walkText(WalkShrinker::shrink(walk, trial)), "t3,k5");
}

namespace {

// `lives` lives of 50 steps, each but the last ended by a kill.
Walk manyLives(std::size_t lives) {
    Walk walk;
    for (std::size_t life = 0; life < lives; ++life) {
        for (std::uint32_t i = 0; i < 49; ++i)
            walk.push_back({Kind::wait, static_cast<std::uint32_t>(life * 100 + i)});
        if (life + 1 < lives) walk.push_back({Kind::kill, 5});
    }
    return walk;
}

}  // namespace

TEST(SoakWalkShrinking, AFaultOfTheFailingLifeAloneIsShrunkFromThatLifeInTheFirstTrial) {
    // Fails when t3 is followed, in the same life, by a quit: nothing of the earlier lives matters.
    std::vector<Walk> trials;
    const auto trial = [&](const Walk& walk) -> std::optional<std::size_t> {
        trials.push_back(walk);
        bool tapped = false;
        for (std::size_t i = 0; i < walk.size(); ++i) {
            if (walk[i] == WalkStep{Kind::tap, 3}) tapped = true;
            if (walk[i].endsLife()) {
                if (tapped && walk[i].kind == Kind::quit) return i + 1;
                tapped = false;
            }
        }
        return std::nullopt;
    };
    Walk walk = manyLives(60);
    const std::size_t lastLife = walk.size() - 49;
    walk.insert(walk.begin() + static_cast<std::ptrdiff_t>(lastLife + 7), {Kind::tap, 3});
    walk.push_back({Kind::quit, 10});
    ASSERT_TRUE(trial(walk));
    trials.clear();

    EXPECT_EQ(walkText(WalkShrinker::shrink(walk, trial)), "t3,q10");
    ASSERT_FALSE(trials.empty());
    EXPECT_EQ(trials.front(), Walk(walk.begin() + static_cast<std::ptrdiff_t>(lastLife), walk.end()));
    // Each trial after the first walks at most the failing life.
    for (std::size_t i = 1; i < trials.size(); ++i) EXPECT_LE(trials[i].size(), 51u) << walkText(trials[i]);
    EXPECT_LT(trials.size(), 40u);
}

TEST(SoakWalkShrinking, ALongLifeLosesTheKindsOfStepItsFaultDoesNotNeedInAFewTrials) {
    // Fails at a kill that follows the setting g7 and a wait of at least a minute.
    int trials = 0;
    const auto trial = [&](const Walk& walk) -> std::optional<std::size_t> {
        ++trials;
        bool chosen = false, waited = false;
        for (std::size_t i = 0; i < walk.size(); ++i) {
            if (walk[i] == WalkStep{Kind::setting, 7}) chosen = true;
            if (chosen && walk[i].kind == Kind::wait && walk[i].value >= 600) waited = true;
            if (waited && walk[i].kind == Kind::kill) return i + 1;
        }
        return std::nullopt;
    };
    Walk walk;
    const Kind noise[] = {Kind::tap, Kind::swipe, Kind::play, Kind::music, Kind::turn};
    for (std::uint32_t i = 0; i < 400; ++i) walk.push_back({noise[i % 5], i});
    walk.insert(walk.begin() + 100, {Kind::setting, 7});
    walk.insert(walk.begin() + 250, {Kind::wait, 900});
    walk.push_back({Kind::kill, 30});

    EXPECT_EQ(walkText(WalkShrinker::shrink(walk, trial)), "g7,w900,k30");
    EXPECT_LT(trials, 30);
}

TEST(SoakWalkShrinking, WhatAnEarlierLifeLeftIsKeptWithTheStepsThatLeftIt) {
    // A setting chosen in one life (g7) and a later life's tap t3 fail together, at that tap.
    const auto trial = [](const Walk& walk) -> std::optional<std::size_t> {
        bool chosen = false;
        for (std::size_t i = 0; i < walk.size(); ++i) {
            if (walk[i] == WalkStep{Kind::setting, 7}) chosen = true;
            if (chosen && walk[i] == WalkStep{Kind::tap, 3}) return i + 1;
        }
        return std::nullopt;
    };
    Walk walk = manyLives(40);
    walk.insert(walk.begin() + 50 * 12 + 20, {Kind::setting, 7});
    walk.insert(walk.end() - 10, {Kind::tap, 3});
    walk.resize(*trial(walk));

    EXPECT_EQ(walkText(WalkShrinker::shrink(walk, trial)), "g7,t3");
}

TEST(SoakWalkShrinking, ACopyPutBackLivesAfterItIsShrunkWithTheSessionBetween) {
    // Fails at a put-back of the store after a session ended (e) since the copy (u) it puts back.
    const auto trial = [](const Walk& walk) -> std::optional<std::size_t> {
        bool copied = false, made = false;
        for (std::size_t i = 0; i < walk.size(); ++i) {
            if (walk[i].kind == Kind::backUp) {
                copied = true;
                made = false;
            }
            if (copied && walk[i].kind == Kind::waitForEnd) made = true;
            if (made && walk[i].kind == Kind::putBack && walk[i].restored() != WalkStep::Restored::syncState)
                return i + 1;
        }
        return std::nullopt;
    };
    Walk walk = manyLives(30);
    walk.insert(walk.begin() + 50 * 5 + 10, {Kind::backUp, 40});
    walk.insert(walk.begin() + 50 * 12 + 3, {Kind::waitForEnd, 3});
    walk.insert(walk.begin() + 50 * 20 + 30, {Kind::putBack, 31});  // the sync state alone: no fault
    walk.insert(walk.begin() + 50 * 25 + 7, {Kind::putBack, 32});
    walk.resize(*trial(walk));

    EXPECT_EQ(walkText(WalkShrinker::shrink(walk, trial)), "u40,e3,r32");
}

TEST(SoakWalkLedger, SessionsThatVanishChangeOverlapOrLieInTheFutureAreCaught) {
    WalkLedger ledger;
    ASSERT_FALSE(ledger.take(reportAt(10000, 1, {{"a", 9000, 25}}), true));

    auto gone = reportAt(10100, 1);
    gone.full = true;  // a new life lists everything: "a" is missing
    const auto lost = ledger.take(gone, true);
    ASSERT_TRUE(lost);
    EXPECT_EQ(lost->invariant, "nothing-lost");

    WalkLedger again;
    ASSERT_FALSE(again.take(reportAt(10000, 1, {{"a", 9000, 25}}), false));
    const auto twice = again.take(reportAt(10500, 2, {{"b", 9100, 25}}), false);
    ASSERT_TRUE(twice);
    EXPECT_EQ(twice->invariant, "counted-once");

    WalkLedger future;
    const auto ahead = future.take(reportAt(10000, 1, {{"a", 10060, 25}}), false);
    ASSERT_TRUE(ahead);
    EXPECT_EQ(ahead->invariant, "sessions-sound");

    WalkLedger remaining;  // stored with what was left of it, not the 25 minutes it started with
    const auto part = remaining.take(reportAt(10000, 1, {{"a", 9000, 17}}), false);
    ASSERT_TRUE(part);
    EXPECT_EQ(part->invariant, "sessions-sound");
}

TEST(SoakWalkLedger, AfterTheClockWasSetBackSessionsMayOverlapByThatMuchAndNoMore) {
    WalkLedger ledger;
    ASSERT_FALSE(ledger.take(reportAt(10000, 1, {{"a", 9000, 25}}), true));
    ledger.clockSetBack(300);
    // "b" ran from 8800 (200 s into "a"), "c" from 9900 (400 s into "b").
    ASSERT_FALSE(ledger.take(reportAt(10400, 2, {{"b", 10300, 25}}), true));
    const auto over = ledger.take(reportAt(11500, 3, {{"c", 11400, 25}}), true);
    ASSERT_TRUE(over);
    EXPECT_EQ(over->invariant, "counted-once");
}

TEST(SoakWalkLedger, ANewLifeStartsWithTheSettingsTheLastOneLeft) {
    WalkLedger ledger;
    auto report = reportAt(10000, 0);
    report.settings = "lengths:25/5/15";
    ASSERT_FALSE(ledger.takeRelaunch(report));
    report.settings = "lengths:30/5/15";  // chosen in this life
    ASSERT_FALSE(ledger.take(report, true));
    ASSERT_FALSE(ledger.takeRelaunch(report));
    report.settings = "lengths:25/5/15";  // the choice did not reach the file before the kill
    const auto lost = ledger.takeRelaunch(report);
    ASSERT_TRUE(lost);
    EXPECT_EQ(lost->invariant, "nothing-lost");
}

TEST(SoakWalkLedger, TheGoalGrowsByTheNewSessionsAndFallsOnlyToAReset) {
    WalkLedger ledger;
    ASSERT_FALSE(ledger.take(reportAt(10000, 2), true));
    ASSERT_FALSE(ledger.take(reportAt(12000, 3, {{"a", 11900, 25}}), false));
    // Sessions of the second installation arrive uncounted.
    ledger.addForeign({{"far", 5000, 25}});
    ASSERT_FALSE(ledger.take(reportAt(12100, 3, {{"far", 5000, 25}}), false));

    const auto uncounted = ledger.take(reportAt(14000, 3, {{"b", 13900, 25}}), false);
    ASSERT_TRUE(uncounted);
    EXPECT_EQ(uncounted->invariant, "nothing-lost");

    WalkLedger reset;
    ASSERT_FALSE(reset.take(reportAt(10000, 5), true));
    ASSERT_FALSE(reset.take(reportAt(10100, 0), true));  // a tap answered the reset question
    const auto fell = reset.take(reportAt(10200, 0), false);
    ASSERT_FALSE(fell);
    const auto grew = reset.take(reportAt(10300, 1), false);
    ASSERT_TRUE(grew);
    EXPECT_EQ(grew->invariant, "counted-once");
}

TEST(SoakWalkFiles, ADamagedPropertyListOrDatabaseOrAFileSetAsideFailsTheReadBack) {
    quorvel::testing::TempDataRoot root;
    const auto folder = root.path();
    ASSERT_TRUE(platform::PropertyList::writeFileAtomically(folder / "good.plist",
                                                            platform::Value(platform::Value::Dictionary{})));
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((folder / "store.sqlite").c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE t(x); INSERT INTO t VALUES (1);", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    EXPECT_TRUE(FileReadBack::problems({folder}).empty());

    std::ofstream(folder / "bad.plist") << "bplist00 and then nothing";
    {
        std::fstream file(folder / "store.sqlite", std::ios::binary | std::ios::in | std::ios::out);
        file.seekp(4096 + 8);
        file << std::string(64, '\x7f');  // the table's page
    }
    std::ofstream(folder / "old.plist.damaged-20260301");
    const auto problems = FileReadBack::problems({folder});
    ASSERT_EQ(problems.size(), 3u);
    std::string all;
    for (const auto& problem : problems) all += problem + "\n";
    EXPECT_NE(all.find("bad.plist"), std::string::npos) << all;
    EXPECT_NE(all.find("store.sqlite"), std::string::npos) << all;
    EXPECT_NE(all.find("set aside as damaged"), std::string::npos) << all;
}

namespace {

void execute(const std::filesystem::path& database, const std::string& sql, sqlite3** keep = nullptr) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(database.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    if (keep) {
        *keep = db;
    } else {
        sqlite3_close(db);
    }
}

std::string valueIn(const std::filesystem::path& database) {
    sqlite3* db = nullptr;
    sqlite3_stmt* row = nullptr;
    std::string value;
    if (sqlite3_open(database.c_str(), &db) == SQLITE_OK &&
        sqlite3_prepare_v2(db, "SELECT group_concat(v) FROM t", -1, &row, nullptr) == SQLITE_OK &&
        sqlite3_step(row) == SQLITE_ROW && sqlite3_column_text(row, 0))
        value = reinterpret_cast<const char*>(sqlite3_column_text(row, 0));
    sqlite3_finalize(row);
    sqlite3_close(db);
    return value;
}

}  // namespace

// The store goes back as its one file, its journal files gone; the sync state as it was, with its
// journal; each without the other.
TEST(SoakWalkFiles, ACopyPutsBackTheStoreAloneTheSyncStateAsItWasOrBoth) {
    quorvel::testing::TempDataRoot root;
    const auto store = root.path() / "store.sqlite";
    const auto stateFolder = root.path() / ".store.sqlite.ensembles" / "PomodoroStore";
    const auto state = stateFolder / "state.sqlite";
    std::filesystem::create_directories(stateFolder);
    execute(store,
            "PRAGMA journal_mode=WAL; CREATE TABLE Session(uniqueIdentifier TEXT); "
            "INSERT INTO Session VALUES ('a'), ('b');");
    // Its writer still running: what it wrote is in the journal alone.
    sqlite3* writer = nullptr;
    execute(
        state,
        "PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0; CREATE TABLE t(v); INSERT INTO t VALUES (1);",
        &writer);
    ASSERT_GT(std::filesystem::file_size(stateFolder / "state.sqlite-wal"), 0u);

    DataCopy copy(root.path(), root.path() / "aside");
    ASSERT_FALSE(copy.taken());
    ASSERT_TRUE(copy.take());
    ASSERT_EQ(sqlite3_exec(writer, "UPDATE t SET v = 2", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(writer);
    execute(store, "INSERT INTO Session VALUES ('c');");
    EXPECT_EQ(copy.storedSessions(), (std::set<std::string>{"a", "b"}));
    EXPECT_FALSE(std::filesystem::exists(root.path() / "aside" / "store.sqlite-wal")) << "read as it is";

    std::ofstream(store.string() + "-wal") << "a journal of the store as it is now";
    ASSERT_TRUE(copy.putBack(WalkStep::Restored::store));
    EXPECT_FALSE(std::filesystem::exists(store.string() + "-wal"));
    EXPECT_EQ(valueIn(state), "2") << "the sync state stays";
    ASSERT_TRUE(copy.putBack(WalkStep::Restored::syncState));
    EXPECT_EQ(valueIn(state), "1");

    execute(store, "INSERT INTO Session VALUES ('d');");
    execute(state, "UPDATE t SET v = 3;");
    ASSERT_TRUE(copy.putBack(WalkStep::Restored::both));
    EXPECT_EQ(valueIn(state), "1");
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(store.c_str(), &db), SQLITE_OK);
    sqlite3_stmt* rows = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT count(*) FROM Session", -1, &rows, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(rows), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(rows, 0), 2);
    sqlite3_finalize(rows);
    sqlite3_close(db);
}

// Sessions in the devices' change files count; other records, files that are no change file, and
// whatever other programs leave there do not.
TEST(SoakWalkFiles, TheSessionsInTheSharedFolderAreReadFromEachDevicesChangeFiles) {
    quorvel::testing::TempDataRoot root;
    const auto changes = root.path() / "PomodoroStore" / "changes";
    std::filesystem::create_directories(changes / "DEVICE-A");
    std::filesystem::create_directories(changes / "DEVICE-B");
    const auto write = [&](const std::string& device, const std::string& name,
                           const std::vector<platform::RecordChange>& records) {
        const platform::ChangeFile file{device, 1000, records};
        const auto text = file.serialize();
        ASSERT_TRUE(text);
        std::ofstream(changes / device / name, std::ios::binary) << *text;
    };
    const auto record = [](const std::string& entity, const std::string& identifier) {
        return platform::RecordChange{entity, identifier, {0, 1000, "DEVICE-A"}, {}};
    };
    write("DEVICE-A", "000000000001000-a.plist", {record("Session", "s1"), record("NumberHolder", "n1")});
    write("DEVICE-B", "000000000001000-b.plist", {record("Session", "s2")});
    std::ofstream(changes / "DEVICE-B" / "000000000001001-cut.plist") << "bplist00";
    quorvel::soak::SharedFolderLitter::leaveIn(root.path());  // a FIFO, a link to a device, a linked folder

    EXPECT_EQ(SharedFolderSessions::inChangeFiles(changes), (std::set<std::string>{"s1", "s2"}));
    EXPECT_TRUE(SharedFolderSessions::inChangeFiles(root.path() / "none").empty());
    EXPECT_TRUE(std::filesystem::is_fifo(changes / "ANOTHER-PROGRAM" / "000000000000001-fifo.plist"));
}

// A short walk of the real app through every kind of step: lives killed and quit, the clock set back,
// a second installation's sync and the music folder changing, all answered and in account.
TEST(SoakWalkOfTheApp, AShortWalkThroughEveryKindOfStepHoldsEveryInvariant) {
    const auto [status, output] = runSoak(
        "--seed 7 --replay 't1,t2,s5,w20,t3,o3,t8,w900,p1,b1,w3000,f1,i1,a1,e5,t4,k30,t5,s17,y2,m0,t6,"
        "q60,t7,c300,t9,m2,e1,t10,g3,t2,g12,t4'");
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("soak: walked: 33 steps, 5 lives"), std::string::npos) << output;
}

// The timer started from the settings through the first-run guidance, a kill just before a session's end and
// a quit just after one, the window minimised over the reset moment, and a relaunch on a notched phone on its
// side, which the next life keeps.
TEST(SoakWalkOfTheApp, TimedStepsAndARelaunchOnAnotherDeviceHoldEveryInvariant) {
    const auto& models = platform::DeviceProfile::knownModels();
    const auto phone =
        std::find_if(models.begin(), models.end(), [](auto& m) { return m.identifier == "iPhoneXS"; });
    ASSERT_NE(phone, models.end());
    const auto pick = static_cast<std::size_t>(phone - models.begin()) + models.size();  // landscape-left
    const auto [status, output] = runSoak("--seed 7 --keep --replay 'g3,h1,h1,h1,w3000,n5,k30,h2,e3,q10,d" +
                                          std::to_string(20000 + pick) + ",t2,g8,h3,b1,j40,f1,h4,w50'");
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("soak: walked: 19 steps, 5 lives"), std::string::npos) << output;
    EXPECT_EQ(output.find("the timer ran in 0 of"), std::string::npos) << output;

    const std::string kept = "the walk's files are kept in ";
    const auto at = output.find(kept);
    ASSERT_NE(at, std::string::npos) << output;
    const std::filesystem::path folder =
        output.substr(at + kept.size(), output.find(' ', at + kept.size()) - at - kept.size());
    const auto logOf = [&](int life) {
        std::ifstream in(folder / ("life-" + std::to_string(life) + ".log"));
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    EXPECT_NE(logOf(3).find("soak: on iPhoneXS, landscape-left, full"), std::string::npos) << logOf(3);
    EXPECT_NE(logOf(4).find("soak: on iPhoneXS, landscape-left, full"), std::string::npos) << logOf(4);
    EXPECT_NE(logOf(0).find("soak: page the guidance on"), std::string::npos) << logOf(0);
    EXPECT_NE(logOf(0).find("soak: start the timer"), std::string::npos) << logOf(0);
    std::filesystem::remove_all(folder);
}

// Killed three tenths of a second after a session ended: the next launch must neither store nor count it
// again (the counters reach the disk with the session).
TEST(SoakWalkOfTheApp, AKillJustAfterASessionEndsKeepsItOnce) {
    const auto [status, output] =
        runSoak("--seed 52013 --shrink-seconds 0 --replay 'h11077,h71160,h49048,e3,k127'");
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("soak: walked: 5 steps, 3 lives, 1 sessions stored"), std::string::npos) << output;
}

// The store and the sync state copied aside; sessions made here and on the second installation; then
// the store put back, the sync state put back, and both: each time every session is back from the
// shared folder at the launch, once.
TEST(SoakWalkOfTheApp, AStoreOrSyncStatePutBackFromACopyLosesNoSession) {
    const auto [status, output] = runSoak(
        "--seed 7 --shrink-seconds 0 --replay "
        "'h1,h1,e3,h1,e3,u5,y1,h1,e3,h1,e3,h1,e3,r30,h1,e3,h1,e3,r31,h1,e3,"
        "h1,e3,r32,w10'");
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(
        output.find("soak: walked: 25 steps, 6 lives, 4 sessions stored (1 from the second installation)"),
        std::string::npos)
        << output;
    EXPECT_NE(output.find("soak: put back from a copy 3 times: 5 sessions to take in again from the shared "
                          "folder, 0 gone with the store before they were sent"),
              std::string::npos)
        << output;
}

namespace {

// A walk that once found a fault, shrunk, with what it found. Each is a case of its own: a walk of several
// lives takes a while in the sanitizer build, so their sum would meet a run's time limit on a busy machine.
struct Replay {
    const char* name;
    const char* fault;
    const char* arguments;
    const char* reached;
};

const Replay kReplays[] = {
    {"PauseInAClosedAudioDevice",
     "the ticking switched off, the timer started and the minute ring turned: the pause crashed in the "
     "closed audio device",
     "--seed 8 --replay 's61608,s27520,t69402,t7771,t33803,t16641,s43515,s52624'",
     "soak: walked: 8 steps, 2 lives"},
    {"BreakCaughtUpAsAFocusSession",
     "a break turned to 55 minutes ran in the background when the process was killed; the launch of the "
     "next day reset the counts and the catch-up stored the break as a 55-minute focus session",
     "--seed 11 --replay "
     "'k139,k21532,s56624,w2608,o3,t15659,s80667,w37130,s36974,k15937,s37940,b3816,f74599,"
     "t16337,t36931,m7515,t57061,w2748,s2282,w2315,k110,t63728,o2,t98661,s21644,t81889,w21,e4,s74996,"
     "t46430,"
     "w1941,t69956,w7,o3,e0,t65621,w13,t90508,s61157,t82480,w4,w8,p28064,t97688,w2403,e18,s87391,w18,"
     "t73008,"
     "b39680,w142540,t85367,b48755,t47572,t95058,k39426'",
     "soak: walked: 56 steps, 7 lives, 25 sessions stored"},
    {"VolumeSheetUnderTheSensorHousing",
     "the volume sheet opened on a notched phone, then the phone turned on its side: the slider and "
     "Cancel lay under the sensor housing",
     "--seed 25 --replay 's86888,s25968,g75106,t21559,s20667,t66217,o3'",
     "soak: walked: 7 steps, 2 lives"},
    {"PickerPromptUnderTheStatusBar",
     "the song picker opened from a ticking list: its prompt lay under the status bar",
     "--seed 123589418797505 --replay 's2796,s69608,g78125,t54482,t85185,t81780,t74022'",
     "soak: walked: 7 steps, 2 lives"},
    {"RoundShownAfterACatchUp",
     "a return from the background caught up past a long break into a focus session at round 4 of 4; "
     "after a quit the relaunch showed round 0 while the store held 4",
     "--seed 36245640285717 --replay 'o6,w60523,t44396,o4,t3250,s69720,s65335,o4,s54992,s82152,b60964,"
     "t51872,t12486,t48698,w36,w129231,t9442,s78994,k133,e26,t51648,t77621,e7,t92294,t16106,t63357,"
     "s53332,"
     "t4343,t73593,t33427,w679,b27234,f40187,t9283,p32777,q9236,s14792,t25683,s49492,w2236,t7808,t64320,"
     "s87822,o6,t21947,b82142,w5060,t24978,t33879,t90821,e2,g73685,t382,e21,s29973,o6,p776,t24353,s87139,"
     "w48,e6,t64029,s96234,t89275,e5,s88159,y3,t91606,s99155,e19,t11665,f8170'",
     "soak: walked: 72 steps, 4 lives, 7 sessions stored (3 from the second installation)"},
    {"MinuteRingKeptAfterABreak",
     "the minute ring turned to 43 after a break, the next launch reset the counts for a new day: the fresh "
     "25-minute focus session it made was stored as 43 minutes",
     "--seed 61001 --replay 'w139676,h47750,h44328,h88498,e8,e0,s36664,d81119,h41100,e8'",
     "soak: walked: 10 steps, 3 lives, 2 sessions stored"},
    {"EndAfterTheStoreClosed",
     "a focus session's end fell due as the window was minimised, and the window was closed hours later: "
     "the end ran after the store had closed, so the goal counted a session the store never held",
     "--seed 289078 --replay 'h36803,h18444,h23432,n1,b69134,w79223'",
     "soak: walked: 6 steps, 2 lives, 0 sessions stored"},
    {"ResetQuestionOverTheStartButton",
     "the counters' reset question lay over the start button when the timer was started: the reset its "
     "tap chose was taken for one nobody asked for",
     "--seed 357578 --replay 'h5934,h66094,h5625,w112344,d26019,h52027,g49730,o5,h94152,t54471,s55889,"
     "t14871,h40590'",
     "soak: walked: 13 steps"},
};

class SoakWalkReplays : public ::testing::TestWithParam<Replay> {};

}  // namespace

// A walk means its steps as the walker resolves them on the screens of its day, so each is also checked to
// get where it got then.
TEST_P(SoakWalkReplays, AWalkThatOnceFoundAFaultHoldsEveryInvariant) {
    const Replay& replay = GetParam();
    SCOPED_TRACE(replay.fault);
    const auto [status, output] = runSoak(std::string(replay.arguments) + " --shrink-seconds 0");
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find(replay.reached), std::string::npos) << output;
}

INSTANTIATE_TEST_SUITE_P(SoakWalkOfTheApp, SoakWalkReplays, ::testing::ValuesIn(kReplays),
                         [](const auto& info) { return std::string(info.param.name); });
