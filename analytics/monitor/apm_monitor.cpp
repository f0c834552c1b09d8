#include "analytics/monitor/apm_monitor.h"

#include <algorithm>
#include <cctype>
#include <sstream>

#include "analytics/monitor/apm_asl_logger.h"
#include "analytics/monitor/apm_empty_config_store.h"
#include "analytics/monitor/apm_error_additions.h"
#include "analytics/monitor/apm_identity.h"
#include "platform/dispatch/dispatch_queue.h"
#include "platform/foundation/ns_process_info.h"
#include "platform/vuziriutilities/vul_logger.h"

namespace analytics {

const std::string& APMMonitor::kDebugModeKey = *new std::string("/vuziri/measurement/debug_mode");
const std::string& APMMonitor::kVerboseLoggingKey = *new std::string("/vuziri/measurement/verbose_logging");
const std::string& APMMonitor::kHealthMonitorKey = *new std::string("/vuziri/measurement/health_monitor");
const std::string& APMMonitor::kMonitorMigrationStateKey =
    *new std::string("/vuziri/measurement/monitor_migration_state");
const std::string& APMMonitor::kMonitorSuiteName = *new std::string("com.vuziri.vmp.measurement.monitor");
const std::string& APMMonitor::kDefaultLogTag = *new std::string("<RovUriduzuvare>");

namespace {

using platform::VULLoggerLevel;

// Levels outside 0–8 compare as unsigned, so negative ones count as huge.
bool isKnownLevel(std::int64_t level) {
    return static_cast<std::uint64_t>(level) <= APMLogLevel::Verbose;
}

char levelLetter(std::int64_t level) {
    switch (static_cast<std::uint64_t>(level)) {
        case APMLogLevel::Error:
        case APMLogLevel::MonitoredError:
        case APMLogLevel::SilentError:
            return 'E';
        case APMLogLevel::Warning:
        case APMLogLevel::MonitoredWarning:
        case APMLogLevel::SilentWarning:
            return 'W';
        default:
            return '?';
    }
}

bool hasArgument(const std::vector<std::string>& arguments, const std::string& argument) {
    return std::find(arguments.begin(), arguments.end(), argument) != arguments.end();
}

std::vector<std::string> splitAtWhitespace(const std::string& line) {
    std::vector<std::string> pieces;
    std::istringstream in(line);
    for (std::string piece; in >> piece;) pieces.push_back(piece);
    return pieces;
}

// The process's monitor. Never destroyed: any thread may still log while the process exits.
struct SharedMonitor {
    platform::Mutex mutex;
    std::shared_ptr<APMMonitor> monitor GUARDED_BY(mutex);
};

SharedMonitor& sharedMonitor() {
    static auto* slot = new SharedMonitor;
    return *slot;
}

bool containsAPM(const std::string& text) {
    std::string upper = text;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return std::toupper(c); });
    return upper.find("APM") != std::string::npos;
}

}  // namespace

std::shared_ptr<APMMonitor> APMMonitor::sharedInstance() {
    return sharedInstanceWithStores(nullptr);
}

std::shared_ptr<APMMonitor> APMMonitor::sharedInstanceWithStores(const StoreSource& source) {
    auto& slot = sharedMonitor();
    std::shared_ptr<APMMonitor> monitor;
    bool madeNow = false;
    {
        platform::MutexLock lock(slot.mutex);
        if (!slot.monitor) {
            slot.monitor.reset(new APMMonitor(APMLogLevel::Notice, std::make_shared<APMASLLogger>(),
                                              APMIdentity::rovUriduzuvareLibraryVersion()));
            madeNow = true;
        }
        monitor = slot.monitor;
    }
    // Started outside the lock: a store may log through this very monitor while it is made.
    if (madeNow) {
        monitor->startWith(source);
    } else if (source) {
        monitor->useStores(source());
    }
    return monitor;
}

void APMMonitor::resetSharedForTesting() {
    auto& slot = sharedMonitor();
    platform::MutexLock lock(slot.mutex);
    slot.monitor = nullptr;
}

