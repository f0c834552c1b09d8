#include "analytics/messages/nano_field_access.h"

#include <cstring>

#include "analytics/messages/nano_log.h"
#include "analytics/messages/nano_message_type.h"
#include "platform/foundation/utf8.h"

namespace {

bool isMessage(uint32_t flags) {
    return (flags & (kNanoMessage | kNanoRepeated)) == kNanoMessage;
}
bool isRepeated(uint32_t flags) {
    return flags & kNanoRepeated;
}

bool inRange(const NANOMessageBase* message, int32_t index) {
    return index >= 0 && static_cast<uint32_t>(index) < message->messageType().fieldCount;
}

APMNanoMessageInfo* initialisedInfo(const NANOMessageBase* message, const char* operation) {
    APMNanoMessageInfo* info = message ? message->messageInfo() : nullptr;
    if (info && info->fields) return info;
    NanoLog::print("ProtocolBuffer message hasn't been initialized. %s can't be performed", operation);
    return nullptr;
}

// The info when the field exists and is of an accepted kind; an index outside the message is refused
// like a field of the wrong kind.
APMNanoMessageInfo* fieldInfo(const NANOMessageBase* message, int32_t index, const char* operation,
                              bool (*accepts)(uint32_t), const char* kind) {
    APMNanoMessageInfo* info = initialisedInfo(message, operation);
    if (!info) return nullptr;
    if (!inRange(message, index) || !accepts(info->fieldTypes[index])) {
        NanoLog::print("<Nano/Failure> Field type isn't %s. Message: %s, field ID: %d", kind, info->name,
                       index);
        return nullptr;
    }
    return info;
}

uint64_t& wordCell(void*& cell) {
    if (!cell) cell = new uint64_t(0);
    return *static_cast<uint64_t*>(cell);
}

uint64_t word(const void* cell) {
    return *static_cast<const uint64_t*>(cell);
}

std::optional<std::string> stringOf(const APMNanoString* cell) {
    if (!cell || !cell->bytes ||
        !platform::isValidUtf8({reinterpret_cast<const char*>(cell->bytes), cell->size}))
        return std::nullopt;
    return std::string(reinterpret_cast<const char*>(cell->bytes), cell->size);
}

// What the scalar template needs of each kind: the names misuse is logged with, which fields hold the
// kind, and how a cell holds the value.
template <typename T>
struct Scalar;

template <>
struct Scalar<bool> {
    static constexpr const char* kGet = "GetBool";
    static constexpr const char* kSet = "SetBool";
    static constexpr const char* kKind = "a scalar BOOL";
    static bool accepts(uint32_t flags) { return (flags & (kNanoBool | kNanoRepeated)) == kNanoBool; }
    static bool read(const void* cell) { return (word(cell) & 0xff) != 0; }
    static void write(void*& cell, bool value) { wordCell(cell) = value ? 1 : 0; }
};

template <>
struct Scalar<int32_t> {
    static constexpr const char* kGet = "GetInt32";
    static constexpr const char* kSet = "SetInt32";
    static constexpr const char* kKind = "a scalar INT32";
    static bool accepts(uint32_t flags) {
        return (flags & (kNanoEnum | kNanoInt32 | kNanoUInt32)) && !(flags & kNanoRepeated);
    }
    static int32_t read(const void* cell) { return static_cast<int32_t>(word(cell)); }
    static void write(void*& cell, int32_t value) { wordCell(cell) = static_cast<uint32_t>(value); }
};

template <>
struct Scalar<int64_t> {
    static constexpr const char* kGet = "GetInt64";
    static constexpr const char* kSet = "SetInt64";
    static constexpr const char* kKind = "a scalar INT64";
    static bool accepts(uint32_t flags) {
        return (flags & (kNanoInt64 | kNanoUInt64)) && !(flags & kNanoRepeated);
    }
    static int64_t read(const void* cell) { return static_cast<int64_t>(word(cell)); }
    static void write(void*& cell, int64_t value) { wordCell(cell) = static_cast<uint64_t>(value); }
};

template <>
struct Scalar<double> {
    static constexpr const char* kGet = "GetDouble";
    static constexpr const char* kSet = "SetDouble";
    static constexpr const char* kKind = "a scalar DOUBLE";
    static bool accepts(uint32_t flags) { return (flags & (kNanoDouble | kNanoRepeated)) == kNanoDouble; }
    static double read(const void* cell) { return *static_cast<const double*>(cell); }
    static void write(void*& cell, double value) {
        if (!cell) cell = new double(0);
        *static_cast<double*>(cell) = value;
    }
};

template <>
struct Scalar<std::string> {
    static constexpr const char* kGet = "GetString";
    static constexpr const char* kSet = "SetString";
    static constexpr const char* kKind = "a scalar STRING";
    static bool accepts(uint32_t flags) { return (flags & (kNanoString | kNanoRepeated)) == kNanoString; }
    static std::optional<std::string> read(const void* cell) {
        return stringOf(static_cast<const APMNanoString*>(cell));
    }
    static void write(void*& cell, std::string_view value) {
        if (!cell) cell = new APMNanoString{0, nullptr};
        APMNanoCopyNSString(static_cast<APMNanoString*>(cell), value);
    }
};

const NanoMessageType* fieldSubType(const NANOMessageBase* message, int32_t index) {
    return message->messageType().fields[index].sub;
}

bool isOfType(const NANOMessageBase* value, const NanoMessageType* type) {
    return value && type && std::strcmp(value->messageID(), type->name) == 0;
}

NanoObject objectOf(uint32_t flags, const void* cell, const NanoMessageClass& elementClass) {
    if (flags & kNanoBool) return NanoNumber::withBool(*static_cast<const uint64_t*>(cell) & 0xff);
    if (flags & kNanoInt32) {
        return NanoNumber::withInt(static_cast<int32_t>(*static_cast<const uint64_t*>(cell)));
    }
    if (flags & kNanoUInt32) {
        return NanoNumber::withUnsignedInt(static_cast<uint32_t>(*static_cast<const uint64_t*>(cell)));
    }
    if (flags & kNanoInt64) {
        return NanoNumber::withLongLong(static_cast<int64_t>(*static_cast<const uint64_t*>(cell)));
    }
    if (flags & kNanoUInt64) return NanoNumber::withUnsignedLongLong(*static_cast<const uint64_t*>(cell));
    if (flags & kNanoFloat) return NanoNumber::withFloat(*static_cast<const float*>(cell));
    if (flags & kNanoDouble) return NanoNumber::withDouble(*static_cast<const double*>(cell));
    if (flags & kNanoEnum)
        return NanoNumber::withInt(static_cast<int32_t>(*static_cast<const uint64_t*>(cell)));
    if (flags & kNanoString) {
        auto string = stringOf(static_cast<const APMNanoString*>(cell));
        if (!string) return std::monostate{};
        return std::move(*string);
    }
    if (flags & kNanoBytes) {
        const auto* data = static_cast<const APMNanoString*>(cell);
        if (!data->bytes) return std::monostate{};
        return NanoData(data->bytes, data->bytes + data->size);
    }
    if (flags & kNanoMessage) {
        if (!elementClass.initWithMessageInfo) {
            NanoLog::print("<ERROR> Provided class doesn't implement initWithMessageInfo: method. Class: %s",
                           elementClass.className);
            return std::monostate{};
        }
        auto message = elementClass.initWithMessageInfo(static_cast<const APMNanoMessageInfo*>(cell));
        if (!message) return std::monostate{};
        return message;
    }
    NanoLog::print("<ERROR> Unable to convert byte data to an ObjC object. Unknown type. %d",
                   static_cast<int>(flags));
    return std::monostate{};
}

// A new element cell for `object`, or nullptr after logging why the object does not fit the field.
void* cellOf(uint32_t flags, const NanoMessageType* sub, const NanoObject& object) {
    const auto* number = std::get_if<NanoNumber>(&object);
    auto wrongType = [&](const char* expected) -> void* {
        NanoLog::print("<ERROR> Invalid object type. %s. Type: %s", expected,
                       NanoObjectClassName(object).c_str());
        return nullptr;
    };
    if (flags & kNanoBool) {
        return number ? new uint64_t(number->boolValue() ? 1 : 0)
                      : wrongType("Boolean fields expect NSNumber");
    }
    if (flags & (kNanoInt32 | kNanoUInt32)) {
        return number ? new uint64_t(number->unsignedIntValue()) : wrongType("Int32 fields expect NSNumber");
    }
    if (flags & (kNanoInt64 | kNanoUInt64)) {
        return number ? new uint64_t(static_cast<uint64_t>(number->longLongValue()))
                      : wrongType("Int64 fields expect NSNumber");
    }
    if (flags & kNanoFloat) {
        return number ? new float(number->floatValue()) : wrongType("Float fields expect NSNumber");
    }
    if (flags & kNanoDouble) {
        return number ? new double(number->doubleValue()) : wrongType("Double fields expect NSNumber");
    }
    if (flags & kNanoEnum) {
        return number ? new uint64_t(number->unsignedIntValue()) : wrongType("Enum fields expect NSNumber");
    }
    if (flags & kNanoString) {
        const auto* string = std::get_if<std::string>(&object);
        if (!string) return wrongType("String fields expect NSString");
        auto* cell = new APMNanoString{0, nullptr};
        APMNanoCopyNSString(cell, *string);
        return cell;
    }
    if (flags & kNanoBytes) {
        const auto* data = std::get_if<NanoData>(&object);
        if (!data) return wrongType("Bytes fields expect NSData");
        auto* cell = new APMNanoString{0, nullptr};
        APMNanoCopyNSData(cell, *data);
        return cell;
    }
    if (flags & kNanoMessage) {
        const auto* message = std::get_if<std::shared_ptr<NANOMessageBase>>(&object);
        // Only a message of the field's own type: any other would be encoded against the wrong table.
        if (!message || !isOfType(message->get(), sub) || !(*message)->messageInfo()) {
            return wrongType("Message fields expect NANOMessageBase");
        }
        APMNanoMessageInfo* copy = nullptr;
        if (!(*message)->copyMessageInfoFn()(&copy, (*message)->messageInfo())) {
            sub->release(copy);
            return wrongType("Message fields expect NANOMessageBase");
        }
        return copy;
    }
    NanoLog::print("<ERROR> Unable to convert ObjC object to byte data. Unknown type. %d",
                   static_cast<int>(flags));
    return nullptr;
}

}  // namespace

