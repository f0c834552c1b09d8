#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/dispatch/dispatch_queue.h"

namespace platform {

// The queue promises run on unless told otherwise: the main queue.
std::shared_ptr<DispatchQueue> promisesDefaultQueue();

// A value that arrives later. The work runs on its queue and fulfils the promise (or rejects it with a
// reason); continuations run on their own queues once the value is there, each exactly once, whichever
// thread settled the promise. A rejected promise skips its continuations.
template <typename Value>
class Promise {
public:
    using Fulfill = std::function<void(Value)>;
    using Reject = std::function<void(std::string reason)>;

    Promise(std::shared_ptr<DispatchQueue> queue, std::function<void(Fulfill, Reject)> work)
        : state_(std::make_shared<State>()) {
        queue->async([state = state_, work = std::move(work)] {
            work([state](Value value) { state->settle(std::move(value)); },
                 [state](std::string) { state->settle(std::nullopt); });
        });
    }

    // A promise of what `continuation` makes of the value (true when it makes nothing).
    template <typename Continuation>
    auto then(std::shared_ptr<DispatchQueue> queue, Continuation continuation) const {
        using Made = decltype(continuation(std::declval<Value>()));
        using Next = std::conditional_t<std::is_void_v<Made>, bool, Made>;
        Promise<Next> next;
        state_->whenSettled([nextState = next.state_, queue = std::move(queue),
                             continuation = std::move(continuation)](const std::optional<Value>& value) {
            if (!value) {
                nextState->settle(std::nullopt);
                return;
            }
            queue->async([nextState, continuation, value = *value] {
                if constexpr (std::is_void_v<Made>) {
                    continuation(value);
                    nextState->settle(true);
                } else {
                    nextState->settle(continuation(value));
                }
            });
        });
        return next;
    }

private:
    template <typename>
    friend class Promise;

    struct State {
        std::mutex mutex;
        bool settled = false;
        std::optional<Value> value;
        std::vector<std::function<void(const std::optional<Value>&)>> waiting;

        void settle(std::optional<Value> outcome) {
            std::vector<std::function<void(const std::optional<Value>&)>> run;
            {
                std::lock_guard lock(mutex);
                if (settled) return;
                settled = true;
                value = std::move(outcome);
                run.swap(waiting);
            }
            for (auto& next : run) next(value);
        }
        void whenSettled(std::function<void(const std::optional<Value>&)> next) {
            {
                std::lock_guard lock(mutex);
                if (!settled) {
                    waiting.push_back(std::move(next));
                    return;
                }
            }
            next(value);
        }
    };

    Promise() : state_(std::make_shared<State>()) {}

    std::shared_ptr<State> state_;
};

}  // namespace platform
