#include "platform/ensembles/outgoing_changes.h"

#include <algorithm>
#include <cstdio>

#include "platform/foundation/ns_uuid.h"

namespace platform {

namespace {

std::shared_ptr<NSError> error(std::int64_t code, const std::string& reason) {
    return NSError::errorWithDomain("CDEErrorDomain", code, {{NSLocalizedDescriptionKey, reason}});
}

// Sorts by time, so a file written later is applied later.
std::string changeFileName(double time) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%015lld", static_cast<long long>(std::max(0.0, time) * 1000));
    return std::string(stamp) + "-" + NSUUID().UUIDString() + ".plist";
}

}  // namespace

OutgoingChanges::OutgoingChanges(CDEICloudFileSystem& fileSystem, EnsembleState& state, std::string folder,
                                 std::string device, double time)
    : fileSystem_(fileSystem), state_(state), folder_(std::move(folder)), device_(std::move(device)), time_(time) {}

std::shared_ptr<NSError> OutgoingChanges::send(const std::string& record, RecordChange change, KnownRecord known) {
    changes_.push_back(std::move(change));
    known_[record] = std::move(known);
    return changes_.size() < kRecordsPerFile && known_.size() < kRecordsPerFile ? nullptr : flush();
}

std::shared_ptr<NSError> OutgoingChanges::keep(const std::string& record, KnownRecord known) {
    known_[record] = std::move(known);
    return known_.size() < kRecordsPerFile ? nullptr : flush();
}

std::shared_ptr<NSError> OutgoingChanges::flush() {
    std::vector<std::string> file;
    if (!changes_.empty()) {
        ChangeFile contents{device_, time_, std::move(changes_)};
        changes_.clear();
        std::string problem;
        const auto bytes = contents.serialize(&problem);
        if (!bytes) return error(206, "cannot write the changes: " + problem);
        const auto name = changeFileName(time_);
        std::shared_ptr<NSError> failure;
        if (!fileSystem_.createDirectoryAtPath(folder_, &failure) ||
            !fileSystem_.writeFileAtPath(folder_ + "/" + name, *bytes, &failure))
            return failure;
        file.push_back(device_ + "/" + name);  // ours: nothing to take in
    }
    if (file.empty() && known_.empty()) return nullptr;
    std::shared_ptr<NSError> failure;
    if (!state_.commit(known_, file, {}, std::nullopt, &failure)) return failure;
    known_.clear();
    written_.insert(written_.end(), file.begin(), file.end());
    return nullptr;
}

}  // namespace platform
