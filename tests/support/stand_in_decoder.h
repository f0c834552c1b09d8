#pragma once

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace quorvel::testing {

// A program to name in $QUORVEL_SOUND_DECODER in place of the app's own decoding child: a shell script
// that says what a test tells it on the child's socket (descriptor 3), as a decoder a song led astray, or
// another program, might.
struct StandInDecoder {
    // Said in turn; before each one after the first, the script waits for the app's next request.
    std::vector<std::string> answers;
    // Then ends; otherwise waits to be killed.
    bool thenEnds = false;
    // When set, a shell pattern of the arguments the child is started with ("probe FILE APP-PID" or
    // "serve FILE APP-PID"): only a child whose arguments match it gives the answers, every other is
    // `otherwise`, the real decoding program.
    std::string hostile;
    std::filesystem::path otherwise;

    // Writes the script at `script`, executable.
    void writeTo(const std::filesystem::path& script) const;
};

// A shell line that writes `bytes` as they are to the child's socket: for a stand-in scripted by hand.
std::string sayOnSocket(const std::string& bytes);
// A shell command that takes the app's next request, whatever its size.
inline constexpr const char* kTakeRequest = "dd bs=256 count=1 status=none <&3 >/dev/null";

// The bytes of a message as they cross the socket.
template <typename Message>
std::string bytesOf(const Message& message) {
    std::string bytes(sizeof message, '\0');
    std::memcpy(bytes.data(), &message, sizeof message);
    return bytes;
}

}  // namespace quorvel::testing
