#include "tests/support/local_http_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <stdexcept>

namespace quorvel::testing {

namespace {

const char* reasonPhrase(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 204:
            return "No Content";
        case 304:
            return "Not Modified";
        case 404:
            return "Not Found";
        case 500:
            return "Internal Server Error";
        case 503:
            return "Service Unavailable";
        default:
            return "Status";
    }
}

std::string lowercase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

void sendAll(int connection, const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t written = ::send(connection, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (written <= 0) return;
        sent += static_cast<std::size_t>(written);
    }
}

// The request's head and as much of its body as its Content-Length announces.
bool readRequest(int connection, LocalHTTPServer::Request& request) {
    std::string received;
    char buffer[4096];
    std::size_t headEnd = std::string::npos;
    while ((headEnd = received.find("\r\n\r\n")) == std::string::npos) {
        const ssize_t count = ::recv(connection, buffer, sizeof buffer, 0);
        if (count <= 0) return false;
        received.append(buffer, static_cast<std::size_t>(count));
    }
    const std::string head = received.substr(0, headEnd);
    std::size_t lineEnd = head.find("\r\n");
    const std::string requestLine = head.substr(0, lineEnd);
    const auto firstSpace = requestLine.find(' ');
    const auto secondSpace = requestLine.find(' ', firstSpace + 1);
    if (firstSpace == std::string::npos || secondSpace == std::string::npos) return false;
    request.method = requestLine.substr(0, firstSpace);
    request.target = requestLine.substr(firstSpace + 1, secondSpace - firstSpace - 1);
    while (lineEnd != std::string::npos && lineEnd < head.size()) {
        const std::size_t start = lineEnd + 2;
        lineEnd = head.find("\r\n", start);
        const std::string line =
            head.substr(start, lineEnd == std::string::npos ? std::string::npos : lineEnd - start);
        const auto colon = line.find(':');
        if (colon == std::string::npos) continue;
        std::string value = line.substr(colon + 1);
        value.erase(0, value.find_first_not_of(' '));
        request.headers[lowercase(line.substr(0, colon))] = value;
    }
    request.body = received.substr(headEnd + 4);
    const auto length = request.headers.find("content-length");
    const std::size_t expected = length == request.headers.end() ? 0 : std::stoul(length->second);
    while (request.body.size() < expected) {
        const ssize_t count = ::recv(connection, buffer, sizeof buffer, 0);
        if (count <= 0) return false;
        request.body.append(buffer, static_cast<std::size_t>(count));
    }
    return true;
}

}  // namespace

LocalHTTPServer::LocalHTTPServer() {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t size = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 16) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0 ||
        ::pipe2(stopPipe_, O_CLOEXEC) != 0) {
        throw std::runtime_error("the local HTTP server could not listen");
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { serve(); });
}

LocalHTTPServer::~LocalHTTPServer() {
    const char stop = 0;
    [[maybe_unused]] const ssize_t written = ::write(stopPipe_[1], &stop, 1);
    thread_.join();
    ::close(listener_);
    ::close(stopPipe_[0]);
    ::close(stopPipe_[1]);
}

std::string LocalHTTPServer::baseURL() const {
    return "http://127.0.0.1:" + std::to_string(port_);
}

void LocalHTTPServer::setResponder(Responder responder) {
    std::lock_guard lock(mutex_);
    responder_ = std::move(responder);
}

void LocalHTTPServer::respondWith(Response response) {
    setResponder([response](const Request&) { return response; });
}

std::vector<LocalHTTPServer::Request> LocalHTTPServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

void LocalHTTPServer::serve() {
    pollfd watched[2] = {{listener_, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
    while (::poll(watched, 2, -1) >= 0 || errno == EINTR) {
        if (watched[1].revents) return;
        if (!(watched[0].revents & POLLIN)) continue;
        const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) continue;
        answer(connection);
        ::close(connection);
    }
}

void LocalHTTPServer::answer(int connection) {
    Request request;
    if (!readRequest(connection, request)) return;
    Responder responder;
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
        responder = responder_;
    }
    const Response response = responder ? responder(request) : Response{404, "", "text/plain"};
    sendAll(connection, "HTTP/1.1 " + std::to_string(response.status) + " " + reasonPhrase(response.status) +
                            "\r\nContent-Type: " + response.contentType +
                            "\r\nContent-Length: " + std::to_string(response.body.size()) +
                            "\r\nConnection: close\r\n\r\n" + response.body);
}

}  // namespace quorvel::testing
