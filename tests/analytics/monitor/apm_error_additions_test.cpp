#include <gtest/gtest.h>

#include "analytics/monitor/apm_error_additions.h"

using namespace analytics;
using platform::NSError;

TEST(APMErrors, CarryTheDomainCodeAndOnlyNonEmptyUserInfo) {
    auto error = apm_errorWithCode(3, "Database error", "select,11");
    EXPECT_EQ(error->domain(), "com.vuziri.vmp.measurement.ErrorDomain");
    EXPECT_EQ(error->code(), 3);
    EXPECT_EQ(error->userInfo().at(platform::NSLocalizedDescriptionKey), "Database error");
    EXPECT_EQ(error->userInfo().at("APMMonitorContext"), "select,11");

    auto bare = apm_errorWithCode(1, "", "");
    EXPECT_TRUE(bare->userInfo().empty());
}

TEST(APMErrors, ChecksFillTheFirstFailureAndAcceptANullOutParameter) {
    std::shared_ptr<NSError> error;
    const char* table = "";
    const std::shared_ptr<int> record;
    const bool passed =
        APMCheckNonZero(std::string(table).size(), &error, 1, "Received empty table name for inserting") &&
        APMCheckNotNil(record, &error, 2, "Failed to insert empty record");
    EXPECT_FALSE(passed);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), 1);
    EXPECT_EQ(error->localizedDescription(), "Received empty table name for inserting");

    EXPECT_FALSE(APMCheckCondition(2, nullptr, 1, "low bit clear"));
    EXPECT_TRUE(APMCheckCondition(3, nullptr, 1, "low bit set"));
    EXPECT_FALSE(APMCheckPointer(nullptr, nullptr, 2, "no handle"));
    int handle = 0;
    EXPECT_TRUE(APMCheckPointer(&handle, nullptr, 2, "handle"));

    APMSetError(nullptr, 1, "nowhere to go");  // a caller that wants no error
}

TEST(APMErrors, MonitorContextsComeOnlyFromTheLibrarysOwnErrors) {
    auto foreign = NSError::errorWithDomain("OtherDomain", 1, {{"APMMonitorContext", "foreign"}});
    const std::vector<APMLogContext> contexts{
        apm_errorWithCode(3, "a", "open,14"), foreign, "text", 12, apm_errorWithCode(2, "b"),
        apm_errorWithCode(3, "c", "step,5")};
    EXPECT_EQ(APMMonitorContextsFromErrors(contexts), "open,14,step,5");
    EXPECT_EQ(APMMonitorContextsFromErrors({}), "");
}
