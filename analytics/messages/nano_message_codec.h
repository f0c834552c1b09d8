#pragma once

#include <pb.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "analytics/messages/nano_message_info.h"

// Limits on untrusted input: one string or bytes value, and the nesting of repeated sub-messages.
inline constexpr size_t kNanoMaxStringSize = 1048576;
inline constexpr int kNanoMaxNestingDepth = 100;

// Fills an initialised info from encoded bytes: 1, or 0 after printing why.
int APMNanoDecodeMessage(const NanoMessageType& type, const uint8_t* bytes, size_t length,
                         APMNanoMessageInfo* info);

// Encodes into a new buffer that the caller frees with std::free; the encoded length, or -1.
int64_t APMNanoEncodeMessage(const NanoMessageType& type, const APMNanoMessageInfo* info, uint8_t** buffer);

// The same into `out`, which holds exactly the encoded bytes on success.
bool APMNanoEncodeMessageToData(const NanoMessageType& type, const APMNanoMessageInfo* info,
                                std::vector<uint8_t>& out);

// nanopb callbacks of the string and repeated fields.
bool APMNanoDecodeString(pb_istream_t* stream, const pb_field_t* field, void** arg);
bool APMNanoDecodeRepeatedString(pb_istream_t* stream, const pb_field_t* field, void** arg);
bool APMNanoDecodeRepeatedVarint(pb_istream_t* stream, const pb_field_t* field, void** arg);
bool APMNanoDecodeRepeatedMessage(pb_istream_t* stream, const pb_field_t* field, void** arg);
bool APMNanoEncodeString(pb_ostream_t* stream, const pb_field_t* field, void* const* arg);
bool APMNanoEncodeRepeatedString(pb_ostream_t* stream, const pb_field_t* field, void* const* arg);
bool APMNanoEncodeRepeatedVarint(pb_ostream_t* stream, const pb_field_t* field, void* const* arg);
bool APMNanoEncodeRepeatedMessage(pb_ostream_t* stream, const pb_field_t* field, void* const* arg);
