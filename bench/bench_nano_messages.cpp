// Encoding and decoding a realistic upload bundle (about 3.5 kB: 16 events with five parameters each, user
// properties, app metadata) through the message layer, beside nanopb used directly on the same generated
// structures with hand-written callbacks that fill plain C++ containers.
#include <benchmark/benchmark.h>
#include <pb_common.h>
#include <pb_decode.h>
#include <pb_encode.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>
#include <vector>

#include "analytics/messages/nano_field_access.h"
#include "analytics/messages/proto/apm.pb.h"
#include "analytics/messages/proto/apm_messages.h"
#include "bench/bench_repetitions.h"

namespace {

using BundleField = apmpb_fields::MeasurementBundle;
using EventField = apmpb_fields::Event;
using ParamField = apmpb_fields::EventParam;
using AttributeField = apmpb_fields::UserAttribute;

std::shared_ptr<APMPBEventParam> param(const std::string& name) {
    auto param = APMPBEventParam::initWithBuffer();
    APMNanoSetStringField(param.get(), ParamField::kName, name);
    return param;
}

NanoObject object(std::shared_ptr<NANOMessageBase> message) {
    return message;
}

std::shared_ptr<APMPBMeasurementBundle> makeBundle() {
    auto bundle = APMPBMeasurementBundle::initWithBuffer();
    APMNanoSetInt32(bundle.get(), BundleField::kProtocolVersion, 1);
    std::vector<NanoObject> events;
    for (int i = 0; i < 16; ++i) {
        auto event = APMPBEvent::initWithBuffer();
        std::vector<NanoObject> params;
        auto origin = param("_o");
        APMNanoSetStringField(origin.get(), ParamField::kStringValue, "auto");
        params.push_back(object(origin));
        auto screen = param("_sc");
        APMNanoSetStringField(screen.get(), ParamField::kStringValue, "TimerViewController");
        params.push_back(object(screen));
        auto screenId = param("_si");
        APMNanoSetInt64(screenId.get(), ParamField::kIntValue, -4511392015712935371LL + i);
        params.push_back(object(screenId));
        auto length = param("session_length");
        APMNanoSetDouble(length.get(), ParamField::kDoubleValue, 1500.0 + i);
        params.push_back(object(length));
        auto orientation = param("Orientation");
        APMNanoSetStringField(orientation.get(), ParamField::kStringValue, i % 2 ? "landscape" : "portrait");
        params.push_back(object(orientation));
        APMNanoSetArray(event.get(), EventField::kParams, &params);
        APMNanoSetStringField(event.get(), EventField::kName, i % 3 ? "Chart_Event" : "_e");
        APMNanoSetInt64(event.get(), EventField::kTimestampMillis, 1700000000000LL + i * 61000);
        APMNanoSetInt64(event.get(), EventField::kPreviousTimestampMillis,
                        1700000000000LL + i * 61000 - 60000);
        events.push_back(object(event));
    }
    APMNanoSetArray(bundle.get(), BundleField::kEvents, &events);
    std::vector<NanoObject> attributes;
    const char* names[] = {"_fot", "_fi", "_lte", "_se", "theme", "plan"};
    for (int i = 0; i < 6; ++i) {
        auto attribute = APMPBUserAttribute::initWithBuffer();
        APMNanoSetInt64(attribute.get(), AttributeField::kSetTimestampMillis, 1699990000000LL + i);
        APMNanoSetStringField(attribute.get(), AttributeField::kName, names[i]);
        if (i % 2) {
            APMNanoSetStringField(attribute.get(), AttributeField::kStringValue,
                                  "value-" + std::to_string(i));
        } else {
            APMNanoSetInt64(attribute.get(), AttributeField::kIntValue, 1699990000000LL + i);
        }
        attributes.push_back(object(attribute));
    }
    APMNanoSetArray(bundle.get(), BundleField::kUserAttributes, &attributes);
    APMNanoSetInt64(bundle.get(), BundleField::kUploadTimestampMillis, 1700000900000LL);
    APMNanoSetInt64(bundle.get(), BundleField::kStartTimestampMillis, 1700000000000LL);
    APMNanoSetInt64(bundle.get(), BundleField::kEndTimestampMillis, 1700000732000LL);
    APMNanoSetInt64(bundle.get(), BundleField::kPreviousBundleStartTimestampMillis, 1699990000000LL);
    APMNanoSetInt64(bundle.get(), BundleField::kPreviousBundleEndTimestampMillis, 1699990800000LL);
    APMNanoSetStringField(bundle.get(), BundleField::kPlatform, "ios");
    APMNanoSetStringField(bundle.get(), BundleField::kOsVersion, "17.2.1");
    APMNanoSetStringField(bundle.get(), BundleField::kDeviceModel, "iPhone15,3");
    APMNanoSetStringField(bundle.get(), BundleField::kUserDefaultLanguage, "en-gb");
    APMNanoSetInt32(bundle.get(), BundleField::kTimeZoneOffsetMinutes, 60);
    APMNanoSetStringField(bundle.get(), BundleField::kAppId, "com.example.quorvel");
    APMNanoSetStringField(bundle.get(), BundleField::kAppVersion, "4.2.0");
    APMNanoSetInt64(bundle.get(), BundleField::kLibraryVersionAtEvent, 81500);
    APMNanoSetInt64(bundle.get(), BundleField::kLibraryVersionAtUpload, 81500);
    APMNanoSetStringField(bundle.get(), BundleField::kVendorId, "6F1C0E2A-0B7D-4E59-9C1A-3D2B4F5A6E7C");
    APMNanoSetStringField(bundle.get(), BundleField::kAppInstanceId, "0d4bb5e4a1f14c2e9c7a2b9f7e3d1c55");
    APMNanoSetInt32(bundle.get(), BundleField::kBundleSequentialIndex, 41);
    APMNanoSetStringField(bundle.get(), BundleField::kHealthMonitorSample, std::string(600, 'h'));
    APMNanoSetStringField(bundle.get(), BundleField::kVuziriAppId, "1:123456789012:ios:0123456789abcdef");
    APMNanoSetInt32(bundle.get(), BundleField::kAppVersionMajor, 4);
    APMNanoSetInt32(bundle.get(), BundleField::kAppVersionMinor, 2);
    APMNanoSetInt32(bundle.get(), BundleField::kAppVersionRelease, 0);
    APMNanoSetInt64(bundle.get(), BundleField::kConfigVersion, 1699000000000LL);
    const std::vector<NanoObject> experiments{NanoNumber::withUnsignedInt(101),
                                              NanoNumber::withUnsignedInt(2002),
                                              NanoNumber::withUnsignedInt(30003)};
    APMNanoSetArray(bundle.get(), BundleField::kExperimentIds, &experiments);
    APMNanoSetStringField(bundle.get(), BundleField::kConsentSignals, "G1--");
    return bundle;
}

// ---- nanopb used directly ----

bool readString(pb_istream_t* stream, const pb_field_t*, void** arg) {
    auto* out = static_cast<std::string*>(*arg);
    out->resize(stream->bytes_left);
    return pb_read(stream, reinterpret_cast<pb_byte_t*>(out->data()), out->size());
}

bool writeString(pb_ostream_t* stream, const pb_field_t* field, void* const* arg) {
    const auto* value = static_cast<const std::string*>(*arg);
    if (value->empty()) return true;
    return pb_encode_tag_for_field(stream, field) &&
           pb_encode_string(stream, reinterpret_cast<const pb_byte_t*>(value->data()), value->size());
}

struct RawParam {
    apmpb_EventParam fields;
    std::string name, text;
};
struct RawEvent {
    apmpb_Event fields;
    std::string name;
    std::vector<RawParam> params;
};
struct RawAttribute {
    apmpb_UserAttribute fields;
    std::string name, text;
};
struct RawBundle {
    apmpb_MeasurementBundle fields;
    std::array<std::string, 66> strings;  // by field number
    std::vector<RawEvent> events;
    std::vector<RawAttribute> attributes;
    std::vector<uint32_t> experiments;
};

bool readParam(pb_istream_t* stream, const pb_field_t*, void** arg) {
    RawParam& param = static_cast<std::vector<RawParam>*>(*arg)->emplace_back();
    param.fields = apmpb_EventParam_init_zero;
    param.fields.name = {{readString}, &param.name};
    param.fields.string_value = {{readString}, &param.text};
    return pb_decode(stream, apmpb_EventParam_fields, &param.fields);
}

bool readEvent(pb_istream_t* stream, const pb_field_t*, void** arg) {
    RawEvent& event = static_cast<std::vector<RawEvent>*>(*arg)->emplace_back();
    event.fields = apmpb_Event_init_zero;
    event.fields.name = {{readString}, &event.name};
    event.fields.params.funcs.decode = readParam;
    event.fields.params.arg = &event.params;
    return pb_decode(stream, apmpb_Event_fields, &event.fields);
}

bool readAttribute(pb_istream_t* stream, const pb_field_t*, void** arg) {
    RawAttribute& attribute = static_cast<std::vector<RawAttribute>*>(*arg)->emplace_back();
    attribute.fields = apmpb_UserAttribute_init_zero;
    attribute.fields.name = {{readString}, &attribute.name};
    attribute.fields.string_value = {{readString}, &attribute.text};
    return pb_decode(stream, apmpb_UserAttribute_fields, &attribute.fields);
}

bool readExperiment(pb_istream_t* stream, const pb_field_t*, void** arg) {
    uint64_t value;
    if (!pb_decode_varint(stream, &value)) return false;
    static_cast<std::vector<uint32_t>*>(*arg)->push_back(static_cast<uint32_t>(value));
    return true;
}

bool rawDecode(const std::vector<uint8_t>& bytes, RawBundle& bundle) {
    bundle.fields = apmpb_MeasurementBundle_init_zero;
    pb_field_iter_t it;
    pb_field_iter_begin(&it, apmpb_MeasurementBundle_fields, &bundle.fields);
    do {
        if (PB_LTYPE(it.type) == PB_LTYPE_STRING && PB_HTYPE(it.type) != PB_HTYPE_REPEATED) {
            *static_cast<pb_callback_t*>(it.pData) = {{readString}, &bundle.strings[it.tag]};
        }
    } while (pb_field_iter_next(&it));
    bundle.fields.events = {{readEvent}, &bundle.events};
    bundle.fields.user_attributes = {{readAttribute}, &bundle.attributes};
    bundle.fields.experiment_ids = {{readExperiment}, &bundle.experiments};
    pb_istream_t stream = pb_istream_from_buffer(bytes.data(), bytes.size());
    return pb_decode(&stream, apmpb_MeasurementBundle_fields, &bundle.fields);
}

bool writeParams(pb_ostream_t* stream, const pb_field_t* field, void* const* arg) {
    for (const RawParam& param : *static_cast<const std::vector<RawParam>*>(*arg)) {
        apmpb_EventParam fields = param.fields;
        fields.name.funcs.encode = writeString;
        fields.name.arg = const_cast<std::string*>(&param.name);
        fields.string_value.funcs.encode = writeString;
        fields.string_value.arg = const_cast<std::string*>(&param.text);
        if (!pb_encode_tag_for_field(stream, field) ||
            !pb_encode_submessage(stream, apmpb_EventParam_fields, &fields)) {
            return false;
        }
    }
    return true;
}

bool writeEvents(pb_ostream_t* stream, const pb_field_t* field, void* const* arg) {
    for (const RawEvent& event : *static_cast<const std::vector<RawEvent>*>(*arg)) {
        apmpb_Event fields = event.fields;
        fields.name.funcs.encode = writeString;
        fields.name.arg = const_cast<std::string*>(&event.name);
        fields.params.funcs.encode = writeParams;
        fields.params.arg = const_cast<std::vector<RawParam>*>(&event.params);
        if (!pb_encode_tag_for_field(stream, field) ||
            !pb_encode_submessage(stream, apmpb_Event_fields, &fields)) {
            return false;
        }
    }
    return true;
}

bool writeAttributes(pb_ostream_t* stream, const pb_field_t* field, void* const* arg) {
    for (const RawAttribute& attribute : *static_cast<const std::vector<RawAttribute>*>(*arg)) {
        apmpb_UserAttribute fields = attribute.fields;
        fields.name.funcs.encode = writeString;
        fields.name.arg = const_cast<std::string*>(&attribute.name);
        fields.string_value.funcs.encode = writeString;
        fields.string_value.arg = const_cast<std::string*>(&attribute.text);
        if (!pb_encode_tag_for_field(stream, field) ||
            !pb_encode_submessage(stream, apmpb_UserAttribute_fields, &fields)) {
            return false;
        }
    }
    return true;
}

bool writeExperiments(pb_ostream_t* stream, const pb_field_t* field, void* const* arg) {
    for (uint32_t id : *static_cast<const std::vector<uint32_t>*>(*arg)) {
        if (!pb_encode_tag_for_field(stream, field) || !pb_encode_varint(stream, id)) return false;
    }
    return true;
}

bool rawEncode(const RawBundle& bundle, std::vector<uint8_t>& out) {
    apmpb_MeasurementBundle fields = bundle.fields;
    pb_field_iter_t it;
    pb_field_iter_begin(&it, apmpb_MeasurementBundle_fields, &fields);
    do {
        if (PB_LTYPE(it.type) == PB_LTYPE_STRING && PB_HTYPE(it.type) != PB_HTYPE_REPEATED) {
            auto* callback = static_cast<pb_callback_t*>(it.pData);
            callback->funcs.encode = writeString;
            callback->arg = const_cast<std::string*>(&bundle.strings[it.tag]);
        }
    } while (pb_field_iter_next(&it));
    fields.events = {};
    fields.events.funcs.encode = writeEvents;
    fields.events.arg = const_cast<std::vector<RawEvent>*>(&bundle.events);
    fields.user_attributes.funcs.encode = writeAttributes;
    fields.user_attributes.arg = const_cast<std::vector<RawAttribute>*>(&bundle.attributes);
    fields.experiment_ids.funcs.encode = writeExperiments;
    fields.experiment_ids.arg = const_cast<std::vector<uint32_t>*>(&bundle.experiments);
    size_t size;
    if (!pb_get_encoded_size(&size, apmpb_MeasurementBundle_fields, &fields)) return false;
    out.resize(size);
    pb_ostream_t stream = pb_ostream_from_buffer(out.data(), out.size());
    return pb_encode(&stream, apmpb_MeasurementBundle_fields, &fields);
}

const std::vector<uint8_t>& bundleBytes() {
    static const std::vector<uint8_t> bytes = [] {
        auto encoded = makeBundle()->protoBuffer();
        RawBundle raw;
        std::vector<uint8_t> again;
        // Both paths must agree on the bytes before their times mean anything.
        if (!encoded || !rawDecode(*encoded, raw) || !rawEncode(raw, again) || again != *encoded)
            std::abort();
        return *encoded;
    }();
    return bytes;
}

}  // namespace

