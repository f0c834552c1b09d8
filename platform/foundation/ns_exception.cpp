#include "platform/foundation/ns_exception.h"

#include <execinfo.h>

#include <cstdlib>
#include <memory>

namespace platform {

const std::string& NSInvalidArgumentException = *new std::string("NSInvalidArgumentException");
const std::string& NSInternalInconsistencyException = *new std::string("NSInternalInconsistencyException");

namespace {

// The frames above the raise, one text per frame, as the platform keeps them for a thrown exception.
std::vector<std::string> currentCallStack() {
    void* frames[64];
    const int count = ::backtrace(frames, 64);
    std::unique_ptr<char*, decltype(&std::free)> symbols(::backtrace_symbols(frames, count), &std::free);
    std::vector<std::string> lines;
    if (!symbols) return lines;
    for (int i = 1; i < count; ++i) lines.push_back(std::to_string(i - 1) + "   " + symbols.get()[i]);
    return lines;
}

}  // namespace

NSException::NSException(std::string name, std::string reason, std::vector<std::string> callStackSymbols)
    : name_(std::move(name)), reason_(std::move(reason)), callStackSymbols_(std::move(callStackSymbols)) {}

void NSException::raise(const std::string& name, const std::string& reason) {
    throw NSException(name, reason, currentCallStack());
}

}  // namespace platform
