#include <gtest/gtest.h>

#include "analytics/messages/apmpb_flag.h"
#include "analytics/messages/nano_field_access.h"
#include "analytics/messages/proto/apm_messages.h"
#include "platform/foundation/console.h"
#include "tests/analytics/messages/proto_test_data.h"

using proto_test::hex;
using proto_test::number;
using proto_test::object;

TEST(NanoFieldAccess, AMessageWithoutInfoIsRefusedByEveryAccessor) {
    auto flag = APMPBFlag::init();
    platform::Console::Capture capture;
    EXPECT_FALSE(APMNanoHasField(flag.get(), 0));
    EXPECT_EQ(APMNanoGetInt64(flag.get(), 1), 0);
    APMNanoSetStringField(flag.get(), 0, "x");
    APMNanoClearField(flag.get(), 0);
    EXPECT_FALSE(APMNanoGetArray<APMPBFlag>(flag.get(), 0));
    const std::string refused = "ProtocolBuffer message hasn't been initialized. ";
    EXPECT_TRUE(capture.contains(refused + "HasField operation can't be performed. Message name Flag"));
    for (const std::string operation : {"GetInt64", "SetString", "ClearField", "GetArray"})
        EXPECT_TRUE(capture.contains(refused + operation + " can't be performed")) << operation;
    EXPECT_FALSE(flag->protoBuffer());
    EXPECT_EQ(APMNanoGetDouble(nullptr, 3), 0.0);
}

TEST(NanoFieldAccess, AFieldOfAnotherKindIsRefused) {
    auto flag = APMPBFlagMake(std::string("f"), number(5));
    platform::Console::Capture capture;
    EXPECT_EQ(APMNanoGetInt32(flag.get(), 1), 0);
    EXPECT_TRUE(
        capture.contains("<Nano/Failure> Field type isn't a scalar INT32. Message: Flag, field ID: 1"));
    auto param = APMPBEventParam::initWithBuffer(hex("25 00 00 c0 3f"));
    EXPECT_EQ(APMNanoGetDouble(param.get(), 3), 0.0);
    EXPECT_TRUE(capture.contains(
        "<Nano/Failure> Field type isn't a scalar DOUBLE. Message: EventParam, field ID: 3"));
    EXPECT_FALSE(APMNanoGetArray<APMPBFlag>(flag.get(), 0));
    EXPECT_TRUE(capture.contains("<Nano/Failure> Field type isn't REPEATED. Message: Flag, field ID: 0"));
    APMNanoSetBoolField(flag.get(), 1, true);
    EXPECT_TRUE(
        capture.contains("<Nano/Failure> Field type isn't a scalar BOOL. Message: Flag, field ID: 1"));
    EXPECT_EQ(APMNanoGetInt64(flag.get(), 1), 5);
    // The float survives untouched through decoding and encoding.
    EXPECT_EQ(param->protoBuffer(), hex("25 00 00 c0 3f"));
}

TEST(NanoFieldAccess, AnIndexOutsideTheMessageIsRefused) {
    auto flag = APMPBFlag::initWithBuffer();
    platform::Console::Capture capture;
    EXPECT_EQ(APMNanoGetInt64(flag.get(), 5), 0);
    EXPECT_TRUE(
        capture.contains("<Nano/Failure> Field type isn't a scalar INT64. Message: Flag, field ID: 5"));
    APMNanoSetInt64(flag.get(), -1, 3);
    APMNanoSetStringField(flag.get(), 1000, "x");
    EXPECT_FALSE(APMNanoHasField(flag.get(), 5));
    EXPECT_TRUE(capture.contains("<Nano/Failure> Unknown field. Message: Flag, field ID: 5"));
    APMNanoClearField(flag.get(), 5);
    EXPECT_TRUE(capture.contains("<ERROR> Flag: Cannot deallocate field 5: Unknown field"));
    EXPECT_EQ(flag->protoBuffer(), std::vector<uint8_t>{});
}

