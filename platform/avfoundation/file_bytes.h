#pragma once

#include <unistd.h>

#include <cstdint>
#include <string>

namespace platform {

// Reads up to `count` bytes of an open file from `offset` into `out`, fewer where the file ends, with
// pread() so the file's position stays where it was. Answers how many it read.
inline std::uint64_t readAt(int descriptor, char* out, std::uint64_t count, std::uint64_t offset) {
    std::uint64_t got = 0;
    while (got < count) {
        const ssize_t n = ::pread(descriptor, out + got, count - got, static_cast<off_t>(offset + got));
        if (n <= 0) break;
        got += static_cast<std::uint64_t>(n);
    }
    return got;
}

// The same bytes as a string.
inline std::string bytesAt(int descriptor, std::uint64_t offset, std::uint64_t count) {
    std::string bytes(count, '\0');
    bytes.resize(readAt(descriptor, bytes.data(), count, offset));
    return bytes;
}

}  // namespace platform
