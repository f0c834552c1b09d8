#include "platform/usernotifications/un_user_notification_center.h"

#include <algorithm>
#include <atomic>
#include <set>

#include "platform/foundation/console.h"
#include "platform/foundation/ns_bundle.h"
#include "platform/foundation/ns_run_loop.h"
#include "platform/usernotifications/desktop_notification_service.h"

namespace platform {

namespace {

constexpr const char* kErrorDomain = "UNErrorDomain";
constexpr std::int64_t kInvalidTrigger = 1;
constexpr std::int64_t kInvalidRequest = 2;

std::atomic<bool> deniesAuthorization{false};

struct CenterSlot {
    Mutex mutex;
    std::shared_ptr<UNUserNotificationCenter> center GUARDED_BY(mutex);
};

CenterSlot& slot() {
    static auto* s = new CenterSlot();  // never destroyed: the centre's queue may still ask at exit
    return *s;
}

std::shared_ptr<NSError> refusal(std::int64_t code, const std::string& reason) {
    return NSError::errorWithDomain(kErrorDomain, code, {{NSLocalizedDescriptionKey, reason}});
}

bool byFireDate(const PendingNotification& a, const PendingNotification& b) {
    return a.fireDate < b.fireDate;
}

}  // namespace

std::shared_ptr<UNUserNotificationCenter> UNUserNotificationCenter::currentNotificationCenter() {
    auto& s = slot();
    MutexLock lock(s.mutex);
    if (!s.center) s.center = std::make_shared<UNUserNotificationCenter>();
    return s.center;
}

void UNUserNotificationCenter::resetCurrentForTesting() {
    auto& s = slot();
    MutexLock lock(s.mutex);
    s.center = nullptr;
}

void UNUserNotificationCenter::setDeniesAuthorizationForTesting(bool denies) {
    deniesAuthorization = denies;
}

UNUserNotificationCenter::UNUserNotificationCenter()
    : queue_(DispatchQueue::createSerial("UNUserNotificationCenter")) {}

UNUserNotificationCenter::~UNUserNotificationCenter() {
    MutexLock lock(mutex_);
    if (alarm_) Clock::shared().cancel(*alarm_);
}

void UNUserNotificationCenter::perform(std::function<void(UNUserNotificationCenter&)> work) {
    queue_->async([self = shared_from_this(), work = std::move(work)] {
        {
            MutexLock lock(self->mutex_);
            self->loadIfNeeded();
            self->followTimeZone();
        }
        work(*self);
    });
}

// --- Authorisation -----------------------------------------------------------------------------

void UNUserNotificationCenter::requestAuthorizationWithOptions(UNAuthorizationOptions /*options*/,
                                                               AuthorizationHandler completionHandler) {
    perform([completionHandler = std::move(completionHandler)](UNUserNotificationCenter& center) {
        {
            MutexLock lock(center.mutex_);
            center.authorizationRequested_ = true;
        }
        if (completionHandler) completionHandler(!deniesAuthorization, nullptr);
    });
}

void UNUserNotificationCenter::getNotificationSettingsWithCompletionHandler(
    SettingsHandler completionHandler) {
    perform([completionHandler = std::move(completionHandler)](UNUserNotificationCenter& center) {
        UNNotificationSettings settings;
        bool requested;
        {
            MutexLock lock(center.mutex_);
            requested = center.authorizationRequested_;
        }
        if (requested) {
            const bool allowed = !deniesAuthorization;
            const auto setting = allowed ? UNNotificationSetting::Enabled : UNNotificationSetting::Disabled;
            settings = {allowed ? UNAuthorizationStatus::Authorized : UNAuthorizationStatus::Denied, setting,
                        setting, setting};
        }
        if (completionHandler) completionHandler(settings);
    });
}

bool UNUserNotificationCenter::isAuthorized() const {
    MutexLock lock(mutex_);
    return authorizationRequested_ && !deniesAuthorization;
}

// --- Requests ----------------------------------------------------------------------------------

void UNUserNotificationCenter::addNotificationRequest(std::shared_ptr<UNNotificationRequest> request,
                                                      ErrorHandler completionHandler) {
    perform([request = std::move(request),
             completionHandler = std::move(completionHandler)](UNUserNotificationCenter& center) {
        std::shared_ptr<NSError> error;
        if (!request || request->identifier().empty()) {
            error = refusal(kInvalidRequest, "A notification request needs an identifier.");
        } else if (const auto& trigger = request->trigger(); trigger && !trigger->invalidReason().empty()) {
            error = refusal(kInvalidTrigger, trigger->invalidReason());
        } else {
            const NSDate now = NSDate::now();
            const NSDate fireDate = trigger ? trigger->nextDateAfter(now).value_or(now) : now;
            MutexLock lock(center.mutex_);
            std::erase_if(center.pending_, [&](const auto& entry) {
                return entry.request->identifier() == request->identifier();
            });
            center.pending_.push_back({request, fireDate});
            std::stable_sort(center.pending_.begin(), center.pending_.end(), byFireDate);
            center.saveAndArm();
        }
        if (!error) center.settle();
        if (completionHandler) completionHandler(error);
    });
}

void UNUserNotificationCenter::removePendingNotificationRequestsWithIdentifiers(
    std::vector<std::string> identifiers) {
    perform([identifiers = std::move(identifiers)](UNUserNotificationCenter& center) {
        const std::set<std::string> removed(identifiers.begin(), identifiers.end());
        MutexLock lock(center.mutex_);
        const auto count = std::erase_if(center.pending_, [&](const auto& entry) {
            return removed.contains(entry.request->identifier());
        });
        if (count > 0) center.saveAndArm();
    });
}

void UNUserNotificationCenter::getPendingNotificationRequestsWithCompletionHandler(
    RequestsHandler completionHandler) {
    perform([completionHandler = std::move(completionHandler)](UNUserNotificationCenter& center) {
        std::vector<std::shared_ptr<UNNotificationRequest>> requests;
        {
            MutexLock lock(center.mutex_);
            for (const auto& entry : center.pending_) requests.push_back(entry.request);
        }
        if (completionHandler) completionHandler(std::move(requests));
    });
}

void UNUserNotificationCenter::getDeliveredNotificationsWithCompletionHandler(
    NotificationsHandler completionHandler) {
    perform([completionHandler = std::move(completionHandler)](UNUserNotificationCenter& center) {
        std::vector<std::shared_ptr<UNNotification>> delivered;
        {
            MutexLock lock(center.mutex_);
            delivered = center.delivered_;
        }
        if (completionHandler) completionHandler(std::move(delivered));
    });
}

std::shared_ptr<UNUserNotificationCenterDelegate> UNUserNotificationCenter::delegate() const {
    MutexLock lock(mutex_);
    return delegate_.lock();
}

void UNUserNotificationCenter::setDelegate(
    const std::shared_ptr<UNUserNotificationCenterDelegate>& delegate) {
    MutexLock lock(mutex_);
    delegate_ = delegate;
}

// --- Keeping and firing ------------------------------------------------------------------------

void UNUserNotificationCenter::loadIfNeeded() {
    if (loaded_) return;
    loaded_ = true;
    zone_ = NSTimeZone::defaultTimeZone();
    const NSDate now = NSDate::now();
    bool changed = false;
    for (auto& entry : PendingNotificationStore::load()) {
        if (entry.fireDate > now) {
            pending_.push_back(std::move(entry));
            continue;
        }
        changed = true;
        const auto& trigger = entry.request->trigger();
        const auto next = trigger && trigger->repeats() ? trigger->nextDateAfter(now) : std::nullopt;
        if (next) {
            pending_.push_back({entry.request, *next});
        } else {
            Console::print("UNUserNotificationCenter: \"" + entry.request->identifier() +
                           "\" fell due while the app was not running and was missed");
        }
    }
    // The stored dates may have been computed in another zone.
    if (recomputeWallTimes(now)) changed = true;
    std::stable_sort(pending_.begin(), pending_.end(), byFireDate);
    if (changed) {
        saveAndArm();
    } else {
        arm();
    }
}

void UNUserNotificationCenter::followTimeZone() {
    const NSTimeZone zone = NSTimeZone::defaultTimeZone();
    if (zone == zone_) return;
    zone_ = zone;
    if (!recomputeWallTimes(NSDate::now())) return;
    std::stable_sort(pending_.begin(), pending_.end(), byFireDate);
    saveAndArm();
}

bool UNUserNotificationCenter::recomputeWallTimes(NSDate now) {
    bool changed = false;
    for (auto& entry : pending_) {
        const auto& trigger = entry.request->trigger();
        if (!trigger || !trigger->repeats() || !trigger->namesLocalTime()) continue;
        if (const auto next = trigger->nextDateAfter(now); next && *next != entry.fireDate) {
            entry.fireDate = *next;
            changed = true;
        }
    }
    return changed;
}

void UNUserNotificationCenter::saveAndArm() {
    PendingNotificationStore::save(pending_);
    arm();
}

void UNUserNotificationCenter::arm() {
    auto& clock = Clock::shared();
    if (alarm_) clock.cancel(*alarm_);
    alarm_.reset();
    if (pending_.empty()) return;
    std::weak_ptr<UNUserNotificationCenter> weak = weak_from_this();
    alarm_ = clock.schedule(pending_.front().fireDate.timeIntervalSinceReferenceDate(), [weak] {
        if (auto center = weak.lock()) center->perform([](UNUserNotificationCenter& c) { c.settle(); });
    });
}

void UNUserNotificationCenter::settle() {
    std::vector<std::shared_ptr<UNNotification>> due;
    {
        MutexLock lock(mutex_);
        const NSDate now = NSDate::now();
        std::vector<PendingNotification> later;
        for (const auto& entry : pending_) {
            if (entry.fireDate > now) {
                later.push_back(entry);
                continue;
            }
            due.push_back(std::make_shared<UNNotification>(entry.fireDate, entry.request));
            const auto& trigger = entry.request->trigger();
            // A repeating request that missed several fires fires once and moves on past now.
            if (trigger && trigger->repeats()) {
                if (auto next = trigger->nextDateAfter(std::max(entry.fireDate, now))) {
                    later.push_back({entry.request, *next});
                }
            }
        }
        if (due.empty()) return;
        pending_ = std::move(later);
        std::stable_sort(pending_.begin(), pending_.end(), byFireDate);
        saveAndArm();
    }
    for (const auto& notification : due) present(notification);
}

void UNUserNotificationCenter::present(const std::shared_ptr<UNNotification>& notification) {
    if (!isAuthorized()) return;
    if (NSRunLoop::main().isSuspended()) {
        show(notification, true);
        return;
    }
    DispatchQueue::main()->async([self = shared_from_this(), notification] {
        const auto delegate = self->delegate();
        if (!delegate) return;
        delegate->userNotificationCenter(
            *self, notification, [self, notification](UNNotificationPresentationOptions options) {
                if (!(options &
                      (UNNotificationPresentationOptionAlert | UNNotificationPresentationOptionSound)))
                    return;
                const bool withSound = options & UNNotificationPresentationOptionSound;
                self->queue_->async([self, notification, withSound] { self->show(notification, withSound); });
            });
    });
}

void UNUserNotificationCenter::show(const std::shared_ptr<UNNotification>& notification, bool withSound) {
    {
        MutexLock lock(mutex_);
        delivered_.push_back(notification);
    }
    const auto& content = notification->request()->content();
    DesktopNotificationService::Sound sound;
    if (withSound && content.sound()) {
        sound.enabled = true;
        if (!content.sound()->isDefault()) {
            sound.file = NSBundle::mainBundle()->pathForResource(content.sound()->name(), "").value_or("");
        }
    }
    std::string problem;
    if (!DesktopNotificationService::show(content.title(), content.body(), sound, &problem)) {
        Console::print("UNUserNotificationCenter: no notification service answered (" + problem +
                       "): " + content.body());
    }
}

}  // namespace platform
