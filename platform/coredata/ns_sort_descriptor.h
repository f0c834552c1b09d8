#pragma once

#include <string>

namespace platform {

struct NSSortDescriptor {
    std::string key;
    bool ascending = true;

    static NSSortDescriptor sortDescriptorWithKey(std::string key, bool ascending) {
        return {std::move(key), ascending};
    }
};

}  // namespace platform
