#include <pb_common.h>
#include <pb_encode.h>

#include <cstdlib>
#include <cstring>
#include <memory_resource>

#include "analytics/messages/nano_log.h"
#include "analytics/messages/nano_message_codec.h"
#include "analytics/messages/nano_message_type.h"

// Encoding fills a generated structure per message value (sub-message elements included) and lets
// nanopb write it. Each repeated sub-message element remembers its encoded size, so nested elements are
// sized once instead of once per level of nesting.

namespace {

struct EncodeNode {
    const NanoMessageType* type;
    void* structure;
    size_t size;
    bool sized;
};

struct ElementsArg {
    const APMNanoArray* array;
    const NanoFieldInfo* field;
    EncodeNode** children;  // sub-message elements only
};

class EncodeSession {
public:
    EncodeSession() : arena_(initial_, sizeof initial_) {}

    EncodeNode* prepare(const NanoMessageType& type, const APMNanoMessageInfo* info) {
        auto* node = allocate<EncodeNode>();
        *node = EncodeNode{&type, arena_.allocate(type.structSize, alignof(std::max_align_t)), 0, false};
        return fill(type, info, node->structure) ? node : nullptr;
    }

private:
    template <typename T>
    T* allocate(size_t count = 1) {
        return static_cast<T*>(arena_.allocate(sizeof(T) * count, alignof(T)));
    }

    bool fill(const NanoMessageType& type, const APMNanoMessageInfo* info, void* structure);
    bool fillRepeated(const NanoFieldInfo& field, const APMNanoArray* array, pb_callback_t* callback);

    alignas(std::max_align_t) unsigned char initial_[8192];
    std::pmr::monotonic_buffer_resource arena_;
};

void writeScalar(uint32_t flags, const void* cell, void* value) {
    if (flags & kNanoBool) {
        // Like the bool accessor: the low byte decides.
        *static_cast<bool*>(value) = (*static_cast<const uint64_t*>(cell) & 0xff) != 0;
    } else if (flags & (kNanoEnum | kNanoInt32 | kNanoUInt32)) {
        const auto word = static_cast<uint32_t>(*static_cast<const uint64_t*>(cell));
        std::memcpy(value, &word, sizeof word);
    } else if (flags & (kNanoInt64 | kNanoUInt64)) {
        std::memcpy(value, cell, sizeof(uint64_t));
    } else if (flags & kNanoFloat) {
        *static_cast<float*>(value) = *static_cast<const float*>(cell);
    } else if (flags & kNanoDouble) {
        *static_cast<double*>(value) = *static_cast<const double*>(cell);
    }
}

bool EncodeSession::fillRepeated(const NanoFieldInfo& field, const APMNanoArray* array,
                                 pb_callback_t* callback) {
    if (array->count == 0 || !array->items) return true;
    auto* arg = allocate<ElementsArg>();
    *arg = ElementsArg{array, &field, nullptr};
    if (field.flags & kNanoMessage) {
        arg->children = allocate<EncodeNode*>(array->count);
        for (uint32_t i = 0; i < array->count; ++i) {
            const auto* element = static_cast<const APMNanoMessageInfo*>(array->items[i]);
            arg->children[i] = element ? prepare(*field.sub, element) : nullptr;
            if (element && !arg->children[i]) return false;
        }
        callback->funcs.encode = APMNanoEncodeRepeatedMessage;
    } else if (field.flags & (kNanoString | kNanoBytes)) {
        callback->funcs.encode = APMNanoEncodeRepeatedString;
    } else {
        callback->funcs.encode = APMNanoEncodeRepeatedVarint;
    }
    callback->arg = arg;
    return true;
}

bool EncodeSession::fill(const NanoMessageType& type, const APMNanoMessageInfo* info, void* structure) {
    std::memset(structure, 0, type.structSize);
    if (!info || !info->fields) return false;
    auto* base = static_cast<unsigned char*>(structure);
    for (uint32_t index = 0; index < type.fieldCount; ++index) {
        const NanoFieldInfo& field = type.fields[index];
        const void* cell = info->fields[index];
        void* data = base + field.dataOffset;
        if (field.flags & kNanoRepeated) {
            if (!cell) {
                NanoLog::print("<ERROR> %s Encoder: '%s' should have been allocated\n", type.name,
                               field.name);
                return false;
            }
            if (!fillRepeated(field, static_cast<const APMNanoArray*>(cell),
                              static_cast<pb_callback_t*>(data))) {
                return false;
            }
            continue;
        }
        if (!cell) continue;
        if (field.flags & (kNanoString | kNanoBytes)) {
            auto* callback = static_cast<pb_callback_t*>(data);
            callback->funcs.encode = APMNanoEncodeString;
            callback->arg = const_cast<void*>(cell);
            continue;
        }
        *reinterpret_cast<bool*>(base + field.hasOffset) = true;
        if (field.flags & kNanoMessage) {
            if (!fill(*field.sub, static_cast<const APMNanoMessageInfo*>(cell), data)) return false;
        } else {
            writeScalar(field.flags, cell, data);
        }
    }
    return true;
}

bool encodeWord(pb_ostream_t* stream, uint32_t flags, const void* cell) {
    const uint64_t word = *static_cast<const uint64_t*>(cell);
    if (flags & kNanoBool) return pb_encode_varint(stream, (word & 0xff) != 0 ? 1 : 0);
    // Negative int32 and enum values go on the wire sign-extended to ten bytes.
    if (flags & (kNanoEnum | kNanoInt32)) {
        return pb_encode_varint(stream,
                                static_cast<uint64_t>(static_cast<int64_t>(static_cast<int32_t>(word))));
    }
    if (flags & kNanoUInt32) return pb_encode_varint(stream, word & 0xffffffffu);
    return pb_encode_varint(stream, word);
}

bool nodeSize(EncodeNode* node, size_t& size) {
    if (!node->sized) {
        if (!pb_get_encoded_size(&node->size, node->type->descriptor, node->structure)) return false;
        node->sized = true;
    }
    size = node->size;
    return true;
}

bool encodeTop(const NanoMessageType& type, const APMNanoMessageInfo* info, EncodeSession& session,
               EncodeNode*& root, size_t& size) {
    root = session.prepare(type, info);
    if (!root) return false;
    pb_ostream_t sizing = PB_OSTREAM_SIZING;
    if (!pb_encode(&sizing, type.descriptor, root->structure)) {
        NanoLog::print("<ERROR> %s encoder failed: %s\n", type.name, PB_GET_ERROR(&sizing));
        return false;
    }
    size = sizing.bytes_written;
    return true;
}

bool encodeInto(const NanoMessageType& type, EncodeNode* root, uint8_t* buffer, size_t size) {
    pb_ostream_t stream = pb_ostream_from_buffer(buffer, size);
    if (!pb_encode(&stream, type.descriptor, root->structure) || stream.bytes_written != size) {
        NanoLog::print("<ERROR> %s encoder failed: %s\n", type.name, PB_GET_ERROR(&stream));
        return false;
    }
    return true;
}

}  // namespace

