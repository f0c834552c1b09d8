#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <memory>
#include <span>

#include "platform/foundation/value.h"

namespace platform {

// An object's attribute values in the order of its entity's attributes. Up to kInline of them live
// inside the object itself, so that each of the many objects a fetch makes of a small entity is one
// allocation, not two; more go to the heap.
class AttributeValues {
public:
    static constexpr std::size_t kInline = 4;

    AttributeValues() = default;
    // Takes the values, moving each out of `values` straight into its place.
    explicit AttributeValues(std::span<Value> values)
        : inline_{inlined(values, 0), inlined(values, 1), inlined(values, 2), inlined(values, 3)},
          size_(values.size()) {
        static_assert(kInline == 4, "one inlined() for each value held inside");
        if (size_ > kInline) {
            heap_ = std::make_unique<Value[]>(size_);
            std::move(values.begin(), values.end(), heap_.get());
        }
    }

    std::size_t size() const { return size_; }
    Value* data() { return size_ > kInline ? heap_.get() : inline_.data(); }
    const Value* data() const { return size_ > kInline ? heap_.get() : inline_.data(); }
    Value* begin() { return data(); }
    Value* end() { return data() + size_; }
    const Value* begin() const { return data(); }
    const Value* end() const { return data() + size_; }
    Value& operator[](std::size_t index) { return data()[index]; }
    const Value& operator[](std::size_t index) const { return data()[index]; }

private:
    static Value inlined(std::span<Value> values, std::size_t index) {
        return values.size() <= kInline && index < values.size() ? std::move(values[index]) : Value();
    }

    std::array<Value, kInline> inline_;
    std::unique_ptr<Value[]> heap_;  // beyond kInline only
    std::size_t size_ = 0;
};

}  // namespace platform
