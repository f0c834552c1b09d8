#include <gtest/gtest.h>

#include "analytics/foundation/apm_storage_paths.h"
#include "analytics/storage/apm_database.h"
#include "app/core/core_data_manager.h"
#include "app/core/user_default_properties.h"
#include "platform/amplitude/amplitude.h"
#include "platform/foundation/console.h"
#include "platform/foundation/data_root.h"
#include "platform/foundation/ns_user_defaults.h"
#include "platform/foundation/property_list.h"
#include "tests/reliability/file_damage.h"
#include "tests/reliability/store_contents.h"
#include "tests/support/killed_writer.h"
#include "tests/support/temp_data_root.h"

using namespace quorvel::testing;
using platform::Value;
namespace fs = std::filesystem;

namespace {

constexpr long kWritten = 20;

// A data root whose store `mode` holds the numbers 0…19, written by an earlier run of the app.
struct EarlierRun {
    explicit EarlierRun(const std::string& mode) {
        EXPECT_EQ(
            runWriterToEnd(STORE_WRITER, {mode, root.path().string(), "0", std::to_string(kWritten)}).size(),
            static_cast<std::size_t>(kWritten));
    }
    TempDataRoot root;
};

std::set<long> numbersFrom(long first, long end) {
    std::set<long> numbers;
    for (long n = first; n < end; ++n) numbers.insert(n);
    return numbers;
}

fs::path preferencesFile(const std::string& suite) {
    return platform::DataRoot::preferences() / (suite + ".plist");
}
fs::path dictionaryFile() {
    return analytics::APMMeasurementDirectoryPlistPath(kDictionaryName);
}

// Rewrites a property-list store's file with `edit` applied to its dictionary.
void editPropertyList(const fs::path& file, const std::function<void(Value::Dictionary&)>& edit) {
    auto contents = *platform::PropertyList::readFile(file)->dictionaryValue();
    edit(contents);
    ASSERT_TRUE(platform::PropertyList::writeFileAtomically(file, Value(contents)));
}

// The damaged file is kept aside byte for byte, so what it still holds can be recovered by hand.
void expectSetAside(const fs::path& root, const std::string& damagedBytes) {
    const auto aside = damagedFiles(root);
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(contentsOf(*aside.begin()), damagedBytes);
}

}  // namespace

// --- The session store -------------------------------------------------------------------------

TEST(DamagedSessionStore, AWholeDamagedFileIsSetAsideAndANewStoreTakesSessions) {
    for (const auto kind : kWholeFileDamages) {
        SCOPED_TRACE(nameOf(kind));
        EarlierRun earlier("sessions");
        settle(sessionStoreFile());
        damage(sessionStoreFile(), kind, kForeignPropertyList);
        const auto damaged = contentsOf(sessionStoreFile());

        platform::Console::Capture console;
        EXPECT_EQ(storedSessions(), std::set<long>{});
        EXPECT_TRUE(console.contains("is damaged"));
        expectSetAside(earlier.root.path(), damaged);
        ASSERT_TRUE(quorvel::CoreDataManager::shared()->insertSession(25, quorvel::SessionType::focus,
                                                                      sessionTimestampOf(500)));
        EXPECT_EQ(storedSessions(), std::set<long>{500});
    }
}

TEST(DamagedSessionStore, ValuesOfAnotherTypeCostOnlyTheirOwnSessions) {
    EarlierRun earlier("sessions");
    ASSERT_TRUE(executeSql(sessionStoreFile(),
                           "UPDATE Session SET timestamp = 'yesterday' WHERE timestamp = 1003;"
                           "UPDATE Session SET timestamp = NULL WHERE timestamp = 1004;"
                           "UPDATE Session SET duration = 'long', type = x'00ff' WHERE timestamp = 1005;"));
    auto expected = numbersFrom(0, kWritten);
    expected.erase(3);
    expected.erase(4);
    EXPECT_EQ(storedSessions(), expected);
    EXPECT_EQ(damagedFiles(earlier.root.path()), std::set<fs::path>{});
}

