#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quorvel::testing {

// A real HTTP/1.1 server on 127.0.0.1 at a port the system chooses, answering one request per
// connection on its own thread, for tests of code that fetches over the network.
class LocalHTTPServer {
public:
    struct Request {
        std::string method;
        std::string target;                          // the path with its query
        std::map<std::string, std::string> headers;  // names in lower case
        std::string body;
    };
    struct Response {
        int status = 200;
        std::string body;
        std::string contentType = "application/octet-stream";
    };
    using Responder = std::function<Response(const Request&)>;

    // Answers 404 until given a responder.
    LocalHTTPServer();
    ~LocalHTTPServer();
    LocalHTTPServer(const LocalHTTPServer&) = delete;
    LocalHTTPServer& operator=(const LocalHTTPServer&) = delete;

    int port() const { return port_; }
    // "http://127.0.0.1:<port>"
    std::string baseURL() const;
    void setResponder(Responder responder);
    // The same response to every request.
    void respondWith(Response response);
    std::vector<Request> requests() const;

private:
    void serve();
    void answer(int connection);

    int listener_ = -1;
    int stopPipe_[2] = {-1, -1};
    int port_ = 0;
    mutable std::mutex mutex_;
    Responder responder_;
    std::vector<Request> requests_;
    std::thread thread_;
};

}  // namespace quorvel::testing
