#pragma once

#include <cstdint>
#include <filesystem>

namespace quorvel::soak {

// The walk's music folder: two songs that play, one damaged, one whose tag list runs past its end and
// one that is not what its extension says; steps make a song vanish and come back, or damage and mend
// one, while the app may have it chosen.
class MusicFolder {
public:
    explicit MusicFolder(std::filesystem::path folder);

    void fill();
    // One change, picked by `value`.
    void change(std::uint32_t value);

    const std::filesystem::path& path() const { return folder_; }

private:
    std::filesystem::path song(std::uint32_t which) const;
    std::filesystem::path aside(std::uint32_t which) const;

    std::filesystem::path folder_;
};

}  // namespace quorvel::soak
