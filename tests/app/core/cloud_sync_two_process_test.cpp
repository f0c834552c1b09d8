#include <gtest/gtest.h>

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
