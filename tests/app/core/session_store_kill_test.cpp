#include <gtest/gtest.h>

#include <set>

#include "app/core/core_data_manager.h"
#include "tests/app/core/store_test_support.h"
#include "tests/support/killed_writer.h"
#include "tests/support/temp_data_root.h"

using namespace quorvel;

TEST(SessionStoreKill, EverySessionWhoseInsertReturnedSurvivesAKill) {
    quorvel::testing::TempDataRoot root;
    std::set<long> reported;
    for (long killAfter : {1L, 37L, 400L}) {
        const auto round =
            quorvel::testing::runWriterAndKill(SESSION_WRITER, {root.path().string(), "1000000"}, killAfter);
        ASSERT_GE(static_cast<long>(round.size()), killAfter);
        reported.insert(round.begin(), round.end());

        quorvel::testing::launchStore();
        std::set<long> stored;
        for (const auto& session : CoreDataManager::shared()->fetchAllSessions())
            stored.insert(static_cast<long>(session->timestamp()->timeIntervalSinceReferenceDate() - 1000.0));
        for (long i : reported)
            ASSERT_TRUE(stored.count(i)) << "session " << i << " was reported stored but is gone";
    }
    EXPECT_FALSE(std::filesystem::exists(quorvel::testing::storeFile().string() + ".damaged-1"));
}
