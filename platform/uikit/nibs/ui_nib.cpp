#include "platform/uikit/nibs/ui_nib.h"

#include <map>

namespace platform {

namespace {

std::map<std::string, UINib::Builder>& registry() {
    static std::map<std::string, UINib::Builder> nibs;
    return nibs;
}

}  // namespace

void UINib::registerNib(const std::string& name, Builder builder) {
    registry()[name] = std::move(builder);
}

std::shared_ptr<UINib> UINib::nibWithNibName(const std::string& name, const std::shared_ptr<NSBundle>& bundle) {
    (void)bundle;
    auto it = registry().find(name);
    if (it == registry().end() || !it->second) return nullptr;
    return std::make_shared<UINib>(name, it->second);
}

std::vector<UINibObject> UINib::instantiateWithOwner(const std::shared_ptr<UIViewController>& owner) const {
    UINibBuilder builder(owner);
    builder_(builder);
    return builder.finish();
}

}  // namespace platform
