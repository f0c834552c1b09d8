#include "analytics/foundation/apm_storage_paths.h"

#include <filesystem>

#include "analytics/monitor/apm_monitor.h"
#include "platform/foundation/ns_file_manager.h"
#include "platform/foundation/ns_user_defaults.h"
#include "platform/foundation/property_list.h"

namespace analytics {

namespace fs = std::filesystem;

namespace {

constexpr const char kMeasurementFolder[] = "Vuziri/Measurement";

fs::path firstUserDirectory(platform::NSSearchPathDirectory directory) {
    const auto found = platform::NSFileManager::defaultManager()->URLsForDirectory(
        directory, platform::NSSearchPathDomainMask::User);
    return found.empty() ? fs::path() : found.front();
}

}  // namespace

std::string APMPreferencesPlistPath(const std::string& name) {
    if (name.empty()) return "";
    const fs::path library = firstUserDirectory(platform::NSSearchPathDirectory::Library);
    if (library.empty()) {
        APMMonitor::sharedInstance()->logWithLevel(APMLogLevel::SilentError, 19000,
                                                   "NSSearchPath for Library directory is empty");
        return "";
    }
    return (library / "Preferences" / (name + ".plist")).string();
}

std::string APMMeasurementDirectoryFilePath(const std::string& name) {
    if (name.empty()) return "";
    const fs::path support = firstUserDirectory(platform::NSSearchPathDirectory::ApplicationSupport);
    if (support.empty()) {
        APMMonitor::sharedInstance()->logWithLevel(APMLogLevel::SilentError, 19001,
                                                   "NSSearchPath for ApplicationSupport directory is empty");
        return "";
    }
    return (support / kMeasurementFolder / name).string();
}

std::string APMMeasurementDirectoryPlistPath(const std::string& name) {
    if (name.empty()) return "";
    if (fs::path(name).extension() == ".plist") return APMMeasurementDirectoryFilePath(name);
    return APMMeasurementDirectoryFilePath(name + ".plist");
}

bool APMDeleteFileAtPath(const std::string& path, APMErrorOut error) {
    if (path.empty()) {
        APMSetError(error, 1, "Received empty path for deleting file");
        return false;
    }
    auto files = platform::NSFileManager::defaultManager();
    std::string reason;
    if (files->removeItemAtPath(path, &reason)) return true;
    if (error) {
        // The platform's codes for "no such file" and for any other failed removal.
        const int code = files->fileExistsAtPath(path) ? 512 : 4;
        *error = platform::NSError::errorWithDomain("NSCocoaErrorDomain", code,
                                                    {{platform::NSLocalizedDescriptionKey, reason}});
    }
    return false;
}

bool APMMoveFileAtPath(const std::string& sourcePath, const std::string& destinationPath, bool overwrite) {
    if (sourcePath.empty() || destinationPath.empty()) return false;
    auto files = platform::NSFileManager::defaultManager();
    bool isDirectory = false;
    if (!files->fileExistsAtPath(sourcePath, &isDirectory)) return true;
    if (isDirectory) return false;

    if (files->fileExistsAtPath(destinationPath, &isDirectory)) {
        if (isDirectory) return false;
        if (!overwrite) return APMDeleteFileAtPath(sourcePath, nullptr);
        if (!APMDeleteFileAtPath(destinationPath, nullptr)) return false;
    }
    if (!files->createDirectoryAtPath(fs::path(destinationPath).parent_path(), true)) return false;
    return files->moveItemAtPath(sourcePath, destinationPath);
}

bool APMMoveSuitePlistToMeasurementDirectory(const std::string& suiteName) {
    if (suiteName.empty()) return false;
    if (!APMMoveFileAtPath(APMPreferencesPlistPath(suiteName), APMMeasurementDirectoryPlistPath(suiteName),
                           false)) {
        return false;
    }
    platform::NSUserDefaults::removePersistentDomainForName(suiteName);
    return true;
}

bool APMMoveSuitePlistBackToPreferences(const std::string& suiteName) {
    if (suiteName.empty()) return false;
    const std::string stored = APMMeasurementDirectoryPlistPath(suiteName);
    const auto contents = platform::PropertyList::readFile(stored);
    const auto* dictionary = contents ? contents->dictionaryValue() : nullptr;
    const bool moved = APMMoveFileAtPath(stored, APMPreferencesPlistPath(suiteName), true);
    if (dictionary) {
        platform::NSUserDefaults::removePersistentDomainForName(suiteName);
        auto suite = platform::NSUserDefaults::suiteNamed(suiteName);
        for (const auto& [key, value] : *dictionary) suite->setObject(value, key);
    }
    return moved;
}

}  // namespace analytics
