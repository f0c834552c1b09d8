#include "analytics/messages/nano_message_info.h"

#include <cstring>

#include "analytics/messages/nano_log.h"

// Cells: bool and integer kinds hold a uint64_t, float a float, double a double, string and bytes an
// APMNanoString, a single message an APMNanoMessageInfo*, a repeated field an APMNanoArray whose items
// are cells of the element kind.

namespace {

void* copyCell(uint32_t flags, const NanoMessageType* sub, const void* cell, bool& ok) {
    if (flags & kNanoWordKinds) return new uint64_t(*static_cast<const uint64_t*>(cell));
    if (flags & kNanoFloat) return new float(*static_cast<const float*>(cell));
    if (flags & kNanoDouble) return new double(*static_cast<const double*>(cell));
    if (flags & (kNanoString | kNanoBytes)) {
        const auto* source = static_cast<const APMNanoString*>(cell);
        if (!source->bytes) {
            ok = false;
            return nullptr;
        }
        // Copies keep one zero byte after the content.
        auto* copy = new APMNanoString{source->size, new uint8_t[source->size + 1]};
        std::memcpy(copy->bytes, source->bytes, source->size);
        copy->bytes[source->size] = 0;
        return copy;
    }
    if ((flags & kNanoMessage) && sub) {
        APMNanoMessageInfo* copy = nullptr;
        if (!sub->copy(&copy, static_cast<const APMNanoMessageInfo*>(cell))) {
            sub->release(copy);
            ok = false;
            return nullptr;
        }
        return copy;
    }
    ok = false;
    return nullptr;
}

// Deep copies of the present fields of `source` into the fresh info `copy`.
bool copyFields(const NanoMessageType& type, APMNanoMessageInfo* copy, const APMNanoMessageInfo* source) {
    for (uint32_t i = 0; i < type.fieldCount; ++i) {
        const NanoFieldInfo& field = type.fields[i];
        const void* cell = source->fields[i];
        if (!cell) continue;
        bool ok = true;
        if (field.flags & kNanoRepeated) {
            const auto* from = static_cast<const APMNanoArray*>(cell);
            auto* to = static_cast<APMNanoArray*>(copy->fields[i]);
            if (from->count == 0 || !from->items) continue;
            const uint32_t elementFlags = (field.flags & ~kNanoRepeated) | kNanoSingle;
            to->items = new void*[from->count]();
            to->count = from->count;
            for (uint32_t e = 0; e < from->count && ok; ++e) {
                if (from->items[e]) to->items[e] = copyCell(elementFlags, field.sub, from->items[e], ok);
            }
        } else {
            copy->fields[i] = copyCell(field.flags, field.sub, cell, ok);
        }
        if (!ok) return false;
    }
    return true;
}

}  // namespace

APMNanoString* APMNanoNewString(const uint8_t* bytes, size_t size) {
    // At least one byte, so an empty value still has bytes.
    auto* cell = new APMNanoString{static_cast<uint32_t>(size), new uint8_t[size > 0 ? size : 1]};
    if (size > 0) std::memcpy(cell->bytes, bytes, size);
    return cell;
}

void APMNanoReleaseCell(uint32_t flags, const NanoMessageType* sub, void* cell) {
    if (!cell) return;
    if (flags & kNanoRepeated) {
        auto* array = static_cast<APMNanoArray*>(cell);
        APMNanoEmptyArray(flags, sub, array);
        delete array;
    } else if (flags & kNanoWordKinds) {
        delete static_cast<uint64_t*>(cell);
    } else if (flags & kNanoFloat) {
        delete static_cast<float*>(cell);
    } else if (flags & kNanoDouble) {
        delete static_cast<double*>(cell);
    } else if (flags & (kNanoString | kNanoBytes)) {
        auto* string = static_cast<APMNanoString*>(cell);
        delete[] string->bytes;
        delete string;
    } else if ((flags & kNanoMessage) && sub) {
        sub->release(static_cast<APMNanoMessageInfo*>(cell));
    }
}

void APMNanoEmptyArray(uint32_t flags, const NanoMessageType* sub, APMNanoArray* array) {
    const uint32_t elementFlags = (flags & ~kNanoRepeated) | kNanoSingle;
    if (array->items) {
        for (uint32_t i = 0; i < array->count; ++i) APMNanoReleaseCell(elementFlags, sub, array->items[i]);
        delete[] array->items;
    }
    array->items = nullptr;
    array->decoded = 0;
    array->count = 0;
}

APMNanoMessageInfo* APMNanoNewMessageInfo(APMNanoInitFn init) {
    auto* info = new APMNanoMessageInfo{};
    if (!init(info)) {
        delete info;
        return nullptr;
    }
    return info;
}

int APMNanoInitMessageInfo(const NanoMessageType& type, APMNanoMessageInfo* info) {
    if (!info) return 0;
    info->name = type.name;
    info->fieldTypes = type.fieldTypes;
    info->fields = new void*[type.fieldCount]();
    for (uint32_t i = 0; i < type.fieldCount; ++i) {
        if (type.fieldTypes[i] & kNanoRepeated) info->fields[i] = new APMNanoArray{};
    }
    return 1;
}

int APMNanoReleaseMessageField(const NanoMessageType& type, APMNanoMessageInfo* info, int32_t index) {
    if (!info || !info->fields) return 0;
    if (index < 0 || static_cast<uint32_t>(index) >= type.fieldCount) {
        NanoLog::print("<ERROR> %s: Cannot deallocate field %d: Unknown field\n", type.name, index);
        return 0;
    }
    const NanoFieldInfo& field = type.fields[index];
    void*& cell = info->fields[index];
    if (field.flags & kNanoRepeated) {
        // The array cell stays; only its elements go.
        if (cell) APMNanoEmptyArray(field.flags, field.sub, static_cast<APMNanoArray*>(cell));
        return 1;
    }
    APMNanoReleaseCell(field.flags, field.sub, cell);
    cell = nullptr;
    return 1;
}

int APMNanoReleaseMessageInfo(const NanoMessageType& type, APMNanoMessageInfo* info) {
    if (!info) return 0;
    if (info->fields) {
        for (uint32_t i = 0; i < type.fieldCount; ++i) {
            APMNanoReleaseCell(type.fields[i].flags, type.fields[i].sub, info->fields[i]);
        }
        delete[] info->fields;
    }
    delete info;
    return 1;
}

int APMNanoCopyMessageInfo(const NanoMessageType& type, APMNanoMessageInfo** destination,
                           const APMNanoMessageInfo* source) {
    if (!destination || !source || !source->fields) return 0;
    // The old destination goes only once the copy is made, so an info may be copied onto itself.
    APMNanoMessageInfo* old = *destination;
    *destination = APMNanoNewMessageInfo(type.init);
    const int copied = *destination && copyFields(type, *destination, source);
    if (old) type.release(old);
    return copied;
}