bool APMNanoHasField(const NANOMessageBase* message, int32_t index) {
    APMNanoMessageInfo* info = message ? message->messageInfo() : nullptr;
    if (!info || !info->fields) {
        NanoLog::print(
            "ProtocolBuffer message hasn't been initialized. HasField operation can't be performed. Message "
            "name %s",
            message ? message->messageID() : "(null)");
        return false;
    }
    if (!inRange(message, index)) {
        NanoLog::print("<Nano/Failure> Unknown field. Message: %s, field ID: %d", info->name, index);
        return false;
    }
    if (info->fieldTypes[index] & kNanoRepeated) return true;
    return info->fields[index] != nullptr;
}

void APMNanoClearField(NANOMessageBase* message, int32_t index) {
    APMNanoMessageInfo* info = message ? message->messageInfo() : nullptr;
    if (!info || !info->fields) {
        NanoLog::print("ProtocolBuffer message hasn't been initialized. ClearField can't be performed");
        return;
    }
    message->deallocMessageFieldFn()(info, index);
}

template <APMNanoScalar T>
APMNanoRead<T> APMNanoGet(const NANOMessageBase* message, int32_t index) {
    using Kind = Scalar<T>;
    APMNanoMessageInfo* info = fieldInfo(message, index, Kind::kGet, Kind::accepts, Kind::kKind);
    if (!info || !info->fields[index]) return {};
    return Kind::read(info->fields[index]);
}

