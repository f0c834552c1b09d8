#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/screens/statistics/day_number.h"
#include "platform/foundation/value.h"

namespace quorvel {

// The day totals of a session store as a text that a later read starts from, with what tells whether
// they still hold: the store they were read from, the time zone whose days they count, and the last row
// read with its two values (a store put back from an older copy no longer holds it so).
struct SessionDayTotalsFile {
    std::string storeIdentifier;
    std::string timeZone;
    std::int64_t lastRow = 0;
    platform::Value lastTimestamp;
    platform::Value lastDuration;
    DayNumbers days;

    std::string text() const;
    // None for a text that is not a whole one of these: a torn or foreign file is read again from the store.
    static std::optional<SessionDayTotalsFile> parse(const std::string& text);
};

}  // namespace quorvel