std::shared_ptr<APMMonitor> APMMonitor::initWithLibraryVersion(std::int64_t libraryVersion,
                                                               const StoreSource& source) {
    return initWithLogLevel(APMLogLevel::Notice, std::make_shared<APMASLLogger>(), libraryVersion, source);
}

std::shared_ptr<APMMonitor> APMMonitor::initWithLogLevel(std::int64_t logLevel,
                                                         std::shared_ptr<APMLogging> logger,
                                                         std::int64_t libraryVersion,
                                                         const StoreSource& source) {
    std::shared_ptr<APMMonitor> monitor(new APMMonitor(logLevel, std::move(logger), libraryVersion));
    monitor->startWith(source);
    return monitor;
}

APMMonitor::APMMonitor(std::int64_t logLevel, std::shared_ptr<APMLogging> logger, std::int64_t libraryVersion)
    : logLevel_(logLevel),
      logger_(std::move(logger)),
      // Empty until the stored sample is loaded; the process's monitor may be logged to before that.
      monitoringSampledData_(std::make_unique<APMMonitoringSampledData>(std::nullopt)),
      monitorQueue_(platform::DispatchQueue::createSerial("APMMonitorQueue")),
      libraryVersion_(libraryVersion),
      stores_{std::make_shared<APMEmptyConfigStore>(), std::make_shared<APMEmptyConfigStore>()},
      logTag_(kDefaultLogTag) {}

APMMonitor::~APMMonitor() = default;

void APMMonitor::startWith(const StoreSource& source) {
    // Without a source the monitor starts on its empty stores; a start with stores leaves them to
    // useStores, so stores handed over at the same time are never undone.
    if (source) {
        useStores(source());
    } else {
        start();
    }
}

void APMMonitor::useStores(Stores stores) {
    if (!stores.standard) stores.standard = std::make_shared<APMEmptyConfigStore>();
    if (!stores.monitorSuite) stores.monitorSuite = std::make_shared<APMEmptyConfigStore>();
    {
        platform::MutexLock lock(storesMutex_);
        stores_ = std::move(stores);
    }
    start();
}

APMMonitor::Stores APMMonitor::stores() const {
    platform::MutexLock lock(storesMutex_);
    return stores_;
}

void APMMonitor::start() {
    std::weak_ptr<APMMonitor> weak = weak_from_this();
    monitorQueue_->async([weak] {
        if (auto self = weak.lock()) {
            self->migrateMonitorDataOnMonitorQueue();
            self->loadMonitoringDataFromUserDefaultsOnMonitorQueue();
        }
    });
    if (!APMIdentity::isFromAppStore()) readLaunchSwitches();
}

void APMMonitor::readLaunchSwitches() {
    const auto arguments = platform::NSProcessInfo::processInfo().arguments();

    const auto standard = stores().standard;
    if (hasArgument(arguments, "-noAPMAnalyticsDebugEnabled") ||
        hasArgument(arguments, "-noROVEruzovazaDebugEnabled") ||
        hasArgument(arguments, "-DZRDebugDisabled")) {
        setDebugModeEnabled(false);
    } else if (standard->boolForKey(kDebugModeKey) || hasArgument(arguments, "-APMAnalyticsDebugEnabled") ||
               hasArgument(arguments, "-ROVEruzovazaDebugEnabled") ||
               hasArgument(arguments, "-DZRDebugEnabled")) {
        setDebugModeEnabled(true);
    }

    if (hasArgument(arguments, "-APMAnalyticsVerboseLoggingDisabled") ||
        hasArgument(arguments, "-ROVEruzovazaVerboseLoggingDisabled")) {
        setVerboseLoggingEnabled(false);
    } else if (standard->boolForKey(kVerboseLoggingKey) ||
               hasArgument(arguments, "-APMAnalyticsVerboseLoggingEnabled") ||
               hasArgument(arguments, "-ROVEruzovazaVerboseLoggingEnabled")) {
        setVerboseLoggingEnabled(true);
    }
}

