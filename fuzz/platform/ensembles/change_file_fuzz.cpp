// Feeds arbitrary bytes to the reader of the sync's change files, as another machine or a file
// synchroniser may leave them in the cloud folder. A file it reads writes back and reads again as the
// same changes.
#include <cstdlib>
#include <string>

#include "platform/ensembles/change_file.h"

namespace {

bool same(const platform::ChangeFile& a, const platform::ChangeFile& b) {
    if (a.device != b.device || a.time != b.time || a.changes.size() != b.changes.size()) return false;
    for (std::size_t i = 0; i < a.changes.size(); ++i) {
        const auto& x = a.changes[i];
        const auto& y = b.changes[i];
        if (x.entity != y.entity || x.globalIdentifier != y.globalIdentifier ||
            x.revision.time != y.revision.time || x.revision.device != y.revision.device ||
            x.values != y.values || platform::hashOfValues(x.values) != platform::hashOfValues(y.values))
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string reason;
    const auto file =
        platform::ChangeFile::parse(std::string(reinterpret_cast<const char*>(data), size), &reason);
    if (!file) {
        if (reason.empty()) std::abort();  // a refusal always says why
        return 0;
    }
    const auto written = file->serialize();
    if (!written) std::abort();
    const auto again = platform::ChangeFile::parse(*written, nullptr);
    if (!again || !same(*file, *again)) std::abort();
    return 0;
}