template <APMNanoScalar T>
void APMNanoSet(NANOMessageBase* message, int32_t index, APMNanoWrite<T> value) {
    using Kind = Scalar<T>;
    APMNanoMessageInfo* info = fieldInfo(message, index, Kind::kSet, Kind::accepts, Kind::kKind);
    if (info) Kind::write(info->fields[index], value);
}

template APMNanoRead<bool> APMNanoGet<bool>(const NANOMessageBase*, int32_t);
template APMNanoRead<int32_t> APMNanoGet<int32_t>(const NANOMessageBase*, int32_t);
template APMNanoRead<int64_t> APMNanoGet<int64_t>(const NANOMessageBase*, int32_t);
template APMNanoRead<double> APMNanoGet<double>(const NANOMessageBase*, int32_t);
template APMNanoRead<std::string> APMNanoGet<std::string>(const NANOMessageBase*, int32_t);
template void APMNanoSet<bool>(NANOMessageBase*, int32_t, APMNanoWrite<bool>);
template void APMNanoSet<int32_t>(NANOMessageBase*, int32_t, APMNanoWrite<int32_t>);
template void APMNanoSet<int64_t>(NANOMessageBase*, int32_t, APMNanoWrite<int64_t>);
template void APMNanoSet<double>(NANOMessageBase*, int32_t, APMNanoWrite<double>);
template void APMNanoSet<std::string>(NANOMessageBase*, int32_t, APMNanoWrite<std::string>);

