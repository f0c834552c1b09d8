#include "tests/support/temp_data_root.h"

#include <cstdlib>
#include <string>
#include <system_error>

#include "platform/foundation/data_root.h"

namespace quorvel::testing {

TempDataRoot::TempDataRoot() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quorvel-test-XXXXXX").string();
    if (char* made = ::mkdtemp(pattern.data())) path_ = made;
    platform::DataRoot::setPath(path_);
}

TempDataRoot::~TempDataRoot() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace quorvel::testing