std::string APMMonitor::logTag() const {
    platform::MutexLock lock(logTagMutex_);
    return logTag_;
}

void APMMonitor::setLogTag(std::string logTag) {
    platform::MutexLock lock(logTagMutex_);
    logTag_ = std::move(logTag);
}

void APMMonitor::setDebugModeEnabled(bool enabled) {
    const auto standard = stores().standard;
    if (enabled && !APMIdentity::isFromAppStore()) {
        logLevel_ = APMLogLevel::Debug;
        if (!deferToDZRLogger_) platform::VULSetLoggerLevel(VULLoggerLevel::Debug);
        standard->setBool(true, kDebugModeKey);
        logWithLevel(APMLogLevel::Debug, 24000, "Debug mode is on");
        debugModeEnabled_ = true;
    } else {
        logLevel_ = APMLogLevel::Notice;
        if (!deferToDZRLogger_) platform::VULSetLoggerLevel(VULLoggerLevel::Notice);
        standard->removeObjectForKey(kDebugModeKey);
        logWithLevel(APMLogLevel::Debug, 24001, "Debug mode is off");
        debugModeEnabled_ = false;
    }
}

void APMMonitor::setVerboseLoggingEnabled(bool enabled) {
    const auto standard = stores().standard;
    if (enabled && !APMIdentity::isFromAppStore()) {
        logLevel_ = APMLogLevel::Verbose;
        if (!deferToDZRLogger_) platform::VULSetLoggerLevel(VULLoggerLevel::Debug);
        standard->setBool(true, kVerboseLoggingKey);
        logWithLevel(APMLogLevel::Verbose, 24003, "Verbose logging is on");
        verboseLoggingEnabled_ = true;
    } else {
        logLevel_ = debugModeEnabled_ ? APMLogLevel::Debug : APMLogLevel::Notice;
        if (!deferToDZRLogger_)
            platform::VULSetLoggerLevel(APMASLLogger::VULLoggerLevelFromLogLevel(logLevel_));
        standard->removeObjectForKey(kVerboseLoggingKey);
        logWithLevel(APMLogLevel::Verbose, 24004, "Verbose logging is off");
        verboseLoggingEnabled_ = false;
    }
}

void APMMonitor::logWithLevel(std::int64_t level, std::int64_t messageCode, const Message& message) {
    logWithLevel(level, messageCode, message, Contexts{});
}

void APMMonitor::logWithLevel(std::int64_t level, std::int64_t messageCode, const Message& message,
                              const APMLogContext& context) {
    logWithLevel(level, messageCode, message, Contexts{context});
}

void APMMonitor::logWithLevel(std::int64_t level, std::int64_t messageCode, const Message& message,
                              const APMLogContext& context1, const APMLogContext& context2) {
    logWithLevel(level, messageCode, message, Contexts{context1, context2});
}

void APMMonitor::logWithLevel(std::int64_t level, std::int64_t messageCode, const Message& message,
                              const APMLogContext& context1, const APMLogContext& context2,
                              const APMLogContext& context3) {
    logWithLevel(level, messageCode, message, Contexts{context1, context2, context3});
}

void APMMonitor::logWithLevel(std::int64_t level, std::int64_t messageCode, const Message& message,
                              const Contexts& contexts) {
    const bool loggable = isLoggableLevel(level);
    const bool monitorable = isMonitorableLevel(level);
    if (!loggable && !monitorable) return;
    if (level >= APMLogLevel::Verbose && !verboseLoggingEnabled_) return;

    if (loggable)
        logToConsole(messageCode, stringWithLogMessage(message, level, contexts, encodeContexts_), level);
    if (monitorable) {
        std::string encoded = encodedStringWithContextArray(contexts, false);
        const std::string errorContexts = APMMonitorContextsFromErrors(contexts);
        if (!errorContexts.empty()) encoded += "," + errorContexts;
        insertOrUpdateMonitoringData(monitoringDataKeyWithMessage(message, level, libraryVersion_), encoded);
    }
}

