// Opens arbitrary bytes as the measurement database, as a damaged disk may leave it, and runs the
// reads and clean-ups the engine runs on it. Whatever the file held, the database opens (a damaged
// one made anew) or is refused, and no read or clean-up crashes.
#include <cstdlib>
#include <fstream>

#include "analytics/foundation/apm_storage_paths.h"
#include "analytics/messages/apmpb_message.h"
#include "analytics/storage/apm_database.h"
#include "fuzz/support/fuzz_folder.h"
#include "platform/foundation/console.h"
#include "platform/foundation/data_root.h"

namespace fs = std::filesystem;
using analytics::APMDatabase;

namespace {

void exercise(APMDatabase& database) {
    database.isRawEventsTableEmpty(nullptr);
    database.queryLatestRawEventTime(nullptr);
    database.containsRealtimeRawEventsWithError(nullptr);
    if (const auto fingerprint = database.nextMetadataFingerprintToProcess(nullptr)) {
        database.queryRawEventsMetadataWithFingerprint(*fingerprint, nullptr);
        database.rawEventsWithMetadataFingerprint(*fingerprint, nullptr, {});
    }
    database.queryBundlesWithCountLimit(100, 1 << 20, nullptr);
    database.queryLatestBundleTime(nullptr);
    database.containsRealtimeBundlesWithError(nullptr);
    database.deleteRawEventsOverAbsoluteLimit(nullptr);
    database.deleteUnusedRawEventsMetadata(nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const quorvel::fuzzing::FuzzFolder root("measurement-database-fuzz");
    platform::DataRoot::setPath(root.path());
    const fs::path file = analytics::APMMeasurementDirectoryFilePath(APMDatabase::kDatabaseName);
    fs::remove_all(file.parent_path());
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    platform::Console::Capture quiet;
    if (const auto database = APMDatabase::initWithDatabaseName(APMDatabase::kDatabaseName, nullptr, nullptr))
        exercise(*database);
    return 0;
}
