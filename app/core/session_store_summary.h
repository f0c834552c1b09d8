#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace quorvel {

// A summary of the session store kept among the caches (the statistics' day totals), so that a later
// read takes in only the sessions stored since rather than every session again. What it says is its
// reader's; this class sees that it never outlives a change to a stored session: the file is removed
// before a save that changes sessions writes anything, and a summary made from a read that such a save
// overlapped is never put in place. New sessions need no guard: they come after every row a summary
// covers. Any thread.
class SessionStoreSummary {
public:
    // Starts watching the saves. Idempotent; the store's set-up calls it before the first save.
    static void watchSaves();
    // Called before the read a summary is made from; hand the result to write().
    static std::uint64_t readBegins();
    static std::optional<std::string> read();
    // Puts `text` in place, unless a save changed sessions since `readBegan`. True when it did.
    static bool write(const std::string& text, std::uint64_t readBegan);
    static std::filesystem::path path();
};

}  // namespace quorvel