bool APMMonitor::isLoggableLevel(std::int64_t level) const {
    return platform::VULIsLoggableLevel(APMASLLogger::VULLoggerLevelFromLogLevel(level)) &&
           !isSilentLevel(level);
}

void APMMonitor::logToConsole(std::int64_t messageCode, const std::string& message, std::int64_t logLevel) {
    std::weak_ptr<APMMonitor> weak = weak_from_this();
    monitorQueue_->async([weak, messageCode, message, logLevel] {
        if (auto self = weak.lock())
            self->logger_->logMessage(message, self->logTag(), messageCode, logLevel);
    });
}

void APMMonitor::insertOrUpdateMonitoringData(const std::string& key, const std::string& encodedContext) {
    std::weak_ptr<APMMonitor> weak = weak_from_this();
    monitorQueue_->async([weak, key, encodedContext] {
        auto self = weak.lock();
        if (!self) return;
        self->monitoringSampledData_->insertOrUpdateSampledDataWithKey(key, encodedContext);
        self->saveMonitoringDataOnMonitorQueue();
    });
}

void APMMonitor::saveMonitoringDataOnMonitorQueue() {
    const auto suite = stores().monitorSuite;
    const auto sample = monitoringSampledData_->sampledData();
    if (sample) {
        suite->setObject(platform::Value(*sample), kHealthMonitorKey);
    } else {
        suite->setObject(std::nullopt, kHealthMonitorKey);
    }
    suite->synchronize();
}

void APMMonitor::migrateMonitorDataOnMonitorQueue() {
    const auto [standard, suite] = stores();
    std::int64_t state = suite->integerForKey(kMonitorMigrationStateKey);
    if (state == 0) {
        const auto stored = standard->arrayForKey(kHealthMonitorKey);
        if (stored && !suite->objectForKey(kHealthMonitorKey)) {
            suite->setObject(platform::Value(*stored), kHealthMonitorKey);
        }
        suite->setInteger(1, kMonitorMigrationStateKey);
        suite->synchronize();
        state = 1;
    }
    if (state == 1) {
        standard->removeObjectForKey(kHealthMonitorKey);
        standard->synchronize();
        suite->setInteger(2, kMonitorMigrationStateKey);
        suite->synchronize();
    }
}

void APMMonitor::loadMonitoringDataFromUserDefaultsOnMonitorQueue() {
    monitoringSampledData_ =
        std::make_unique<APMMonitoringSampledData>(stores().monitorSuite->objectForKey(kHealthMonitorKey));
}

std::optional<std::string> APMMonitor::monitoringDataForDispatchWithSamplePeriod(
    double samplePeriod, double lastSampledTimestamp) {
    std::optional<std::string> answer;
    monitorQueue_->sync([&] {
        answer = monitoringSampledData_->monitoringDataForDispatchWithSamplePeriod(samplePeriod,
                                                                                   lastSampledTimestamp);
        if (answer) saveMonitoringDataOnMonitorQueue();
    });
    return answer;
}

void APMMonitor::clearMonitoringData() {
    monitorQueue_->sync([&] {
        const auto [standard, suite] = stores();
        standard->removeObjectForKey(kDebugModeKey);
        standard->removeObjectForKey(kHealthMonitorKey);
        suite->removeObjectForKey(kHealthMonitorKey);
        loadMonitoringDataFromUserDefaultsOnMonitorQueue();
    });
}

// --- class-level helpers -----------------------------------------------------------------------

std::optional<std::string> APMMonitor::logLevelDescriptionFromLogLevel(std::int64_t level) {
    switch (static_cast<std::uint64_t>(level)) {
        case APMLogLevel::Error:
        case APMLogLevel::MonitoredError:
        case APMLogLevel::SilentError:
            return "ERROR";
        case APMLogLevel::Warning:
        case APMLogLevel::MonitoredWarning:
        case APMLogLevel::SilentWarning:
            return "WARNING";
        case APMLogLevel::Notice:
            return "NOTICE";
        case APMLogLevel::Debug:
            return "DEBUG";
        default:
            return std::nullopt;
    }
}

