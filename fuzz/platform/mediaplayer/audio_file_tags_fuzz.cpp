// Feeds arbitrary bytes to every tag reader, as the head of a file and as its last bytes. A title read
// is never empty and always UTF-8.
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/utf8.h"
#include "platform/mediaplayer/audio_file_tags.h"

namespace {

void check(const std::optional<std::string>& title) {
    if (title && (title->empty() || !platform::isValidUtf8(*title))) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    using platform::AudioFileTags;
    check(AudioFileTags::id3v2Title(bytes));
    check(AudioFileTags::id3v1Title(bytes));
    check(AudioFileTags::flacTitle(bytes));
    check(AudioFileTags::oggTitle(bytes));
    check(AudioFileTags::wavTitle(bytes));
    return 0;
}
