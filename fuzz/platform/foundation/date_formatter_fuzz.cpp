// Feeds arbitrary text to the date formatter's parser under one of the patterns the app reads dates
// with, chosen by the first byte. Nothing may crash, and a date read must be showable again.
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/foundation/ns_date_formatter.h"
#include "platform/foundation/ns_locale.h"
#include "platform/foundation/ns_time_zone.h"

namespace {

constexpr const char* kPatterns[] = {"ss.SSS", "yyyy-MM-dd HH:mm:ss.SSS", "yyyy/MM/dd", "HH:mm", "h:mm a",
                                     "EEEE d MMMM yyyy", "yy/MM/dd", "MMM d", "yyyyMMddHHmmssSSS", "D.S"};

const platform::NSDateFormatter& formatterFor(uint8_t selector) {
    static const auto formatters = [] {
        std::vector<platform::NSDateFormatter> all;
        for (const char* pattern : kPatterns) {
            platform::NSDateFormatter formatter;
            formatter.setDateFormat(pattern);
            formatter.setLocale(platform::NSLocale("en_US_POSIX"));
            formatter.setTimeZone(*platform::NSTimeZone::timeZoneWithName("Europe/Berlin"));
            all.push_back(formatter);
        }
        return all;
    }();
    return formatters[selector % formatters.size()];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const auto& formatter = formatterFor(data[0]);
    const auto date = formatter.dateFromString(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
    if (date && formatter.stringFromDate(*date).empty()) std::abort();
    return 0;
}
