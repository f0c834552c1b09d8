#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/foundation/ns_notification_center.h"

using namespace platform;

namespace {

enum class Channel { alarm, ticking };

struct Listener {
    std::vector<std::string> heard;
    void onPing(const NSNotification& note) { heard.push_back(note.name); }
};

}  // namespace

TEST(NotificationCenterPosting, ObserversReceiveObjectsOfEveryKind) {
    NSNotificationCenter center;
    std::vector<std::string> seen;
    auto token = center.addObserverForName("Changed", [&](const NSNotification& note) {
        if (!note.object.has_value()) seen.push_back("none");
        if (auto* flag = note.objectAs<bool>()) seen.push_back(*flag ? "true" : "false");
        if (auto* number = note.objectAs<int>()) seen.push_back(std::to_string(*number));
        if (auto* channel = note.objectAs<Channel>())
            seen.push_back(*channel == Channel::alarm ? "alarm" : "ticking");
        if (auto* pair = note.objectAs<std::pair<std::string, std::string>>())
            seen.push_back(pair->first + "/" + pair->second);
    });

    center.postNotificationName("Changed");
    center.postNotificationName("Changed", true);
    center.postNotificationName("Changed", 0);
    center.postNotificationName("Changed", Channel::ticking);
    center.postNotificationName("Changed",
                                std::make_pair(std::string("Focus Session"), std::string("Focus")));
    center.postNotificationName("Other", 7);

    EXPECT_EQ(seen, (std::vector<std::string>{"none", "true", "0", "ticking", "Focus Session/Focus"}));
}

TEST(NotificationCenterPosting, ObserversRunInTheOrderAddedOnThePostingThread) {
    NSNotificationCenter center;
    std::vector<int> order;
    std::thread::id observerThread;
    int owner = 0;
    center.addObserver(&owner, "Tick", [&](const NSNotification&) { order.push_back(1); });
    auto token = center.addObserverForName("Tick", [&](const NSNotification&) {
        order.push_back(2);
        observerThread = std::this_thread::get_id();
    });
    std::thread poster([&] { center.postNotificationName("Tick"); });
    const auto posterId = poster.get_id();
    poster.join();
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
    EXPECT_EQ(observerThread, posterId);
}

TEST(NotificationCenterRemoval, ObserverRemovingItselfOrAnotherDuringAPostIsSafe) {
    NSNotificationCenter center;
    std::vector<std::string> calls;
    int first = 0, second = 0, third = 0;
    center.addObserver(&first, "Go", [&](const NSNotification&) {
        calls.push_back("first");
        center.removeObserver(&first);  // itself
        center.removeObserver(&third);  // one still waiting in this post
    });
    center.addObserver(&second, "Go", [&](const NSNotification&) { calls.push_back("second"); });
    center.addObserver(&third, "Go", [&](const NSNotification&) { calls.push_back("third"); });

    center.postNotificationName("Go");
    center.postNotificationName("Go");
    EXPECT_EQ(calls, (std::vector<std::string>{"first", "second", "second"}));
}

TEST(NotificationCenterRemoval, ByNameKeepsTheOwnersOtherObserversAndByToken) {
    NSNotificationCenter center;
    int owner = 0;
    int a = 0, b = 0, heard = 0;
    center.addObserver(&owner, "A", [&](const NSNotification&) { ++a; });
    center.addObserver(&owner, "B", [&](const NSNotification&) { ++b; });
    auto token = center.addObserverForName("B", [&](const NSNotification&) { ++heard; });
    center.removeObserver(&owner, "A");
    center.postNotificationName("A");
    center.postNotificationName("B");
    center.removeObserver(token.get());
    center.postNotificationName("B");
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 2);
    EXPECT_EQ(heard, 1);
}

TEST(NotificationCenterRemoval, MethodObserverIsHeldWeaklyAndSkippedOnceGone) {
    NSNotificationCenter center;
    auto listener = std::make_shared<Listener>();
    center.addObserver(listener, &Listener::onPing, "Ping");
    center.postNotificationName("Ping");
    EXPECT_EQ(listener->heard.size(), 1u);

    std::weak_ptr<Listener> weak = listener;
    listener.reset();
    EXPECT_TRUE(weak.expired());          // the centre did not keep it alive
    center.postNotificationName("Ping");  // and does not call into a destroyed object
}

TEST(NotificationCenterPosting, ObserverAddedDuringAPostHearsOnlyLaterPosts) {
    NSNotificationCenter center;
    int late = 0;
    int owner = 0;
    auto token = center.addObserverForName("Go", [&](const NSNotification&) {
        center.addObserver(&owner, "Go", [&](const NSNotification&) { ++late; });
    });
    center.postNotificationName("Go");
    EXPECT_EQ(late, 0);
    center.removeObserver(token.get());
    center.postNotificationName("Go");
    EXPECT_EQ(late, 1);
}
