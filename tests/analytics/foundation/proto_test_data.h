#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "analytics/foundation/nano_object.h"

namespace proto_test {

// A golden encoding made once with protoc (tools/proto-goldens.sh) and kept beside the tests.
inline std::vector<uint8_t> golden(const std::string& name) {
    std::ifstream in(std::string(PROTO_TEST_DATA_DIR) + "/" + name + ".bin", std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::vector<uint8_t> hex(std::string_view text) {
    std::vector<uint8_t> bytes;
    int high = -1;
    for (char c : text) {
        int value;
        if (c >= '0' && c <= '9') {
            value = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            value = c - 'a' + 10;
        } else {
            continue;
        }
        if (high < 0) {
            high = value;
        } else {
            bytes.push_back(static_cast<uint8_t>(high * 16 + value));
            high = -1;
        }
    }
    return bytes;
}

inline NanoObject number(int64_t value) {
    return NanoNumber::withLongLong(value);
}

template <typename Message>
NanoObject object(const std::shared_ptr<Message>& message) {
    return std::static_pointer_cast<NANOMessageBase>(message);
}

// The numbers of an array read with APMNanoGetArray, as 64-bit integers.
inline std::vector<int64_t> integers(const std::vector<NanoObject>& objects) {
    std::vector<int64_t> values;
    for (const auto& object : objects) values.push_back(std::get<NanoNumber>(object).longLongValue());
    return values;
}

}  // namespace proto_test