bool APMMonitor::isSilentLevel(std::int64_t level) {
    return level == APMLogLevel::SilentError || level == APMLogLevel::SilentWarning || !isKnownLevel(level);
}

bool APMMonitor::isMonitorableLevel(std::int64_t level) {
    return level == APMLogLevel::MonitoredError || level == APMLogLevel::SilentError ||
           level == APMLogLevel::MonitoredWarning || level == APMLogLevel::SilentWarning ||
           !isKnownLevel(level);
}

std::string APMMonitor::encodedStringWithContextArray(const Contexts& contexts, bool insertSpaces) {
    std::string joined;
    for (std::size_t i = 0; i < contexts.size(); ++i) {
        if (i > 0) joined += insertSpaces ? ", " : ",";
        joined += encodedStringWithContextObject(contexts[i]);
    }
    return joined;
}

std::string APMMonitor::encodedStringWithContextObject(const APMLogContext& context) {
    using Kind = APMLogContext::Kind;
    switch (context.kind()) {
        case Kind::Null:
            return "";
        case Kind::String:
            return "-";
        case Kind::Integer:
        case Kind::Unsigned:
        case Kind::Double: {
            // Exact numbers are hidden behind the decade they fall in: 12345 gives "10000...99999".
            const std::string sign = context.isNegative() ? "-" : "";
            const std::uint64_t magnitude = context.magnitude();
            if (magnitude <= 99) return sign + std::to_string(magnitude);
            // Built as text, so the upper bound of the highest decades cannot overflow.
            const std::size_t digits = std::to_string(magnitude).size();
            std::string power(digits, '0');
            power.front() = '1';
            const std::string nines(digits, '9');
            if (sign.empty()) return power + "..." + nines;
            return "-" + nines + "...-" + power;
        }
        case Kind::Exception:
            return lastAPMSymbolFromException(context.exception()).value_or("-");
        case Kind::Error:
            return context.error()->domain().empty() ? "-" : context.error()->domain();
        case Kind::Object:
            return "?";
    }
    return "?";
}

std::string APMMonitor::stringWithLogMessage(const Message& message, std::int64_t /*logLevel*/,
                                             const Contexts& contexts, bool encodeContexts) {
    std::string text = !message ? "(Message was nil)" : message->empty() ? "(Message was empty)" : *message;
    if (contexts.empty()) return text;
    if (encodeContexts) return text + ": " + encodedStringWithContextArray(contexts, true);
    text += ": ";
    for (std::size_t i = 0; i < contexts.size(); ++i) {
        if (i > 0) text += ", ";
        const auto& context = contexts[i];
        if (const auto* exception = context.exception()) {
            const auto symbol = lastAPMSymbolFromException(exception);
            text += symbol ? *symbol + ": " + exception->description() : exception->description();
        } else {
            text += context.description();
        }
    }
    return text;
}

std::optional<std::string> APMMonitor::lastAPMSymbolFromException(const platform::NSException* exception) {
    if (!exception) return std::nullopt;
    const auto& symbols = exception->callStackSymbols();
    if (symbols.size() < 2) return exception->name();
    for (std::size_t i = 2; i < symbols.size(); ++i) {
        const auto pieces = splitAtWhitespace(symbols[i]);
        if (pieces.size() < 5) continue;
        const std::string candidate = pieces[4] == "+" ? pieces[3] : pieces[3] + " " + pieces[4];
        if (containsAPM(candidate)) return candidate;
    }
    return exception->name();
}

std::string APMMonitor::monitoringDataKeyWithMessage(const Message& message, std::int64_t logLevel,
                                                     std::int64_t libraryVersion) {
    return std::string("1") + levelLetter(logLevel) + "_" + std::to_string(libraryVersion) + ":" +
           message.value_or("(null)");
}

}  // namespace analytics
