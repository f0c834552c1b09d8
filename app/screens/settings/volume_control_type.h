#pragma once

namespace quorvel {

// Which volume the volume sheet edits, and its current value (0.0 to 1.0).
struct VolumeControlType {
    enum class Kind { alarm, ticking };

    static VolumeControlType alarm(float value) { return {Kind::alarm, value}; }
    static VolumeControlType ticking(float value) { return {Kind::ticking, value}; }

    Kind kind = Kind::alarm;
    float value = 0;

    bool operator==(const VolumeControlType&) const = default;
};

}  // namespace quorvel
