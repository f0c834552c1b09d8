#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/foundation/mutex.h"
#include "platform/foundation/value.h"

namespace platform {

// A local log of records, one JSON object per line, in a file under the data root; each record gets its
// "time" in milliseconds since 1970 from the process clock. Appends from several threads never interleave.
class JSONLinesFile {
public:
    // `relativePath` is taken under the data root each time, so a test's own root is honoured.
    explicit JSONLinesFile(std::filesystem::path relativePath) : relativePath_(std::move(relativePath)) {}

    std::filesystem::path path() const;
    // Creates the folder on the first record; false when the file cannot be written.
    bool append(const Value::Dictionary& record) EXCLUDES(mutex_);
    // The lines written so far; none when there is no file.
    std::vector<std::string> lines() const EXCLUDES(mutex_);

private:
    const std::filesystem::path relativePath_;
    mutable Mutex mutex_;
};

}  // namespace platform
