#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "tests/support/temp_data_root.h"

namespace {

// Runs one device process and returns the session identifiers it printed; empty if it failed.
std::vector<std::string> runDevice(const std::filesystem::path& root, const std::filesystem::path& cloud,
                                   int sessions, double firstStamp) {
    const std::string command = std::string(SYNC_DEVICE) + " '" + root.string() + "' '" + cloud.string() +
                                "' " + std::to_string(sessions) + " " + std::to_string(firstStamp);
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return {};
    std::vector<std::string> ids;
    bool ended = false;
    char line[256];
    while (std::fgets(line, sizeof line, pipe)) {
        std::string id(line);
        if (!id.empty() && id.back() == '\n') id.pop_back();
        if (id == "END")
            ended = true;
        else
            ids.push_back(id);
    }
    const int status = ::pclose(pipe);
    EXPECT_EQ(status, 0) << command;
    EXPECT_TRUE(ended) << command;
    return ids;
}

std::set<std::string> distinct(const std::vector<std::string>& ids) {
    return {ids.begin(), ids.end()};
}

}  // namespace

TEST(CloudSyncTwoProcesses, TwoDataRootsSharingACloudFolderExchangeSessionsBothWays) {
    quorvel::testing::TempDataRoot temp;
    const auto cloud = temp.path() / "cloud";
    const auto rootA = temp.path() / "deviceA", rootB = temp.path() / "deviceB";

    const auto a1 = runDevice(rootA, cloud, 3, 1000);
    ASSERT_EQ(a1.size(), 3u);
    const auto b1 = runDevice(rootB, cloud, 2, 2000);
    EXPECT_EQ(b1.size(), 5u);  // its own two and A's three
    for (const auto& id : a1) EXPECT_TRUE(distinct(b1).count(id)) << id;

    for (int round = 0; round < 2; ++round) {
        const auto a = runDevice(rootA, cloud, 0, 0);
        const auto b = runDevice(rootB, cloud, 0, 0);
        EXPECT_EQ(a.size(), 5u);
        EXPECT_EQ(distinct(a).size(), a.size()) << "a duplicated session";
        EXPECT_EQ(distinct(a), distinct(b));
    }
}
