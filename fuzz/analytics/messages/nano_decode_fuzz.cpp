// Feeds arbitrary bytes to the decoder of one message type, chosen by the first byte. Whatever decodes
// must encode, decode again to the same canonical bytes, and copy to the same bytes.
#include <cstdlib>
#include <vector>

#include "analytics/messages/nano_message_codec.h"
#include "analytics/messages/proto/apm_messages.h"
#include "platform/foundation/console.h"

namespace {

bool encode(const NanoMessageType& type, const APMNanoMessageInfo* info, std::vector<uint8_t>& out) {
    return APMNanoEncodeMessageToData(type, info, out);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    // Keep the decoder's failure lines out of the fuzzer's output.
    platform::Console::Capture quiet;
    const NanoMessageType& type = *apmpb_types::kAllMessageTypes[data[0] % apmpb_types::kMessageTypeCount];
    APMNanoMessageInfo* info = APMNanoNewMessageInfo(type.init);
    if (type.decode(data + 1, size - 1, info)) {
        std::vector<uint8_t> first;
        if (!encode(type, info, first)) std::abort();
        APMNanoMessageInfo* again = APMNanoNewMessageInfo(type.init);
        std::vector<uint8_t> second;
        if (!type.decode(first.data(), first.size(), again) || !encode(type, again, second) ||
            second != first) {
            std::abort();
        }
        APMNanoMessageInfo* copy = nullptr;
        std::vector<uint8_t> copied;
        if (!type.copy(&copy, again) || !encode(type, copy, copied) || copied != first) std::abort();
        type.release(copy);
        type.release(again);
    }
    type.release(info);
    return 0;
}
