#include <pb_common.h>
#include <pb_decode.h>

#include <cstring>

#include "analytics/messages/nano_log.h"
#include "analytics/messages/nano_message_codec.h"
#include "analytics/messages/nano_message_type.h"

// Decoding runs nanopb over the generated structure with callbacks on every string and repeated field.
// A message with repeated fields is read twice: a first pass counts the elements of each repeated field,
// then each array is allocated at its exact size, and nanopb's pass fills it. The counting pass is a
// plain scan of tags and lengths; input it does not understand is counted by a full nanopb pass instead.

namespace {

// The input of one decode. Substreams share it, so a callback can see where its bytes start and take
// an element without copying it.
struct Cursor {
    const uint8_t* data;
    size_t position;
};

bool readCursor(pb_istream_t* stream, pb_byte_t* buffer, size_t count) {
    auto* cursor = static_cast<Cursor*>(stream->state);
    if (buffer) std::memcpy(buffer, cursor->data + cursor->position, count);
    cursor->position += count;
    return true;
}

pb_istream_t cursorStream(Cursor& cursor, size_t length) {
    pb_istream_t stream{};
    stream.callback = readCursor;
    stream.state = &cursor;
    stream.bytes_left = length;
    return stream;
}

// nanopb hands length-delimited values to callbacks on our cursor; a value with another wire type
// arrives in a scratch stream, which a string or message field refuses.
bool isOurStream(const pb_istream_t* stream) {
    return stream->callback == readCursor;
}

const uint8_t* currentBytes(const pb_istream_t* stream) {
    const auto* cursor = static_cast<const Cursor*>(stream->state);
    return cursor->data + cursor->position;
}

bool skipBytes(pb_istream_t* stream, size_t count) {
    if (!isOurStream(stream)) return pb_read(stream, nullptr, count);
    if (count > stream->bytes_left) PB_RETURN_ERROR(stream, "end-of-stream");
    static_cast<Cursor*>(stream->state)->position += count;
    stream->bytes_left -= count;
    return true;
}

struct RepeatedSlot {
    APMNanoArray* array;
    const NanoFieldInfo* field;
    int depth;
};

struct DecodeSetup {
    RepeatedSlot* slots;
    uint32_t used;
    int depth;
};

int decodeMessage(const NanoMessageType& type, const uint8_t* bytes, size_t length, APMNanoMessageInfo* info,
                  int depth);

void* fieldData(void* structure, const NanoFieldInfo& field) {
    return static_cast<unsigned char*>(structure) + field.dataOffset;
}

bool setDecoders(const NanoMessageType& type, void* structure, APMNanoMessageInfo* info, DecodeSetup& setup) {
    if (!info->fields) return false;
    for (uint32_t index = 0; index < type.fieldCount; ++index) {
        const NanoFieldInfo& field = type.fields[index];
        if (field.flags & kNanoRepeated) {
            if (setup.used >= kNanoMaxRepeatedSlots) return false;
            auto* array = static_cast<APMNanoArray*>(info->fields[index]);
            if (array) APMNanoEmptyArray(field.flags, field.sub, array);
            RepeatedSlot& slot = setup.slots[setup.used++];
            slot = RepeatedSlot{array, &field, setup.depth};
            auto* callback = static_cast<pb_callback_t*>(fieldData(structure, field));
            if (field.flags & kNanoMessage) {
                callback->funcs.decode = APMNanoDecodeRepeatedMessage;
            } else if (field.flags & (kNanoString | kNanoBytes)) {
                callback->funcs.decode = APMNanoDecodeRepeatedString;
            } else {
                callback->funcs.decode = APMNanoDecodeRepeatedVarint;
            }
            callback->arg = &slot;
        } else if (field.flags & (kNanoString | kNanoBytes)) {
            auto* callback = static_cast<pb_callback_t*>(fieldData(structure, field));
            callback->funcs.decode = APMNanoDecodeString;
            callback->arg = &info->fields[index];
        } else if (field.flags & kNanoMessage) {
            field.sub->release(static_cast<APMNanoMessageInfo*>(info->fields[index]));
            auto* sub = APMNanoNewMessageInfo(field.sub->init);
            info->fields[index] = sub;
            if (!sub || !setDecoders(*field.sub, fieldData(structure, field), sub, setup)) return false;
        }
    }
    return true;
}

bool readVarint(const uint8_t*& p, const uint8_t* end, uint64_t& value) {
    value = 0;
    for (int shift = 0; shift < 70 && p < end; shift += 7) {
        const uint8_t byte = *p++;
        if (shift < 64) value |= static_cast<uint64_t>(byte & 0x7f) << shift;
        if (!(byte & 0x80)) return true;
    }
    return false;
}

// Counts the elements of every repeated field, those of embedded sub-messages included, into their array
// cells the way nanopb's pass will deliver them. False for input it does not understand.
bool countElements(const NanoMessageType& type, const uint8_t* p, const uint8_t* end,
                   APMNanoMessageInfo* info) {
    while (p < end) {
        uint64_t key;
        if (!readVarint(p, end, key) || key > UINT32_MAX || (key >> 3) == 0) return false;
        const uint32_t wire = key & 7;
        const uint8_t* payload = p;
        uint64_t length = 0;
        if (wire == PB_WT_VARINT) {
            uint64_t ignored;
            if (!readVarint(p, end, ignored)) return false;
        } else if (wire == PB_WT_64BIT || wire == PB_WT_32BIT) {
            length = wire == PB_WT_64BIT ? 8 : 4;
            if (static_cast<uint64_t>(end - p) < length) return false;
            p += length;
        } else if (wire == PB_WT_STRING) {
            if (!readVarint(p, end, length) || length > static_cast<uint64_t>(end - p)) return false;
            payload = p;
            p += length;
        } else {
            return false;
        }
        const int index = type.indexOfNumber(static_cast<uint32_t>(key >> 3));
        if (index < 0) continue;
        const NanoFieldInfo& field = type.fields[index];
        if (field.flags & kNanoRepeated) {
            auto* array = static_cast<APMNanoArray*>(info->fields[index]);
            if (!array) continue;
            uint64_t elements = 1;
            if (field.flags & (kNanoMessage | kNanoString | kNanoBytes)) {
                if (wire != PB_WT_STRING) return false;
            } else if (wire == PB_WT_STRING) {
                // Packed numbers.
                if (field.flags & (kNanoFloat | kNanoDouble)) {
                    const uint64_t width = (field.flags & kNanoFloat) ? 4 : 8;
                    elements = (length + width - 1) / width;
                } else {
                    elements = 0;
                    for (uint64_t i = 0; i < length; ++i) elements += !(payload[i] & 0x80);
                }
            }
            if (array->count + elements > UINT32_MAX) return false;
            array->count += static_cast<uint32_t>(elements);
        } else if ((field.flags & kNanoMessage) && field.sub->repeatedSlots > 0 && wire == PB_WT_STRING) {
            auto* sub = static_cast<APMNanoMessageInfo*>(info->fields[index]);
            if (!sub || !countElements(*field.sub, payload, payload + length, sub)) return false;
        }
    }
    return true;
}

void* newScalarCell(uint32_t flags, const void* value) {
    if (flags & kNanoBool) return new uint64_t(*static_cast<const bool*>(value) ? 1 : 0);
    if (flags & (kNanoEnum | kNanoInt32 | kNanoUInt32)) {
        uint32_t word;
        std::memcpy(&word, value, sizeof word);
        return new uint64_t(word);
    }
    if (flags & (kNanoInt64 | kNanoUInt64)) {
        uint64_t word;
        std::memcpy(&word, value, sizeof word);
        return new uint64_t(word);
    }
    if (flags & kNanoFloat) return new float(*static_cast<const float*>(value));
    if (flags & kNanoDouble) return new double(*static_cast<const double*>(value));
    return nullptr;
}

// Moves the present numbers of the structure into cells; an embedded sub-message that is absent loses
// the sub-info made for it.
void extractScalars(const NanoMessageType& type, void* structure, APMNanoMessageInfo* info) {
    for (uint32_t index = 0; index < type.fieldCount; ++index) {
        const NanoFieldInfo& field = type.fields[index];
        if (field.hasOffset < 0) continue;
        const bool present = *(static_cast<const bool*>(structure) + field.hasOffset);
        void*& cell = info->fields[index];
        if (field.flags & kNanoMessage) {
            auto* sub = static_cast<APMNanoMessageInfo*>(cell);
            if (present && sub) {
                extractScalars(*field.sub, fieldData(structure, field), sub);
            } else {
                field.sub->release(sub);
                cell = nullptr;
            }
            continue;
        }
        if (!present) continue;
        APMNanoReleaseCell(field.flags, nullptr, cell);
        cell = newScalarCell(field.flags, fieldData(structure, field));
    }
}

bool readString(pb_istream_t* stream, void*& slot) {
    const size_t length = stream->bytes_left;
    if (length > kNanoMaxStringSize) {
        NanoLog::print("Unable to process proto stream. Buffer is too big. %zu > %d", length,
                       static_cast<int>(kNanoMaxStringSize));
        return false;
    }
    auto* cell = APMNanoNewString(currentBytes(stream), length);
    slot = cell;
    if (!skipBytes(stream, length)) {
        delete[] cell->bytes;
        cell->bytes = nullptr;
        return false;
    }
    return true;
}

bool countElement(APMNanoArray* array) {
    if (array->count == UINT32_MAX) return false;
    ++array->count;
    return true;
}

bool nextSlot(APMNanoArray* array, void**& slot) {
    if (array->decoded >= array->count) return false;
    slot = &array->items[array->decoded++];
    return true;
}

bool runNanopb(const NanoMessageType& type, const uint8_t* bytes, size_t length, void* structure) {
    Cursor cursor{bytes, 0};
    pb_istream_t stream = cursorStream(cursor, length);
    // The structure starts zeroed, which is every field's default; callbacks set before stay set.
    if (pb_decode_ex(&stream, type.descriptor, structure, PB_DECODE_NOINIT)) return true;
    NanoLog::print("<ERROR> %s decoder failed: %s\n", type.name, PB_GET_ERROR(&stream));
    return false;
}

int decodeMessage(const NanoMessageType& type, const uint8_t* bytes, size_t length, APMNanoMessageInfo* info,
                  int depth) {
    if (!info) {
        NanoLog::print("<ERROR> %s decoder failed: message_info is NULL\n", type.name);
        return 0;
    }
    if (depth > kNanoMaxNestingDepth) {
        NanoLog::print("<ERROR> %s decoder failed: Nested deeper than %d messages\n", type.name,
                       kNanoMaxNestingDepth);
        return 0;
    }
    alignas(std::max_align_t) unsigned char structure[kNanoStructBufferSize];
    std::memset(structure, 0, type.structSize);
    RepeatedSlot slots[kNanoMaxRepeatedSlots];
    DecodeSetup setup{slots, 0, depth};
    if (!setDecoders(type, structure, info, setup)) {
        NanoLog::print("<ERROR> %s decoder failed: Unable to set decoders\n", type.name);
        return 0;
    }

    if (setup.used > 0) {
        if (!countElements(type, bytes, bytes + length, info)) {
            // Let nanopb count what the scan does not understand.
            for (uint32_t i = 0; i < setup.used; ++i) {
                if (slots[i].array) slots[i].array->count = 0;
            }
            if (!runNanopb(type, bytes, length, structure)) return 0;
        }
        for (uint32_t i = 0; i < setup.used; ++i) {
            APMNanoArray* array = slots[i].array;
            if (!array) {
                NanoLog::print("<ERROR> Cannot allocate %s arrays. Missing params field (%s)\n", type.name,
                               slots[i].field->name);
                NanoLog::print("<ERROR> %s decoder failed: Unable to allocate arrays\n", type.name);
                return 0;
            }
            if (array->count > 0) array->items = new void*[array->count]();
            array->decoded = 0;
        }
    }
    if (!runNanopb(type, bytes, length, structure)) return 0;
    // An array holds exactly the elements that arrived, whatever the count said.
    for (uint32_t i = 0; i < setup.used; ++i) {
        if (slots[i].array) slots[i].array->count = slots[i].array->decoded;
    }
    extractScalars(type, structure, info);
    return 1;
}

}  // namespace

