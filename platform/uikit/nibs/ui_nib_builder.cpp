#include "platform/uikit/nibs/ui_nib_builder.h"

#include "platform/uikit/controllers/ui_view_controller.h"
#include "platform/uikit/views/ui_view.h"

namespace platform {

void UINibObject::awakeFromNib() const {
    if (view_) view_->awakeFromNib();
    if (controller_) controller_->awakeFromNib();
}

std::vector<UINibObject> UINibBuilder::finish() {
    for (const auto& connection : connections_) connection();
    if (owner_ && ownerView_) owner_->setView(ownerView_);
    for (const auto& connection : ownerConnections_) connection();
    for (const auto& object : objects_) object.awakeFromNib();
    return topLevel_;
}

}  // namespace platform
