#pragma once

#include <cctype>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "analytics/messages/nano_object.h"

namespace proto_test {

// A golden encoding made once with protoc (tools/proto-goldens.sh) and kept beside the tests.
inline std::vector<uint8_t> golden(const std::string& name) {
    std::ifstream in(std::string(PROTO_TEST_DATA_DIR) + "/" + name + ".bin", std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Bytes from hex digits; spaces and other characters between them are skipped.
inline std::vector<uint8_t> hex(std::string_view text) {
    std::string digits;
    for (char c : text) {
        if (std::isxdigit(static_cast<unsigned char>(c))) digits += c;
    }
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i + 1 < digits.size(); i += 2) {
        bytes.push_back(static_cast<uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

// Element `index` of an array read with APMNanoGetArray, as the message type it holds.
template <typename Message, typename List>
std::shared_ptr<Message> element(const List& list, size_t index) {
    return std::static_pointer_cast<Message>(std::get<std::shared_ptr<NANOMessageBase>>(list->at(index)));
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
