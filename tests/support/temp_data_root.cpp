#include "tests/support/temp_data_root.h"

#include <cstdlib>
#include <string>
#include <system_error>

#include "platform/foundation/data_root.h"
#include "platform/foundation/ns_user_defaults.h"

namespace quorvel::testing {

TempDataRoot::TempDataRoot(const std::filesystem::path& parent) {
    std::string pattern = (parent / "quorvel-test-XXXXXX").string();
    if (char* made = ::mkdtemp(pattern.data())) path_ = made;
    platform::DataRoot::setPath(path_);
    // Suites read before belong to another root: start from what is on disk here (nothing).
    platform::NSUserDefaults::resetAllForTesting();
}

TempDataRoot::~TempDataRoot() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
    // The sync makes its shared folder beside the data root.
    std::filesystem::remove_all(path_.string() + "-cloud", ignored);
}

}  // namespace quorvel::testing
