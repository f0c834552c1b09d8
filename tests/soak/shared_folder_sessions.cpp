#include "tests/soak/shared_folder_sessions.h"

#include <fstream>
#include <iterator>
#include <system_error>

#include "platform/ensembles/cde_icloud_file_system.h"
#include "platform/ensembles/change_file.h"

namespace quorvel::soak {

namespace fs = std::filesystem;

std::set<std::string> SharedFolderSessions::inChangeFiles(const fs::path& changes) {
    std::set<std::string> identifiers;
    std::error_code error;
    for (fs::directory_iterator device(changes, error), end; !error && device != end;
         device.increment(error)) {
        if (!device->is_directory() || device->is_symlink()) continue;
        std::error_code inner;
        for (fs::directory_iterator file(device->path(), inner); !inner && file != end;
             file.increment(inner)) {
            std::error_code status;
            if (!fs::is_regular_file(fs::symlink_status(file->path(), status)) ||
                fs::file_size(file->path(), status) > platform::CDEICloudFileSystem::kLargestFileRead)
                continue;
            std::ifstream in(file->path(), std::ios::binary);
            const std::string contents(std::istreambuf_iterator<char>(in), {});
            std::string reason;
            const auto parsed = platform::ChangeFile::parse(contents, &reason);
            if (!parsed) continue;
            for (const auto& change : parsed->changes) {
                if (change.entity == "Session") identifiers.insert(change.globalIdentifier);
            }
        }
    }
    return identifiers;
}

}  // namespace quorvel::soak
