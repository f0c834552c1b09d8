#include "analytics/storage/apm_raw_event_blob.h"

#include <gtest/gtest.h>

#include <string>

#include "analytics/messages/nano_field_access.h"
#include "analytics/messages/proto/apm_messages.h"
#include "analytics/storage/apm_raw_event_row.h"

using namespace analytics;
using platform::Value;

namespace {

// The bytes the message layer writes for the event's upload message without its name.
APMBytes messageLayerBytes(const APMEvent& event) {
    auto proto = event.protoEvent();
    APMNanoClearField(proto.get(), apmpb_fields::Event::kName);
    return *proto->protoBuffer();
}

}  // namespace

// A parameter or an item longer than 127 bytes has a length of two bytes in front of it, and an item
// array nests one message in another: every size must come out as the message layer writes it.
TEST(RawEventBlob, LongParametersAndNestedItemsAreTheMessageLayersBytes) {
    const std::string hundred(100, 'x');
    const Value::Dictionary longItem{{"item_name", hundred}, {"item_brand", hundred}, {"price", 9.5}};
    const Value::Dictionary shortItem{{"item_name", "Socks"}, {"quantity", 2}};
    const auto purchase = *APMEvent::initWithOrigin(
        "app", true, "purchase", 1700000000.5, 1699990000.25,
        APMObjectParametersFrom(Value::Dictionary{
            {"coupon", hundred}, {"note", "short"}, {"items", Value::Array{longItem, shortItem, longItem}}}));
    EXPECT_EQ(APMRawEventBlob(purchase), messageLayerBytes(purchase));

    const auto internal =
        *APMEvent::initWithOrigin("auto", false, "_e", 1.5, 0,
                                  APMObjectParametersFrom(Value::Dictionary{{"_ev", std::string(256, 'y')}}));
    EXPECT_EQ(APMRawEventBlob(internal), messageLayerBytes(internal));

    const auto bare = *APMEvent::initWithOrigin("app", true, "tap", 2.0, 0, {});
    EXPECT_EQ(APMRawEventBlob(bare), messageLayerBytes(bare));
}

// The row an event is made into where it is logged holds what storing the event itself would: its
// bytes, its name, its time and its real-time flag (set only by an integer "_r" of 1).
TEST(RawEventBlob, AnEventsRowHoldsWhatItsRawEventIsStoredWith) {
    auto event = *APMEvent::initWithOrigin("app", true, "level_up", 1700000000.25, 0,
                                           APMObjectParametersFrom(Value::Dictionary{{"level", 3}}));
    const APMRawEventRow plain(event);
    EXPECT_EQ(plain.data, APMRawEventBlob(event));
    EXPECT_EQ(plain.name, "level_up");
    EXPECT_EQ(plain.timestamp, 1700000000.25);
    EXPECT_FALSE(plain.isRealtime);
    event.setRealtime(true);
    const APMRawEventRow realtime(event);
    EXPECT_TRUE(realtime.isRealtime);
    EXPECT_EQ(realtime.data, APMRawEventBlob(event));
    EXPECT_NE(realtime.data, plain.data);
}
