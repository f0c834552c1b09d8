#include "shell/shell_settings.h"

#include "platform/foundation/ns_user_defaults.h"
#include "shell/device_choices.h"

namespace quorvel::shell {

namespace {

constexpr const char* kDevice = "Device";
constexpr const char* kOrientation = "Orientation";
constexpr const char* kSplit = "Split";

std::string remembered(const char* key) {
    return platform::NSUserDefaults::suiteNamed(ShellSettings::suiteName())->stringForKey(key).value_or("");
}

}  // namespace

std::string ShellSettings::suiteName() {
    return platform::NSUserDefaults::standardSuiteName() + ".shell";
}

std::variant<DeviceSetup, ShellOptions::Exit> ShellSettings::resolve(const ShellOptions& options) {
    DeviceSetup setup;
    // What was stored by hand or by another version may name nothing known: the default then.
    auto profile = DeviceChoices::model(options.device.value_or(remembered(kDevice)));
    setup.profile = profile ? *profile : *DeviceChoices::model(ShellOptions::kDefaultDevice);
    setup.orientation = options.orientation.value_or(DeviceChoices::orientation(remembered(kOrientation))
                                                         .value_or(platform::UIDeviceOrientation::portrait));
    const bool canSplit = DeviceChoices::canSplit(setup.profile);
    if (options.split && *options.split != 1 && !canSplit)
        return ShellOptions::splitNeedsTablet(setup.profile.identifier);
    setup.split = canSplit ? options.split.value_or(DeviceChoices::split(remembered(kSplit)).value_or(1)) : 1;
    return setup;
}

void ShellSettings::remember(const DeviceSetup& setup) {
    auto defaults = platform::NSUserDefaults::suiteNamed(suiteName());
    defaults->setString(setup.profile.identifier, kDevice);
    defaults->setString(DeviceChoices::orientationName(setup.orientation), kOrientation);
    defaults->setString(DeviceChoices::splitName(setup.split), kSplit);
}

}  // namespace quorvel::shell
