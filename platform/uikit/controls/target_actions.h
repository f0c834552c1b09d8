#pragma once

#include <functional>
#include <memory>
#include <type_traits>
#include <vector>

namespace platform {

// The target-action pairs of a control or a gesture recogniser, each for a set of events (a
// recogniser's pairs take every event). The target only names a pair for removal; an action that must
// not outlive its target is made with `weakly`.
template <typename Sender>
class TargetActions {
public:
    using Action = std::function<void(Sender&)>;

    void add(const void* target, Action action, unsigned events = ~0u) {
        if (action && events) entries_.push_back({target, std::move(action), events});
    }
    // A null target removes the events from every pair.
    void remove(const void* target, unsigned events = ~0u) {
        for (auto& entry : entries_) {
            if (!target || entry.target == target) entry.events &= ~events;
        }
        std::erase_if(entries_, [](const Entry& entry) { return entry.events == 0; });
    }
    // In the order the pairs were added; the actions may add or remove pairs meanwhile.
    void send(Sender& sender, unsigned events) const {
        const auto entries = entries_;
        for (const auto& entry : entries) {
            if (entry.events & events) entry.action(sender);
        }
    }

    // `method` of `target`, given the sender (as the sender's own class, which it must be) if it takes
    // one; nothing once the target is gone.
    template <typename T, typename R, typename Sent>
    requires std::is_base_of_v<Sender, Sent>
    static Action weakly(const std::shared_ptr<T>& target, R (T::*method)(Sent&)) {
        return [weak = std::weak_ptr<T>(target), method](Sender& sender) {
            auto strong = weak.lock();
            if (auto* sent = dynamic_cast<Sent*>(&sender); strong && sent) ((*strong).*method)(*sent);
        };
    }
    template <typename T, typename Method>
    static Action weakly(const std::shared_ptr<T>& target, Method method) {
        static_assert(std::is_invocable_v<Method, T&, Sender&> || std::is_invocable_v<Method, T&>);
        return [weak = std::weak_ptr<T>(target), method](Sender& sender) {
            auto strong = weak.lock();
            if (!strong) return;
            if constexpr (std::is_invocable_v<Method, T&, Sender&>) {
                std::invoke(method, *strong, sender);
            } else {
                std::invoke(method, *strong);
            }
        };
    }

private:
    struct Entry {
        const void* target;
        Action action;
        unsigned events;
    };
    std::vector<Entry> entries_;
};

}  // namespace platform
