#include <gtest/gtest.h>

#include <cstdint>

#include "analytics/messages/nano_field_access.h"
#include "analytics/messages/proto/apm_messages.h"
#include "analytics/records/apm_event.h"
#include "platform/foundation/console.h"
#include "tests/analytics/messages/proto_test_data.h"
#include "tests/analytics/records/records_test_support.h"

using namespace analytics;
using namespace records_test;
using platform::Console;
using platform::Value;
using Field = apmpb_fields::Event;

namespace {

class EventRecord : public RecordsTest {};

APMEvent event(const std::string& name, const Value::Dictionary& parameters = {}, bool isPublic = true,
               const std::string& origin = "app") {
    // A refused event throws, which fails the case.
    return APMEvent::initWithOrigin(origin, isPublic, name, 1000, 0, APMObjectParametersFrom(parameters)).value();
}

APMEvent goldenEvent() {
    const Value::Dictionary item{{"item_name", "Tee"}, {"quantity", 3}};
    const Value::Dictionary parameters{{"currency", "EUR"}, {"value", 9.5},          {"quantity", 2},
                                       {"note", "gr\xC3\xBCn"}, {"items", Value::Array{item}}};
    return *APMEvent::initWithOrigin("app", true, "purchase", 1700000000.5, 1699999000.25,
                                     APMObjectParametersFrom(parameters));
}

}  // namespace

TEST_F(EventRecord, OriginsAndNamesDecideWhetherAnEventIsMade) {
    EXPECT_FALSE(APMEvent::initWithOrigin("not valid", false, "_e", 1, 0, {}));
    EXPECT_FALSE(APMEvent::initWithOrigin("", false, "_e", 1, 0, {}));
    EXPECT_TRUE(APMEvent::initWithOrigin("app+gtm", false, "_e", 1, 0, {}));
    EXPECT_FALSE(APMEvent::initWithOrigin("app", true, "first_open", 1, 0, {}));
    EXPECT_TRUE(APMEvent::initWithOrigin("app", false, "_f", 1, 0, {}));
    EXPECT_FALSE(APMEvent::initWithOrigin("app", true, "_f", 1, 0, {}));
    // A previous occurrence later than this one is only logged.
    const auto late = APMEvent::initWithOrigin("auto", false, "_e", 10, 20, {});
    ASSERT_TRUE(late);
    EXPECT_EQ(late->previousTimestamp(), 20);
    // The origin always wins over a given "_o".
    EXPECT_EQ(parameter(late->parameters(), "_o"), text("auto"));
    EXPECT_EQ(parameter(event("level_up", {{"_o", "forged"}}, false).parameters(), "_o"), text("app"));
}

TEST_F(EventRecord, ConversionsAndAdImpressionsNeedAValidValue) {
    const auto impression = event("ad_impression", {{"value", "lots"}, {"currency", "EUR"}});
    EXPECT_FALSE(impression.parameters().contains("value"));
    EXPECT_EQ(parameter(impression.parameters(), "_err"), integer(18));
    EXPECT_EQ(parameter(impression.parameters(), "_ev"), text("value"));

    const auto conversion = event("_conv", {{"_c", 1}, {"value", 5}}, false);
    EXPECT_FALSE(conversion.isConversion());
    EXPECT_FALSE(conversion.parameters().contains("value"));
    EXPECT_EQ(parameter(conversion.parameters(), "_err"), integer(19));
    EXPECT_EQ(parameter(conversion.parameters(), "_ev"), text("currency"));
}

TEST_F(EventRecord, FlagsLiveInReservedParameters) {
    auto conversion = event("_conv", {{"_c", 1}, {"value", 5}, {"currency", "USD"}}, false);
    EXPECT_TRUE(conversion.isConversion());
    conversion.setConversion(false);
    EXPECT_FALSE(conversion.isConversion());
    EXPECT_EQ(parameter(conversion.parameters(), "_err"), integer(10));
    conversion.setConversion(true);
    EXPECT_TRUE(conversion.isConversion());
    EXPECT_FALSE(conversion.parameters().contains("_err"));

    // An error already there stays, whether the flag is cleared or set again.
    auto flagged = event("_conv", {{"_c", 1}, {"_err", 4}, {"value", 5}, {"currency", "USD"}}, false);
    flagged.setConversion(false);
    flagged.setConversion(true);
    EXPECT_EQ(parameter(flagged.parameters(), "_err"), integer(4));

    auto plain = event("level_up");
    plain.setRealtime(true);
    plain.setDebug(true);
    EXPECT_TRUE(plain.isRealtime());
    EXPECT_TRUE(plain.isDebug());
    plain.setRealtime(false);
    EXPECT_FALSE(plain.isRealtime());
    EXPECT_FALSE(plain.parameters().contains("_r"));
    EXPECT_FALSE(event("_e", {{"_r", "1"}, {"_dbg", 2}}, false).isRealtime());
    EXPECT_FALSE(event("_e", {{"_r", "1"}, {"_dbg", 2}}, false).isDebug());
}

