#include <gtest/gtest.h>

#include <cstdlib>

#include "analytics/messages/nano_field_access.h"
#include "analytics/messages/nano_message_codec.h"
#include "analytics/messages/proto/apm_messages.h"
#include "platform/foundation/console.h"
#include "tests/analytics/messages/proto_test_data.h"

using proto_test::hex;

namespace {

std::vector<uint8_t> lengthDelimited(uint8_t tag, const std::vector<uint8_t>& content) {
    std::vector<uint8_t> bytes{tag};
    size_t length = content.size();
    do {
        uint8_t byte = length & 0x7f;
        length >>= 7;
        bytes.push_back(length ? (byte | 0x80) : byte);
    } while (length);
    bytes.insert(bytes.end(), content.begin(), content.end());
    return bytes;
}

// A runtime entity with `depth` levels of entities nested in its field 2.
std::vector<uint8_t> nestedEntity(int depth) {
    std::vector<uint8_t> bytes;
    for (int i = 0; i < depth; ++i) bytes = lengthDelimited(0x12, bytes);
    return bytes;
}

const APMNanoArray* arrayCell(const NANOMessageBase& message, int index) {
    return static_cast<const APMNanoArray*>(message.messageInfo()->fields[index]);
}

}  // namespace

TEST(NanoDecode, ZeroBytesGiveAnEmptyMessageThatEncodesToZeroBytes) {
    auto config = APMPBMeasurementConfig::initWithBuffer();
    ASSERT_TRUE(config);
    for (int index = 0; index < 11; ++index) {
        const bool repeated = config->messageInfo()->fieldTypes[index] & kNanoRepeated;
        EXPECT_EQ(APMNanoHasField(config.get(), index), repeated) << index;
        if (repeated) {
            EXPECT_EQ(arrayCell(*config, index)->count, 0u);
            EXPECT_EQ(arrayCell(*config, index)->items, nullptr);
        }
    }
    const auto bytes = config->protoBuffer();
    ASSERT_TRUE(bytes.has_value());
    EXPECT_TRUE(bytes->empty());
}

TEST(NanoDecode, AnInfoOfAnotherMessageTypeIsRefused) {
    auto flag = APMPBFlag::initWithBuffer();
    EXPECT_EQ(APMPBEvent::initWithMessageInfo(flag->messageInfo()), nullptr);
    EXPECT_NE(APMPBFlag::initWithMessageInfo(flag->messageInfo()), nullptr);
}

TEST(NanoDecode, AStringIsCappedAtOneMebibyte) {
    std::vector<uint8_t> largest = lengthDelimited(0x0a, std::vector<uint8_t>(kNanoMaxStringSize, 'a'));
    auto flag = APMPBFlag::initWithBuffer(largest);
    ASSERT_TRUE(flag);
    EXPECT_EQ(APMNanoGetString(flag.get(), 0)->size(), kNanoMaxStringSize);

    platform::Console::Capture capture;
    std::vector<uint8_t> tooLarge = lengthDelimited(0x0a, std::vector<uint8_t>(kNanoMaxStringSize + 1, 'a'));
    EXPECT_EQ(APMPBFlag::initWithBuffer(tooLarge), nullptr);
    EXPECT_TRUE(capture.contains("Unable to process proto stream. Buffer is too big. 1048577 > 1048576"));
    EXPECT_TRUE(capture.contains("<ERROR> Flag decoder failed: callback failed"));
}

TEST(NanoDecode, ALargeConfigurationDecodesWhenNoSingleStringIsTooLong) {
    const std::vector<uint8_t> setting =
        lengthDelimited(0x22, lengthDelimited(0x0a, std::vector<uint8_t>(1000, 's')));
    std::vector<uint8_t> bytes;
    for (int i = 0; i < 4000; ++i) bytes.insert(bytes.end(), setting.begin(), setting.end());
    auto config = APMPBMeasurementConfig::initWithBuffer(bytes);
    ASSERT_TRUE(config);
    EXPECT_EQ(APMNanoGetArray<APMPBSetting>(config.get(), 3)->size(), 4000u);
    EXPECT_EQ(config->protoBuffer(), bytes);
}

