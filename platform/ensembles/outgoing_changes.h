#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/ensembles/cde_icloud_file_system.h"
#include "platform/ensembles/change_file.h"
#include "platform/ensembles/ensemble_state.h"
#include "platform/foundation/ns_error.h"

namespace platform {

// What one merge exports, written as change files of at most kRecordsPerFile records each, so that a
// store of any size is exported in bounded memory as files every reader takes whole. Each file, once
// written, is committed to the bookkeeping with the versions it carries: a kill afterwards does not
// send them again.
class OutgoingChanges {
public:
    static constexpr std::size_t kRecordsPerFile = 10000;

    // `folder` is this device's folder of change files in the cloud container.
    OutgoingChanges(CDEICloudFileSystem& fileSystem, EnsembleState& state, std::string folder, std::string device,
                    double time);

    // Sends `change`; the bookkeeping keeps `known` for its record once the file is written.
    std::shared_ptr<NSError> send(const std::string& record, RecordChange change, KnownRecord known);
    // Keeps `known` for a record sent before, with the next file (or on its own).
    std::shared_ptr<NSError> keep(const std::string& record, KnownRecord known);
    // Writes what is gathered.
    std::shared_ptr<NSError> flush();

    // The files written, as "<device>/<file name>".
    const std::vector<std::string>& writtenFiles() const { return written_; }

private:
    CDEICloudFileSystem& fileSystem_;
    EnsembleState& state_;
    const std::string folder_;
    const std::string device_;
    const double time_;
    std::vector<RecordChange> changes_;
    std::map<std::string, KnownRecord> known_;
    std::vector<std::string> written_;
};

}  // namespace platform
