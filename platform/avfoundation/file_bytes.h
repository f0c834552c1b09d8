#pragma once

#include <unistd.h>

#include <cstdint>
#include <string>

namespace platform {

// Up to `count` bytes of an open file from `offset`, fewer where the file ends, read with pread() so
// the file's position stays where it was.
inline std::string bytesAt(int descriptor, std::uint64_t offset, std::uint64_t count) {
    std::string bytes(count, '\0');
    std::uint64_t got = 0;
    while (got < count) {
        const ssize_t n = ::pread(descriptor, bytes.data() + got, count - got, static_cast<off_t>(offset + got));
        if (n <= 0) break;
        got += static_cast<std::uint64_t>(n);
    }
    bytes.resize(got);
    return bytes;
}

}  // namespace platform