TEST(NanoDecode, TheFirstOccurrenceOfAStringWinsWhileRepeatedFieldsKeepEveryOne) {
    auto flag = APMPBFlag::initWithBuffer(hex("0a 01 61 0a 01 62"));
    ASSERT_TRUE(flag);
    EXPECT_EQ(APMNanoGetString(flag.get(), 0), "a");
    EXPECT_EQ(flag->protoBuffer(), hex("0a 01 61"));

    auto filter = APMPBStringFilter::initWithBuffer(hex("22 01 78 12 01 65 22 01 79"));
    ASSERT_TRUE(filter);
    auto list = APMNanoGetArray<APMPBStringFilter>(filter.get(), 3);
    ASSERT_EQ(list->size(), 2u);
    EXPECT_EQ(std::get<std::string>((*list)[0]), "x");
    EXPECT_EQ(std::get<std::string>((*list)[1]), "y");
}

TEST(NanoDecode, NonCanonicalInputReencodesCanonically) {
    // Packed repeated varints come out unpacked.
    auto packed = APMPBResultData::initWithBuffer(hex("0a 03 05 ac 02 08 07"));
    ASSERT_TRUE(packed);
    EXPECT_EQ(proto_test::integers(*APMNanoGetArray<APMPBResultData>(packed.get(), 0)),
              (std::vector<int64_t>{5, 300, 7}));
    EXPECT_EQ(packed->protoBuffer(), hex("08 05 08 ac 02 08 07"));
    auto emptyPacked = APMPBResultData::initWithBuffer(hex("0a 00 12 01 03"));
    ASSERT_TRUE(emptyPacked);
    EXPECT_TRUE(APMNanoGetArray<APMPBResultData>(emptyPacked.get(), 0)->empty());
    EXPECT_EQ(emptyPacked->protoBuffer(), hex("10 03"));
    // A tag written in more bytes than it needs still counts.
    auto longTag = APMPBResultData::initWithBuffer(hex("88 80 00 05 88 00 06"));
    ASSERT_TRUE(longTag);
    EXPECT_EQ(longTag->protoBuffer(), hex("08 05 08 06"));

    // Settings after audiences come out in number order.
    const auto inOrder = hex("22 05 0a 01 61 12 00 32 02 08 01");
    auto shuffled = APMPBMeasurementConfig::initWithBuffer(hex("32 02 08 01 22 05 0a 01 61 12 00"));
    ASSERT_TRUE(shuffled);
    EXPECT_EQ(shuffled->protoBuffer(), inOrder);

    // Unknown fields of every wire type are dropped.
    auto unknown = APMPBFlag::initWithBuffer(
        hex("48 01 0a 01 61 52 02 aa bb 5d 01 02 03 04 61 01 02 03 04 05 06 07 08"));
    ASSERT_TRUE(unknown);
    EXPECT_EQ(unknown->protoBuffer(), hex("0a 01 61"));
}

TEST(NanoDecode, EmptyStringsAndEmptySubMessagesStayPresent) {
    auto flag = APMPBFlag::initWithBuffer(hex("0a 00"));
    ASSERT_TRUE(flag);
    EXPECT_TRUE(APMNanoHasField(flag.get(), 0));
    EXPECT_EQ(APMNanoGetString(flag.get(), 0), "");
    EXPECT_EQ(flag->protoBuffer(), hex("0a 00"));

    auto audience = APMPBAudienceLeafFilterResult::initWithBuffer(hex("12 00"));
    ASSERT_TRUE(audience);
    EXPECT_TRUE(APMNanoHasField(audience.get(), 1));
    EXPECT_FALSE(APMNanoHasField(audience.get(), 2));
    EXPECT_EQ(audience->protoBuffer(), hex("12 00"));
}

TEST(NanoDecode, MalformedInputFailsWithTheDecoderMessage) {
    platform::Console::Capture capture;
    EXPECT_EQ(APMPBFlag::initWithBuffer(hex("0a 05 61")), nullptr);
    EXPECT_TRUE(capture.contains("<ERROR> Flag decoder failed: "));
    // A string field sent as a varint, and a message field sent as a fixed32.
    EXPECT_EQ(APMPBFlag::initWithBuffer(hex("08 01")), nullptr);
    EXPECT_EQ(APMPBFlag::initWithBuffer(hex("0a 01 61 08 01")), nullptr);
    EXPECT_EQ(APMPBStringFilter::initWithBuffer(hex("20 01")), nullptr);
    EXPECT_EQ(APMPBExperiment::initWithBuffer(hex("15 01 02 03 04")), nullptr);
    // A bool sent as a length-delimited value, and a group.
    EXPECT_EQ(APMPBFlag::initWithBuffer(hex("2a 01 01")), nullptr);
    EXPECT_EQ(APMPBFlag::initWithBuffer(hex("0b 0c")), nullptr);
    // A broken element deep inside a batch fails the whole batch.
    EXPECT_EQ(APMPBMeasurementBatch::initWithBuffer(hex("0a 06 12 04 0a 02 0a 05")), nullptr);
    EXPECT_TRUE(capture.contains("<ERROR> Event decoder failed: Unable to decode repeated Event"));
    EXPECT_TRUE(capture.contains("<ERROR> MeasurementBatch decoder failed: callback failed"));
}

