#include <gtest/gtest.h>

#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <string>

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
    EXPECT_EQ(left->days, fullRead());
    EXPECT_EQ(left->timeZone, "Europe/Berlin");

    store(daysAgo(0), 50);
    store(daysAgo(30), 10);
    EXPECT_EQ(newScreensFigures(), fullRead());
    EXPECT_EQ(summary()->days, fullRead());
    EXPECT_EQ(summary()->lastRow, left->lastRow + 2);
}

// What makes the first visit cheap: the rows a sound summary covers are not read again.
TEST_F(DayTotalsSummary, TheRowsASoundSummaryCoversAreTakenFromIt) {
    show();
    auto left = *summary();
    left.days[startOfDay(daysAgo(100))] = {7, 70, 0, 0};
    ASSERT_TRUE(SessionStoreSummary::write(left.text(), SessionStoreSummary::readBegins()));
    EXPECT_EQ(dayNumberOf(newScreensFigures(), startOfDay(daysAgo(100))), (DayNumber{7, 70, 0, 0}));
}

TEST_F(DayTotalsSummary, AChangedSessionRemovesTheSummaryAndTheNextScreenReadsEverySession) {
    show();
    ASSERT_TRUE(summary());
    mergeChangedTimestamp(daysAgo(40));
    EXPECT_FALSE(std::filesystem::exists(SessionStoreSummary::path()));
    EXPECT_EQ(newScreensFigures(), fullRead());
    EXPECT_EQ(summary()->days, fullRead());
}

TEST_F(DayTotalsSummary, ASummaryMadeFromAReadThatAChangeOverlappedIsNeverPutInPlace) {
    show();
    const auto began = SessionStoreSummary::readBegins();
    mergeChangedTimestamp(daysAgo(40));
    EXPECT_FALSE(SessionStoreSummary::write("stale", began));
    EXPECT_FALSE(std::filesystem::exists(SessionStoreSummary::path()));
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
    EXPECT_EQ(summary()->days, fullRead());
}

TEST_F(DayTotalsSummary, AnotherTimeZoneOrATornFileIsReadWhole) {
    show();
    platform::NSTimeZone::setDefaultTimeZone(*platform::NSTimeZone::timeZoneWithName("America/New_York"));
    EXPECT_EQ(newScreensFigures(), fullRead());
    EXPECT_EQ(summary()->timeZone, "America/New_York");

    const auto whole = *SessionStoreSummary::read();
    std::ofstream(SessionStoreSummary::path(), std::ios::trunc) << whole.substr(0, whole.size() / 2);
    EXPECT_FALSE(summary());
    EXPECT_EQ(newScreensFigures(), fullRead());
    EXPECT_EQ(*SessionStoreSummary::read(), whole);
}

TEST(DayTotalsSummaryText, ReadsBackWhatItWroteAndRefusesAnythingElse) {
    SessionDayTotalsFile file{"A-B", "Asia/Kolkata", 42, NSDate(7.25), platform::Value(std::int64_t(-3)),
                              {{NSDate(86400.5), {2, 50, 0, 0}}, {NSDate(-1e9), {1, 0, 0, 0}}}};
    const auto back = SessionDayTotalsFile::parse(file.text());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->text(), file.text());
    EXPECT_EQ(back->days, file.days);
    EXPECT_EQ(back->lastTimestamp, file.lastTimestamp);
    EXPECT_EQ(back->lastDuration, file.lastDuration);
    file.lastTimestamp = platform::Value();
    EXPECT_TRUE(SessionDayTotalsFile::parse(file.text())->lastTimestamp.isNull());

    const auto text = file.text();
    for (const std::string& broken : {std::string(), text.substr(0, text.size() - 4), "x" + text,
                                      text.substr(0, text.find("42")) + "-1" + text.substr(text.find("42") + 2)})
        EXPECT_FALSE(SessionDayTotalsFile::parse(broken)) << broken;
}

}  // namespace
}  // namespace quorvel
