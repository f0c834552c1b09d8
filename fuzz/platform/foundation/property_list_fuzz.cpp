// Feeds arbitrary bytes to the property-list reader. Whatever it accepts must be written back, read
// again to an equal value, and written again to the very same text.
#include <cstdlib>
#include <string_view>

#include "platform/foundation/property_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto value = platform::PropertyList::parse(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!value) return 0;
    const auto text = platform::PropertyList::serialize(*value);
    if (!text) std::abort();
    const auto again = platform::PropertyList::parse(*text);
    if (!again || !(*again == *value)) std::abort();
    const auto textAgain = platform::PropertyList::serialize(*again);
    if (!textAgain || *textAgain != *text) std::abort();
    return 0;
}
