#include "platform/avfoundation/av_audio_session.h"

#include "platform/avfoundation/audio_output.h"
#include "platform/foundation/value.h"

namespace platform {

const AVAudioSessionCategory& AVAudioSessionCategoryPlayback =
    *new AVAudioSessionCategory("AVAudioSessionCategoryPlayback");
const AVAudioSessionMode& AVAudioSessionModeDefault = *new AVAudioSessionMode("AVAudioSessionModeDefault");
const NSNotificationName& AVAudioSessionInterruptionNotification =
    *new NSNotificationName("AVAudioSessionInterruptionNotification");
const NSNotificationName& AVAudioSessionRouteChangeNotification =
    *new NSNotificationName("AVAudioSessionRouteChangeNotification");
const std::string& AVAudioSessionInterruptionTypeKey = *new std::string("AVAudioSessionInterruptionTypeKey");
const std::string& AVAudioSessionRouteChangeReasonKey =
    *new std::string("AVAudioSessionRouteChangeReasonKey");

namespace {

constexpr const char* kErrorDomain = "NSOSStatusErrorDomain";
// The platform's codes: a parameter it does not know, and a device that cannot start now.
constexpr std::int64_t kBadParameter = -50;
constexpr std::int64_t kCannotStart = 561015905;

std::shared_ptr<NSError> failure(std::int64_t code, const std::string& description) {
    return NSError::errorWithDomain(kErrorDomain, code, {{NSLocalizedDescriptionKey, description}});
}

bool fail(std::shared_ptr<NSError>* error, std::shared_ptr<NSError> reason) {
    if (error) *error = std::move(reason);
    return false;
}

// Takes one of the failures a test asked for.
bool takeFailure(int& count) {
    if (count <= 0) return false;
    --count;
    return true;
}

}  // namespace

std::shared_ptr<AVAudioSession> AVAudioSession::sharedInstance() {
    static auto* session = new std::shared_ptr<AVAudioSession>(std::make_shared<AVAudioSession>());
    return *session;
}

bool AVAudioSession::setCategory(const AVAudioSessionCategory& category, const AVAudioSessionMode& mode,
                                 AVAudioSessionCategoryOptions options, std::shared_ptr<NSError>* error) {
    if (category != AVAudioSessionCategoryPlayback || mode != AVAudioSessionModeDefault) {
        return fail(error, failure(kBadParameter,
                                   "The audio session does not offer " + category + " with " + mode + "."));
    }
    MutexLock lock(mutex_);
    if (takeFailure(failingCategoryChanges_)) {
        return fail(error, failure(kCannotStart, "The audio session's category could not be set."));
    }
    category_ = category;
    mode_ = mode;
    options_ = options;
    return true;
}

bool AVAudioSession::setActive(bool active, std::shared_ptr<NSError>* error) {
    {
        MutexLock lock(mutex_);
        if (active && takeFailure(failingActivations_)) {
            return fail(error, failure(kCannotStart, "The audio session could not be activated."));
        }
        active_ = active;
    }
    if (active) AudioOutput::shared().openSoon();
    return true;
}

AVAudioSessionCategory AVAudioSession::category() const {
    MutexLock lock(mutex_);
    return category_;
}

AVAudioSessionMode AVAudioSession::mode() const {
    MutexLock lock(mutex_);
    return mode_;
}

AVAudioSessionCategoryOptions AVAudioSession::categoryOptions() const {
    MutexLock lock(mutex_);
    return options_;
}

bool AVAudioSession::isActive() const {
    MutexLock lock(mutex_);
    return active_;
}

void AVAudioSession::reportInterruption(AVAudioSessionInterruptionType type) {
    Value::Dictionary info{{AVAudioSessionInterruptionTypeKey, Value(static_cast<std::uint64_t>(type))}};
    NSNotificationCenter::defaultCenter().postNotificationName(AVAudioSessionInterruptionNotification,
                                                               Value(std::move(info)));
}

void AVAudioSession::reportRouteChange(AVAudioSessionRouteChangeReason reason) {
    Value::Dictionary info{{AVAudioSessionRouteChangeReasonKey, Value(static_cast<std::uint64_t>(reason))}};
    NSNotificationCenter::defaultCenter().postNotificationName(AVAudioSessionRouteChangeNotification,
                                                               Value(std::move(info)));
}

void AVAudioSession::failNextCategoryChangesForTesting(int count) {
    MutexLock lock(mutex_);
    failingCategoryChanges_ = count;
}

void AVAudioSession::failNextActivationsForTesting(int count) {
    MutexLock lock(mutex_);
    failingActivations_ = count;
}

}  // namespace platform
