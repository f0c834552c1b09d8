#include "analytics/foundation/apm_dictionary_additions.h"

#include <charconv>
#include <cmath>
#include <vector>

#include "analytics/foundation/apm_string_additions.h"
#include "platform/foundation/percent_encoding.h"

namespace analytics {

namespace {

// A value as a query writes it: text as it is, numbers in decimal, booleans as 1 or 0.
std::string queryText(const platform::Value& value) {
    using Kind = platform::Value::Kind;
    switch (value.kind()) {
        case Kind::String:
            return *value.stringValue();
        case Kind::Bool:
            return *value.boolValue() ? "1" : "0";
        case Kind::Int:
            return std::to_string(*value.intValue());
        case Kind::UInt:
            return std::to_string(*value.uintValue());
        case Kind::Double: {
            const double number = *value.doubleValue();
            if (!std::isfinite(number)) return std::isnan(number) ? "nan" : (number > 0 ? "inf" : "-inf");
            char buffer[64];
            auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
            return std::string(buffer, result.ptr);
        }
        default:
            return "";
    }
}

}  // namespace

std::string apm_queryString(const platform::Value::Dictionary& dictionary) {
    std::string query;
    for (const auto& [key, value] : dictionary) {
        if (!query.empty()) query += "&";
        query += platform::percentEncode(key) + "=" + platform::percentEncode(queryText(value));
    }
    return query;
}

std::map<std::string, std::string> apm_dictionaryWithHttpArgumentsString(const std::string& query) {
    std::vector<std::string> pieces;
    std::string::size_type start = 0;
    for (;;) {
        const auto end = query.find('&', start);
        pieces.push_back(query.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    std::map<std::string, std::string> arguments;
    // From last to first, so the first occurrence of a key is the one that stays.
    for (auto piece = pieces.rbegin(); piece != pieces.rend(); ++piece) {
        if (piece->empty()) continue;
        const auto equals = piece->find('=');
        if (equals == std::string::npos) {
            arguments[apm_stringByUnescapingFromURLArgument(*piece).value_or("")] = "";
            continue;
        }
        const auto key = apm_stringByUnescapingFromURLArgument(piece->substr(0, equals)).value_or("");
        arguments[key] = apm_stringByUnescapingFromURLArgument(piece->substr(equals + 1)).value_or("");
    }
    return arguments;
}

}  // namespace analytics