int APMNanoDecodeMessage(const NanoMessageType& type, const uint8_t* bytes, size_t length,
                         APMNanoMessageInfo* info) {
    return decodeMessage(type, bytes, length, info, 0);
}

bool APMNanoDecodeString(pb_istream_t* stream, const pb_field_t*, void** arg) {
    if (!isOurStream(stream)) PB_RETURN_ERROR(stream, "wrong wire type");
    void*& slot = *static_cast<void**>(*arg);
    const auto* cell = static_cast<const APMNanoString*>(slot);
    if (!cell) return readString(stream, slot);
    // The first occurrence of a string field wins; the second pass finds every string filled.
    if (cell->bytes) return skipBytes(stream, stream->bytes_left);
    NanoLog::print("<ERROR> String decoder failed: string data is NULL");
    return false;
}

bool APMNanoDecodeRepeatedString(pb_istream_t* stream, const pb_field_t*, void** arg) {
    if (!isOurStream(stream)) PB_RETURN_ERROR(stream, "wrong wire type");
    const auto* slot = static_cast<const RepeatedSlot*>(*arg);
    APMNanoArray* array = slot ? slot->array : nullptr;
    if (!array || !array->items) {
        if (!skipBytes(stream, stream->bytes_left)) return false;
        return !array || countElement(array);
    }
    void** element;
    return nextSlot(array, element) && readString(stream, *element);
}

