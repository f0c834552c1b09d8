// The desktop entry point. The window and the app's screens are not built yet: for now the program
// prepares its data root and says where it is.
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/foundation/data_root.h"

int main() {
    const auto root = platform::DataRoot::path();
    std::error_code error;
    std::filesystem::create_directories(platform::DataRoot::preferences(), error);
    if (error) {
        std::fprintf(stderr, "quorvel: cannot create the data folder %s: %s\n", root.c_str(),
                     error.message().c_str());
        return 1;
    }
    std::printf("Quorvel keeps its data in %s\n", root.c_str());
    std::printf("The timer's window is not available in this build yet.\n");
    return 0;
}
