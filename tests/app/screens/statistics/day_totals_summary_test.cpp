#include <gtest/gtest.h>

#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <latch>
#include <string>
#include <thread>

#include "app/core/session_store_summary.h"
#include "app/screens/statistics/session_day_totals.h"
#include "app/screens/statistics/session_day_totals_file.h"
#include "tests/app/screens/statistics/charts_fixture.h"

namespace quorvel {
namespace {

using platform::NSDate;

// A later screen starts from the summary an earlier read left and reads only the rows stored since;
// whatever happened to the store meanwhile, it shows what a full read would.
class DayTotalsSummary : public testing::ChartsTest {
protected:
    DayTotalsSummary() {
        for (int day = 0; day < 20; ++day) store(daysAgo(day), 20 + day);
    }

    // What a new screen would show: a fresh set of totals asked once.
    static DayNumbers newScreensFigures() { return SessionDayTotals::make()->figures(*CoreDataManager::context()); }

    static std::optional<SessionDayTotalsFile> summary() {
        const auto text = SessionStoreSummary::read();
        return text ? SessionDayTotalsFile::parse(*text) : std::nullopt;
    }

    // Plain SQL on the store file, as another program or a copy put back would change it.
    static void changeStoreFile(const std::string& sql) {
        const auto url = CoreDataManager::context()->persistentStoreCoordinator()->storeURL();
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(url.c_str(), &db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
        sqlite3_close(db);
    }

    // Adds sessions to the summary file that the store does not hold: figures that show them were
    // taken from the summary.
    static void plantSessions(NSDate when, int count, std::int64_t minutes) {
        auto left = summary();
        ASSERT_TRUE(left);
        for (int i = 0; i < count; ++i) left->totals.add(when.timeIntervalSinceReferenceDate(), minutes);
        ASSERT_TRUE(SessionStoreSummary::write(left->bytes(), SessionStoreSummary::readBegins()));
    }

    // Changes a stored session through a second connection, as a merge of the sync does.
    static void mergeChangedTimestamp(NSDate when) {
        const auto merge = mergingContext();
        merge->performBlockAndWait([&] {
            const auto sessions = merge->executeFetchRequest(platform::NSFetchRequest::fetchRequestWithEntityName("Session"));
            ASSERT_TRUE(sessions && !sessions->empty());
            sessions->front()->setValueForKey(when, "timestamp");
            EXPECT_TRUE(merge->save());
        });
    }
};

TEST_F(DayTotalsSummary, AReadLeavesItsTotalsAndALaterScreenAddsOnlyWhatWasStoredSince) {
    show();
    const auto left = summary();
    ASSERT_TRUE(left);
    EXPECT_EQ(left->totals.days(), fullRead());

    store(daysAgo(0), 50);
    store(daysAgo(30), 10);
    EXPECT_EQ(newScreensFigures(), fullRead());
    EXPECT_EQ(summary()->totals.days(), fullRead());
    EXPECT_EQ(summary()->lastRow, left->lastRow + 2);
}

// What makes the first visit cheap: the rows a sound summary covers are not read again.
TEST_F(DayTotalsSummary, TheRowsASoundSummaryCoversAreTakenFromIt) {
    show();
    plantSessions(daysAgo(100), 7, 10);
    EXPECT_EQ(dayNumberOf(newScreensFigures(), startOfDay(daysAgo(100))), (DayNumber{7, 70, 0, 0}));
}

// Totals that follow a change take the session's old values back: neither they nor the next launch
// read every session again (the sessions planted in the summary stay).
TEST_F(DayTotalsSummary, AChangedSessionIsTakenBackAndTheSummaryFollowsTheChange) {
    show();
    const auto truth = SessionDayTotals::make();
    ASSERT_EQ(truth->figures(*CoreDataManager::context()), fullRead());
    plantSessions(daysAgo(100), 7, 10);
    const auto planted = SessionDayTotals::make();
    ASSERT_EQ(dayNumberOf(planted->figures(*CoreDataManager::context()), startOfDay(daysAgo(100))).pomodoros, 7);

    mergeChangedTimestamp(daysAgo(40));
    mergeChangedTimestamp(daysAgo(41));
    auto withPlanted = fullRead();
    withPlanted[startOfDay(daysAgo(100))] = {7, 70, 0, 0};
    EXPECT_EQ(truth->figures(*CoreDataManager::context()), fullRead());
    EXPECT_EQ(planted->figures(*CoreDataManager::context()), withPlanted);
    EXPECT_EQ(newScreensFigures(), withPlanted);
    screen->refreshCharts();
    EXPECT_EQ(screen->dayNumbersDict(), fullRead());
}

TEST_F(DayTotalsSummary, ASummaryMadeFromAReadThatAChangeOverlappedIsNeverPutInPlace) {
    show();
    const auto began = SessionStoreSummary::readBegins();
    mergeChangedTimestamp(daysAgo(40));
    EXPECT_FALSE(SessionStoreSummary::write("stale", began));
    EXPECT_NE(SessionStoreSummary::read(), "stale");
    EXPECT_EQ(summary()->totals.days(), fullRead());
    EXPECT_TRUE(SessionStoreSummary::write("fresh", SessionStoreSummary::readBegins()));
}

TEST_F(DayTotalsSummary, AStoreSetBackOrChangedByAnotherProgramIsReadWhole) {
    show();
    // An older copy put back: the summary's last row is gone.
    changeStoreFile("DELETE FROM Session WHERE _pk = (SELECT max(_pk) FROM Session)");
    EXPECT_EQ(newScreensFigures(), fullRead());
    // Another program rewrote the last row.
    changeStoreFile("UPDATE Session SET duration = 90 WHERE _pk = (SELECT max(_pk) FROM Session)");
    EXPECT_EQ(newScreensFigures(), fullRead());
    EXPECT_EQ(summary()->totals.days(), fullRead());
}

TEST_F(DayTotalsSummary, AnotherTimeZoneNeedsNoReadAndATornFileIsReadWhole) {
    show();
    // 02:00 in Berlin is the evening before in New York.
    const NSDate planted = daysAgo(100, 2);
    plantSessions(planted, 1, 30);
    platform::NSTimeZone::setDefaultTimeZone(*platform::NSTimeZone::timeZoneWithName("America/New_York"));
    // The days came from the summary's quarters, not from the store: the planted session is there.
    auto withPlanted = fullRead();
    ASSERT_EQ(startOfDay(planted), startOfDay(daysAgo(101, 20)));
    withPlanted[startOfDay(planted)] = {1, 30, 0, 0};
    EXPECT_EQ(newScreensFigures(), withPlanted);
    screen->refreshCharts();
    EXPECT_EQ(screen->dayNumbersDict(), fullRead());
    // A summary that held the planted session no longer than the store does is read again.
    std::filesystem::remove(SessionStoreSummary::path());
    EXPECT_EQ(newScreensFigures(), fullRead());

    const auto whole = *SessionStoreSummary::read();
    std::ofstream(SessionStoreSummary::path(), std::ios::trunc) << whole.substr(0, whole.size() / 2);
    EXPECT_FALSE(summary());
    EXPECT_EQ(newScreensFigures(), fullRead());
    EXPECT_EQ(*SessionStoreSummary::read(), whole);
}

// A merge that brings another installation's sessions, more than are worth following one by one, in
// no order: the totals are read again.
TEST_F(DayTotalsSummary, AMergeOfManySessionsInAnyOrderIsCountedWhole) {
    show();
    const auto merge = mergingContext();
    merge->performBlockAndWait([&] {
        for (int i = 0; i < 20001; ++i) {
            auto session = std::dynamic_pointer_cast<Session>(merge->insertNewObjectForEntityForName("Session"));
            session->setTimestamp(daysAgo((i * 7919) % 700, i % 24));
            session->setDuration(i % 50);
        }
        EXPECT_TRUE(merge->save());
    });
    screen->refreshCharts();
    EXPECT_EQ(screen->dayNumbersDict(), fullRead());
    EXPECT_EQ(newScreensFigures(), fullRead());
}

// Liberia's days of 1960 started 44 minutes 30 seconds after midnight universal time, inside a quarter
// of an hour: those days come from the sessions themselves, stored before and after the totals were made.
TEST_F(DayTotalsSummary, DaysThatStartInsideAQuarterAreCountedSessionBySession) {
    const double midnight1960 = -1293840000.0 + 180 * 86400.0 + 44 * 60 + 30;
    for (const double around : {-60.0, -1.0, 0.0, 1.0, 600.0}) store(NSDate(midnight1960 + around));
    show();
    platform::NSTimeZone::setDefaultTimeZone(*platform::NSTimeZone::timeZoneWithName("Africa/Monrovia"));
    ASSERT_NE(startOfDay(NSDate(midnight1960)).timeIntervalSinceReferenceDate(), midnight1960 - 900);
    screen->refreshCharts();
    EXPECT_EQ(screen->dayNumbersDict(), fullRead());
    store(NSDate(midnight1960 - 30), 40);
    mergeChangedTimestamp(NSDate(midnight1960 + 5));
    screen->refreshCharts();
    EXPECT_EQ(screen->dayNumbersDict(), fullRead());
    EXPECT_EQ(dayNumberOf(fullRead(), startOfDay(NSDate(midnight1960))).pomodoros, 4);
}

// Only the quarters of an hour that hold one of those midnights are counted from their sessions: every
// other quarter comes from the kept totals, as a session planted in the summary shows. One planted in a
// quarter that holds a midnight does not show: that quarter was read from the store.
TEST_F(DayTotalsSummary, OnlyTheQuartersThatHoldAMidnightAreReadAgain) {
    const double midnight1960 = -1293840000.0 + 180 * 86400.0 + 44 * 60 + 30;
    for (const double around : {-60.0, -1.0, 0.0, 1.0, 600.0}) store(NSDate(midnight1960 + around));
    show();
    const NSDate insideADay(midnight1960 + 30 * 3600);
    plantSessions(insideADay, 3, 10);
    plantSessions(NSDate(midnight1960 - 30), 2, 10);
    platform::NSTimeZone::setDefaultTimeZone(*platform::NSTimeZone::timeZoneWithName("Africa/Monrovia"));
    auto expected = fullRead();
    expected[startOfDay(insideADay)] = {3, 30, 0, 0};
    EXPECT_EQ(newScreensFigures(), expected);
    EXPECT_EQ(dayNumberOf(expected, startOfDay(NSDate(midnight1960 - 30))).pomodoros, 2);
    EXPECT_EQ(dayNumberOf(expected, startOfDay(NSDate(midnight1960))).pomodoros, 3);
}

// Two merges that change the same session at the same moment: its old values are taken back once, and
// the figures stay those of a full read. The session shares its quarter of an hour with two others, so
// that taking its old values back twice would not go unnoticed.
TEST_F(DayTotalsSummary, TwoContextsSavingTheSameSessionTogetherLeaveTheFiguresOfAFullRead) {
    const NSDate shared = daysAgo(50);
    for (int i = 0; i < 3; ++i) store(shared, 25);
    const auto totals = SessionDayTotals::make();
    auto& context = *CoreDataManager::context();
    ASSERT_EQ(totals->figures(context), fullRead());

    const auto first = mergingContext(), second = mergingContext();
    const auto sessionsIn = [](platform::NSManagedObjectContext& merge) {
        return merge.executeFetchRequest(platform::NSFetchRequest::fetchRequestWithEntityName("Session")).value();
    };
    std::int64_t row = 0;
    first->performBlockAndWait([&] {
        for (const auto& session : sessionsIn(*first)) {
            if (session->valueForKey("timestamp").dateValue() == shared) row = session->objectID().row;
        }
    });
    ASSERT_NE(row, 0);
    const auto change = [&](platform::NSManagedObjectContext& merge, NSDate when, std::int64_t minutes, std::latch* together) {
        merge.performBlockAndWait([&] {
            for (const auto& session : sessionsIn(merge)) {
                if (session->objectID().row != row) continue;
                session->setValueForKey(when, "timestamp");
                session->setValueForKey(platform::Value(minutes), "duration");
            }
            if (together) together->arrive_and_wait();
            EXPECT_TRUE(merge.save());
        });
    };
    for (int round = 0; round < 30; ++round) {
        std::latch together(2);
        std::thread one([&] { change(*first, daysAgo(60 + round), 30, &together); });
        std::thread other([&] { change(*second, daysAgo(100 + round), 40, &together); });
        one.join();
        other.join();
        ASSERT_EQ(totals->figures(context), fullRead()) << "round " << round;
        // Back in the shared quarter, one save at a time.
        change(*first, shared, 25, nullptr);
        ASSERT_EQ(totals->figures(context), fullRead()) << "round " << round;
    }
}

TEST(DayTotalsSummaryText, ReadsBackWhatItWroteAndRefusesAnythingElse) {
    SessionDayTotalsFile file{"A-B", 42, NSDate(7.25), platform::Value(std::int64_t(-3)), {}};
    for (const double when : {86400.5, 86400.5, -1e9, 3e12, 1800.0}) file.totals.add(when, 25);
    const auto back = SessionDayTotalsFile::parse(file.bytes());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->bytes(), file.bytes());
    EXPECT_EQ(back->totals, file.totals);
    EXPECT_EQ(back->totals.quarters().size(), 3u);
    EXPECT_EQ(back->totals.loose().size(), 1u);
    EXPECT_EQ(back->lastTimestamp, file.lastTimestamp);
    EXPECT_EQ(back->lastDuration, file.lastDuration);
    file.lastTimestamp = platform::Value();
    EXPECT_TRUE(SessionDayTotalsFile::parse(file.bytes())->lastTimestamp.isNull());

    const auto bytes = file.bytes();
    for (const std::string& broken : {std::string(), bytes.substr(0, bytes.size() - 4), "x" + bytes,
                                      bytes.substr(0, bytes.size() - 20) + "end\n",
                                      bytes.substr(0, bytes.find("42")) + "-1" + bytes.substr(bytes.find("42") + 2)})
        EXPECT_FALSE(SessionDayTotalsFile::parse(broken)) << broken;
}

}  // namespace
}  // namespace quorvel
