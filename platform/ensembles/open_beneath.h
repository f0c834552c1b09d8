#pragma once

#include <filesystem>

namespace platform {

// Opens `relative` inside `folder` without following any link below the folder (the folder itself may
// be reached through links: it is the user's choice) and without leaving it. `flags` are open()'s;
// O_CLOEXEC is added. Returns the descriptor, or -1 with errno set (ELOOP for a link on the way).
int openBeneath(const std::filesystem::path& folder, const std::filesystem::path& relative, int flags);

}  // namespace platform
