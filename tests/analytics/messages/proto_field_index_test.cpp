#include <gtest/gtest.h>

#include "analytics/messages/nano_field_access.h"
#include "analytics/messages/proto/apm_messages.h"
#include "tests/analytics/messages/proto_test_data.h"

TEST(ProtoFieldIndex, TheBundleHasItsFortySixFieldsInDeclarationOrder) {
    const std::vector<uint32_t> numbers{1,  2,  3,  4,  5,  6,  26, 7,  8,  9,  10, 11, 12, 13, 14, 15,
                                        16, 17, 18, 19, 27, 20, 21, 22, 23, 24, 25, 28, 29, 30, 31, 32,
                                        33, 34, 35, 39, 41, 45, 47, 50, 52, 53, 55, 63, 64, 65};
    const NanoMessageType& bundle = apmpb_types::kMeasurementBundle;
    ASSERT_EQ(bundle.fieldCount, 46u);
    for (uint32_t index = 0; index < bundle.fieldCount; ++index) {
        EXPECT_EQ(bundle.fields[index].number, numbers[index]) << "index " << index;
        EXPECT_EQ(bundle.indexOfNumber(numbers[index]), static_cast<int>(index));
    }
}

TEST(ProtoFieldIndex, EveryOtherMessageIndexesItsFieldsByNumberMinusOne) {
    ASSERT_EQ(apmpb_types::kMessageTypeCount, 33);
    for (const NanoMessageType* type : apmpb_types::kAllMessageTypes) {
        if (type == &apmpb_types::kMeasurementBundle) continue;
        for (uint32_t index = 0; index < type->fieldCount; ++index) {
            EXPECT_EQ(type->fields[index].number, index + 1) << type->name << " index " << index;
        }
    }
}

TEST(ProtoFieldIndex, TheBundleWritesOutOfOrderIndexesToTheirFieldNumbers) {
    auto bundle = APMPBMeasurementBundle::initWithBuffer();
    APMNanoSetInt32(bundle.get(), 0, 1);
    APMNanoSetInt64(bundle.get(), 6, 5);
    APMNanoSetStringField(bundle.get(), 20, "V");
    EXPECT_EQ(bundle->protoBuffer(), proto_test::hex("08 01 d0 01 05 da 01 01 56"));
    APMNanoClearField(bundle.get(), 6);
    APMNanoClearField(bundle.get(), 20);
    APMNanoSetInt64(bundle.get(), 7, 5);
    EXPECT_EQ(bundle->protoBuffer(), proto_test::hex("08 01 38 05"));
}

TEST(ProtoFieldIndex, ABundleOfEventsAndUserPropertiesWritesOnlyThoseFields) {
    auto event = APMPBEvent::initWithBuffer();
    APMNanoSetStringField(event.get(), 1, "e");
    auto attribute = APMPBUserAttribute::initWithBuffer();
    APMNanoSetStringField(attribute.get(), 1, "u");
    auto bundle = APMPBMeasurementBundle::initWithBuffer();
    const std::vector<NanoObject> events{proto_test::object(event)};
    const std::vector<NanoObject> attributes{proto_test::object(attribute)};
    APMNanoSetArray(bundle.get(), 1, &events);
    APMNanoSetArray(bundle.get(), 2, &attributes);
    EXPECT_EQ(bundle->protoBuffer(), proto_test::hex("12 03 12 01 65 1a 03 12 01 75"));
}
