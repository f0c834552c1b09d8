#include "platform/foundation/ns_json_serialization.h"

#include <cmath>
#include <cstdio>

#include "platform/foundation/base64.h"

namespace platform {

namespace {

void writeString(std::string& out, const std::string& text) {
    out += '"';
    for (const char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
                    out += escaped;
                } else {
                    out += c;
                }
        }
    }
    out += '"';
}

void writeNumber(std::string& out, double number) {
    if (!std::isfinite(number)) {
        out += "null";
        return;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", number);
    out += text;
}

void write(std::string& out, const Value& value) {
    using Kind = Value::Kind;
    switch (value.kind()) {
        case Kind::Null:
            out += "null";
            return;
        case Kind::Bool:
            out += *value.boolValue() ? "true" : "false";
            return;
        case Kind::Int:
        case Kind::UInt:
            out += value.intValue() ? std::to_string(*value.intValue()) : std::to_string(*value.uintValue());
            return;
        case Kind::Double:
            return writeNumber(out, *value.doubleValue());
        case Kind::String:
            return writeString(out, *value.stringValue());
        case Kind::Data:
            return writeString(out, Base64::encode(*value.dataValue()));
        case Kind::Date:
            return writeNumber(out, value.dateValue()->timeIntervalSince1970());
        case Kind::Array: {
            out += '[';
            const char* separator = "";
            for (const Value& element : *value.arrayValue()) {
                out += separator;
                write(out, element);
                separator = ",";
            }
            out += ']';
            return;
        }
        case Kind::Dictionary: {
            out += '{';
            const char* separator = "";
            for (const auto& [key, element] : *value.dictionaryValue()) {
                out += separator;
                writeString(out, key);
                out += ':';
                write(out, element);
                separator = ",";
            }
            out += '}';
            return;
        }
    }
}

}  // namespace

std::string NSJSONSerialization::dataWithJSONObject(const Value& value) {
    std::string out;
    write(out, value);
    return out;
}

}  // namespace platform
