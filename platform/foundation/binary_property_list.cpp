#include "platform/foundation/binary_property_list.h"

#include <bit>
#include <cstdint>
#include <limits>
#include <unordered_map>
#include <vector>

#include "platform/foundation/iso8601_date.h"
#include "platform/foundation/property_list.h"
#include "platform/foundation/utf8.h"

namespace platform {

namespace {

constexpr std::string_view kMagic = "bplist00";
constexpr std::size_t kTrailerSize = 32;
constexpr std::uint64_t kLargestSigned = std::numeric_limits<std::int64_t>::max();

// Object types: the high four bits of an object's marker byte.
enum Type : unsigned {
    kSimple = 0x0,  // null, false, true
    kInteger = 0x1,
    kReal = 0x2,
    kDate = 0x3,
    kData = 0x4,
    kAsciiString = 0x5,
    kUtf16String = 0x6,
    kArray = 0xA,
    kDictionary = 0xD,
};
constexpr char kNull = 0x00;
constexpr char kFalse = 0x08;
constexpr char kTrue = 0x09;
// The low four bits that say "the count follows as an integer object".
constexpr unsigned kCountFollows = 0xF;

// The fewest bytes of 1, 2, 4 or 8 that hold `number`.
unsigned widthOf(std::uint64_t number) {
    if (number <= 0xFF) return 1;
    if (number <= 0xFFFF) return 2;
    if (number <= 0xFFFFFFFF) return 4;
    return 8;
}

void appendBigEndian(std::string& out, std::uint64_t number, unsigned width) {
    for (unsigned i = width; i-- > 0;) out += static_cast<char>((number >> (8 * i)) & 0xFF);
}

bool isAscii(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

// --- Writing -----------------------------------------------------------------------------------

class Writer {
public:
    std::string finish(const Value& value) {
        add(value);
        const std::size_t count = objects_.size();
        refWidth_ = widthOf(count);
        std::vector<std::uint64_t> offsets;
        offsets.reserve(count);
        out_ = kMagic;
        for (const auto& object : objects_) {
            offsets.push_back(out_.size());
            write(object);
        }
        const std::uint64_t tableOffset = out_.size();
        const unsigned offsetWidth = widthOf(offsets.back());
        for (const auto offset : offsets) appendBigEndian(out_, offset, offsetWidth);
        out_.append(6, '\0');  // unused, and the sort version
        out_ += static_cast<char>(offsetWidth);
        out_ += static_cast<char>(refWidth_);
        appendBigEndian(out_, count, 8);
        appendBigEndian(out_, 0, 8);  // the top object is the first
        appendBigEndian(out_, tableOffset, 8);
        return std::move(out_);
    }

private:
    // A value, or a dictionary's key; containers name their items by index.
    struct Object {
        const Value* value = nullptr;
        const std::string* key = nullptr;
        std::vector<std::uint64_t> references;
    };

    // Numbers the value and what it holds, depth first; nulls inside containers are left out.
    std::uint64_t add(const Value& value) {
        if (!value.arrayValue() && !value.dictionaryValue()) return addOnce(&value, nullptr);
        const std::size_t index = objects_.size();
        objects_.push_back({&value, nullptr, {}});
        std::vector<std::uint64_t> references;
        if (const auto* array = value.arrayValue()) {
            for (const auto& item : *array) {
                if (!item.isNull()) references.push_back(add(item));
            }
        } else if (const auto* dictionary = value.dictionaryValue()) {
            for (const auto& [key, item] : *dictionary) {
                if (!item.isNull()) references.push_back(addOnce(nullptr, &key));
            }
            for (const auto& [key, item] : *dictionary) {
                if (!item.isNull()) references.push_back(add(item));
            }
        }
        objects_[index].references = std::move(references);
        return index;
    }

    // A key or a value that is no container, written once however often it occurs (as every reader
    // of the format allows): the keys of many dictionaries of one kind cost their bytes once.
    std::uint64_t addOnce(const Value* value, const std::string* key) {
        std::string identity;
        if (const auto* text = key ? key : value->stringValue()) {
            identity.append("s").append(*text);
        } else if (const auto* data = value->dataValue()) {
            identity.append("D").append(data->begin(), data->end());
        } else {
            write({value, nullptr, {}});  // nothing is written out before every object is numbered
            identity.append("v").append(out_);
            out_.clear();
        }
        const auto [found, added] = written_.try_emplace(std::move(identity), objects_.size());
        if (added) objects_.push_back({value, key, {}});
        return found->second;
    }

    void marker(unsigned type, std::uint64_t count) {
        if (count < kCountFollows) {
            out_ += static_cast<char>(type << 4 | count);
            return;
        }
        out_ += static_cast<char>(type << 4 | kCountFollows);
        unsignedInteger(count);
    }

    // 1, 2 and 4 bytes are unsigned, 8 signed; beyond that the 16-byte form.
    void unsignedInteger(std::uint64_t number) {
        if (number > kLargestSigned) {
            out_ += static_cast<char>(kInteger << 4 | 4);
            appendBigEndian(out_, 0, 8);
            appendBigEndian(out_, number, 8);
            return;
        }
        const unsigned width = widthOf(number);
        out_ += static_cast<char>(kInteger << 4 | static_cast<unsigned>(std::countr_zero(width)));
        appendBigEndian(out_, number, width);
    }

    void eightBytes(unsigned type, unsigned info, std::uint64_t bits) {
        out_ += static_cast<char>(type << 4 | info);
        appendBigEndian(out_, bits, 8);
    }

    void string(std::string_view text) {
        if (isAscii(text)) {
            marker(kAsciiString, text.size());
            out_ += text;
            return;
        }
        std::u16string units;
        forEachCodePoint(text, [&](char32_t point) {
            if (point < 0x10000) {
                units += static_cast<char16_t>(point);
            } else {
                units += static_cast<char16_t>(0xD800 + ((point - 0x10000) >> 10));
                units += static_cast<char16_t>(0xDC00 + ((point - 0x10000) & 0x3FF));
            }
            return true;
        });
        marker(kUtf16String, units.size());
        for (const char16_t unit : units) appendBigEndian(out_, unit, 2);
    }

    void write(const Object& object) {
        if (object.key) return string(*object.key);
        const Value& value = *object.value;
        using Kind = Value::Kind;
        switch (value.kind()) {
            case Kind::Null:
                out_ += kNull;
                break;
            case Kind::Bool:
                out_ += *value.boolValue() ? kTrue : kFalse;
                break;
            case Kind::Int:
                if (const auto number = *value.intValue(); number < 0) {
                    eightBytes(kInteger, 3, static_cast<std::uint64_t>(number));
                } else {
                    unsignedInteger(static_cast<std::uint64_t>(number));
                }
                break;
            case Kind::UInt:
                unsignedInteger(*value.uintValue());
                break;
            case Kind::Double:
                eightBytes(kReal, 3, std::bit_cast<std::uint64_t>(*value.doubleValue()));
                break;
            case Kind::Date:
                eightBytes(kDate, 3,
                           std::bit_cast<std::uint64_t>(value.dateValue()->timeIntervalSinceReferenceDate()));
                break;
            case Kind::String:
                string(*value.stringValue());
                break;
            case Kind::Data:
                marker(kData, value.dataValue()->size());
                out_.append(value.dataValue()->begin(), value.dataValue()->end());
                break;
            case Kind::Array:
            case Kind::Dictionary: {
                const bool array = value.kind() == Kind::Array;
                const auto& references = object.references;
                marker(array ? kArray : kDictionary, array ? references.size() : references.size() / 2);
                for (const auto reference : references) appendBigEndian(out_, reference, refWidth_);
                break;
            }
        }
    }

    std::vector<Object> objects_;
    std::unordered_map<std::string, std::uint64_t> written_;
    unsigned refWidth_ = 1;
    std::string out_;
};

// --- Reading -----------------------------------------------------------------------------------

class Reader {
public:
    Reader(std::string_view bytes, std::string* error) : bytes_(bytes), error_(error) {}

    std::optional<Value> document() {
        if (bytes_.size() < kMagic.size() + kTrailerSize || !BinaryPropertyList::isBinary(bytes_)) {
            return fail("not a binary property list");
        }
        const std::size_t trailer = bytes_.size() - kTrailerSize;
        offsetWidth_ = byteAt(trailer + 6);
        refWidth_ = byteAt(trailer + 7);
        const std::uint64_t count = bigEndian(trailer + 8, 8);
        const std::uint64_t top = bigEndian(trailer + 16, 8);
        const std::uint64_t table = bigEndian(trailer + 24, 8);
        if (!isWidth(offsetWidth_) || !isWidth(refWidth_)) return fail("bad integer widths in the trailer");
        if (count == 0 || top >= count || table < kMagic.size() || table > trailer ||
            count > (trailer - table) / offsetWidth_) {
            return fail("the offset table lies outside the file");
        }
        table_ = table;
        objectsEnd_ = table;
        count_ = count;
        onPath_.assign(count, false);
        return object(top, 0);
    }

private:
    static bool isWidth(unsigned width) { return width == 1 || width == 2 || width == 4 || width == 8; }

    std::nullopt_t fail(const std::string& message) {
        if (error_ && !failed_) *error_ = message;
        failed_ = true;
        return std::nullopt;
    }

    unsigned byteAt(std::size_t at) const { return static_cast<unsigned char>(bytes_[at]); }
    // The caller has checked the bounds.
    std::uint64_t bigEndian(std::size_t at, unsigned width) const {
        std::uint64_t number = 0;
        for (unsigned i = 0; i < width; ++i) number = number << 8 | byteAt(at + i);
        return number;
    }
    // True when `length` bytes from `at` lie inside the objects.
    bool within(std::size_t at, std::uint64_t length) const {
        return at <= objectsEnd_ && length <= objectsEnd_ - at;
    }
    // Every object read, and every byte it holds, counts against the expansion budget.
    bool spend(std::uint64_t size) {
        if (size >= budget_ || budget_ - size < sizeof(Value)) return false;
        budget_ -= size + sizeof(Value);
        return true;
    }

    std::optional<std::uint64_t> read(std::size_t& at, unsigned width) {
        if (!within(at, width)) return fail("an object runs past its end");
        const std::uint64_t number = bigEndian(at, width);
        at += width;
        return number;
    }

    // The count in the marker's low bits, or the integer object after it.
    std::optional<std::uint64_t> count(unsigned info, std::size_t& at) {
        if (info != kCountFollows) return info;
        const auto next = read(at, 1);
        if (!next) return std::nullopt;
        if (*next >> 4 != kInteger || (*next & 0xF) > 3) return fail("a bad count");
        const auto number = read(at, 1u << (*next & 0xF));
        if (!number || *number > kLargestSigned) return fail("a bad count");
        return number;
    }

    // 1, 2 and 4 bytes unsigned, 8 signed, 16 when it fits 64 bits signed or unsigned.
    std::optional<Value> integer(unsigned info, std::size_t at) {
        if (info > 4) return fail("an integer of a width the format does not have");
        const auto first = read(at, info < 3 ? 1u << info : 8);
        if (!first) return std::nullopt;
        if (info <= 3) return Value(static_cast<std::int64_t>(*first));
        const auto low = read(at, 8);
        if (!low) return std::nullopt;
        if (*first == 0) return *low > kLargestSigned ? Value(*low) : Value(static_cast<std::int64_t>(*low));
        if (*first == ~std::uint64_t{0} && *low > kLargestSigned)
            return Value(static_cast<std::int64_t>(*low));
        return fail("an integer beyond 64 bits");
    }

    std::optional<Value> real(unsigned type, unsigned info, std::size_t at) {
        if (info == 2 && type == kReal) {
            const auto bits = read(at, 4);
            if (!bits) return std::nullopt;
            return Value(static_cast<double>(std::bit_cast<float>(static_cast<std::uint32_t>(*bits))));
        }
        if (info != 3) return fail("a real of a width the format does not have");
        const auto bits = read(at, 8);
        if (!bits) return std::nullopt;
        const double number = std::bit_cast<double>(*bits);
        if (type == kReal) return Value(number);
        if (!Iso8601Date::format(NSDate(number))) return fail("a date with no calendar form");
        return Value(NSDate(number));
    }

    std::optional<Value> bytes(unsigned type, unsigned info, std::size_t at) {
        const auto length = count(info, at);
        if (!length) return std::nullopt;
        const std::uint64_t width = type == kUtf16String ? 2 : 1;
        if (*length > objectsEnd_ / width || !within(at, *length * width))
            return fail("an object runs past its end");
        if (!spend(*length * width)) return fail("the objects expand beyond 64 MiB");
        const std::string_view content = bytes_.substr(at, *length * width);
        if (type == kData) return Value(Value::Data(content.begin(), content.end()));
        if (type == kAsciiString) {
            if (!isAscii(content)) return fail("a byte beyond ASCII in an ASCII string");
            return Value(std::string(content));
        }
        std::string text;
        for (std::size_t i = 0; i < content.size(); i += 2) {
            char32_t point = static_cast<char32_t>(bigEndian(at + i, 2));
            if (point >= 0xD800 && point <= 0xDBFF && i + 3 < content.size()) {
                const auto low = static_cast<char32_t>(bigEndian(at + i + 2, 2));
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    point = 0x10000 + ((point - 0xD800) << 10) + (low - 0xDC00);
                    i += 2;
                }
            }
            if (point >= 0xD800 && point <= 0xDFFF) return fail("an unpaired surrogate in a string");
            appendUtf8(text, point);
        }
        return Value(std::move(text));
    }

    // The references of a container: `length` of them (twice as many for a dictionary).
    std::optional<std::vector<std::uint64_t>> references(std::uint64_t length, std::size_t at) {
        if (length > objectsEnd_ / refWidth_ || !within(at, length * refWidth_)) {
            return fail("a container runs past its end");
        }
        std::vector<std::uint64_t> found;
        found.reserve(length);
        for (std::uint64_t i = 0; i < length; ++i) found.push_back(*read(at, refWidth_));
        return found;
    }

    std::optional<Value> container(std::uint64_t index, unsigned type, unsigned info, std::size_t at,
                                   int depth) {
        if (depth + 1 > PropertyList::kMaxDepth) return fail("nested deeper than 512 levels");
        const auto length = count(info, at);
        if (!length) return std::nullopt;
        const bool dictionary = type == kDictionary;
        if (dictionary && *length > kLargestSigned / 2) return fail("a container runs past its end");
        const auto refs = references(dictionary ? *length * 2 : *length, at);
        if (!refs) return std::nullopt;
        onPath_[index] = true;
        std::optional<Value> result;
        if (dictionary) {
            result = entries(*refs, depth + 1);
        } else {
            Value::Array items;
            items.reserve(refs->size());
            for (const auto reference : *refs) {
                auto item = object(reference, depth + 1);
                if (!item) return std::nullopt;
                if (item->isNull()) return fail("a null inside an array");
                items.push_back(std::move(*item));
            }
            result = Value(std::move(items));
        }
        onPath_[index] = false;
        return result;
    }

    std::optional<Value> entries(const std::vector<std::uint64_t>& refs, int depth) {
        const std::size_t length = refs.size() / 2;
        Value::Dictionary entries;
        for (std::size_t i = 0; i < length; ++i) {
            auto key = object(refs[i], depth);
            if (!key) return std::nullopt;
            if (!key->stringValue()) return fail("a dictionary key that is not a string");
            auto item = object(refs[length + i], depth);
            if (!item) return std::nullopt;
            if (item->isNull()) return fail("a null inside a dictionary");
            entries.insert_or_assign(*key->stringValue(), std::move(*item));
        }
        return Value(std::move(entries));
    }

    std::optional<Value> object(std::uint64_t index, int depth) {
        if (index >= count_) return fail("a reference to no object");
        if (onPath_[index]) return fail("a container that holds itself");
        if (!spend(0)) return fail("the objects expand beyond 64 MiB");
        const std::uint64_t offset = bigEndian(table_ + index * offsetWidth_, offsetWidth_);
        if (offset < kMagic.size() || offset >= objectsEnd_)
            return fail("an object offset outside the objects");
        std::size_t at = offset;
        const unsigned marker = byteAt(at++);
        const unsigned type = marker >> 4;
        const unsigned info = marker & 0xF;
        switch (type) {
            case kSimple:
                if (info == 0) return Value();
                if (info == 8 || info == 9) return Value(info == 9);
                break;
            case kInteger:
                return integer(info, at);
            case kReal:
            case kDate:
                return real(type, info, at);
            case kData:
            case kAsciiString:
            case kUtf16String:
                return bytes(type, info, at);
            case kArray:
            case kDictionary:
                return container(index, type, info, at, depth);
            default:
                break;
        }
        return fail("an object of an unknown type");
    }

    std::string_view bytes_;
    std::string* error_;
    bool failed_ = false;
    unsigned offsetWidth_ = 1;
    unsigned refWidth_ = 1;
    std::size_t table_ = 0;
    std::size_t objectsEnd_ = 0;
    std::uint64_t count_ = 0;
    std::uint64_t budget_ = BinaryPropertyList::kMaxExpandedSize;
    // The containers being read, from the top down to the current one: a reference back to one of
    // them is a cycle.
    std::vector<bool> onPath_;
};

}  // namespace

bool BinaryPropertyList::isBinary(std::string_view bytes) {
    return bytes.starts_with(kMagic);
}

std::string BinaryPropertyList::serialize(const Value& value) {
    return Writer().finish(value);
}

std::optional<Value> BinaryPropertyList::parse(std::string_view bytes, std::string* error) {
    return Reader(bytes, error).document();
}

}  // namespace platform