static void LayerDecodeBundle(benchmark::State& state) {
    const auto& bytes = bundleBytes();
    for (auto _ : state) {
        auto bundle = APMPBMeasurementBundle::initWithBuffer(bytes);
        benchmark::DoNotOptimize(bundle.get());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
    state.counters["bundle_bytes"] = static_cast<double>(bytes.size());
}

static void RawNanopbDecodeBundle(benchmark::State& state) {
    const auto& bytes = bundleBytes();
    for (auto _ : state) {
        RawBundle bundle;
        if (!rawDecode(bytes, bundle)) std::abort();
        benchmark::DoNotOptimize(bundle.events.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

static void LayerEncodeBundle(benchmark::State& state) {
    auto bundle = APMPBMeasurementBundle::initWithBuffer(bundleBytes());
    for (auto _ : state) {
        auto bytes = bundle->protoBuffer();
        benchmark::DoNotOptimize(bytes->data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bundleBytes().size()));
}

static void RawNanopbEncodeBundle(benchmark::State& state) {
    RawBundle bundle;
    if (!rawDecode(bundleBytes(), bundle)) std::abort();
    for (auto _ : state) {
        std::vector<uint8_t> bytes;
        if (!rawEncode(bundle, bytes)) std::abort();
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bundleBytes().size()));
}

BENCHMARK(LayerDecodeBundle)->Apply(quorvel::bench::repeated)->Repetitions(9)->Unit(benchmark::kMicrosecond);
BENCHMARK(RawNanopbDecodeBundle)->Apply(quorvel::bench::repeated)->Repetitions(9)->Unit(benchmark::kMicrosecond);
BENCHMARK(LayerEncodeBundle)->Apply(quorvel::bench::repeated)->Repetitions(9)->Unit(benchmark::kMicrosecond);
BENCHMARK(RawNanopbEncodeBundle)->Apply(quorvel::bench::repeated)->Repetitions(9)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