TEST(NanoFieldAccess, ScalarsAreStoredAndCleared) {
    auto entity = APMPBRuntimeEntity::initWithBuffer();
    EXPECT_FALSE(APMNanoHasField(entity.get(), 0));
    EXPECT_EQ(APMNanoGetInt32(entity.get(), 0), 0);
    APMNanoSetInt32(entity.get(), 0, -7);
    EXPECT_EQ(*static_cast<uint64_t*>(entity->messageInfo()->fields[0]), 0xfffffff9u);
    EXPECT_EQ(APMNanoGetInt32(entity.get(), 0), -7);
    APMNanoSetBoolField(entity.get(), 4, true);
    EXPECT_TRUE(APMNanoGetBool(entity.get(), 4));
    APMNanoSetDouble(entity.get(), 5, -0.5);
    EXPECT_EQ(APMNanoGetDouble(entity.get(), 5), -0.5);
    APMNanoClearField(entity.get(), 5);
    EXPECT_FALSE(APMNanoHasField(entity.get(), 5));
    EXPECT_EQ(APMNanoGetDouble(entity.get(), 5), 0.0);
    // The repeated field answers yes even while empty.
    EXPECT_TRUE(APMNanoHasField(entity.get(), 1));
}

TEST(NanoFieldAccess, StringsAreStoredAsTheirUtf8Bytes) {
    auto attribute = APMPBUserAttribute::initWithBuffer();
    APMNanoSetStringField(attribute.get(), 2, "grün");
    EXPECT_EQ(static_cast<APMNanoString*>(attribute->messageInfo()->fields[2])->size, 5u);
    EXPECT_EQ(APMNanoGetString(attribute.get(), 2), "grün");
    APMNanoSetStringField(attribute.get(), 2, std::nullopt);
    EXPECT_FALSE(APMNanoHasField(attribute.get(), 2));
    EXPECT_EQ(APMNanoGetString(attribute.get(), 2), std::nullopt);
    // Bytes that are not UTF-8 read as no string, yet still round-trip.
    auto invalid = APMPBUserAttribute::initWithBuffer(hex("1a 02 c3 28"));
    ASSERT_TRUE(invalid);
    EXPECT_TRUE(APMNanoHasField(invalid.get(), 2));
    EXPECT_EQ(APMNanoGetString(invalid.get(), 2), std::nullopt);
    EXPECT_EQ(invalid->protoBuffer(), hex("1a 02 c3 28"));
}

TEST(NanoFieldAccess, AStringMayBeSetFromAViewOfItsOwnBytes) {
    auto attribute = APMPBUserAttribute::initWithBuffer();
    APMNanoSetStringField(attribute.get(), 2, "grün");
    const auto* cell = static_cast<APMNanoString*>(attribute->messageInfo()->fields[2]);
    APMNanoSetStringField(attribute.get(), 2,
                          std::string_view(reinterpret_cast<const char*>(cell->bytes), 2));
    EXPECT_EQ(APMNanoGetString(attribute.get(), 2), "gr");
}

TEST(NanoFieldAccess, SubMessagesAreCopiesInBothDirections) {
    auto audience = APMPBAudienceLeafFilterResult::initWithBuffer(proto_test::golden("audience_result"));
    ASSERT_TRUE(audience);
    const auto before = audience->protoBuffer();
    auto current = APMNanoGetMessage<APMPBResultData>(audience.get(), 1);
    ASSERT_TRUE(current);
    APMNanoSetArray(current.get(), 0, nullptr);
    EXPECT_EQ(audience->protoBuffer(), before);

    APMNanoSetMessage(audience.get(), 2, current.get());
    const std::vector<NanoObject> status{number(9)};
    APMNanoSetArray(current.get(), 0, &status);
    auto previous = APMNanoGetMessage<APMPBResultData>(audience.get(), 2);
    EXPECT_TRUE(APMNanoGetArray<APMPBResultData>(previous.get(), 0)->empty());

    APMNanoSetMessage(audience.get(), 2, nullptr);
    EXPECT_FALSE(APMNanoHasField(audience.get(), 2));
    EXPECT_EQ(APMNanoGetMessage<APMPBResultData>(audience.get(), 2), nullptr);
}

