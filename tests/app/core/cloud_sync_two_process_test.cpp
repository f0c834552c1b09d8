#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "tests/app/core/sync_device_runner.h"
#include "tests/support/temp_data_root.h"

namespace {

std::set<std::string> distinct(const std::vector<std::string>& ids) {
    return {ids.begin(), ids.end()};
}

}  // namespace

TEST(CloudSyncTwoProcesses, TwoDataRootsSharingACloudFolderExchangeSessionsBothWays) {
    quorvel::testing::TempDataRoot temp;
    const auto cloud = temp.path() / "cloud";
    const auto rootA = temp.path() / "deviceA", rootB = temp.path() / "deviceB";

    const auto a1 = quorvel::testing::runSyncDevice(rootA, cloud, 3, 1000);
    ASSERT_EQ(a1.size(), 3u);
    const auto b1 = quorvel::testing::runSyncDevice(rootB, cloud, 2, 2000);
    EXPECT_EQ(b1.size(), 5u);  // its own two and A's three
    for (const auto& id : a1) EXPECT_TRUE(distinct(b1).count(id)) << id;

    for (int round = 0; round < 2; ++round) {
        const auto a = quorvel::testing::runSyncDevice(rootA, cloud, 0, 0);
        const auto b = quorvel::testing::runSyncDevice(rootB, cloud, 0, 0);
        EXPECT_EQ(a.size(), 5u);
        EXPECT_EQ(distinct(a).size(), a.size()) << "a duplicated session";
        EXPECT_EQ(distinct(a), distinct(b));
    }
}

// A data root whose launch finds $QUORVEL_CLOUD naming a new, empty folder sends it every session it
// holds, whether another data root is there before it or joins after.
TEST(CloudSyncTwoProcesses, ADataRootMovedToANewFolderSendsItEverySessionInEitherOrder) {
    for (const bool joinerFirst : {false, true}) {
        SCOPED_TRACE(joinerFirst ? "the joiner syncs first" : "the moved root syncs first");
        quorvel::testing::TempDataRoot temp;
        const auto rootA = temp.path() / "deviceA", joiner = temp.path() / "joiner";
        const auto sent = quorvel::testing::runSyncDevice(rootA, temp.path() / "first", 2, 1000);
        ASSERT_EQ(sent.size(), 2u);

        const auto fresh = temp.path() / "fresh";
        std::vector<std::string> own;
        if (joinerFirst) own = quorvel::testing::runSyncDevice(joiner, fresh, 1, 5000);
        std::string console;
        const auto moved = quorvel::testing::runSyncDevice(rootA, fresh, 0, 0, &console);
        EXPECT_EQ(console.find("Error in"), std::string::npos) << console;
        const auto joined = quorvel::testing::runSyncDevice(joiner, fresh, 0, 0);
        EXPECT_EQ(joined.size(), sent.size() + own.size());
        EXPECT_EQ(distinct(joined).size(), joined.size()) << "a duplicated session";
        for (const auto& id : sent) EXPECT_TRUE(distinct(joined).count(id)) << id;
        for (const auto& id : own) EXPECT_TRUE(distinct(moved).count(id)) << id;
    }
}

TEST(CloudSyncTwoProcesses, OneOfTwoInstallationsMovedToAnEmptyFolderTakesBothSetsThere) {
    quorvel::testing::TempDataRoot temp;
    const auto shared = temp.path() / "shared", empty = temp.path() / "empty";
    const auto rootX = temp.path() / "deviceX", rootY = temp.path() / "deviceY";
    quorvel::testing::runSyncDevice(rootX, shared, 2, 1000);
    quorvel::testing::runSyncDevice(rootY, shared, 3, 2000);
    const auto both = quorvel::testing::runSyncDevice(rootX, shared, 0, 0);
    ASSERT_EQ(both.size(), 5u);

    std::filesystem::create_directories(empty);
    quorvel::testing::runSyncDevice(rootX, empty, 0, 0);
    const auto joined = quorvel::testing::runSyncDevice(temp.path() / "joiner", empty, 0, 0);
    EXPECT_EQ(distinct(joined), distinct(both));
    EXPECT_EQ(joined.size(), 5u);
}

// Three sessions went out through the first folder, nine more were stored while it could not be
// reached; the next folder gets all twelve.
TEST(CloudSyncTwoProcesses, SessionsAlreadySentGoToTheNextFolderWithThoseNeverSent) {
    quorvel::testing::TempDataRoot temp;
    const auto root = temp.path() / "device", first = temp.path() / "first", next = temp.path() / "next";
    ASSERT_EQ(quorvel::testing::runSyncDevice(root, first, 3, 1000).size(), 3u);
    std::filesystem::remove_all(first);
    std::ofstream(first) << "an unmounted share";
    ASSERT_EQ(quorvel::testing::runSyncDevice(root, first, 9, 2000).size(), 12u);
    const auto all = quorvel::testing::runSyncDevice(root, next, 0, 0);
    const auto joined = quorvel::testing::runSyncDevice(temp.path() / "joiner", next, 0, 0);
    EXPECT_EQ(joined.size(), 12u);
    EXPECT_EQ(distinct(joined), distinct(all));
}
