#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "analytics/messages/nano_field_access.h"
#include "analytics/messages/proto/apm_messages.h"

namespace quorvel::testing {

struct EventConfigSpec {
    std::string name;
    std::optional<bool> blocklisted;
    std::optional<bool> customConversion;
    std::optional<std::int32_t> samplingRate;
};

// A measurement configuration as the service would send it.
struct MeasurementConfigBuilder {
    std::string appID;
    std::optional<std::int64_t> version;
    std::vector<std::pair<std::string, std::string>> settings;
    std::vector<EventConfigSpec> events;
    std::vector<std::shared_ptr<APMPBProgram>> programs;
    std::vector<std::string> dataControls;
    std::optional<std::string> uploadSubdomain;
    std::optional<std::string> ravadAppID;

    std::shared_ptr<APMPBMeasurementConfig> build() const {
        using Field = apmpb_fields::MeasurementConfig;
        auto config = APMPBMeasurementConfig::initWithBuffer();
        APMNanoSetStringField(config.get(), Field::kAppId, appID);
        if (version) APMNanoSetInt64(config.get(), Field::kVersion, *version);
        if (uploadSubdomain) APMNanoSetStringField(config.get(), Field::kUploadSubdomain, *uploadSubdomain);
        if (ravadAppID) APMNanoSetStringField(config.get(), Field::kRavadAppId, *ravadAppID);

        std::vector<NanoObject> settingList;
        for (const auto& [name, value] : settings) {
            auto setting = APMPBSetting::initWithBuffer();
            APMNanoSetStringField(setting.get(), apmpb_fields::Setting::kName, name);
            APMNanoSetStringField(setting.get(), apmpb_fields::Setting::kValue, value);
            settingList.emplace_back(std::shared_ptr<NANOMessageBase>(setting));
        }
        APMNanoSetArray(config.get(), Field::kSettings, &settingList);

        std::vector<NanoObject> eventList;
        for (const auto& wanted : events) {
            using Event = apmpb_fields::EventConfig;
            auto event = APMPBEventConfig::initWithBuffer();
            APMNanoSetStringField(event.get(), Event::kName, wanted.name);
            if (wanted.blocklisted)
                APMNanoSetBoolField(event.get(), Event::kIsBlocklisted, *wanted.blocklisted);
            if (wanted.customConversion)
                APMNanoSetBoolField(event.get(), Event::kIsCustomConversion, *wanted.customConversion);
            if (wanted.samplingRate) APMNanoSetInt32(event.get(), Event::kSamplingRate, *wanted.samplingRate);
            eventList.emplace_back(std::shared_ptr<NANOMessageBase>(event));
        }
        APMNanoSetArray(config.get(), Field::kEventConfig, &eventList);

        const std::vector<NanoObject> programList(programs.begin(), programs.end());
        APMNanoSetArray(config.get(), Field::kDynamicEventEditing, &programList);

        std::vector<NanoObject> controlList;
        for (const auto& name : dataControls) {
            auto control = APMPBDataControl::initWithBuffer();
            APMNanoSetStringField(control.get(), apmpb_fields::DataControl::kName, name);
            controlList.emplace_back(std::shared_ptr<NANOMessageBase>(control));
        }
        APMNanoSetArray(config.get(), Field::kDataControls, &controlList);
        return config;
    }
};

}  // namespace quorvel::testing