TEST(NanoFieldAccess, MessagesOfAnotherTypeAreRefused) {
    auto audience = APMPBAudienceLeafFilterResult::initWithBuffer(hex("12 02 08 01"));
    platform::Console::Capture capture;
    EXPECT_EQ(APMNanoGetMessage<APMPBFlag>(audience.get(), 1), nullptr);
    EXPECT_TRUE(capture.lines().empty());

    const NanoMessageClass withoutFactory{"NSObject", nullptr};
    EXPECT_EQ(APMNanoGetMessage(audience.get(), 1, withoutFactory), nullptr);
    EXPECT_TRUE(capture.contains(
        "<ERROR> Provided class doesn't implement initWithMessageInfo: method. Class: NSObject"));

    auto flag = APMPBFlag::initWithBuffer(hex("0a 01 61"));
    APMNanoSetMessage(audience.get(), 1, flag.get());
    EXPECT_TRUE(capture.contains(
        "<ERROR> Invalid object type. Message fields expect APMPBResultData. Type: APMPBFlag"));
    EXPECT_EQ(audience->protoBuffer(), hex("12 02 08 01"));

    auto experiment = APMPBExperiment::initWithBuffer();
    const std::vector<NanoObject> wrong{object(flag), object(audience)};
    APMNanoSetArray(experiment.get(), 1, &wrong);
    EXPECT_TRUE(APMNanoGetArray<APMPBFlag>(experiment.get(), 1)->empty());
}

TEST(NanoFieldAccess, ArraysAreWrittenAllOrNothing) {
    auto sequence = APMPBSequenceFilterResultTimestamp::initWithBuffer(hex("10 01 10 02"));
    platform::Console::Capture capture;
    const std::vector<NanoObject> mixed{number(1), number(2), std::string("three"), number(4)};
    APMNanoSetArray(sequence.get(), 1, &mixed);
    EXPECT_EQ(
        capture.lines(),
        std::vector<std::string>{"<ERROR> Invalid object type. Int64 fields expect NSNumber. Type: String"});
    EXPECT_TRUE(APMNanoGetArray<APMPBSequenceFilterResultTimestamp>(sequence.get(), 1)->empty());
    EXPECT_EQ(sequence->protoBuffer(), std::vector<uint8_t>{});

    const std::vector<NanoObject> values{number(-1), number(INT64_MAX)};
    APMNanoSetArray(sequence.get(), 1, &values);
    EXPECT_EQ(proto_test::integers(*APMNanoGetArray<APMPBSequenceFilterResultTimestamp>(sequence.get(), 1)),
              (std::vector<int64_t>{-1, INT64_MAX}));
    APMNanoSetArray(sequence.get(), 1, nullptr);
    EXPECT_TRUE(APMNanoGetArray<APMPBSequenceFilterResultTimestamp>(sequence.get(), 1)->empty());

    auto filter = APMPBStringFilter::initWithBuffer();
    const std::vector<NanoObject> strings{std::string("a"), number(1)};
    APMNanoSetArray(filter.get(), 3, &strings);
    EXPECT_TRUE(
        capture.contains("<ERROR> Invalid object type. String fields expect NSString. Type: NanoNumber"));
}

