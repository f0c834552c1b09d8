#include "platform/mediaplayer/mp_media_query.h"

#include <algorithm>

#include "platform/mediaplayer/mp_media_library.h"

namespace platform {

std::shared_ptr<MPMediaQuery> MPMediaQuery::songsQuery() {
    return std::make_shared<MPMediaQuery>();
}

void MPMediaQuery::addFilterPredicate(std::shared_ptr<MPMediaPropertyPredicate> predicate) {
    if (predicate) filters_.push_back(std::move(predicate));
}

std::optional<std::vector<std::shared_ptr<MPMediaItem>>> MPMediaQuery::items() const {
    auto songs = MPMediaLibrary::songs();
    if (!songs) return std::nullopt;
    std::erase_if(*songs, [this](const auto& song) {
        return !std::ranges::all_of(filters_, [&](const auto& filter) { return filter->matches(*song); });
    });
    return songs;
}

}  // namespace platform
