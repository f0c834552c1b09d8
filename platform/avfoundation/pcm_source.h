#pragma once

namespace platform {

// Frames of interleaved float samples from one open sound file, as its decoder gives them.
class PcmSource {
public:
    virtual ~PcmSource() = default;

    virtual int channels() const = 0;
    virtual int sampleRate() const = 0;
    // Seconds of sound as the file's headers tell it; 0 when they do not.
    virtual double duration() const = 0;
    // Up to `frames` frames into `out`; 0 at the end or on an error.
    virtual long read(float* out, long frames) = 0;
    // Back to the first frame; false when the file cannot go back.
    virtual bool rewind() = 0;
};

}  // namespace platform
