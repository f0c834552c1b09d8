#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/value.h"

namespace platform {

class NSEntityDescription;
class NSManagedObject;

// A filter on attribute values from a format such as "(timestamp >= %@) AND (timestamp <= %@)":
// comparisons (==, =, !=, <, <=, >, >=) of an attribute with %@ (filled from the arguments in order),
// a number or a quoted string, joined by AND, OR, NOT and parentheses. Numbers and dates compare by
// value, strings by their bytes; a comparison with a missing value is false.
class NSPredicate {
public:
    struct Node;

    // None when the format does not parse or has too few arguments.
    static std::shared_ptr<NSPredicate> predicateWithFormat(const std::string& format,
                                                            std::vector<Value> arguments = {});

    bool evaluateWithObject(const NSManagedObject& object) const;
    // Negative, zero or positive by the rules above; none when the two cannot be compared.
    static std::optional<int> compareValues(const Value& a, const Value& b);
    // A WHERE clause over the entity's columns with ? for every value, appended to `binds`. False
    // when the predicate names a key the entity lacks.
    bool sqlWhereClause(const NSEntityDescription& entity, std::string& sql, std::vector<Value>& binds) const;

    explicit NSPredicate(std::shared_ptr<const Node> root) : root_(std::move(root)) {}

private:
    std::shared_ptr<const Node> root_;
};

}  // namespace platform
