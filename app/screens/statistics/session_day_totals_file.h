#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/screens/statistics/quarter_hour_totals.h"
#include "platform/foundation/value.h"

namespace quorvel {

// The session totals of a store as bytes that a later read starts from, with what tells whether they
// still hold: the store they were read from and the last row read with its two values (a store put back
// from an older copy no longer holds it so). The totals are per quarter of an hour, so they hold in
// every time zone.
struct SessionDayTotalsFile {
    std::string storeIdentifier;
    std::int64_t lastRow = 0;
    platform::Value lastTimestamp;
    platform::Value lastDuration;
    QuarterHourTotals totals;

    // A line of text per field, then the quarters as fixed-size binary records: a million sessions
    // make hundreds of thousands of quarters.
    std::string bytes() const;
    // None for bytes that are not a whole one of these: a torn or foreign file is read again from the store.
    static std::optional<SessionDayTotalsFile> parse(const std::string& bytes);
};

}  // namespace quorvel
