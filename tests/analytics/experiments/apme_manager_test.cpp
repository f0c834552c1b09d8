#include <gtest/gtest.h>

#include <thread>

#include "analytics/experiments/apme_manager.h"
#include "platform/foundation/console.h"
#include "tests/analytics/experiments/snapshot_builder.h"
#include "tests/analytics/monitored_test.h"

using namespace analytics;
using analytics_test::makeSnapshot;
using platform::Console;

namespace {

class ExperimentClient : public quorvel::testing::MonitoredTest {
protected:
    std::shared_ptr<APMEClient> registerSDK(const std::string& name) {
        return manager->registerSDKProperty(APMESDKProperty::initWithName(name),
                                            {{"enabled", NanoNumber::withInt(0)}});
    }

    // The console lines logged so far.
    std::vector<std::string> logged() {
        clock->runUntilIdle();
        return capture.lines();
    }

    Console::Capture capture;
    std::shared_ptr<APMEManager> manager = std::make_shared<APMEManager>();
};

struct SnapshotListener : APMEExperimentObserverDelegate {
    void clientDidReceiveNewSnapshot(const std::shared_ptr<APMEClient>& client) override {
        heardFrom.push_back(client->sdkName());
        const auto* queue = platform::DispatchQueue::current();
        heardOn.push_back(queue ? queue->label() : "");
    }
    std::vector<std::string> heardFrom;
    std::vector<std::string> heardOn;
};

bool containsCode(const std::vector<std::string>& lines, const std::string& code) {
    for (const auto& line : lines) {
        if (line.find("[I-ACS" + code + "]") != std::string::npos) return true;
    }
    return false;
}

}  // namespace

TEST_F(ExperimentClient, RegistrationRefusesMissingPropertiesNamesAndFlags) {
    EXPECT_EQ(APMESDKProperty::initWithName(std::nullopt), nullptr);
    EXPECT_EQ(manager->registerSDKProperty(nullptr, {}), nullptr);
    EXPECT_EQ(registerSDK(""), nullptr);
    // A default that is neither a number nor a string is no flag.
    EXPECT_EQ(manager->registerSDKProperty(APMESDKProperty::initWithName("sdk"), {{"broken", NanoData{1}}}),
              nullptr);
    const auto lines = logged();
    for (const char* code : {"800000", "800001", "800002", "850002"})
        EXPECT_TRUE(containsCode(lines, code)) << code;
}

TEST_F(ExperimentClient, FlagsAnswerOnlyFromTheActivatedSnapshotOfTheirSDK) {
    auto client = registerSDK("sdk");
    auto other = registerSDK("other");
    auto listener = std::make_shared<SnapshotListener>();
    client->setDelegate(listener);
    // The registered defaults are not answered: without a snapshot the caller's own setting decides.
    EXPECT_TRUE(
        std::holds_alternative<std::monostate>(client->objectForKeyedSubscript(std::string("enabled"))));

    ASSERT_TRUE(
        manager->receiveSnapshot(makeSnapshot("sdk", 7, {{"enabled", NanoNumber::withInt(1)}}).get()));
    EXPECT_EQ(listener->heardFrom, std::vector<std::string>{"sdk"});
    EXPECT_EQ(listener->heardOn, std::vector<std::string>{APMEManager::kQueueLabel});
    EXPECT_TRUE(
        std::holds_alternative<std::monostate>(client->objectForKeyedSubscript(std::string("enabled"))));

    ASSERT_TRUE(client->activateLatestSnapshot(nullptr));
    EXPECT_EQ(std::get<NanoNumber>(client->objectForKeyedSubscript(std::string("enabled"))).longLongValue(),
              1);
    EXPECT_TRUE(
        std::holds_alternative<std::monostate>(other->objectForKeyedSubscript(std::string("enabled"))));
    EXPECT_EQ(manager->experimentIDs(), std::vector<std::int32_t>{7});

    manager->reset();
    EXPECT_TRUE(
        std::holds_alternative<std::monostate>(client->objectForKeyedSubscript(std::string("enabled"))));
    EXPECT_TRUE(manager->experimentIDs().empty());
}

TEST_F(ExperimentClient, RefusesNamesThatAreNoStringsAndMessagesThatAreNoSnapshots) {
    auto client = registerSDK("sdk");
    EXPECT_TRUE(
        std::holds_alternative<std::monostate>(client->objectForKeyedSubscript(NanoNumber::withInt(3))));
    EXPECT_TRUE(containsCode(logged(), "830003"));
    EXPECT_FALSE(manager->receiveSnapshot(APMPBFlag::initWithBuffer().get()));
    EXPECT_FALSE(manager->receiveSnapshot(nullptr));
}

TEST_F(ExperimentClient, ClientOfAGoneManagerFailsWithAnError) {
    auto client = registerSDK("sdk");
    manager.reset();
    std::shared_ptr<platform::NSError> error;
    EXPECT_FALSE(client->activateLatestSnapshot(&error));
    EXPECT_NE(error, nullptr);
}

TEST_F(ExperimentClient, SnapshotsArriveAndAreReadFromSeveralThreadsAtOnce) {
    auto client = registerSDK("sdk");
    const auto first = makeSnapshot("sdk", 1, {{"enabled", NanoNumber::withInt(1)}});
    const auto second = makeSnapshot("sdk", 2, {{"enabled", NanoNumber::withInt(2)}});
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int n = 0; n < 200; ++n) {
                if (t == 0) manager->receiveSnapshot((n % 2 ? first : second).get());
                if (t == 1) client->activateLatestSnapshot(nullptr);
                if (t == 2) client->objectForKeyedSubscript(std::string("enabled"));
                if (t == 3) manager->experimentIDs();
            }
        });
    }
    for (auto& thread : threads) thread.join();
    // The last snapshot received (the first one) is the one in use once activated.
    client->activateLatestSnapshot(nullptr);
    EXPECT_EQ(manager->experimentIDs(), std::vector<std::int32_t>{1});
}