int64_t APMNanoEncodeMessage(const NanoMessageType& type, const APMNanoMessageInfo* info, uint8_t** buffer) {
    if (!buffer) return -1;
    EncodeSession session;
    EncodeNode* root;
    size_t size;
    if (!encodeTop(type, info, session, root, size)) return -1;
    // At least one byte, so that an empty message still gets a buffer.
    *buffer = static_cast<uint8_t*>(std::calloc(size > 0 ? size : 1, 1));
    if (!*buffer) return -1;
    if (!encodeInto(type, root, *buffer, size)) {
        std::free(*buffer);
        *buffer = nullptr;
        return -1;
    }
    return static_cast<int64_t>(size);
}

bool APMNanoEncodeMessageToData(const NanoMessageType& type, const APMNanoMessageInfo* info,
                                std::vector<uint8_t>& out) {
    EncodeSession session;
    EncodeNode* root;
    size_t size;
    if (!encodeTop(type, info, session, root, size)) return false;
    out.assign(size, 0);
    if (!encodeInto(type, root, out.data(), size)) {
        out.clear();
        return false;
    }
    return true;
}

bool APMNanoEncodeString(pb_ostream_t* stream, const pb_field_t* field, void* const* arg) {
    const auto* cell = static_cast<const APMNanoString*>(*arg);
    if (!cell || !cell->bytes) return false;
    return pb_encode_tag_for_field(stream, field) && pb_encode_string(stream, cell->bytes, cell->size);
}

bool APMNanoEncodeRepeatedString(pb_ostream_t* stream, const pb_field_t* field, void* const* arg) {
    const auto* elements = static_cast<const ElementsArg*>(*arg);
    for (uint32_t i = 0; i < elements->array->count; ++i) {
        const auto* cell = static_cast<const APMNanoString*>(elements->array->items[i]);
        if (!cell) continue;
        if (!cell->bytes) return false;
        if (!pb_encode_tag_for_field(stream, field) || !pb_encode_string(stream, cell->bytes, cell->size)) {
            return false;
        }
    }
    return true;
}

bool APMNanoEncodeRepeatedVarint(pb_ostream_t* stream, const pb_field_t* field, void* const* arg) {
    const auto* elements = static_cast<const ElementsArg*>(*arg);
    const uint32_t flags = elements->field->flags;
    for (uint32_t i = 0; i < elements->array->count; ++i) {
        const void* cell = elements->array->items[i];
        if (!cell) continue;
        if (!pb_encode_tag_for_field(stream, field)) return false;
        bool written;
        if (flags & kNanoFloat) {
            written = pb_encode_fixed32(stream, cell);
        } else if (flags & kNanoDouble) {
            written = pb_encode_fixed64(stream, cell);
        } else {
            written = encodeWord(stream, flags, cell);
        }
        if (!written) return false;
    }
    return true;
}

bool APMNanoEncodeRepeatedMessage(pb_ostream_t* stream, const pb_field_t* field, void* const* arg) {
    const auto* elements = static_cast<const ElementsArg*>(*arg);
    for (uint32_t i = 0; i < elements->array->count; ++i) {
        EncodeNode* child = elements->children[i];
        if (!child) continue;
        size_t size;
        if (!nodeSize(child, size)) PB_RETURN_ERROR(stream, "submessage sizing failed");
        if (!pb_encode_tag_for_field(stream, field) || !pb_encode_varint(stream, size)) return false;
        if (!stream->callback) {
            // Sizing pass: the element's size is known already.
            if (!pb_write(stream, nullptr, size)) return false;
            continue;
        }
        const size_t before = stream->bytes_written;
        if (!pb_encode(stream, child->type->descriptor, child->structure)) return false;
        if (stream->bytes_written - before != size) PB_RETURN_ERROR(stream, "submsg size changed");
    }
    return true;
}
