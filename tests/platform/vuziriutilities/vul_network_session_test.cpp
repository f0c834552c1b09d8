#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "platform/vuziriutilities/vul_network_session.h"
#include "tests/support/eventually.h"
#include "tests/support/local_http_server.h"

using platform::VULNetworkSession;
using quorvel::testing::LocalHTTPServer;

namespace {

// The local server answers at once, but a loaded machine may take its time: the timeout is only a guard.
const double kTimeout = std::chrono::duration<double>(quorvel::testing::kPatience).count();

std::string text(const std::vector<std::uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

TEST(VULNetworkSessionGET, AnswersTheStatusAndBodyOfEveryReply) {
    LocalHTTPServer server;
    server.setResponder([](const LocalHTTPServer::Request& request) {
        if (request.target == "/broken") return LocalHTTPServer::Response{500, "failure"};
        return LocalHTTPServer::Response{200, std::string("a\0b", 3)};
    });
    std::shared_ptr<platform::NSError> error;
    const auto ok = VULNetworkSession::GET(server.baseURL() + "/config/app/1:2?x=%26", kTimeout, &error);
    ASSERT_TRUE(ok) << error->localizedDescription();
    EXPECT_EQ(ok->statusCode, 200);
    EXPECT_EQ(text(ok->body), std::string("a\0b", 3));

    // A reply that is no success is still an answer: the caller judges it.
    const auto broken = VULNetworkSession::GET(server.baseURL() + "/broken", kTimeout, &error);
    ASSERT_TRUE(broken);
    EXPECT_EQ(broken->statusCode, 500);

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].target, "/config/app/1:2?x=%26");
}

TEST(VULNetworkSessionGET, FailuresWithoutAnAnswerComeAsErrors) {
    int closedPort = 0;
    {
        LocalHTTPServer gone;
        closedPort = gone.port();
    }
    std::shared_ptr<platform::NSError> error;
    const std::string closedURL = "http://127.0.0.1:" + std::to_string(closedPort) + "/";
    EXPECT_FALSE(VULNetworkSession::GET(closedURL, kTimeout, &error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->domain(), VULNetworkSession::kErrorDomain);

    // Only http and https are spoken.
    error.reset();
    EXPECT_FALSE(VULNetworkSession::GET("file:///etc/hostname", kTimeout, &error));
    EXPECT_TRUE(error);

    LocalHTTPServer server;
    server.respondWith({200, std::string(2048, 'x')});
    error.reset();
    EXPECT_FALSE(VULNetworkSession::GET(server.baseURL() + "/", kTimeout, &error, 1024));
    ASSERT_TRUE(error);
    EXPECT_NE(error->localizedDescription().find("larger than 1024"), std::string::npos);
    EXPECT_TRUE(VULNetworkSession::GET(server.baseURL() + "/", kTimeout, &error, 2048));
}

// The request that is a process's first use of OpenSSL leaves it in place as the process ends: the
// library's worker threads may still be using it then, and freed it under them.
TEST(VULNetworkSessionGET, AFirstRequestLeavesOpenSSLInPlaceAsTheProcessEnds) {
    LocalHTTPServer server;
    server.respondWith({200, "ok"});
    const std::string command = std::string(FIRST_REQUEST) + " '" + server.baseURL() + "/'";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 0) << "3: OpenSSL cleaned itself up at exit";
}

}  // namespace
