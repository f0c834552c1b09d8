// Feeds arbitrary bytes to the ISO 8601 date reader, and their first eight bytes as a date to the
// writer. A date read has a form that reads back to the same date and the same form; a date written
// reads back exactly.
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "platform/foundation/iso8601_date.h"

namespace {

bool same(platform::NSDate a, platform::NSDate b) {
    return a.timeIntervalSinceReferenceDate() == b.timeIntervalSinceReferenceDate();
}

void checkRoundTrip(platform::NSDate date) {
    const auto form = platform::Iso8601Date::format(date);
    if (!form) return;
    const auto read = platform::Iso8601Date::parse(*form);
    if (!read || !same(*read, date)) std::abort();
    if (platform::Iso8601Date::format(*read) != form) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (const auto read = platform::Iso8601Date::parse(std::string_view(reinterpret_cast<const char*>(data), size))) {
        if (!platform::Iso8601Date::format(*read)) std::abort();
        checkRoundTrip(*read);
    }
    if (size >= sizeof(double)) {
        double seconds = 0;
        std::memcpy(&seconds, data, sizeof seconds);
        checkRoundTrip(platform::NSDate(seconds));
    }
    return 0;
}
