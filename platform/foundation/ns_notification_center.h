#pragma once

#include <any>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/foundation/mutex.h"

namespace platform {

using NSNotificationName = std::string;

// A post: a name and an object of any type (a Value, a bool, an enum, a pair, ...), or none.
struct NSNotification {
    NSNotificationName name;
    std::any object;

    // The object as a T, or null when there is none or it is of another type.
    template <typename T>
    const T* objectAs() const {
        return std::any_cast<T>(&object);
    }
};

// Observers of a block-based registration are removed through this token.
class NSNotificationObserverToken {};

// The process-wide notification centre. Observers run on the posting thread, in the order they were
// added. An observer may remove itself or another observer while a post is running: a removed
// observer is not called again, not even later in the same post.
class NSNotificationCenter {
public:
    using Block = std::function<void(const NSNotification&)>;

    static NSNotificationCenter& defaultCenter();

    // Block observer; keep the token to remove it.
    std::shared_ptr<NSNotificationObserverToken> addObserverForName(const NSNotificationName& name,
                                                                    Block block);

    // Observer identified by `owner` (usually `this`); removeObserver(owner) removes it.
    void addObserver(const void* owner, const NSNotificationName& name, Block block);

    // Object and method: the centre holds the object weakly and skips it once it is gone.
    template <typename T>
    void addObserver(const std::shared_ptr<T>& observer, void (T::*method)(const NSNotification&),
                     const NSNotificationName& name) {
        std::weak_ptr<T> weak = observer;
        addObserver(observer.get(), name, [weak, method](const NSNotification& note) {
            if (auto strong = weak.lock()) (strong.get()->*method)(note);
        });
    }

    void removeObserver(const void* owner);
    void removeObserver(const void* owner, const NSNotificationName& name);

    void postNotificationName(const NSNotificationName& name, std::any object = {});
    void postNotification(const NSNotification& notification);

private:
    struct Entry {
        const void* owner;
        NSNotificationName name;
        Block block;
        std::atomic<bool> removed{false};
    };

    void add(const void* owner, const NSNotificationName& name, Block block);

    Mutex mutex_;
    std::vector<std::shared_ptr<Entry>> entries_ GUARDED_BY(mutex_);
};

}  // namespace platform
