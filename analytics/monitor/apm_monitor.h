#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analytics/monitor/apm_log_context.h"
#include "analytics/monitor/apm_log_level.h"
#include "analytics/monitor/apm_logging.h"
#include "analytics/monitor/apm_monitoring_sampled_data.h"
#include "platform/foundation/mutex.h"

namespace platform {
class DispatchQueue;
}

namespace analytics {

class APMConfigStore;

// The library's single logger and health monitor (its levels: APMLogLevel). Console lines and sample
// updates run on the serial queue "APMMonitorQueue" in the order they were logged. The monitor sits below
// the library's stores: it keeps its switches and sample in the stores it is handed and, until then,
// reads nothing and keeps nothing.
class APMMonitor : public std::enable_shared_from_this<APMMonitor> {
public:
    using Contexts = std::vector<APMLogContext>;
    // A message may be nil.
    using Message = std::optional<std::string>;

    // The standard suite holds the debug and verbose switches (and the sample of old versions); the
    // monitor's own suite holds the health sample. A missing store holds nothing.
    struct Stores {
        std::shared_ptr<APMConfigStore> standard;
        std::shared_ptr<APMConfigStore> monitorSuite;
    };
    using StoreSource = std::function<Stores()>;

    // Never destroyed: the monitor queue may still use them while the process exits.
    static const std::string& kDebugModeKey;
    static const std::string& kVerboseLoggingKey;
    static const std::string& kHealthMonitorKey;
    static const std::string& kMonitorMigrationStateKey;
    static const std::string& kMonitorSuiteName;
    static const std::string& kDefaultLogTag;

    // The process's monitor, which the whole library logs through: made on first use with the library
    // version; never null, never destroyed.
    static std::shared_ptr<APMMonitor> sharedInstance();
    // The same, handed its stores as the library starts: made with them when not made yet, else it takes
    // them at once (and runs its start again: the sample's migration and loading, the launch switches).
    // The stores are made outside any lock: a store may log through this very monitor while it is made.
    static std::shared_ptr<APMMonitor> sharedInstanceWithStores(const StoreSource& source);
    // Tests: forgets the process's monitor, so the next use makes one afresh, as a new process would.
    static void resetSharedForTesting();

    // Both start with the given stores, or with none.
    static std::shared_ptr<APMMonitor> initWithLibraryVersion(std::int64_t libraryVersion,
                                                              const StoreSource& source = nullptr);
    static std::shared_ptr<APMMonitor> initWithLogLevel(std::int64_t logLevel,
                                                        std::shared_ptr<APMLogging> logger,
                                                        std::int64_t libraryVersion,
                                                        const StoreSource& source = nullptr);
    ~APMMonitor();
    APMMonitor(const APMMonitor&) = delete;
    APMMonitor& operator=(const APMMonitor&) = delete;

    std::int64_t logLevel() const { return logLevel_; }
    void setLogLevel(std::int64_t logLevel) { logLevel_ = logLevel; }
    void setDebugModeEnabled(bool enabled);
    void setVerboseLoggingEnabled(bool enabled);
    bool isDebugModeEnabled() const { return debugModeEnabled_; }
    bool isVerboseLoggingEnabled() const { return verboseLoggingEnabled_; }
    bool encodeContexts() const { return encodeContexts_; }
    void setEncodeContexts(bool encode) { encodeContexts_ = encode; }
    std::string logTag() const EXCLUDES(logTagMutex_);
    void setLogTag(std::string logTag) EXCLUDES(logTagMutex_);

    void logWithLevel(std::int64_t level, std::int64_t messageCode, const Message& message);
    void logWithLevel(std::int64_t level, std::int64_t messageCode, const Message& message,
                      const APMLogContext& context);
    void logWithLevel(std::int64_t level, std::int64_t messageCode, const Message& message,
                      const APMLogContext& context1, const APMLogContext& context2);
    void logWithLevel(std::int64_t level, std::int64_t messageCode, const Message& message,
                      const APMLogContext& context1, const APMLogContext& context2,
                      const APMLogContext& context3);
    void logWithLevel(std::int64_t level, std::int64_t messageCode, const Message& message,
                      const Contexts& contexts);

    // The health sample for an upload once its period (seconds) is over, saving the emptied slot.
    // Waits for the monitor queue; never call it from there.
    std::optional<std::string> monitoringDataForDispatchWithSamplePeriod(double samplePeriod,
                                                                         double lastSampledTimestamp);
    // Forgets the stored debug switch and the sample. Waits for the monitor queue.
    void clearMonitoringData();

    static std::optional<std::string> logLevelDescriptionFromLogLevel(std::int64_t level);
    static bool isSilentLevel(std::int64_t level);
    static bool isMonitorableLevel(std::int64_t level);
    static std::string encodedStringWithContextArray(const Contexts& contexts, bool insertSpaces);
    static std::string encodedStringWithContextObject(const APMLogContext& context);
    static std::string stringWithLogMessage(const Message& message, std::int64_t logLevel,
                                            const Contexts& contexts, bool encodeContexts);
    static std::optional<std::string> lastAPMSymbolFromException(const platform::NSException* exception);
    static std::string monitoringDataKeyWithMessage(const Message& message, std::int64_t logLevel,
                                                    std::int64_t libraryVersion);

private:
    APMMonitor(std::int64_t logLevel, std::shared_ptr<APMLogging> logger, std::int64_t libraryVersion);
    void startWith(const StoreSource& source);
    void useStores(Stores stores) EXCLUDES(storesMutex_);
    void start();
    Stores stores() const EXCLUDES(storesMutex_);
    void readLaunchSwitches();
    bool isLoggableLevel(std::int64_t level) const;
    void logToConsole(std::int64_t messageCode, const std::string& message, std::int64_t logLevel);
    void insertOrUpdateMonitoringData(const std::string& key, const std::string& encodedContext);
    void migrateMonitorDataOnMonitorQueue();
    void loadMonitoringDataFromUserDefaultsOnMonitorQueue();
    void saveMonitoringDataOnMonitorQueue();

    std::atomic<std::int64_t> logLevel_;
    std::shared_ptr<APMLogging> logger_;
    std::unique_ptr<APMMonitoringSampledData> monitoringSampledData_;  // monitor queue only
    std::shared_ptr<platform::DispatchQueue> monitorQueue_;
    const std::int64_t libraryVersion_;
    // Deferring to another logger needs that logger's configuration class in the process; this build has
    // none, so the monitor always sets the console level itself.
    const bool deferToDZRLogger_ = false;
    std::atomic<bool> debugModeEnabled_{false};
    std::atomic<bool> verboseLoggingEnabled_{false};
    std::atomic<bool> encodeContexts_{false};
    mutable platform::Mutex storesMutex_;
    Stores stores_ GUARDED_BY(storesMutex_);
    mutable platform::Mutex logTagMutex_;
    std::string logTag_ GUARDED_BY(logTagMutex_);
};

}  // namespace analytics
