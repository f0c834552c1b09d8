#pragma once

#include <filesystem>

namespace platform {

// Whether a looped file is never heard: every sample of its pass is zero. Read as the stream reads it, in
// a decoding child; a pass longer than a short loop's is not read through, and counts as sound. The child
// is untrusted, so the check ends at its first short answer and at one deadline for the whole of it: a
// child that answers frame by frame, or slowly, holds the audio queue no longer than a real file would.
class SilentLoopCheck {
public:
    static bool isSilent(const std::filesystem::path& file);
};

}  // namespace platform
