#pragma once

#include <functional>
#include <string>

// Where the flag functions report refused input. The experiment client's monitor connects itself here;
// until it does, reports go to the console.
class APMPBFlagMonitor {
public:
    using Sink =
        std::function<void(int level, int code, const std::string& message, const std::string& context)>;

    // Replaces the sink; an empty function restores the console.
    static void setLogSink(Sink sink);
    static void logWithLevel(int level, int code, const std::string& message,
                             const std::string& context = {});
};
