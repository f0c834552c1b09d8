#include "platform/foundation/offset_table_time_zone.h"

#include <unicode/gregocal.h>
#include <unicode/tztrans.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <optional>
#include <typeinfo>
#include <utility>

#include "platform/foundation/icu_support.h"
#include "platform/foundation/ns_date.h"

namespace platform {

namespace {

constexpr double kMillisPerDay = 86'400'000.0;
// The parts of a UTimeZoneLocalOption.
constexpr int kStandardOrDaylightMask = 0x03;
constexpr int kStandard = 0x01;
constexpr int kDaylight = 0x03;
constexpr int kFormerOrLatterMask = 0x0C;

int32_t total(const OffsetTableTimeZone::Period& period) {
    return period.rawMillis + period.dstMillis;
}

// The offset that places a transition on the local clock, as ICU's own zones place it: a wall time
// inside a gap or an overlap takes the side the options choose.
int32_t localShift(const OffsetTableTimeZone::Period& before, const OffsetTableTimeZone::Period& after,
                   int nonExistingTimeOpt, int duplicatedTimeOpt) {
    const bool gap = total(after) >= total(before);
    const int option = gap ? nonExistingTimeOpt : duplicatedTimeOpt;
    const bool toStandard = before.dstMillis != 0 && after.dstMillis == 0;
    const bool toDaylight = before.dstMillis == 0 && after.dstMillis != 0;
    const int kind = option & kStandardOrDaylightMask;
    // "Standard" or "daylight" picks the side of that kind, when the transition changes kind.
    if ((kind == kStandard && toStandard) || (kind == kDaylight && toDaylight))
        return gap ? total(before) : total(after);
    if ((kind == kStandard && toDaylight) || (kind == kDaylight && toStandard))
        return gap ? total(after) : total(before);
    const int side = option & kFormerOrLatterMask;
    if (gap) return side == UCAL_TZ_LOCAL_LATTER ? total(before) : total(after);
    return side == UCAL_TZ_LOCAL_FORMER ? total(before) : total(after);
}

// Milliseconds since 1970 at the start of a proleptic Gregorian date (month from 0, as ICU counts); none
// for a year chrono cannot hold.
std::optional<UDate> dayStart(int32_t year, int32_t month, int32_t day) {
    using namespace std::chrono;
    if (year < -32'000 || year > 32'000) return std::nullopt;
    const sys_days first{std::chrono::year(year) / (month + 1) / 1};
    return (static_cast<double>(first.time_since_epoch().count()) + day - 1) * kMillisPerDay;
}

int32_t yearOf(UDate utc) {
    using namespace std::chrono;
    const sys_days day{std::chrono::days(static_cast<std::int64_t>(std::floor(utc / kMillisPerDay)))};
    return static_cast<int>(year_month_day(day).year());
}

bool sameOffsets(const OffsetTableTimeZone::Period& a, const OffsetTableTimeZone::Period& b) {
    return a.rawMillis == b.rawMillis && a.dstMillis == b.dstMillis;
}

}  // namespace

// The periods, and ICU's rules for them, made once and shared by every copy.
struct OffsetTableTimeZone::Table {
    std::vector<Period> periods;
    icu::InitialTimeZoneRule initialRule;
    // One rule for each pair of offsets a transition goes to, with that pair's start times.
    std::vector<std::unique_ptr<icu::TimeArrayTimeZoneRule>> transitionRules;
    std::vector<const icu::TimeZoneRule*> ruleOf;  // by period

