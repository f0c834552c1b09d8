#pragma once

#include <memory>

#include "platform/avfoundation/av_url_asset.h"

namespace platform {

// One entry of a player's queue: an asset to play.
class AVPlayerItem {
public:
    static std::shared_ptr<AVPlayerItem> playerItemWithAsset(std::shared_ptr<AVURLAsset> asset) {
        return std::make_shared<AVPlayerItem>(std::move(asset));
    }

    explicit AVPlayerItem(std::shared_ptr<AVURLAsset> asset) : asset_(std::move(asset)) {}

    const std::shared_ptr<AVURLAsset>& asset() const { return asset_; }

private:
    std::shared_ptr<AVURLAsset> asset_;
};

}  // namespace platform
