#include <gtest/gtest.h>

#include "analytics/messages/apmpb_flag.h"
#include "analytics/messages/nano_field_access.h"
#include "analytics/messages/proto/apm_messages.h"
#include "tests/analytics/messages/proto_test_data.h"

using proto_test::element;
using proto_test::golden;
using proto_test::number;
using proto_test::object;

namespace {

std::shared_ptr<APMPBEventParam> param(std::string_view name) {
    auto param = APMPBEventParam::initWithBuffer();
    APMNanoSetStringField(param.get(), 0, name);
    return param;
}

template <typename Message>
void expectRoundTrip(const std::string& name) {
    const auto bytes = golden(name);
    ASSERT_FALSE(bytes.empty()) << name;
    auto message = Message::initWithBuffer(bytes);
    ASSERT_TRUE(message) << name;
    EXPECT_EQ(message->protoBuffer(), bytes) << name;
    auto copy = Message::initWithMessageInfo(message->messageInfo());
    ASSERT_TRUE(copy) << name;
    EXPECT_EQ(copy->protoBuffer(), bytes) << name;
}

}  // namespace

TEST(ProtoGolden, BundleBuiltByIndexMatchesTheReferenceEncoding) {
    auto bundle = APMPBMeasurementBundle::initWithBuffer();
    APMNanoSetInt32(bundle.get(), 0, 1);
    APMNanoSetInt64(bundle.get(), 7, 1700000000123);
    APMNanoSetStringField(bundle.get(), 8, "ios");
    APMNanoSetBoolField(bundle.get(), 21, true);
    APMNanoSetInt64(bundle.get(), 6, 1699999990000);
    APMNanoSetStringField(bundle.get(), 20, "6F1C0E2A-0B7D-4E59-9C1A-3D2B4F5A6E7C");
    const std::vector<NanoObject> experiments{NanoNumber::withUnsignedInt(7),
                                              NanoNumber::withUnsignedInt(300),
                                              NanoNumber::withUnsignedInt(4000000000u)};
    APMNanoSetArray(bundle.get(), 37, &experiments);
    APMNanoSetInt32(bundle.get(), 41, 3);
    EXPECT_EQ(bundle->protoBuffer(), golden("bundle"));
}

TEST(ProtoGolden, EventWithNestedParametersMatchesTheReferenceEncoding) {
    auto origin = param("_o");
    APMNanoSetStringField(origin.get(), 1, "app");
    auto value = param("value");
    APMNanoSetInt64(value.get(), 2, -42);
    auto price = param("price");
    APMNanoSetDouble(price.get(), 4, 2.5);
    auto itemName = param("item_name");
    APMNanoSetStringField(itemName.get(), 1, "Tee");
    auto quantity = param("quantity");
    APMNanoSetInt64(quantity.get(), 2, 3);
    auto item = APMPBEventParam::initWithBuffer();
    const std::vector<NanoObject> itemParams{object(itemName), object(quantity)};
    APMNanoSetArray(item.get(), 5, &itemParams);
    auto items = param("items");
    const std::vector<NanoObject> elements{object(item), object(APMPBEventParam::initWithBuffer())};
    APMNanoSetArray(items.get(), 5, &elements);

    auto event = APMPBEvent::initWithBuffer();
    const std::vector<NanoObject> params{object(origin), object(value), object(price), object(items)};
    APMNanoSetArray(event.get(), 0, &params);
    APMNanoSetStringField(event.get(), 1, "purchase");
    APMNanoSetInt64(event.get(), 2, 1700000000456);
    APMNanoSetInt64(event.get(), 3, 1699999000000);
    EXPECT_EQ(event->protoBuffer(), golden("event"));
}

TEST(ProtoGolden, UserAttributeMatchesTheReferenceEncoding) {
    auto attribute = APMPBUserAttribute::initWithBuffer();
    APMNanoSetInt64(attribute.get(), 0, 1700000000789);
    APMNanoSetStringField(attribute.get(), 1, "favourite_colour");
    APMNanoSetStringField(attribute.get(), 2, "grün");
    EXPECT_EQ(attribute->protoBuffer(), golden("user_attribute"));
}

TEST(ProtoGolden, AudienceResultWithEmbeddedResultsMatchesTheReferenceEncoding) {
    auto dynamic = APMPBDynamicFilterResultTimestamp::initWithBuffer();
    APMNanoSetInt32(dynamic.get(), 0, 2);
    APMNanoSetInt64(dynamic.get(), 1, 1700000000000);
    auto sequence = APMPBSequenceFilterResultTimestamp::initWithBuffer();
    APMNanoSetInt32(sequence.get(), 0, 3);
    const std::vector<NanoObject> evaluations{number(10), number(-20)};
    APMNanoSetArray(sequence.get(), 1, &evaluations);

    auto results = APMPBResultData::initWithBuffer();
    const std::vector<NanoObject> status{NanoNumber::withUnsignedLongLong(5),
                                         NanoNumber::withUnsignedLongLong(1)};
    const std::vector<NanoObject> values{NanoNumber::withUnsignedLongLong(4)};
    const std::vector<NanoObject> dynamics{object(dynamic)};
    const std::vector<NanoObject> sequences{object(sequence)};
    APMNanoSetArray(results.get(), 0, &status);
    APMNanoSetArray(results.get(), 1, &values);
    APMNanoSetArray(results.get(), 2, &dynamics);
    APMNanoSetArray(results.get(), 3, &sequences);

    auto audience = APMPBAudienceLeafFilterResult::initWithBuffer();
    APMNanoSetInt32(audience.get(), 0, 17);
    APMNanoSetMessage(audience.get(), 1, results.get());
    APMNanoSetBoolField(audience.get(), 3, true);
    EXPECT_EQ(audience->protoBuffer(), golden("audience_result"));
}

