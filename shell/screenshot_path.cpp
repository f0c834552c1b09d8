#include "shell/screenshot_path.h"

#include <ctime>
#include <string>
#include <system_error>

#include "platform/foundation/data_root.h"

namespace quorvel::shell {

std::filesystem::path ScreenshotPath::next() {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path folder = platform::DataRoot::path() / "Screenshots";
    fs::create_directories(folder, error);
    if (error) folder = fs::current_path(error);

    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    fs::path path = folder / ("quorvel-" + std::string(stamp) + ".png");
    for (int n = 2; fs::exists(path, error); ++n) {
        path = folder / ("quorvel-" + std::string(stamp) + "-" + std::to_string(n) + ".png");
    }
    return path;
}

}  // namespace quorvel::shell
