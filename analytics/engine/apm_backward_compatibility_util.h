#pragma once

#include <functional>
#include <memory>
#include <string>

namespace analytics {

// An older measurement library in the same process would count the same events twice, so the engine
// switches it off as it starts. Such a library makes itself known by its class name with a way to reach
// its shared instance, which answers setIsEnabled.
class APMBackwardCompatibilityUtil {
public:
    class Switchable {
    public:
        virtual ~Switchable() = default;
        virtual void setIsEnabled(bool enabled) = 0;
    };
    using SharedInstance = std::function<std::shared_ptr<Switchable>()>;

    static void registerClass(const std::string& className, SharedInstance sharedInstance);
    // Switches off "ZUZIruvorezuvu"; true only when the process has it and it has a shared instance.
    static bool disableZUZIruvorezuvu();
};

}  // namespace analytics