TEST_F(EventRecord, ScreenParametersAreCheckedClassIdThenName) {
    Console::Capture capture;
    auto viewed = event("level_up");
    EXPECT_FALSE(viewed.addScreenParameters({{"_si", Value("7")}, {"_sn", Value("Timer")}}));
    // An empty class is refused before the id's type is looked at.
    EXPECT_FALSE(viewed.addScreenParameters({{"_sc", Value("")}, {"_si", Value("7")}}));
    EXPECT_FALSE(viewed.addScreenParameters({{"_si", Value(7)}, {"_sn", Value(repeat("n", 101))}}));
    EXPECT_EQ(viewed.parameters().size(), 1u);  // "_o" alone

    EXPECT_FALSE(viewed.addScreenParameters({{"_si", Value(7)}, {"_sc", integer(1)}}));
    EXPECT_TRUE(viewed.addScreenParameters({{"_si", integer(7)}, {"_sc", Value("TimeViewController")},
                                            {"_sn", text("Timer")}}));
    EXPECT_EQ(parameter(viewed.parameters(), "_si"), integer(7));
    EXPECT_EQ(parameter(viewed.parameters(), "_sc"), text("TimeViewController"));
    EXPECT_EQ(parameter(viewed.parameters(), "_sn"), text("Timer"));
    // Screen parameters are added once.
    EXPECT_FALSE(viewed.addScreenParameters({{"_si", Value(8)}}));
    EXPECT_EQ(parameter(viewed.parameters(), "_si"), integer(7));

    clock->runUntilIdle();
    EXPECT_TRUE(capture.contains("[I-ACS016003] Received invalid screen class"));
    EXPECT_TRUE(capture.contains("[I-ACS016004] Received invalid screen name"));
}

TEST_F(EventRecord, DefaultParametersFillInWithoutOverriding) {
    auto logged = event("level_up", {{"level", 3}});
    logged.applyParameters(APMObjectParametersFrom(Value::Dictionary{{"level", 1}, {"region", "eu"}, {"1bad", 1}}));
    EXPECT_EQ(parameter(logged.parameters(), "level"), integer(3));
    EXPECT_EQ(parameter(logged.parameters(), "region"), text("eu"));
    EXPECT_EQ(parameter(logged.parameters(), "_err"), integer(3));
}

TEST_F(EventRecord, TheUploadMessageMatchesTheReferenceEncoding) {
    const auto proto = goldenEvent().protoEvent();
    EXPECT_EQ(proto->protoBuffer(), proto_test::golden("event_record"));

    // Without a previous occurrence field 4 is absent; milliseconds are truncated.
    const auto first = APMEvent::initWithOrigin("app", false, "_e", 1.0004, 0, {});
    const auto message = first->protoEvent();
    EXPECT_FALSE(APMNanoHasField(message.get(), Field::kPreviousTimestampMillis));
    EXPECT_EQ(APMNanoGetInt64(message.get(), Field::kTimestampMillis), 1000);
    // A time beyond the 64-bit milliseconds saturates.
    const auto far = APMEvent::initWithOrigin("app", false, "_e", 1e300, 0, {});
    EXPECT_EQ(APMNanoGetInt64(far->protoEvent().get(), Field::kTimestampMillis), INT64_MAX);
}

TEST_F(EventRecord, StoredMessagesReadBackWithoutTheirArrays) {
    const auto golden = proto_test::golden("event_record");
    const auto message = APMPBEvent::initWithBuffer(golden);
    const auto readBack = APMEvent::initWithEventProto(message.get());
    ASSERT_TRUE(readBack);
    EXPECT_EQ(readBack->origin(), "app");
    EXPECT_EQ(readBack->name(), "purchase");
    EXPECT_EQ(readBack->timestamp(), 1700000000.5);
    EXPECT_EQ(readBack->previousTimestamp(), 1699999000.25);
    const APMValue::Parameters expected{{"_o", text("app")},           {"currency", text("EUR")},
                                        {"note", text("gr\xC3\xBCn")}, {"quantity", integer(2)},
                                        {"value", APMValue::initWithDouble(9.5)}};
    EXPECT_EQ(readBack->parameters(), expected);

    // Without "_o" there is no origin to read.
    auto withoutOrigin = APMPBEvent::initWithBuffer();
    APMNanoSetStringField(withoutOrigin.get(), Field::kName, "purchase");
    EXPECT_FALSE(APMEvent::initWithEventProto(withoutOrigin.get()));
}

TEST_F(EventRecord, EditedEventsSwapPublicAndInternalNames) {
    const auto screenView = event("_vs", {{"_sn", "Timer"}}, false);
    const APMPEvent edit = screenView.editEvent();
    EXPECT_EQ(edit.name(), "screen_view");
    EXPECT_EQ(edit.timestamp(), 1000);
    EXPECT_EQ(edit.parameters().at("_sn"), Value("Timer"));
    EXPECT_EQ(edit.parameters().at("_o"), Value("app"));

    const auto back = APMEvent::eventFromEditEvent(edit);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->name(), "_vs");
    EXPECT_EQ(back->origin(), "app");

    auto created = APMPEvent::initWithName("campaign_details", 5, {{"_o", "auto"}, {"source", "mail"}});
    const auto fromProgram = APMEvent::eventFromEditEvent(created);
    ASSERT_TRUE(fromProgram);
    EXPECT_EQ(fromProgram->origin(), "auto");
    EXPECT_EQ(APMEvent::eventFromEditEvent(APMPEvent::initWithName("va_campaign", 5, {}))->name(), "_cmp");
}

TEST_F(EventRecord, CopiesPassTheInternalRulesAgain) {
    const auto original = event("level_up", {{"score", 10}});
    const auto later = original.copyWithPreviousTimestamp(900);
    ASSERT_TRUE(later);
    EXPECT_EQ(later->previousTimestamp(), 900);
    EXPECT_EQ(later->parameters(), original.parameters());
    const auto replaced = original.copyWithParameters(APMObjectParametersFrom(Value::Dictionary{{"_internal", 1}}));
    ASSERT_TRUE(replaced);
    EXPECT_EQ(parameter(replaced->parameters(), "_internal"), integer(1));
    EXPECT_FALSE(replaced->parameters().contains("score"));
}