// A store made by a newer version, or whose table lost its row key (saves would go in and never read
// back), is refused: the file stays as it is, the console says why, and the app runs without it.
TEST(DamagedSessionStore, AStoreTheModelCannotUseIsLeftAsItIsAndTheAppRunsWithout) {
    const std::pair<const char*, const char*> stores[] = {
        {"newer version", "UPDATE _metadata SET value = 999 WHERE key = 'model_version'"},
        {"no row key", "ALTER TABLE Session RENAME COLUMN _pk TO num"},
    };
    for (const auto& [what, sql] : stores) {
        SCOPED_TRACE(what);
        EarlierRun earlier("sessions");
        ASSERT_TRUE(executeSql(sessionStoreFile(), sql));
        settle(sessionStoreFile());
        const auto unusable = contentsOf(sessionStoreFile());

        platform::Console::Capture console;
        EXPECT_EQ(storedSessions(), std::set<long>{});
        EXPECT_TRUE(console.contains("cannot be used"));
        EXPECT_FALSE(quorvel::CoreDataManager::shared()->insertSession(25, quorvel::SessionType::focus,
                                                                       sessionTimestampOf(500)));
        EXPECT_EQ(contentsOf(sessionStoreFile()), unusable);
        EXPECT_EQ(damagedFiles(earlier.root.path()), std::set<fs::path>{});
    }
}

// --- The preferences files ---------------------------------------------------------------------

TEST(DamagedPreferences, AWholeDamagedFileIsSetAsideAndTheOtherSuiteKeepsItsValues) {
    const std::string shared = quorvel::UserDefaultProperties::kAppGroupSuiteName;
    for (const auto kind : kWholeFileDamages) {
        SCOPED_TRACE(nameOf(kind));
        EarlierRun earlier("preferences");
        const auto file = preferencesFile(platform::NSUserDefaults::standardSuiteName());
        damage(file, kind, foreignDatabase());
        const auto damaged = contentsOf(file);

        platform::Console::Capture console;
        EXPECT_EQ(storedPreferences(platform::NSUserDefaults::standardSuiteName()), std::set<long>{});
        EXPECT_TRUE(console.contains("is damaged"));
        expectSetAside(earlier.root.path(), damaged);
        EXPECT_EQ(storedPreferences(shared), numbersFrom(0, kWritten));

        platform::NSUserDefaults::standardUserDefaults()->setInteger(500, keyOf(500));
        ASSERT_TRUE(platform::NSUserDefaults::flushAll());
        EXPECT_EQ(storedPreferences(platform::NSUserDefaults::standardSuiteName()), std::set<long>{500});
    }
}

TEST(DamagedPreferences, AListInPlaceOfTheDictionaryIsSetAsideToo) {
    EarlierRun earlier("preferences");
    const auto file = preferencesFile(platform::NSUserDefaults::standardSuiteName());
    ASSERT_TRUE(platform::PropertyList::writeFileAtomically(file, Value(Value::Array{Value(keyOf(1))})));
    platform::Console::Capture console;
    EXPECT_EQ(storedPreferences(platform::NSUserDefaults::standardSuiteName()), std::set<long>{});
    EXPECT_TRUE(console.contains("is damaged"));
    EXPECT_EQ(damagedFiles(earlier.root.path()).size(), 1u);
}

TEST(DamagedPreferences, ValuesOfAnotherTypeAnswerTheNeutralValueAndCostNoOtherKey) {
    EarlierRun earlier("preferences");
    editPropertyList(preferencesFile(platform::NSUserDefaults::standardSuiteName()),
                     [](Value::Dictionary& values) {
                         values[keyOf(3)] = Value("three");
                         values[keyOf(4)] = Value(platform::NSDate(4));
                         values[keyOf(5)] = Value(Value::Data{0xff, 0x00});
                     });
    auto expected = numbersFrom(0, kWritten);
    for (long n : {3, 4, 5}) expected.erase(n);
    EXPECT_EQ(storedPreferences(platform::NSUserDefaults::standardSuiteName()), expected);
    const auto defaults = platform::NSUserDefaults::standardUserDefaults();
    EXPECT_EQ(defaults->integerForKey(keyOf(3)), 0);
    EXPECT_EQ(defaults->integerForKey(keyOf(5)), 0);
    EXPECT_EQ(damagedFiles(earlier.root.path()), std::set<fs::path>{});
}

// --- The measurement database ------------------------------------------------------------------

