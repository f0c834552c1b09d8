#pragma once

namespace platform {

// Frames of interleaved float samples from one open sound file, as its decoder gives them.
class PcmSource {
public:
    virtual ~PcmSource() = default;

    int channels() const { return channels_; }
    int sampleRate() const { return sampleRate_; }
    // Seconds of sound as the file's headers tell it; 0 when they do not.
    double duration() const { return duration_; }
    // Up to `frames` frames into `out`; 0 at the end or on an error.
    virtual long read(float* out, long frames) = 0;
    // Back to the first frame; false when the file cannot go back.
    virtual bool rewind() = 0;

protected:
    PcmSource(int channels, int sampleRate, double duration)
        : channels_(channels), sampleRate_(sampleRate), duration_(duration) {}

private:
    int channels_;
    int sampleRate_;
    double duration_;
};

}  // namespace platform
