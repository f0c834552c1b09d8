#pragma once

#include <memory>
#include <vector>

#include "platform/mediaplayer/mp_media_item.h"

namespace platform {

// The items a media picker hands back, in the order they were picked.
class MPMediaItemCollection {
public:
    explicit MPMediaItemCollection(std::vector<std::shared_ptr<MPMediaItem>> items) : items_(std::move(items)) {}

    const std::vector<std::shared_ptr<MPMediaItem>>& items() const { return items_; }
    std::size_t count() const { return items_.size(); }

private:
    std::vector<std::shared_ptr<MPMediaItem>> items_;
};

}  // namespace platform
