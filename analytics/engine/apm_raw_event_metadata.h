#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "analytics/foundation/apm_data_additions.h"

namespace analytics {

// The bundle metadata every raw event is stored with: the bundle fields the library knows when it takes
// an event in (platform "ios", the app's identifier and version, the library version and the app ID
// when there is one). It is made again only when one of them changed, so events logged under the same
// fields share one fingerprint.
class APMRawEventMetadata {
public:
    explicit APMRawEventMetadata(std::string appID) : appID_(std::move(appID)) {}

    // Brings the metadata up to date with the app's bundle; false when it could not be encoded.
    bool update();
    // The encoded bundle and its fingerprint, once update() succeeded.
    const APMBytes& encoding() const { return encoding_; }
    std::int64_t fingerprint() const { return fingerprint_; }

private:
    struct Fields {
        std::string appIdentifier;
        std::optional<std::string> appVersion;
        std::int64_t libraryVersion = 0;
        friend bool operator==(const Fields&, const Fields&) = default;
    };
    static Fields currentFields();

    const std::string appID_;
    std::optional<Fields> fields_;
    APMBytes encoding_;
    std::int64_t fingerprint_ = 0;
};

}  // namespace analytics