TEST(ProtoGolden, FlagMatchesTheReferenceEncoding) {
    auto flag = APMPBFlagMake(std::string("timer_colour"), NanoNumber::withDouble(2.5));
    ASSERT_TRUE(flag);
    EXPECT_EQ(flag->protoBuffer(), golden("flag"));
}

TEST(ProtoGolden, DecodingAndEncodingAgainGivesTheSameBytes) {
    expectRoundTrip<APMPBMeasurementBundle>("bundle");
    expectRoundTrip<APMPBEvent>("event");
    expectRoundTrip<APMPBUserAttribute>("user_attribute");
    expectRoundTrip<APMPBAudienceLeafFilterResult>("audience_result");
    expectRoundTrip<APMPBFlag>("flag");
    // Nested four deep, an empty string, a float field and negative int32 and enum values.
    expectRoundTrip<APMPBMeasurementBatch>("batch");
}

TEST(ProtoGolden, DecodedFieldsReadBackByIndex) {
    auto bundle = APMPBMeasurementBundle::initWithBuffer(golden("bundle"));
    ASSERT_TRUE(bundle);
    EXPECT_EQ(APMNanoGetInt32(bundle.get(), 0), 1);
    EXPECT_EQ(APMNanoGetInt64(bundle.get(), 6), 1699999990000);
    EXPECT_EQ(APMNanoGetInt64(bundle.get(), 7), 1700000000123);
    EXPECT_EQ(APMNanoGetString(bundle.get(), 8), "ios");
    EXPECT_TRUE(APMNanoGetBool(bundle.get(), 21));
    EXPECT_EQ(APMNanoGetInt32(bundle.get(), 41), 3);
    EXPECT_FALSE(APMNanoHasField(bundle.get(), 9));
    auto experiments = APMNanoGetArray(bundle.get(), 37, APMPBMeasurementBundle::messageClass());
    ASSERT_TRUE(experiments);
    ASSERT_EQ(experiments->size(), 3u);
    EXPECT_EQ(std::get<NanoNumber>((*experiments)[2]).unsignedIntValue(), 4000000000u);

    auto batch = APMPBMeasurementBatch::initWithBuffer(golden("batch"));
    ASSERT_TRUE(batch);
    auto bundles = APMNanoGetArray<APMPBMeasurementBundle>(batch.get(), 0);
    ASSERT_EQ(bundles->size(), 2u);
    auto second = element<APMPBMeasurementBundle>(bundles, 1);
    EXPECT_EQ(APMNanoGetInt32(second.get(), 12), -300);
    EXPECT_EQ(APMNanoGetInt32(second.get(), 41), -1);
    // Four levels down: bundle → event → items parameter → its first element → that element's item_id.
    auto first = element<APMPBMeasurementBundle>(bundles, 0);
    auto event = element<APMPBEvent>(APMNanoGetArray<APMPBEvent>(first.get(), 1), 0);
    auto items = element<APMPBEventParam>(APMNanoGetArray<APMPBEventParam>(event.get(), 0), 0);
    auto item = element<APMPBEventParam>(APMNanoGetArray<APMPBEventParam>(items.get(), 5), 0);
    auto itemId = element<APMPBEventParam>(APMNanoGetArray<APMPBEventParam>(item.get(), 5), 0);
    EXPECT_EQ(APMNanoGetString(itemId.get(), 0), "item_id");
    EXPECT_EQ(APMNanoGetString(itemId.get(), 1), "");
    EXPECT_EQ(APMNanoGetArray<APMPBMeasurementBundle>(first.get(), 44)->size(), 2u);
}

TEST(ProtoGolden, NegativeEnumValuesRoundTripAsTenByteVarints) {
    auto entity = APMPBRuntimeEntity::initWithBuffer();
    APMNanoSetInt32(entity.get(), 0, -1);
    const auto bytes = entity->protoBuffer();
    EXPECT_EQ(bytes, proto_test::hex("08 ff ff ff ff ff ff ff ff ff 01"));
    auto decoded = APMPBRuntimeEntity::initWithBuffer(*bytes);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(APMNanoGetInt32(decoded.get(), 0), -1);
    // Values the schema does not declare pass through as numbers.
    auto response = APMPBSdkResponse::initWithBuffer(proto_test::hex("10 07"));
    ASSERT_TRUE(response);
    EXPECT_EQ(APMNanoGetInt32(response.get(), 1), 7);
    EXPECT_EQ(response->protoBuffer(), proto_test::hex("10 07"));
}