bool APMNanoDecodeRepeatedVarint(pb_istream_t* stream, const pb_field_t*, void** arg) {
    const auto* slot = static_cast<const RepeatedSlot*>(*arg);
    if (!slot) return false;
    // nanopb calls once even for an empty packed list.
    if (isOurStream(stream) && stream->bytes_left == 0) return true;
    const uint32_t flags = slot->field->flags;
    uint64_t word = 0;
    float single = 0;
    double number = 0;
    bool read;
    if (flags & kNanoFloat) {
        read = pb_decode_fixed32(stream, &single);
    } else if (flags & kNanoDouble) {
        read = pb_decode_fixed64(stream, &number);
    } else {
        read = pb_decode_varint(stream, &word);
    }
    if (!read) return false;
    APMNanoArray* array = slot->array;
    if (!array) return true;
    if (!array->items) return countElement(array);

    void** element;
    if (!nextSlot(array, element)) return false;
    if (flags & kNanoFloat) {
        *element = new float(single);
    } else if (flags & kNanoDouble) {
        *element = new double(number);
    } else if (flags & kNanoBool) {
        *element = new uint64_t(word != 0 ? 1 : 0);
    } else if (flags & (kNanoEnum | kNanoInt32 | kNanoUInt32)) {
        *element = new uint64_t(word & 0xffffffffu);
    } else {
        *element = new uint64_t(word);
    }
    return true;
}

