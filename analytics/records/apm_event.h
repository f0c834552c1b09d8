#pragma once

#include <memory>
#include <optional>
#include <string>

#include "analytics/foundation/apm_value.h"
#include "analytics/messages/nano_message_base.h"
#include "analytics/records/apm_logged_parameters.h"
#include "analytics/records/apm_object_parameters.h"
#include "analytics/records/apm_parameter_limits.h"
#include "analytics/records/apmp_event.h"

namespace analytics {

// One event between intake and storage: who logged it, its name (public, or internal with a leading
// "_"), when it happened and when its name last occurred (seconds; 0 when unknown), and its parameters as
// typed values. The origin and the conversion, real-time and debug flags travel as the reserved
// parameters "_o", "_c", "_r" and "_dbg", so they reach storage and upload with the rest.
class APMEvent {
public:
    // Nothing when the origin or the name is refused. The parameters pass the public or internal rules
    // by `isPublic`, keeping at most `maxPublicParameters` public ones (the active configuration's limit);
    // the origin replaces any "_o" given.
    static std::optional<APMEvent> initWithOrigin(const std::string& origin, bool isPublic, const std::string& name,
                                                  double timestamp, double previousTimestamp,
                                                  const APMObjectParameters& parameters,
                                                  std::int32_t maxPublicParameters = kAPMDefaultMaxPublicEventParams);
    // A logged event whose name passed its check on the way in (`nameChecked`) is not checked again.
    static std::optional<APMEvent> initWithOrigin(const std::string& origin, bool isPublic, const std::string& name,
                                                  double timestamp, double previousTimestamp,
                                                  const APMLoggedParameters& parameters,
                                                  std::int32_t maxPublicParameters = kAPMDefaultMaxPublicEventParams,
                                                  bool nameChecked = false);
    // From an upload message; nothing when its "_o" is missing or no string. Array parameters are not
    // read back.
    static std::optional<APMEvent> initWithEventProto(const NANOMessageBase* proto,
                                                      std::int32_t maxPublicParameters = kAPMDefaultMaxPublicEventParams);
    // From an event the editing programs made or changed: its public name becomes the internal one and
    // its "_o" the origin ("app" without one).
    static std::optional<APMEvent> eventFromEditEvent(const APMPEvent& editEvent);

    // Made again from this event as a non-public one, so its parameters pass the internal rules again.
    std::optional<APMEvent> copy() const;
    std::optional<APMEvent> copyWithPreviousTimestamp(double previousTimestamp) const;
    std::optional<APMEvent> copyWithParameters(const APMObjectParameters& parameters) const;

    const std::string& origin() const { return origin_; }
    const std::string& name() const { return name_; }
    double timestamp() const { return timestamp_; }
    double previousTimestamp() const { return previousTimestamp_; }
    const APMValue::Parameters& parameters() const { return parameters_; }

    // Setting the flag needs a valid "value" and currency; clearing it records that the conversion
    // limit was reached.
    bool isConversion() const;
    void setConversion(bool conversion);
    bool isRealtime() const;
    void setRealtime(bool realtime);
    bool isDebug() const;
    void setDebug(bool debug);
    // Conversions and ad impressions must carry a valid "value" with a currency.
    bool shouldValidateParams() const;

    // Adds the default event parameters under the public rules; the event's own parameters win.
    void applyParameters(const APMObjectParameters& parameters);
    // The screen id "_si" with the screen class "_sc" and name "_sn" when given; false, changing
    // nothing, when the event has screen parameters already or they are refused.
    bool addScreenParameters(const APMObjectParameters& screenParameters);

    std::shared_ptr<NANOMessageBase> protoEvent() const;
    APMPEvent editEvent() const;

private:
    APMEvent(std::string origin, std::string name, double timestamp, double previousTimestamp,
             APMValue::Parameters parameters);
    // Whether an event of this origin and name may be made; a previous time after the time is logged.
    static bool acceptsEvent(const std::string& origin, bool isPublic, const std::string& name, double timestamp,
                             double previousTimestamp, bool nameChecked);
    // The event of accepted origin and name with its sanitised parameters.
    static APMEvent withParameters(const std::string& origin, const std::string& name, double timestamp,
                                   double previousTimestamp, std::optional<APMValue::Parameters> sanitized);

    static const std::string& conversionName();
    static const std::string& realtimeName();
    bool hasIntegerOne(const std::string& name) const;
    void setIntegerOne(const char* name, bool present);

    std::string origin_;
    std::string name_;
    double timestamp_;
    double previousTimestamp_;
    APMValue::Parameters parameters_;
};

}  // namespace analytics
