#include "platform/vuziriutilities/vul_gzip.h"

#include <zlib.h>

#include <algorithm>
#include <string>

namespace platform {

const char* const kVULGzipErrorDomain = "VULGzipErrorDomain";

namespace {

// zlib's window bits for the largest window inside a gzip wrapper.
constexpr int kGzipWindowBits = 15 + 16;
constexpr std::size_t kChunk = 16384;

VULData fail(VULErrorOut error, int code, const z_stream& stream, const char* fallback) {
    if (error) {
        *error = NSError::errorWithDomain(kVULGzipErrorDomain, code,
                                          {{NSLocalizedDescriptionKey, stream.msg ? stream.msg : fallback}});
    }
    return {};
}

Bytef* input(const VULData& data) {
    // zlib takes its input through a non-const pointer but never writes to it.
    return const_cast<Bytef*>(data.data());
}

}  // namespace

VULData vul_dataByGzippingData(const VULData& data, VULErrorOut error) {
    z_stream stream{};
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, kGzipWindowBits, 8, Z_DEFAULT_STRATEGY) !=
        Z_OK)
        return fail(error, Z_STREAM_ERROR, stream, "Cannot start compressing");
    VULData output(deflateBound(&stream, data.size()));
    stream.next_in = input(data);
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = output.data();
    stream.avail_out = static_cast<uInt>(output.size());
    // The bound holds the whole stream, so one call finishes it.
    const int result = deflate(&stream, Z_FINISH);
    if (result != Z_STREAM_END) {
        deflateEnd(&stream);
        return fail(error, result, stream, "Cannot compress");
    }
    output.resize(stream.total_out);
    deflateEnd(&stream);
    return output;
}

VULData vul_dataByInflatingGzippedData(const VULData& data, VULErrorOut error, std::size_t maxSize) {
    z_stream stream{};
    if (inflateInit2(&stream, kGzipWindowBits) != Z_OK)
        return fail(error, Z_STREAM_ERROR, stream, "Cannot start inflating");
    stream.next_in = input(data);
    stream.avail_in = static_cast<uInt>(data.size());
    VULData output;
    int result = Z_OK;
    // Room for one byte more than allowed tells a stream that is too large from one that just fits.
    while (result == Z_OK && output.size() <= maxSize) {
        const std::size_t used = output.size();
        output.resize(std::min(used + kChunk, maxSize + 1));
        stream.next_out = output.data() + used;
        stream.avail_out = static_cast<uInt>(output.size() - used);
        result = inflate(&stream, Z_NO_FLUSH);
        output.resize(output.size() - stream.avail_out);
        // Without input left and without an end the stream was cut short.
        if (result == Z_BUF_ERROR || (result == Z_OK && stream.avail_in == 0 && stream.avail_out != 0))
            result = Z_DATA_ERROR;
    }
    const bool tooLarge = output.size() > maxSize;
    if (tooLarge || result != Z_STREAM_END) {
        fail(error, tooLarge ? Z_BUF_ERROR : result, stream,
             tooLarge ? "Inflated data is larger than allowed" : "Truncated gzip data");
        output.clear();
    }
    inflateEnd(&stream);
    return output;
}

}  // namespace platform