TEST(NanoFieldAccess, ArrayElementsConvertByTheFieldKind) {
    auto bundle = APMPBMeasurementBundle::initWithBuffer(hex("e8 02 ff ff ff ff 0f"));
    auto ids = APMNanoGetArray<APMPBMeasurementBundle>(bundle.get(), 37);
    ASSERT_EQ(ids->size(), 1u);
    const auto id = std::get<NanoNumber>(ids->front());
    EXPECT_EQ(id.type(), NanoNumber::Type::UInt32);
    EXPECT_EQ(id.unsignedIntValue(), 0xffffffffu);

    auto results = APMPBResultData::initWithBuffer(hex("08 ff ff ff ff ff ff ff ff ff 01"));
    auto words = APMNanoGetArray<APMPBResultData>(results.get(), 0);
    EXPECT_EQ(std::get<NanoNumber>(words->front()).unsignedLongLongValue(), UINT64_MAX);

    // A missing element is skipped with a log line.
    auto* array = static_cast<APMNanoArray*>(results->messageInfo()->fields[0]);
    void* word = array->items[0];
    array->items[0] = nullptr;
    platform::Console::Capture capture;
    EXPECT_TRUE(APMNanoGetArray<APMPBResultData>(results.get(), 0)->empty());
    EXPECT_TRUE(capture.contains("<ERROR> Unable to convert NULL data to an ObjC object"));
    array->items[0] = word;
}

namespace {

// No schema message has a bytes field yet; this stand-in type exercises the accessors' bytes paths.
extern const NanoMessageType kBytesFixture;
int fixtureInit(APMNanoMessageInfo* info) {
    return APMNanoInitMessageInfo(kBytesFixture, info);
}
int fixtureReleaseField(APMNanoMessageInfo* info, int32_t index) {
    return APMNanoReleaseMessageField(kBytesFixture, info, index);
}
int fixtureRelease(APMNanoMessageInfo* info) {
    return APMNanoReleaseMessageInfo(kBytesFixture, info);
}
int fixtureCopy(APMNanoMessageInfo** destination, const APMNanoMessageInfo* source) {
    return APMNanoCopyMessageInfo(kBytesFixture, destination, source);
}
const uint32_t kFixtureFlags[] = {kNanoBytes | kNanoRepeated};
const NanoFieldInfo kFixtureFields[] = {{1, kNanoBytes | kNanoRepeated, "blobs", nullptr, 0, -1}};
const int8_t kFixtureIndexByNumber[] = {-1, 0};
const NanoMessageType kBytesFixture = {
    "BytesFixture",        nullptr, 0,      1,           kFixtureFlags,       kFixtureFields,
    kFixtureIndexByNumber, 1,       1,      fixtureInit, fixtureReleaseField, fixtureRelease,
    fixtureCopy,           nullptr, nullptr};
using BytesFixture = APMPBMessage<kBytesFixture>;

}  // namespace

TEST(NanoFieldAccess, BytesArraysHoldExactCopies) {
    auto message = BytesFixture::initWithMessageInfo(nullptr);
    ASSERT_TRUE(message);
    const std::vector<NanoObject> blobs{NanoData{0, 1, 2}, NanoData{}};
    APMNanoSetArray(message.get(), 0, &blobs);
    auto copy = BytesFixture::initWithMessageInfo(message->messageInfo());
    APMNanoSetArray(message.get(), 0, nullptr);
    auto read = APMNanoGetArray<BytesFixture>(copy.get(), 0);
    ASSERT_EQ(read->size(), 2u);
    EXPECT_EQ(std::get<NanoData>((*read)[0]), (NanoData{0, 1, 2}));
    EXPECT_EQ(std::get<NanoData>((*read)[1]), NanoData{});

    platform::Console::Capture capture;
    const std::vector<NanoObject> wrong{NanoData{1}, std::string("text")};
    APMNanoSetArray(copy.get(), 0, &wrong);
    EXPECT_TRUE(capture.contains("<ERROR> Invalid object type. Bytes fields expect NSData. Type: String"));
    EXPECT_TRUE(APMNanoGetArray<BytesFixture>(copy.get(), 0)->empty());
}
