#include <gtest/gtest.h>

#include "analytics/interpreter/apmp_event_editing.h"
#include "analytics/interpreter/apmp_key_value_store.h"
#include "analytics/interpreter/apmp_message_logger.h"
#include "analytics/monitor/apm_monitor.h"
#include "platform/foundation/clock.h"
#include "platform/foundation/console.h"
#include "tests/analytics/interpreter/program_builder.h"
#include "tests/support/temp_data_root.h"
#include "tests/analytics/monitored_test.h"

using namespace analytics;
using namespace analytics_test;

namespace {

class EventEditingLoad : public quorvel::testing::MonitoredTest {
protected:
    // The error code of loading the program into a fresh instance; 0 when it loaded.
    std::int64_t loadError(const std::shared_ptr<APMPBProgram>& loaded) {
        editing = APMPEventEditing::init();
        editing->setModuleCreator(
            [this] {
                ++modulesMade;
                return std::make_shared<APMPKeyValueStore>("store", nullptr);
            },
            "store");
        std::shared_ptr<platform::NSError> error;
        editing->loadProgram(loaded.get(), &error);
        if (!error) return 0;
        EXPECT_EQ(error->domain(), APMPRuntime::kErrorDomain);
        return error->code();
    }

    std::shared_ptr<APMPEventEditing> editing;
    int modulesMade = 0;
};

TEST_F(EventEditingLoad, MalformedProgramsAreRefusedThroughTheError) {
    EXPECT_EQ(loadError(nullptr), APMPRuntime::kInvalidProgram);
    EXPECT_EQ(loadError(program({entityOfType(9)})), APMPRuntime::kUnknownEntityType);
    EXPECT_EQ(loadError(program({entityOfType(0)})), APMPRuntime::kUnknownEntityType);
    EXPECT_EQ(loadError(program({statement("")})), APMPRuntime::kStatementWithoutCommand);
    // A bad node deep inside an argument list is found as well.
    EXPECT_EQ(loadError(program({statement("require", {statement("x", {entityOfType(-1)})})})),
              APMPRuntime::kUnknownEntityType);
    EXPECT_EQ(loadError(program({statement("return")})), APMPRuntime::kTopLevelControlValue);
    EXPECT_EQ(loadError(program({statement("break")})), APMPRuntime::kTopLevelControlValue);
    EXPECT_EQ(loadError(program({statement("launch")})), APMPRuntime::kUnknownCommand);
    EXPECT_EQ(loadError(program({require("elsewhere")})), APMPRuntime::kUnknownModule);
    EXPECT_EQ(loadError(program({statement("require")})), APMPRuntime::kUnknownModule);
    EXPECT_EQ(loadError(program({}, {{"", {}}})), APMPRuntime::kActivityWithoutName);
    EXPECT_EQ(loadError(program({}, {{"edit", {statement("")}}})), APMPRuntime::kStatementWithoutCommand);
}

TEST_F(EventEditingLoad, ProgramsNestedBeyondTheLimitAreRefused) {
    auto node = text("leaf");
    for (int depth = 0; depth <= APMPRuntime::kMaxEntityDepth; ++depth) node = statement("wrap", {node});
    EXPECT_EQ(loadError(program({node})), APMPRuntime::kNestedTooDeep);
}

TEST_F(EventEditingLoad, RequiredModulesAreMadeOnceAndActivitiesKept) {
    EXPECT_EQ(loadError(program({text("a plain value"), require("store"), require("store")},
                                {{"edit", {statement("continue")}}, {"create", {}}})),
              0);
    EXPECT_EQ(modulesMade, 1);
    ASSERT_TRUE(editing->runtime().moduleNamed("store"));
    EXPECT_EQ(editing->runtime().moduleNamed("store")->name(), "store");
    EXPECT_EQ(editing->runtime().activityNames(), (std::vector<std::string>{"create", "edit"}));
}

TEST_F(EventEditingLoad, StatementsBeforeAFailureHaveRun) {
    EXPECT_EQ(loadError(program({require("store"), statement("return")})),
              APMPRuntime::kTopLevelControlValue);
    EXPECT_TRUE(editing->runtime().moduleNamed("store"));
    EXPECT_TRUE(editing->runtime().activityNames().empty());
}

TEST(EventEditingModules, TheLoggerWritesProgramMessagesThroughTheMonitor) {
    quorvel::testing::TempDataRoot root;
    auto clock = platform::VirtualClock::install();
    platform::Console::Capture capture;
    APMMonitor::sharedInstance()->setDebugModeEnabled(true);
    APMPMessageLogger logger(std::make_shared<APMPixieLogger>());
    EXPECT_EQ(logger.name(), "internal.logger");
    logger.log("edited purchase");
    clock->runUntilIdle();
    EXPECT_TRUE(capture.contains("[I-ACS046000]"));
    EXPECT_TRUE(capture.contains("edited purchase"));
}

}  // namespace
