// A process whose first use of OpenSSL is a request, through libcurl: GETs the URL it is given, then
// ends as a process does, with worker threads that may still be using OpenSSL. Its own exit handler,
// registered before the request, runs after any OpenSSL registered on the way: it exits 0 when OpenSSL
// still serves then, 3 when OpenSSL has freed itself under those threads.
//   first_request <url>
#include <openssl/crypto.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/vuziriutilities/vul_network_session.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    std::atexit([] { ::_exit(OPENSSL_init_crypto(0, nullptr) == 1 ? 0 : 3); });
    std::shared_ptr<platform::NSError> error;
    return platform::VULNetworkSession::GET(argv[1], 60, &error) ? 0 : 1;
}
