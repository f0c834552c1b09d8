#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/foundation/mutex.h"
#include "platform/foundation/ns_error.h"

namespace platform {

enum class AVKeyValueStatus : std::int64_t {
    Unknown = 0,
    Loading = 1,
    Loaded = 2,
    Failed = 3,
    Cancelled = 4
};

// A sound file named by a path or a file URL ("file:///…", percent-encoded, a query such as "?id=7"
// ignored). Its keys, "playable" and "duration", load together: the start of the file is decoded on
// the audio queue, never on the main thread. A file that decodes is playable even with sound off
// (it is then silent); one that does not is refused with one console line.
class AVURLAsset : public std::enable_shared_from_this<AVURLAsset> {
public:
    static std::shared_ptr<AVURLAsset> URLAssetWithURL(const std::filesystem::path& url);

    explicit AVURLAsset(std::filesystem::path url);

    const std::filesystem::path& URL() const { return url_; }

    // Calls `handler` on the audio queue once every key has a final status.
    void loadValuesAsynchronouslyForKeys(const std::vector<std::string>& keys, std::function<void()> handler);
    AVKeyValueStatus statusOfValueForKey(const std::string& key,
                                         std::shared_ptr<NSError>* error = nullptr) const;

    bool isPlayable() const;
    // Seconds of one pass; 0 until loaded.
    double duration() const;

private:
    void load();

    std::filesystem::path url_;
    mutable Mutex mutex_;
    AVKeyValueStatus status_ GUARDED_BY(mutex_) = AVKeyValueStatus::Unknown;
    std::shared_ptr<NSError> error_ GUARDED_BY(mutex_);
    bool playable_ GUARDED_BY(mutex_) = false;
    double duration_ GUARDED_BY(mutex_) = 0;
};

// The local file a URL names: a plain path as it is, a file URL without its scheme, query and escapes.
std::filesystem::path localPathOfURL(const std::filesystem::path& url);

}  // namespace platform
