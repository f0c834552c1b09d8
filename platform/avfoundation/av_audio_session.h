#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/foundation/mutex.h"
#include "platform/foundation/ns_error.h"
#include "platform/foundation/ns_notification_center.h"

namespace platform {

using AVAudioSessionCategory = std::string;
using AVAudioSessionMode = std::string;
extern const AVAudioSessionCategory& AVAudioSessionCategoryPlayback;
extern const AVAudioSessionMode& AVAudioSessionModeDefault;

// Bit flags with the platform's values.
enum AVAudioSessionCategoryOptions : std::uint64_t {
    AVAudioSessionCategoryOptionMixWithOthers = 1,
    AVAudioSessionCategoryOptionDuckOthers = 2,
    AVAudioSessionCategoryOptionInterruptSpokenAudioAndMixWithOthers = 17,
};

enum class AVAudioSessionInterruptionType : std::uint64_t { Ended = 0, Began = 1 };
enum class AVAudioSessionRouteChangeReason : std::uint64_t {
    Unknown = 0,
    NewDeviceAvailable = 1,
    OldDeviceUnavailable = 2,
    CategoryChange = 3,
};

// Posted with a dictionary Value as the object (the platform's user info): the interruption under
// AVAudioSessionInterruptionTypeKey, the route change under AVAudioSessionRouteChangeReasonKey, each
// an unsigned integer.
extern const NSNotificationName& AVAudioSessionInterruptionNotification;
extern const NSNotificationName& AVAudioSessionRouteChangeNotification;
extern const std::string& AVAudioSessionInterruptionTypeKey;
extern const std::string& AVAudioSessionRouteChangeReasonKey;

// How the app's sounds meet the rest of the desktop. Activating the session opens the output device
// in the background; a machine without one is "sound off", which is no failure.
class AVAudioSession {
public:
    static std::shared_ptr<AVAudioSession> sharedInstance();

    bool setCategory(const AVAudioSessionCategory& category, const AVAudioSessionMode& mode,
                     AVAudioSessionCategoryOptions options, std::shared_ptr<NSError>* error);
    bool setActive(bool active, std::shared_ptr<NSError>* error);

    AVAudioSessionCategory category() const;
    AVAudioSessionMode mode() const;
    AVAudioSessionCategoryOptions categoryOptions() const;
    bool isActive() const;

    // What the desktop shell reports: another program took the sound over or gave it back, an output
    // device came or went.
    void reportInterruption(AVAudioSessionInterruptionType type);
    void reportRouteChange(AVAudioSessionRouteChangeReason reason);

    // Tests: the next `count` category changes or activations fail, as a busy device would make them.
    void failNextCategoryChangesForTesting(int count);
    void failNextActivationsForTesting(int count);

private:
    mutable Mutex mutex_;
    AVAudioSessionCategory category_ GUARDED_BY(mutex_);
    AVAudioSessionMode mode_ GUARDED_BY(mutex_);
    AVAudioSessionCategoryOptions options_ GUARDED_BY(mutex_) = {};
    bool active_ GUARDED_BY(mutex_) = false;
    int failingCategoryChanges_ GUARDED_BY(mutex_) = 0;
    int failingActivations_ GUARDED_BY(mutex_) = 0;
};

}  // namespace platform
