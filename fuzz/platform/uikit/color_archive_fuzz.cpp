// Feeds arbitrary bytes to the colour archive reader, as a damaged or hand-edited settings file hands
// them over. A colour it reads has finite components within 0…1, and archives and reads back as the
// very same colour.
#include <cmath>
#include <cstdlib>
#include <vector>

#include "platform/uikit/drawing/ns_keyed_archiver.h"
#include "platform/uikit/drawing/ns_keyed_unarchiver.h"
#include "platform/uikit/drawing/ui_color.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto color =
        platform::NSKeyedUnarchiver::unarchiveColor(std::vector<std::uint8_t>(data, data + size));
    if (!color) return 0;
    double red = -1, green = -1, blue = -1, alpha = -1;
    if (!color->getRed(&red, &green, &blue, &alpha)) std::abort();
    for (double component : {red, green, blue, alpha}) {
        if (!(component >= 0 && component <= 1)) std::abort();
    }
    const auto again = platform::NSKeyedUnarchiver::unarchiveColor(
        platform::NSKeyedArchiver::archivedDataWithRootObject(color));
    if (!again || !(*again == *color)) std::abort();
    return 0;
}
