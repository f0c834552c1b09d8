#pragma once

#include <string>

namespace platform {

// What went wrong, for the caller to print or drop.
struct NSError {
    std::string domain;
    int code = 0;
    std::string localizedDescription;

    std::string description() const {
        return domain + " " + std::to_string(code) + ": " + localizedDescription;
    }
};

}  // namespace platform
