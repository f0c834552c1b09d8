#pragma once

#include "platform/foundation/json_lines_file.h"

namespace platform {

// Crash reporting, started at launch. Nothing leaves the machine: the start of each run is recorded as
// one JSON line in "Library/Application Support/Bugsnag/sessions.jsonl" under the data root, with the app's
// bundle identifier and version.
class Bugsnag {
public:
    // Once per process; false when the record could not be written.
    static bool start();

    static JSONLinesFile& log();
};

}  // namespace platform