void APMNanoSetStringField(NANOMessageBase* message, int32_t index, std::nullopt_t) {
    using Kind = Scalar<std::string>;
    APMNanoMessageInfo* info = fieldInfo(message, index, Kind::kSet, Kind::accepts, Kind::kKind);
    if (info) message->deallocMessageFieldFn()(info, index);
}

std::shared_ptr<NANOMessageBase> APMNanoGetMessage(const NANOMessageBase* message, int32_t index,
                                                   const NanoMessageClass& messageClass) {
    APMNanoMessageInfo* info = fieldInfo(message, index, "GetMessage", isMessage, "a scalar MESSAGE");
    if (!info || !info->fields[index]) return nullptr;
    if (!messageClass.initWithMessageInfo) {
        NanoLog::print("<ERROR> Provided class doesn't implement initWithMessageInfo: method. Class: %s",
                       messageClass.className);
        return nullptr;
    }
    return messageClass.initWithMessageInfo(static_cast<const APMNanoMessageInfo*>(info->fields[index]));
}

void APMNanoSetMessage(NANOMessageBase* message, int32_t index, const NANOMessageBase* value) {
    APMNanoMessageInfo* info = fieldInfo(message, index, "SetMessage", isMessage, "a scalar MESSAGE");
    if (!info) return;
    const NanoMessageType* sub = fieldSubType(message, index);
    if (value && !isOfType(value, sub)) {
        NanoLog::print("<ERROR> Invalid object type. Message fields expect APMPB%s. Type: APMPB%s", sub->name,
                       value->messageID());
        return;
    }
    message->deallocMessageFieldFn()(info, index);
    if (!value || !value->messageInfo()) return;
    APMNanoMessageInfo* copy = nullptr;
    if (!value->copyMessageInfoFn()(&copy, value->messageInfo())) {
        sub->release(copy);
        return;
    }
    info->fields[index] = copy;
}

std::optional<std::vector<NanoObject>> APMNanoGetArray(const NANOMessageBase* message, int32_t index,
                                                       const NanoMessageClass& elementClass) {
    APMNanoMessageInfo* info = fieldInfo(message, index, "GetArray", isRepeated, "REPEATED");
    if (!info) return std::nullopt;
    const auto* array = static_cast<const APMNanoArray*>(info->fields[index]);
    if (!array) {
        NanoLog::print("<ERROR> Repeated field should have been allocated");
        return std::nullopt;
    }
    std::vector<NanoObject> objects;
    if (array->count == 0 || !array->items) return objects;
    objects.reserve(array->count);
    const uint32_t flags = info->fieldTypes[index];
    for (uint32_t i = 0; i < array->count; ++i) {
        if (!array->items[i]) {
            NanoLog::print("<ERROR> Unable to convert NULL data to an ObjC object");
            continue;
        }
        NanoObject object = objectOf(flags, array->items[i], elementClass);
        if (!std::holds_alternative<std::monostate>(object)) objects.push_back(std::move(object));
    }
    return objects;
}

void APMNanoSetArray(NANOMessageBase* message, int32_t index, const std::vector<NanoObject>* array) {
    APMNanoMessageInfo* info = fieldInfo(message, index, "SetArray", isRepeated, "REPEATED");
    if (!info) return;
    auto* cell = static_cast<APMNanoArray*>(info->fields[index]);
    if (!cell) {
        NanoLog::print("<ERROR> Repeated field should have been allocated");
        return;
    }
    APMNanoReleaseFieldFn releaseField = message->deallocMessageFieldFn();
    releaseField(info, index);
    if (!array || array->empty()) return;
    const uint32_t flags = info->fieldTypes[index];
    const NanoMessageType* sub = fieldSubType(message, index);
    cell->items = new void*[array->size()]();
    cell->count = static_cast<uint32_t>(array->size());
    for (size_t i = 0; i < array->size(); ++i) {
        cell->items[i] = cellOf(flags, sub, (*array)[i]);
        if (!cell->items[i]) {
            releaseField(info, index);
            return;
        }
    }
}

void APMNanoCopyNSString(APMNanoString* cell, std::string_view value) {
    // The old bytes go last: the value may be a view of them.
    auto* bytes = new uint8_t[value.empty() ? 1 : value.size()];
    if (!value.empty()) std::memcpy(bytes, value.data(), value.size());
    delete[] cell->bytes;
    cell->bytes = bytes;
    cell->size = static_cast<uint32_t>(value.size());
}

void APMNanoCopyNSData(APMNanoString* cell, const NanoData& value) {
    APMNanoCopyNSString(cell, std::string_view(reinterpret_cast<const char*>(value.data()), value.size()));
}
