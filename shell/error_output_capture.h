#pragma once

#include <string>

namespace quorvel::shell {

// Holds back what the process writes to its standard error from construction to finish(), for the
// caller to pass on or fold into a line of its own: a library that says why the desktop refused says it
// on every attempt to connect, where a person should read it once. Only for code that runs while no
// other thread writes there.
class ErrorOutputCapture {
public:
    ErrorOutputCapture();
    // Lets go without reading, as finish() does.
    ~ErrorOutputCapture();
    ErrorOutputCapture(const ErrorOutputCapture&) = delete;
    ErrorOutputCapture& operator=(const ErrorOutputCapture&) = delete;

    // Puts the real standard error back and returns what was written meanwhile. Where nothing could be
    // held (no anonymous file to hold it), writes went through and this is empty.
    std::string finish();

private:
    int held_ = -1;
    int saved_ = -1;
};

}  // namespace quorvel::shell
