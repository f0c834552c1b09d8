// quorvel: the app on an emulated phone or tablet in a desktop window.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <variant>
#include <vector>

#include "platform/foundation/data_root.h"
#include "shell/instance_lock.h"
#include "shell/shell.h"
#include "shell/shell_options.h"
#include "shell/shell_settings.h"

namespace {

int finish(const quorvel::shell::ShellOptions::Exit& exit) {
    std::fputs(exit.output.c_str(), exit.exitStatus == 0 ? stdout : stderr);
    return exit.exitStatus;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace quorvel::shell;
    const ShellOptions options = ShellOptions::parse(std::vector<std::string>(argv + 1, argv + argc));
    if (options.exit) return finish(*options.exit);
    // Before anything is written: without a desktop the program leaves no trace.
    if (!Shell::startVideo()) return 1;

    // Before anything is written: a second instance on the same folder leaves it as it found it.
    std::string problem;
    const auto lock = InstanceLock::acquire(platform::DataRoot::path(), problem);
    if (!lock) {
        std::fprintf(stderr, "quorvel: %s\n", problem.c_str());
        return 1;
    }
    std::error_code error;
    std::filesystem::create_directories(platform::DataRoot::preferences(), error);
    if (error) {
        std::fprintf(stderr, "quorvel: cannot create the data folder %s: %s\n",
                     platform::DataRoot::path().c_str(), error.message().c_str());
        return 1;
    }
    const auto setup = ShellSettings::resolve(options);
    if (const auto* exit = std::get_if<ShellOptions::Exit>(&setup)) return finish(*exit);
    return Shell(std::get<DeviceSetup>(setup)).run();
}
