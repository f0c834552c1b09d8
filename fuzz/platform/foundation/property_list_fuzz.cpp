// Feeds arbitrary bytes to the property-list reader, XML or binary by their first bytes. Whatever it
// accepts must be written back in its own form, read again to an equal value, and written again to the
// very same bytes; what the binary reader accepts must also survive XML.
#include <cstdlib>
#include <string_view>

#include "platform/foundation/binary_property_list.h"
#include "platform/foundation/property_list.h"

namespace {

using Serializer = std::optional<std::string> (*)(const platform::Value&, std::string*);

void roundTrip(const platform::Value& value, Serializer serialize) {
    const auto text = serialize(value, nullptr);
    if (!text) std::abort();
    const auto again = platform::PropertyList::parse(*text);
    if (!again || !(*again == value)) std::abort();
    const auto textAgain = serialize(*again, nullptr);
    if (!textAgain || *textAgain != *text) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto value = platform::PropertyList::parse(bytes);
    if (!value) return 0;
    if (platform::BinaryPropertyList::isBinary(bytes)) {
        roundTrip(*value, &platform::PropertyList::serializeBinary);
        roundTrip(*value, &platform::PropertyList::serialize);
    } else {
        roundTrip(*value, &platform::PropertyList::serialize);
    }
    return 0;
}
