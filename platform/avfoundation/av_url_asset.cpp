#include "platform/avfoundation/av_url_asset.h"

#include "platform/avfoundation/audio_output.h"
#include "platform/avfoundation/isolated_sound_decoder.h"
#include "platform/dispatch/dispatch_queue.h"
#include "platform/foundation/console.h"

namespace platform {

namespace {

constexpr const char* kPlayableKey = "playable";
constexpr const char* kDurationKey = "duration";

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string percentDecoded(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexDigit(text[i + 1]) >= 0 &&
            hexDigit(text[i + 2]) >= 0) {
            out += static_cast<char>(hexDigit(text[i + 1]) * 16 + hexDigit(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace

std::filesystem::path localPathOfURL(const std::filesystem::path& url) {
    static constexpr std::string_view kScheme = "file://";
    std::string text = url.string();
    if (!text.starts_with(kScheme)) return url;
    text.erase(0, kScheme.size());
    text = text.substr(0, text.find_first_of("?#"));
    return percentDecoded(text);
}

std::shared_ptr<AVURLAsset> AVURLAsset::URLAssetWithURL(const std::filesystem::path& url) {
    return std::make_shared<AVURLAsset>(url);
}

AVURLAsset::AVURLAsset(std::filesystem::path url) : url_(std::move(url)) {}

// Both keys come from the one decoding, whichever are asked for.
void AVURLAsset::loadValuesAsynchronouslyForKeys(const std::vector<std::string>& /*keys*/,
                                                 std::function<void()> handler) {
    {
        MutexLock lock(mutex_);
        if (status_ == AVKeyValueStatus::Unknown) status_ = AVKeyValueStatus::Loading;
    }
    AudioOutput::queue()->async([self = shared_from_this(), handler = std::move(handler)] {
        self->load();
        if (handler) handler();
    });
}

void AVURLAsset::load() {
    {
        MutexLock lock(mutex_);
        if (status_ != AVKeyValueStatus::Loading) return;
    }
    // The device opens here, on the queue, so that playing the asset never waits for it.
    AudioOutput::shared().open();
    std::string problem;
    const auto seconds = IsolatedSoundDecoder::playableDuration(localPathOfURL(url_), &problem);
    const bool playable = seconds.has_value();
    if (!playable) Console::print("AVURLAsset: cannot play " + url_.string() + " (" + problem + ")");
    MutexLock lock(mutex_);
    status_ = playable ? AVKeyValueStatus::Loaded : AVKeyValueStatus::Failed;
    if (!playable) {
        error_ = NSError::errorWithDomain("AVFoundationErrorDomain", -11828,
                                          {{NSLocalizedDescriptionKey, "Cannot Open: " + problem}});
    }
    playable_ = playable;
    duration_ = seconds.value_or(0.0);
}

AVKeyValueStatus AVURLAsset::statusOfValueForKey(const std::string& key,
                                                 std::shared_ptr<NSError>* error) const {
    MutexLock lock(mutex_);
    if (key != kPlayableKey && key != kDurationKey) {
        if (error) {
            *error = NSError::errorWithDomain("AVFoundationErrorDomain", -11800,
                                              {{NSLocalizedDescriptionKey, "Unknown key " + key}});
        }
        return AVKeyValueStatus::Failed;
    }
    if (error && status_ == AVKeyValueStatus::Failed) *error = error_;
    return status_;
}

bool AVURLAsset::isPlayable() const {
    MutexLock lock(mutex_);
    return playable_;
}

double AVURLAsset::duration() const {
    MutexLock lock(mutex_);
    return duration_;
}

}  // namespace platform
