#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/uikit/nibs/ui_nib_builder.h"

namespace platform {

class NSBundle;

// A nib by name: code registered under that name builds its objects and states its outlets (see
// UINibBuilder) each time it is instantiated. The screens register theirs at start. Main thread.
class UINib {
public:
    using Builder = std::function<void(UINibBuilder&)>;

    // A later registration under the same name replaces the earlier one.
    static void registerNib(const std::string& name, Builder builder);
    // Null when no nib of that name is registered. The bundle is the main bundle, always.
    static std::shared_ptr<UINib> nibWithNibName(const std::string& name,
                                                 const std::shared_ptr<NSBundle>& bundle = nullptr);

    const std::string& name() const { return name_; }
    // Builds a fresh set of the nib's objects with `owner` (which may be null) as the file's owner and
    // answers the top-level ones.
    std::vector<UINibObject> instantiateWithOwner(const std::shared_ptr<UIViewController>& owner) const;

    UINib(std::string name, Builder builder) : name_(std::move(name)), builder_(std::move(builder)) {}

private:
    std::string name_;
    Builder builder_;
};

}  // namespace platform