    Table(const icu::UnicodeString& id, std::vector<Period> list)
        : periods(std::move(list)), initialRule(id, periods[0].rawMillis, periods[0].dstMillis) {
        std::vector<Period> offsets;             // each pair of offsets a transition goes to
        std::vector<std::vector<UDate>> starts;  // its transitions
        std::vector<std::size_t> pairOf(periods.size(), 0);
        for (std::size_t i = 1; i < periods.size(); ++i) {
            const auto found =
                std::ranges::find_if(offsets, [&](const Period& p) { return sameOffsets(p, periods[i]); });
            pairOf[i] = static_cast<std::size_t>(found - offsets.begin());
            if (found == offsets.end()) {
                offsets.push_back(periods[i]);
                starts.emplace_back();
            }
            starts[pairOf[i]].push_back(periods[i].start);
        }
        for (std::size_t pair = 0; pair < offsets.size(); ++pair) {
            transitionRules.push_back(std::make_unique<icu::TimeArrayTimeZoneRule>(
                id, offsets[pair].rawMillis, offsets[pair].dstMillis, starts[pair].data(),
                static_cast<int32_t>(starts[pair].size()), icu::DateTimeRule::UTC_TIME));
        }
        ruleOf.push_back(&initialRule);
        for (std::size_t i = 1; i < periods.size(); ++i) ruleOf.push_back(transitionRules[pairOf[i]].get());
    }
};

OffsetTableTimeZone::OffsetTableTimeZone(const icu::UnicodeString& id, std::vector<Period> periods)
    : icu::SimpleTimeZone(periods.at(0).rawMillis, id),
      table_(std::make_shared<const Table>(id, std::move(periods))) {}

UClassID OffsetTableTimeZone::getStaticClassID() {
    static char id = 0;
    return &id;
}

bool OffsetTableTimeZone::operator==(const icu::TimeZone& other) const {
    return this == &other ||
           (typeid(*this) == typeid(other) && TimeZone::operator==(other) && hasSameRules(other));
}

UBool OffsetTableTimeZone::hasSameRules(const icu::TimeZone& other) const {
    const auto* table = dynamic_cast<const OffsetTableTimeZone*>(&other);
    return table && (table->table_ == table_ || table->table_->periods == table_->periods);
}

std::size_t OffsetTableTimeZone::indexAt(UDate utc) const {
    const auto& periods = table_->periods;
    const auto after = std::upper_bound(periods.begin() + 1, periods.end(), utc,
                                        [](UDate date, const Period& period) { return date < period.start; });
    return static_cast<std::size_t>(after - periods.begin()) - 1;
}

const OffsetTableTimeZone::Period& OffsetTableTimeZone::periodAt(UDate utc) const {
    return table_->periods[indexAt(utc)];
}

const OffsetTableTimeZone::Period& OffsetTableTimeZone::periodAtLocal(UDate local, int nonExistingTimeOpt,
                                                                      int duplicatedTimeOpt) const {
    const auto& periods = table_->periods;
    // Periods last far longer than any change of offset, so their local starts keep their order.
    std::size_t low = 1;
    std::size_t high = periods.size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        const UDate localStart = periods[middle].start + localShift(periods[middle - 1], periods[middle],
                                                                    nonExistingTimeOpt, duplicatedTimeOpt);
        if (local < localStart) {
            high = middle;
        } else {
            low = middle + 1;
        }
    }
    return periods[low - 1];
}

void OffsetTableTimeZone::getOffset(UDate date, UBool local, int32_t& rawOffset, int32_t& dstOffset,
                                    UErrorCode& status) const {
    if (U_FAILURE(status)) return;
    // A plain local time means the former offsets in a gap and the latter in an overlap, as ICU's zones read
    // it.
    const Period& period =
        local ? periodAtLocal(date, UCAL_TZ_LOCAL_FORMER, UCAL_TZ_LOCAL_LATTER) : periodAt(date);
    rawOffset = period.rawMillis;
    dstOffset = period.dstMillis;
}

void OffsetTableTimeZone::getOffsetFromLocal(UDate date, UTimeZoneLocalOption nonExistingTimeOpt,
                                             UTimeZoneLocalOption duplicatedTimeOpt, int32_t& rawOffset,
                                             int32_t& dstOffset, UErrorCode& status) const {
    if (U_FAILURE(status)) return;
    const Period& period = periodAtLocal(date, nonExistingTimeOpt, duplicatedTimeOpt);
    rawOffset = period.rawMillis;
    dstOffset = period.dstMillis;
}

int32_t OffsetTableTimeZone::getOffset(uint8_t era, int32_t year, int32_t month, int32_t day, uint8_t,
                                       int32_t millis, UErrorCode& status) const {
    if (U_FAILURE(status)) return 0;
    const auto start = month >= 0 && month < 12 && day >= 1 && day <= 31
                           ? dayStart(era == icu::GregorianCalendar::BC ? 1 - year : year, month, day)
                           : std::nullopt;
    if (!start) {
        status = U_ILLEGAL_ARGUMENT_ERROR;
        return 0;
    }
    const UDate localStandard = *start + millis;
    const int32_t raw = periodAtLocal(localStandard, UCAL_TZ_LOCAL_FORMER, UCAL_TZ_LOCAL_LATTER).rawMillis;
    return total(periodAt(localStandard - raw));
}