// Ruling of the library: a damaged database is deleted and made anew; the console says so.
TEST(DamagedMeasurementDatabase, AWholeDamagedFileIsMadeAnewWithAConsoleLineAndTakesEvents) {
    for (const auto kind : kWholeFileDamages) {
        SCOPED_TRACE(nameOf(kind));
        EarlierRun earlier("measurement");
        damage(measurementDatabaseFile(), kind, kForeignPropertyList);

        platform::Console::Capture console;
        EXPECT_EQ(storedEvents(), std::set<long>{});
        EXPECT_TRUE(console.contains("damaged")) << "deleted without a word";
        runWriterToEnd(STORE_WRITER, {"measurement", earlier.root.path().string(), "500", "1"});
        EXPECT_EQ(storedEvents(), std::set<long>{500});
        EXPECT_EQ(integrityOf(measurementDatabaseFile()), "ok");
    }
}

TEST(DamagedMeasurementDatabase, AnUnreadableEventCostsOnlyItself) {
    EarlierRun earlier("measurement");
    ASSERT_TRUE(executeSql(measurementDatabaseFile(),
                           "UPDATE raw_events SET data = x'ffffffff0f' WHERE rowid = 4;"
                           "UPDATE raw_events SET data = 'text' WHERE rowid = 5;"));
    EXPECT_EQ(storedEvents().size(), static_cast<std::size_t>(kWritten - 2));
}

TEST(DamagedMeasurementDatabase, ATableANewerVersionAddedAndAnAddedColumnKeepEveryEvent) {
    EarlierRun earlier("measurement");
    ASSERT_TRUE(executeSql(measurementDatabaseFile(),
                           "ALTER TABLE raw_events ADD COLUMN added_later TEXT;"
                           "CREATE TABLE added_later (id INTEGER PRIMARY KEY, value BLOB);"));
    EXPECT_EQ(storedEvents(), numbersFrom(0, kWritten));
    EXPECT_EQ(damagedFiles(earlier.root.path()), std::set<fs::path>{});
}

// --- The persistent dictionary -----------------------------------------------------------------

TEST(DamagedPersistentDictionary, AWholeDamagedFileIsSetAsideNotOverwrittenByTheNextWrite) {
    for (const auto kind : kWholeFileDamages) {
        SCOPED_TRACE(nameOf(kind));
        EarlierRun earlier("dictionary");
        damage(dictionaryFile(), kind, foreignDatabase());
        const auto damaged = contentsOf(dictionaryFile());

        platform::Console::Capture console;
        EXPECT_EQ(storedDictionaryNumbers(), std::set<long>{});
        EXPECT_TRUE(console.contains("is damaged"));
        expectSetAside(earlier.root.path(), damaged);
        runWriterToEnd(STORE_WRITER, {"dictionary", earlier.root.path().string(), "500", "1"});
        EXPECT_EQ(storedDictionaryNumbers(), std::set<long>{500});
        expectSetAside(earlier.root.path(), damaged);
    }
}

TEST(DamagedPersistentDictionary, ValuesOfAnotherTypeCostNoOtherKey) {
    EarlierRun earlier("dictionary");
    editPropertyList(dictionaryFile(), [](Value::Dictionary& values) {
        values[keyOf(7)] = Value(Value::Array{});
        values[keyOf(8)] = Value(true);
    });
    auto expected = numbersFrom(0, kWritten);
    for (long n : {7, 8}) expected.erase(n);
    EXPECT_EQ(storedDictionaryNumbers(), expected);
}

// --- The outside services' logs ------------------------------------------------------------------

TEST(DamagedServiceLog, ARecordCutShortStaysOnItsOwnLineAndTheNextRecordIsWhole) {
    TempDataRoot root;
    const auto amplitude = std::make_shared<platform::Amplitude>();
    amplitude->initializeApiKey("key");
    amplitude->logEvent("first");
    const auto file = platform::Amplitude::log().path();
    fs::resize_file(file, fs::file_size(file) - 10);

    platform::Console::Capture console;
    amplitude->logEvent("second");
    EXPECT_TRUE(console.contains("torn record"));
    const auto lines = platform::Amplitude::log().lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[2].front(), '{');
    EXPECT_NE(lines[2].find("\"event_type\":\"second\""), std::string::npos) << lines[2];
}
