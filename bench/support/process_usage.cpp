#include "bench/support/process_usage.h"

#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace quorvel::bench {

namespace {

// The fields of /proc/<pid>/stat after the command's closing parenthesis, from the state on.
std::vector<std::string> statFields(const std::filesystem::path& process) {
    std::ifstream stat(process / "stat");
    std::string line;
    if (!std::getline(stat, line) || line.rfind(')') == std::string::npos) return {};
    std::istringstream in(line.substr(line.rfind(')') + 2));
    std::vector<std::string> fields;
    for (std::string field; in >> field;) fields.push_back(field);
    return fields;
}

}  // namespace

ProcessUsage liveUsageOf(pid_t process) {
    ProcessUsage total;
    std::error_code ec;
    for (const auto& task : std::filesystem::directory_iterator("/proc/" + std::to_string(process) + "/task", ec)) {
        std::ifstream schedstat(task.path() / "schedstat");
        double onCpu = 0;
        if (schedstat >> onCpu) total.cpuSeconds += onCpu * 1e-9;
        std::ifstream status(task.path() / "status");
        for (std::string text; std::getline(status, text);) {
            if (text.find("ctxt_switches:") != std::string::npos)
                total.contextSwitches += std::stod(text.substr(text.find(':') + 1));
        }
    }
    return total;
}

ProcessUsage liveChildrenUsageOf(pid_t parent) {
    ProcessUsage total;
    const std::string parentText = std::to_string(parent);
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
        const auto fields = statFields(entry.path());
        if (fields.size() < 2 || fields[1] != parentText) continue;
        const ProcessUsage child = liveUsageOf(static_cast<pid_t>(std::stol(entry.path().filename().string())));
        total.cpuSeconds += child.cpuSeconds;
        total.contextSwitches += child.contextSwitches;
    }
    return total;
}

double endedChildrenCpuSeconds(pid_t parent) {
    // From the state: cutime and cstime are the 14th and 15th fields.
    const auto fields = statFields("/proc/" + std::to_string(parent));
    if (fields.size() < 15) return 0;
    return (std::stod(fields[13]) + std::stod(fields[14])) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

}  // namespace quorvel::bench