int32_t OffsetTableTimeZone::getOffset(uint8_t era, int32_t year, int32_t month, int32_t day,
                                       uint8_t dayOfWeek, int32_t millis, int32_t, UErrorCode& status) const {
    return getOffset(era, year, month, day, dayOfWeek, millis, status);
}

int32_t OffsetTableTimeZone::getOffset(uint8_t era, int32_t year, int32_t month, int32_t day,
                                       uint8_t dayOfWeek, int32_t millis, int32_t, int32_t,
                                       UErrorCode& status) const {
    return getOffset(era, year, month, day, dayOfWeek, millis, status);
}

int32_t OffsetTableTimeZone::getRawOffset() const {
    return periodAt(icu_support::toUDate(NSDate::now().timeIntervalSinceReferenceDate())).rawMillis;
}

int32_t OffsetTableTimeZone::getDSTSavings() const {
    const int32_t year = yearOf(icu_support::toUDate(NSDate::now().timeIntervalSinceReferenceDate()));
    const UDate yearEnd = *dayStart(year + 1, 0, 1);
    const auto& periods = table_->periods;
    for (std::size_t i = indexAt(*dayStart(year, 0, 1)); i < periods.size() && periods[i].start < yearEnd;
         ++i) {
        if (periods[i].dstMillis != 0) return periods[i].dstMillis;
    }
    return 0;
}

UBool OffsetTableTimeZone::inDaylightTime(UDate date, UErrorCode& status) const {
    if (U_FAILURE(status)) return false;
    return periodAt(date).dstMillis != 0;
}

void OffsetTableTimeZone::setTransition(std::size_t index, icu::TimeZoneTransition& result) const {
    result.setTime(table_->periods[index].start);
    result.setFrom(*table_->ruleOf[index - 1]);
    result.setTo(*table_->ruleOf[index]);
}

UBool OffsetTableTimeZone::getNextTransition(UDate base, UBool inclusive,
                                             icu::TimeZoneTransition& result) const {
    const auto& periods = table_->periods;
    const auto next =
        inclusive ? std::lower_bound(periods.begin() + 1, periods.end(), base,
                                     [](const Period& period, UDate date) { return period.start < date; })
                  : std::upper_bound(periods.begin() + 1, periods.end(), base,
                                     [](UDate date, const Period& period) { return date < period.start; });
    if (next == periods.end()) return false;
    setTransition(static_cast<std::size_t>(next - periods.begin()), result);
    return true;
}

UBool OffsetTableTimeZone::getPreviousTransition(UDate base, UBool inclusive,
                                                 icu::TimeZoneTransition& result) const {
    const auto& periods = table_->periods;
    const auto after =
        inclusive ? std::upper_bound(periods.begin() + 1, periods.end(), base,
                                     [](UDate date, const Period& period) { return date < period.start; })
                  : std::lower_bound(periods.begin() + 1, periods.end(), base,
                                     [](const Period& period, UDate date) { return period.start < date; });
    if (after == periods.begin() + 1) return false;
    setTransition(static_cast<std::size_t>(after - 1 - periods.begin()), result);
    return true;
}

int32_t OffsetTableTimeZone::countTransitionRules(UErrorCode& status) const {
    if (U_FAILURE(status)) return 0;
    return static_cast<int32_t>(table_->transitionRules.size());
}

void OffsetTableTimeZone::getTimeZoneRules(const icu::InitialTimeZoneRule*& initial,
                                           const icu::TimeZoneRule* trsrules[], int32_t& trscount,
                                           UErrorCode& status) const {
    if (U_FAILURE(status)) return;
    initial = &table_->initialRule;
    const auto count = std::min<std::size_t>(static_cast<std::size_t>(std::max(trscount, 0)),
                                             table_->transitionRules.size());
    for (std::size_t i = 0; i < count; ++i) trsrules[i] = table_->transitionRules[i].get();
    trscount = static_cast<int32_t>(count);
}

}  // namespace platform
