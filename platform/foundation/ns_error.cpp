#include "platform/foundation/ns_error.h"

namespace platform {

const std::string& NSLocalizedDescriptionKey = *new std::string("NSLocalizedDescription");

std::string NSError::localizedDescription() const {
    if (auto found = userInfo_.find(NSLocalizedDescriptionKey); found != userInfo_.end())
        return found->second;
    return "The operation couldn’t be completed. (" + domain_ + " error " + std::to_string(code_) + ".)";
}

std::string NSError::description() const {
    std::string text = "Error Domain=" + domain_ + " Code=" + std::to_string(code_);
    if (userInfo_.empty()) return text + " \"(null)\"";
    text += " \"" + localizedDescription() + "\" UserInfo={";
    bool first = true;
    for (const auto& [key, value] : userInfo_) {
        if (!first) text += ", ";
        first = false;
        text += key + "=" + value;
    }
    return text + "}";
}

}  // namespace platform
