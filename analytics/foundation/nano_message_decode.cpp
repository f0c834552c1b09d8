#include <pb_common.h>
#include <pb_decode.h>

#include <cstring>

#include "analytics/foundation/nano_log.h"
#include "analytics/foundation/nano_message_codec.h"
#include "analytics/foundation/nano_message_type.h"

// Decoding runs nanopb over the generated structure with callbacks on every string and repeated field.
// A message with repeated fields is decoded twice over the same bytes: the first pass counts the
// elements, then each array is allocated at its exact size, and the second pass fills it.

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
bool isOurStream(const pb_istream_t* stream) { return stream->callback == readCursor; }

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

pb_callback_t* callbackOf(const pb_field_iter_t& it) { return static_cast<pb_callback_t*>(it.pData); }

bool setDecoders(const NanoMessageType& type, void* structure, APMNanoMessageInfo* info, DecodeSetup& setup) {
    if (!info->fields) return false;
    pb_field_iter_t it;
    if (!pb_field_iter_begin(&it, type.descriptor, structure)) return true;
    do {
        const int index = type.indexOfNumber(it.tag);
        if (index < 0) return false;
        const NanoFieldInfo& field = type.fields[index];
        if (field.flags & kNanoRepeated) {
            if (setup.used >= kNanoMaxRepeatedSlots) return false;
            auto* array = static_cast<APMNanoArray*>(info->fields[index]);
            if (array) APMNanoEmptyArray(field.flags, field.sub, array);
            RepeatedSlot& slot = setup.slots[setup.used++];
            slot = RepeatedSlot{array, &field, setup.depth};
            if (field.flags & kNanoMessage) {
                callbackOf(it)->funcs.decode = APMNanoDecodeRepeatedMessage;
            } else if (field.flags & (kNanoString | kNanoBytes)) {
                callbackOf(it)->funcs.decode = APMNanoDecodeRepeatedString;
            } else {
                callbackOf(it)->funcs.decode = APMNanoDecodeRepeatedVarint;
            }
            callbackOf(it)->arg = &slot;
        } else if (field.flags & (kNanoString | kNanoBytes)) {
            callbackOf(it)->funcs.decode = APMNanoDecodeString;
            callbackOf(it)->arg = &info->fields[index];
        } else if (field.flags & kNanoMessage) {
            field.sub->release(static_cast<APMNanoMessageInfo*>(info->fields[index]));
            auto* sub = APMNanoNewMessageInfo(field.sub->init);
            info->fields[index] = sub;
            if (!sub || !setDecoders(*field.sub, it.pData, sub, setup)) return false;
        }
    } while (pb_field_iter_next(&it));
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
    pb_field_iter_t it;
    if (!pb_field_iter_begin(&it, type.descriptor, structure)) return;
    do {
        const int index = type.indexOfNumber(it.tag);
        if (index < 0) continue;
        const NanoFieldInfo& field = type.fields[index];
        if (field.flags & (kNanoRepeated | kNanoString | kNanoBytes)) continue;
        const bool present = it.pSize && *static_cast<const bool*>(it.pSize);
        void*& cell = info->fields[index];
        if (field.flags & kNanoMessage) {
            auto* sub = static_cast<APMNanoMessageInfo*>(cell);
            if (present && sub) {
                extractScalars(*field.sub, it.pData, sub);
            } else {
                field.sub->release(sub);
                cell = nullptr;
            }
            continue;
        }
        if (!present) continue;
        APMNanoReleaseCell(field.flags, nullptr, cell);
        cell = newScalarCell(field.flags, it.pData);
    } while (pb_field_iter_next(&it));
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

    Cursor cursor{bytes, 0};
    pb_istream_t stream = cursorStream(cursor, length);
    if (!pb_decode(&stream, type.descriptor, structure)) {
        NanoLog::print("<ERROR> %s decoder failed: %s\n", type.name, PB_GET_ERROR(&stream));
        return 0;
    }
    if (setup.used > 0) {
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
        cursor = Cursor{bytes, 0};
        stream = cursorStream(cursor, length);
        if (!pb_decode(&stream, type.descriptor, structure)) {
            NanoLog::print("<ERROR> %s decoder failed: %s\n", type.name, PB_GET_ERROR(&stream));
            return 0;
        }
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
        NanoLog::print("<ERROR> %s decoder failed: Unable to decode repeated %s\n", element.name, element.name);
        element.release(info);
        return false;
    }
    *target = info;
    return true;
}
