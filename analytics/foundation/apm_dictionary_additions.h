#pragma once

#include <map>
#include <string>

#include "platform/foundation/value.h"

namespace analytics {

// "key=value" pairs in the dictionary's order, joined by "&". Keys and values are percent-encoded down to
// the unreserved characters, so "&", "=" and "+" inside them can never split or change the query.
std::string apm_queryString(const platform::Value::Dictionary& dictionary);
// The pairs of a query text, unescaped; for a repeated key the first occurrence wins, a piece without "="
// is a key with an empty value and anything that fails to unescape becomes an empty string.
std::map<std::string, std::string> apm_dictionaryWithHttpArgumentsString(const std::string& query);

}  // namespace analytics
