#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace quorvel::testing {

// Runs one device of a shared cloud folder as its own process (the sync_device program): it stores
// `sessions` focus sessions stamped from `firstStamp` on, syncs twice and prints every session
// identifier in its store. Returns them; empty when it failed. With `console`, the lines it printed
// there are kept in it.
inline std::vector<std::string> runSyncDevice(const std::filesystem::path& root,
                                              const std::filesystem::path& cloud, int sessions,
                                              double firstStamp, std::string* console = nullptr) {
    const auto consoleFile = root.string() + ".console";
    const std::string command = std::string(SYNC_DEVICE) + " '" + root.string() + "' '" + cloud.string() +
                                "' " + std::to_string(sessions) + " " + std::to_string(firstStamp) +
                                (console ? " 2>'" + consoleFile + "'" : "");
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
    if (console) {
        std::ifstream in(consoleFile);
        console->assign(std::istreambuf_iterator<char>(in), {});
    }
    return ids;
}

}  // namespace quorvel::testing
