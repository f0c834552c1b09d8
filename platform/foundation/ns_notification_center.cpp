#include "platform/foundation/ns_notification_center.h"

namespace platform {

NSNotificationCenter& NSNotificationCenter::defaultCenter() {
    static NSNotificationCenter* center = new NSNotificationCenter();  // posts may come late at exit
    return *center;
}

void NSNotificationCenter::add(const void* owner, const NSNotificationName& name, Block block) {
    auto entry = std::make_shared<Entry>();
    entry->owner = owner;
    entry->name = name;
    entry->block = std::move(block);
    MutexLock lock(mutex_);
    entries_.push_back(std::move(entry));
}

std::shared_ptr<NSNotificationObserverToken> NSNotificationCenter::addObserverForName(
    const NSNotificationName& name, Block block) {
    auto token = std::make_shared<NSNotificationObserverToken>();
    add(token.get(), name, std::move(block));
    return token;
}

void NSNotificationCenter::addObserver(const void* owner, const NSNotificationName& name, Block block) {
    add(owner, name, std::move(block));
}

void NSNotificationCenter::removeObserver(const void* owner) {
    MutexLock lock(mutex_);
    std::erase_if(entries_, [owner](const auto& entry) {
        if (entry->owner != owner) return false;
        entry->removed = true;
        return true;
    });
}

void NSNotificationCenter::removeObserver(const void* owner, const NSNotificationName& name) {
    MutexLock lock(mutex_);
    std::erase_if(entries_, [&](const auto& entry) {
        if (entry->owner != owner || entry->name != name) return false;
        entry->removed = true;
        return true;
    });
}

void NSNotificationCenter::postNotificationName(const NSNotificationName& name, std::any object) {
    postNotification(NSNotification{name, std::move(object)});
}

void NSNotificationCenter::postNotification(const NSNotification& notification) {
    std::vector<std::shared_ptr<Entry>> matching;
    {
        MutexLock lock(mutex_);
        for (const auto& entry : entries_) {
            if (entry->name == notification.name) matching.push_back(entry);
        }
    }
    for (const auto& entry : matching) {
        if (!entry->removed) entry->block(notification);
    }
}

}  // namespace platform