bool APMNanoDecodeRepeatedMessage(pb_istream_t* stream, const pb_field_t*, void** arg) {
    const auto* slot = static_cast<const RepeatedSlot*>(*arg);
    if (!slot || !slot->field->sub) {
        NanoLog::print("<ERROR> %s decoder failed: Invalid arg parameter\n", "(unknown)");
        return false;
    }
    if (!isOurStream(stream)) PB_RETURN_ERROR(stream, "wrong wire type");
    const NanoMessageType& element = *slot->field->sub;
    APMNanoArray* array = slot->array;
    const size_t length = stream->bytes_left;
    if (!array || !array->items) {
        if (!skipBytes(stream, length)) {
            NanoLog::print("<ERROR> %s decoder failed: %s\n", element.name, PB_GET_ERROR(stream));
            return false;
        }
        return !array || countElement(array);
    }
    const uint8_t* bytes = currentBytes(stream);
    if (!skipBytes(stream, length)) {
        NanoLog::print("<ERROR> %s decoder failed: Unable to extract buffer from stream\n", element.name);
        return false;
    }
    APMNanoMessageInfo* info = APMNanoNewMessageInfo(element.init);
    if (!info) {
        NanoLog::print("<ERROR> %s decoder failed: Unable to initialize MessageInfo\n", element.name);
        return false;
    }
    void** target;
    if (!decodeMessage(element, bytes, length, info, slot->depth + 1) || !nextSlot(array, target)) {
        NanoLog::print("<ERROR> %s decoder failed: Unable to decode repeated %s\n", element.name,
                       element.name);
        element.release(info);
        return false;
    }
    *target = info;
    return true;
}
