#include "tests/support/refusing_display.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>

namespace quorvel::testing {

namespace {

const std::filesystem::path kSocketFolder = "/tmp/.X11-unix";
// Far above the numbers an X server takes for itself when asked for any free one.
constexpr int kFirstNumber = 1000, kNumbers = 1000;

// Built by appending: GCC 12 warns falsely on a literal plus a temporary string.
std::string numbered(const char* prefix, int number, const char* suffix = "") {
    std::string text = prefix;
    text += std::to_string(number);
    text += suffix;
    return text;
}

std::filesystem::path socketOf(int number) {
    return kSocketFolder / numbered("X", number);
}

sockaddr_un addressOf(const std::string& path, bool abstract) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    // An abstract name begins with a zero byte; Xlib tries one before the file of the same name.
    std::memcpy(address.sun_path + (abstract ? 1 : 0), path.c_str(), path.size());
    return address;
}

socklen_t lengthOf(const std::string& path, bool abstract) {
    return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size() + (abstract ? 1 : 0));
}

// Whether anything answers on the number's abstract name, or its file or lock are there.
bool taken(int number) {
    const std::string path = socketOf(number);
    if (std::filesystem::exists(path) || std::filesystem::exists(numbered("/tmp/.X", number, "-lock")))
        return true;
    const int probe = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_un address = addressOf(path, true);
    const bool answered =
        connect(probe, reinterpret_cast<const sockaddr*>(&address), lengthOf(path, true)) == 0;
    close(probe);
    return answered;
}

int startingNumber() {
    return kFirstNumber + static_cast<int>(getpid() % kNumbers);
}

// The first number not taken, from this process's own on and round the range, that `claim` accepts;
// -1 when there is none. The process's own start keeps tests running side by side apart.
int firstFreeNumber(const std::function<bool(int)>& claim) {
    for (int i = 0; i < kNumbers; ++i) {
        const int number = kFirstNumber + (startingNumber() - kFirstNumber + i) % kNumbers;
        if (!taken(number) && claim(number)) return number;
    }
    return -1;
}

// The X protocol's answer to a connection it will not take, in the byte order the client chose.
std::string refusal(const std::string& reason, char byteOrder) {
    const std::size_t padded = (reason.size() + 3) / 4 * 4;
    std::string reply(8, '\0');
    const auto put16 = [&](std::size_t at, std::uint16_t value) {
        const bool big = byteOrder == 'B';
        reply[at + (big ? 0 : 1)] = static_cast<char>(value >> 8);
        reply[at + (big ? 1 : 0)] = static_cast<char>(value & 0xff);
    };
    reply[1] = static_cast<char>(reason.size());
    put16(2, 11);
    put16(6, static_cast<std::uint16_t>(padded / 4));
    return reply + reason + std::string(padded - reason.size(), '\0');
}

}  // namespace

std::string RefusingDisplay::unserved() {
    const int number = firstFreeNumber([](int) { return true; });
    return number < 0 ? std::string() : numbered(":", number);
}

RefusingDisplay::RefusingDisplay(std::string reason, std::string thenLeadTo)
    : reason_(std::move(reason)), thenLeadTo_(std::move(thenLeadTo)) {
    std::error_code error;
    if (std::filesystem::create_directory(kSocketFolder, error)) chmod(kSocketFolder.c_str(), 01777);
    firstFreeNumber([this](int number) {
        const std::string path = socketOf(number);
        const int listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const sockaddr_un address = addressOf(path, false);
        // Binding the file claims the number: it fails where another took it meanwhile.
        if (bind(listener, reinterpret_cast<const sockaddr*>(&address), lengthOf(path, false)) != 0 ||
            listen(listener, 16) != 0) {
            close(listener);
            return false;
        }
        listener_ = listener;
        socket_ = path;
        name_ = numbered(":", number);
        return true;
    });
    if (listener_ >= 0) refuser_ = std::thread([this] { refuseConnections(); });
}

RefusingDisplay::~RefusingDisplay() {
    stopRefusing();
    if (!socket_.empty()) unlink(socket_.c_str());
}

void RefusingDisplay::refuseConnections() {
    for (;;) {
        {
            const std::lock_guard lock(mutex_);
            if (stopping_) return;
        }
        pollfd waiting{listener_, POLLIN, 0};
        if (poll(&waiting, 1, 20) <= 0) continue;
        const int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) continue;
        // The client's own opening comes first: the answer is in its byte order, and closing before
        // reading it would end its write in a broken pipe.
        char opening[4096];
        pollfd reading{client, POLLIN, 0};
        const ssize_t n = poll(&reading, 1, 5000) > 0 ? read(client, opening, sizeof opening) : 0;
        const std::string answer = refusal(reason_, n > 0 ? opening[0] : 'l');
        const bool lastRefusal = !thenLeadTo_.empty() && leadTo(thenLeadTo_);
        send(client, answer.data(), answer.size(), MSG_NOSIGNAL);
        close(client);
        const std::lock_guard lock(mutex_);
        ++refusals_;
        refused_.notify_all();
        if (lastRefusal) return;
    }
}

void RefusingDisplay::stopRefusing() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    if (refuser_.joinable()) refuser_.join();
    if (listener_ >= 0) close(listener_);
    listener_ = -1;
}

bool RefusingDisplay::waitForRefusal(std::chrono::duration<double> timeout) {
    std::unique_lock lock(mutex_);
    return refused_.wait_for(lock, timeout, [this] { return refusals_ > 0; });
}

bool RefusingDisplay::leadTo(const std::string& display) {
    if (display.size() < 2) return false;
    const std::string number = display.substr(1);
    const auto server = kSocketFolder / ("X" + number);
    // A link made beside the socket and moved over it in one step: no connection finds the name missing.
    const auto link = socket_.string() + ".link";
    unlink(link.c_str());
    return symlink(server.c_str(), link.c_str()) == 0 && rename(link.c_str(), socket_.c_str()) == 0;
}

}  // namespace quorvel::testing
