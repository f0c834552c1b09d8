#include "analytics/storage/apm_raw_event_blob.h"

#include <algorithm>
#include <cfloat>
#include <cstring>

#include "analytics/foundation/apm_name_maps.h"
#include "analytics/messages/proto/apm.pb.h"
#include "analytics/monitor/apm_monitor.h"
#include "analytics/storage/apm_raw_event_row.h"
#include "analytics/records/apm_upload_milliseconds.h"

namespace analytics {

namespace {

enum WireType : std::uint8_t { kVarint = 0, kFixed64 = 1, kLengthDelimited = 2 };

// Appends protocol-buffer fields in the order they are written, which is the order of their numbers.
// The bytes go straight into a buffer kept larger than what it holds, so a field costs no call into the
// vector.
class FieldWriter {
public:
    FieldWriter(APMBytes& out, std::size_t expectedSize) : out_(out) { out_.resize(expectedSize); }
    ~FieldWriter() { out_.resize(used_); }

    void integer(std::uint32_t field, std::int64_t value) {
        tag(field, kVarint);
        varint(static_cast<std::uint64_t>(value));
    }
    void real(std::uint32_t field, double value) {
        tag(field, kFixed64);
        std::uint64_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        makeRoom(8);
        for (int i = 0; i < 8; ++i) out_[used_++] = static_cast<std::uint8_t>(bits >> (8 * i));
    }
    void text(std::uint32_t field, const std::string& value) {
        tag(field, kLengthDelimited);
        varint(value.size());
        makeRoom(value.size());
        if (!value.empty()) std::memcpy(out_.data() + used_, value.data(), value.size());
        used_ += value.size();
    }
    // A sub-message: its fields are written after one byte kept for their length, which moves them only
    // when the length needs more than that byte.
    template <typename Body>
    void message(std::uint32_t field, Body&& body) {
        tag(field, kLengthDelimited);
        makeRoom(1);
        const std::size_t lengthAt = used_++;
        body();
        const std::size_t length = used_ - lengthAt - 1;
        if (length < 0x80) {
            out_[lengthAt] = static_cast<std::uint8_t>(length);
            return;
        }
        std::uint8_t lengthBytes[10];
        const std::size_t lengthSize = varintInto(length, lengthBytes);
        makeRoom(lengthSize - 1);
        std::uint8_t* data = out_.data();
        std::memmove(data + lengthAt + lengthSize, data + lengthAt + 1, length);
        std::memcpy(data + lengthAt, lengthBytes, lengthSize);
        used_ += lengthSize - 1;
    }

private:
    void tag(std::uint32_t field, WireType type) { varint((field << 3) | type); }
    void varint(std::uint64_t value) {
        makeRoom(10);
        used_ += varintInto(value, out_.data() + used_);
    }
    static std::size_t varintInto(std::uint64_t value, std::uint8_t* bytes) {
        std::size_t size = 0;
        for (; value >= 0x80; value >>= 7) bytes[size++] = static_cast<std::uint8_t>(value | 0x80);
        bytes[size++] = static_cast<std::uint8_t>(value);
        return size;
    }
    // Room for `size` more bytes after what was written.
    void makeRoom(std::size_t size) {
        if (used_ + size > out_.size()) out_.resize(std::max(2 * out_.size(), used_ + size));
    }

    APMBytes& out_;
    std::size_t used_ = 0;
};

void writeParams(FieldWriter& writer, std::uint32_t field, const APMValue::Parameters& parameters,
                 const std::string& eventName, bool isNested);

void writeParam(FieldWriter& writer, const std::string& name, const APMValue& value,
                const std::string& eventName) {
    writer.text(apmpb_EventParam_name_tag, name);
    switch (value.valueType()) {
        case APMValue::kString:
            writer.text(apmpb_EventParam_string_value_tag, *value.stringValue());
            break;
        case APMValue::kInt64:
            writer.integer(apmpb_EventParam_int_value_tag, value.int64Value());
            break;
        case APMValue::kDouble:
            writer.real(apmpb_EventParam_double_value_tag, value.doubleValue());
            break;
        case APMValue::kArray:
            // Each item is a parameter without a name whose nested parameters are the item's values.
            for (const APMValue::Parameters& item : *value.arrayValue()) {
                writer.message(apmpb_EventParam_param_value_tag, [&] {
                    writeParams(writer, apmpb_EventParam_param_value_tag, item, eventName, true);
                });
            }
            break;
    }
}

void writeParams(FieldWriter& writer, std::uint32_t field, const APMValue::Parameters& parameters,
                 const std::string& eventName, bool isNested) {
    for (const auto& parameter : parameters) {
        if (isNested && parameter.second.isArray()) {
            APMMonitor::sharedInstance()->logWithLevel(
                APMLogLevel::SilentError, 16007, "Nested params cannot have more than 1 level. Event name, param name",
                APMLoggableEventName(eventName), APMLoggableParameterName(parameter.first));
            continue;
        }
        writer.message(field, [&] { writeParam(writer, parameter.first, parameter.second, eventName); });
    }
}

}  // namespace

APMBytes APMRawEventBlob(const APMEvent& event) {
    APMBytes blob;
    {
        FieldWriter writer(blob, 64 + 32 * event.parameters().size());
        writeParams(writer, apmpb_Event_params_tag, event.parameters(), event.name(), false);
        writer.integer(apmpb_Event_timestamp_millis_tag, APMUploadMilliseconds(event.timestamp()));
        if (event.previousTimestamp() > DBL_EPSILON)
            writer.integer(apmpb_Event_previous_timestamp_millis_tag,
                           APMUploadMilliseconds(event.previousTimestamp()));
    }
    return blob;
}

APMRawEventRow::APMRawEventRow(const APMEvent& event)
    : data(APMRawEventBlob(event)), name(event.name()), timestamp(event.timestamp()), isRealtime(event.isRealtime()) {}

}  // namespace analytics
