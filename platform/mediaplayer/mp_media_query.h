#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "platform/mediaplayer/mp_media_item.h"
#include "platform/mediaplayer/mp_media_property_predicate.h"

namespace platform {

// The songs of the media library that pass every filter.
class MPMediaQuery {
public:
    static std::shared_ptr<MPMediaQuery> songsQuery();

    void addFilterPredicate(std::shared_ptr<MPMediaPropertyPredicate> predicate);
    // None when the library cannot be read.
    std::optional<std::vector<std::shared_ptr<MPMediaItem>>> items() const;

private:
    std::vector<std::shared_ptr<MPMediaPropertyPredicate>> filters_;
};

}  // namespace platform
