#pragma once

#include <unicode/simpletz.h>
#include <unicode/tzrule.h>

#include <memory>
#include <vector>

// Not part of the platform's surface: the ICU zone behind a zone only the C library can read.
namespace platform {

// An ICU time zone whose offsets come from a list of periods, each with its start and its standard
// and daylight-saving offsets. Immutable; copies share the list, so ICU's calendars clone it cheaply.
//
// It derives from SimpleTimeZone, though it replaces all of that class's behaviour, because ICU's
// calendar asks only its own zone classes for their transitions, which it needs to place a wall time
// inside a daylight-saving gap.
class OffsetTableTimeZone final : public icu::SimpleTimeZone {
public:
    struct Period {
        UDate start;  // milliseconds since 1970 UTC; the first period's start is never read
        int32_t rawMillis;
        int32_t dstMillis;
        bool operator==(const Period&) const = default;
    };

    // `periods` in order of start, at least one, neighbours differing in their offsets.
    OffsetTableTimeZone(const icu::UnicodeString& id, std::vector<Period> periods);

    OffsetTableTimeZone* clone() const override { return new OffsetTableTimeZone(*this); }
    bool operator==(const icu::TimeZone& other) const override;
    UBool hasSameRules(const icu::TimeZone& other) const override;

    void getOffset(UDate date, UBool local, int32_t& rawOffset, int32_t& dstOffset,
                   UErrorCode& status) const override;
    void getOffsetFromLocal(UDate date, UTimeZoneLocalOption nonExistingTimeOpt,
                            UTimeZoneLocalOption duplicatedTimeOpt, int32_t& rawOffset, int32_t& dstOffset,
                            UErrorCode& status) const override;
    // The field-based forms take a local standard time, as ICU defines them.
    int32_t getOffset(uint8_t era, int32_t year, int32_t month, int32_t day, uint8_t dayOfWeek,
                      int32_t millis, UErrorCode& status) const override;
    int32_t getOffset(uint8_t era, int32_t year, int32_t month, int32_t day, uint8_t dayOfWeek,
                      int32_t millis, int32_t monthLength, UErrorCode& status) const override;
    int32_t getOffset(uint8_t era, int32_t year, int32_t month, int32_t day, uint8_t dayOfWeek,
                      int32_t millis, int32_t monthLength, int32_t prevMonthLength,
                      UErrorCode& status) const override;

    // The offsets in force now.
    int32_t getRawOffset() const override;
    // The offsets are the C library's; like ICU's database zones, this one cannot be moved.
    void setRawOffset(int32_t) override {}
    // Daylight saving as observed in the current year.
    int32_t getDSTSavings() const override;
    UBool useDaylightTime() const override { return getDSTSavings() != 0; }
    UBool inDaylightTime(UDate date, UErrorCode& status) const override;

    UBool getNextTransition(UDate base, UBool inclusive, icu::TimeZoneTransition& result) const override;
    UBool getPreviousTransition(UDate base, UBool inclusive, icu::TimeZoneTransition& result) const override;
    int32_t countTransitionRules(UErrorCode& status) const override;
    void getTimeZoneRules(const icu::InitialTimeZoneRule*& initial, const icu::TimeZoneRule* trsrules[],
                          int32_t& trscount, UErrorCode& status) const override;

    static UClassID getStaticClassID();
    UClassID getDynamicClassID() const override { return getStaticClassID(); }

private:
    struct Table;

    std::size_t indexAt(UDate utc) const;
    const Period& periodAt(UDate utc) const;
    const Period& periodAtLocal(UDate local, int nonExistingTimeOpt, int duplicatedTimeOpt) const;
    void setTransition(std::size_t index, icu::TimeZoneTransition& result) const;

    std::shared_ptr<const Table> table_;
};

}  // namespace platform