TEST(NanoDecode, NestingIsBoundedForUntrustedInput) {
    auto deep = APMPBRuntimeEntity::initWithBuffer(nestedEntity(kNanoMaxNestingDepth));
    ASSERT_TRUE(deep);
    EXPECT_EQ(deep->protoBuffer(), nestedEntity(kNanoMaxNestingDepth));

    platform::Console::Capture capture;
    EXPECT_EQ(APMPBRuntimeEntity::initWithBuffer(nestedEntity(kNanoMaxNestingDepth + 1)), nullptr);
    EXPECT_TRUE(capture.contains("<ERROR> RuntimeEntity decoder failed: Nested deeper than 100 messages"));
    EXPECT_EQ(APMPBRuntimeEntity::initWithBuffer(nestedEntity(5000)), nullptr);
}

TEST(NanoDecode, TheFunctionLayerReportsItsFailures) {
    const NanoMessageType& flagType = apmpb_types::kFlag;
    platform::Console::Capture capture;
    EXPECT_EQ(flagType.decode(nullptr, 0, nullptr), 0);
    EXPECT_TRUE(capture.contains("<ERROR> Flag decoder failed: message_info is NULL"));

    APMNanoMessageInfo* info = APMNanoNewMessageInfo(flagType.init);
    EXPECT_EQ(flagType.releaseField(info, 5), 0);
    EXPECT_TRUE(capture.contains("<ERROR> Flag: Cannot deallocate field 5: Unknown field"));
    EXPECT_EQ(flagType.encode(info, nullptr), -1);
    uint8_t* buffer = nullptr;
    EXPECT_EQ(flagType.encode(info, &buffer), 0);
    EXPECT_NE(buffer, nullptr);
    std::free(buffer);
    flagType.release(info);

    // An info whose repeated field lost its array cell cannot be decoded into or encoded.
    const NanoMessageType& eventType = apmpb_types::kEvent;
    info = APMNanoNewMessageInfo(eventType.init);
    auto* params = static_cast<APMNanoArray*>(info->fields[0]);
    info->fields[0] = nullptr;
    EXPECT_EQ(eventType.decode(nullptr, 0, info), 0);
    EXPECT_TRUE(capture.contains("<ERROR> Cannot allocate Event arrays. Missing params field (params)"));
    EXPECT_TRUE(capture.contains("<ERROR> Event decoder failed: Unable to allocate arrays"));
    EXPECT_EQ(eventType.encode(info, &buffer), -1);
    EXPECT_TRUE(capture.contains("<ERROR> Event Encoder: 'params' should have been allocated"));
    info->fields[0] = params;
    eventType.release(info);
}

TEST(NanoDecode, ACopyIsDeepAndEndsStringsWithAZero) {
    auto flag = APMPBFlag::initWithBuffer(hex("0a 02 68 69"));
    auto copy = APMPBFlag::initWithMessageInfo(flag->messageInfo());
    ASSERT_TRUE(copy);
    const auto* original = static_cast<const APMNanoString*>(flag->messageInfo()->fields[0]);
    const auto* copied = static_cast<const APMNanoString*>(copy->messageInfo()->fields[0]);
    EXPECT_NE(original->bytes, copied->bytes);
    EXPECT_EQ(copied->bytes[2], 0);
    APMNanoSetStringField(flag.get(), 0, "changed");
    EXPECT_EQ(APMNanoGetString(copy.get(), 0), "hi");
}

TEST(NanoDecode, AnInfoCopiedOntoItselfKeepsItsFields) {
    auto flag = APMPBFlag::initWithBuffer(hex("0a 02 68 69"));
    APMNanoMessageInfo* info = nullptr;
    ASSERT_TRUE(apmpb_types::kFlag.copy(&info, flag->messageInfo()));
    ASSERT_TRUE(apmpb_types::kFlag.copy(&info, info));
    auto again = APMPBFlag::initWithMessageInfo(info);
    ASSERT_TRUE(again);
    EXPECT_EQ(APMNanoGetString(again.get(), 0), "hi");
    apmpb_types::kFlag.release(info);
}
