#include <gtest/gtest.h>

#include "analytics/foundation/nano_field_access.h"
#include "analytics/foundation/proto/apm_messages.h"

TEST(ProtoSmoke, Bundle) {
    auto bundle = APMPBMeasurementBundle::initWithBuffer();
    ASSERT_TRUE(bundle);
    APMNanoSetInt32(bundle.get(), 0, 1);
    APMNanoSetInt64(bundle.get(), 6, 5);
    APMNanoSetStringField(bundle.get(), 20, "V");
    auto bytes = bundle->protoBuffer();
    ASSERT_TRUE(bytes);
    EXPECT_EQ(*bytes, (std::vector<uint8_t>{0x08, 0x01, 0xd0, 0x01, 0x05, 0xda, 0x01, 0x01, 0x56}));
}
