#include "platform/coredata/ns_predicate.h"

#include <cctype>
#include <optional>

#include "platform/coredata/ns_managed_object.h"

namespace platform {

struct NSPredicate::Node {
    enum class Kind { And, Or, Not, Compare } kind;
    std::shared_ptr<const Node> left, right;
    std::string key;
    std::string op;
    Value value;
};

namespace {

using Node = NSPredicate::Node;

// Splits the format into words, operators, parentheses, numbers and quoted strings.
class Lexer {
public:
    explicit Lexer(const std::string& text) : text_(text) {}

    std::optional<std::string> next() {
        while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
        if (pos_ >= text_.size()) return std::nullopt;
        const char c = text_[pos_];
        const auto start = pos_;
        if (c == '(' || c == ')') return std::string(1, text_[pos_++]);
        if (c == '"' || c == '\'') {
            const auto close = text_.find(c, pos_ + 1);
            if (close == std::string::npos) return std::string("\x01");  // unterminated: never a valid token
            pos_ = close + 1;
            return text_.substr(start, pos_ - start);
        }
        if (std::string("<>=!&|%").find(c) != std::string::npos) {
            while (pos_ < text_.size() && std::string("<>=!&|%@").find(text_[pos_]) != std::string::npos)
                ++pos_;
            return text_.substr(start, pos_ - start);
        }
        while (pos_ < text_.size() && (std::isalnum(static_cast<unsigned char>(text_[pos_])) ||
                                       text_[pos_] == '_' || text_[pos_] == '.' || text_[pos_] == '-'))
            ++pos_;
        if (pos_ == start) return std::string("\x01");
        return text_.substr(start, pos_ - start);
    }

private:
    const std::string& text_;
    std::size_t pos_ = 0;
};

std::string upper(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

class Parser {
public:
    Parser(const std::string& format, std::vector<Value> arguments)
        : lexer_(format), arguments_(std::move(arguments)) {
        advance();
    }

    std::shared_ptr<const Node> parse() {
        auto root = parseOr();
        if (!root || token_) return nullptr;
        return root;
    }

private:
    void advance() { token_ = lexer_.next(); }
    bool at(const char* a, const char* b = nullptr) const {
        if (!token_) return false;
        const auto word = upper(*token_);
        return word == a || (b && word == b);
    }

    std::shared_ptr<const Node> join(Node::Kind kind, std::shared_ptr<const Node> left,
                                     std::shared_ptr<const Node> right) {
        if (!left || !right) return nullptr;
        return std::make_shared<Node>(Node{kind, std::move(left), std::move(right), {}, {}, {}});
    }

    std::shared_ptr<const Node> parseOr() {
        auto left = parseAnd();
        while (left && at("OR", "||")) {
            advance();
            left = join(Node::Kind::Or, left, parseAnd());
        }
        return left;
    }

    std::shared_ptr<const Node> parseAnd() {
        auto left = parseFactor();
        while (left && at("AND", "&&")) {
            advance();
            left = join(Node::Kind::And, left, parseFactor());
        }
        return left;
    }

    std::shared_ptr<const Node> parseFactor() {
        if (!token_) return nullptr;
        if (at("NOT", "!")) {
            advance();
            auto inner = parseFactor();
            if (!inner) return nullptr;
            return std::make_shared<Node>(Node{Node::Kind::Not, inner, nullptr, {}, {}, {}});
        }
        if (*token_ == "(") {
            advance();
            auto inner = parseOr();
            if (!inner || !token_ || *token_ != ")") return nullptr;
            advance();
            return inner;
        }
        return parseComparison();
    }

    std::shared_ptr<const Node> parseComparison() {
        const std::string key = *token_;
        if (!(std::isalpha(static_cast<unsigned char>(key[0])) || key[0] == '_')) return nullptr;
        advance();
        if (!token_) return nullptr;
        std::string op = *token_;
        if (op == "=") op = "==";
        if (op != "==" && op != "!=" && op != "<" && op != "<=" && op != ">" && op != ">=") return nullptr;
        advance();
        if (!token_) return nullptr;
        auto value = operand(*token_);
        if (!value) return nullptr;
        advance();
        return std::make_shared<Node>(Node{Node::Kind::Compare, nullptr, nullptr, key, op, *value});
    }

    std::optional<Value> operand(const std::string& token) {
        if (token == "%@") {
            if (nextArgument_ >= arguments_.size()) return std::nullopt;
            return arguments_[nextArgument_++];
        }
        if (token.size() >= 2 && (token.front() == '"' || token.front() == '\''))
            return Value(token.substr(1, token.size() - 2));
        char* end = nullptr;
        if (token.find('.') == std::string::npos) {
            const long long number = std::strtoll(token.c_str(), &end, 10);
            if (*end == '\0') return Value(static_cast<std::int64_t>(number));
        }
        const double number = std::strtod(token.c_str(), &end);
        if (*end == '\0' && !token.empty()) return Value(number);
        return std::nullopt;
    }

    Lexer lexer_;
    std::optional<std::string> token_;
    std::vector<Value> arguments_;
    std::size_t nextArgument_ = 0;
};

// Negative, zero or positive; none when the two cannot be compared.
std::optional<int> compare(const Value& a, const Value& b) {
    auto number = [](const Value& v) -> std::optional<double> {
        if (auto date = v.dateValue()) return date->timeIntervalSinceReferenceDate();
        if (v.kind() == Value::Kind::Int) return static_cast<double>(*v.intValue());
        return v.numberValue();
    };
    if (a.stringValue() && b.stringValue()) return a.stringValue()->compare(*b.stringValue());
    if (a.kind() == Value::Kind::Int && b.kind() == Value::Kind::Int) {
        return *a.intValue() < *b.intValue() ? -1 : (*a.intValue() > *b.intValue() ? 1 : 0);
    }
    const auto x = number(a), y = number(b);
    if (!x || !y) return std::nullopt;
    return *x < *y ? -1 : (*x > *y ? 1 : 0);
}

bool evaluate(const Node& node, const NSManagedObject& object) {
    switch (node.kind) {
        case Node::Kind::And:
            return evaluate(*node.left, object) && evaluate(*node.right, object);
        case Node::Kind::Or:
            return evaluate(*node.left, object) || evaluate(*node.right, object);
        case Node::Kind::Not:
            return !evaluate(*node.left, object);
        case Node::Kind::Compare:
            break;
    }
    const auto order = compare(object.valueForKey(node.key), node.value);
    if (!order) return false;
    const int c = *order;
    if (node.op == "==") return c == 0;
    if (node.op == "!=") return c != 0;
    if (node.op == "<") return c < 0;
    if (node.op == "<=") return c <= 0;
    if (node.op == ">") return c > 0;
    return c >= 0;
}

bool toSQL(const Node& node, const NSEntityDescription& entity, std::string& sql, std::vector<Value>& binds) {
    switch (node.kind) {
        case Node::Kind::And:
        case Node::Kind::Or:
            sql += "(";
            if (!toSQL(*node.left, entity, sql, binds)) return false;
            sql += node.kind == Node::Kind::And ? " AND " : " OR ";
            if (!toSQL(*node.right, entity, sql, binds)) return false;
            sql += ")";
            return true;
        case Node::Kind::Not:
            sql += "NOT (";
            if (!toSQL(*node.left, entity, sql, binds)) return false;
            sql += ")";
            return true;
        case Node::Kind::Compare:
            break;
    }
    if (!entity.attributeNamed(node.key)) return false;
    // A NULL column makes the comparison NULL, which WHERE treats as false, as in memory.
    sql += "(\"" + node.key + "\" " + (node.op == "==" ? "=" : node.op) + " ?)";
    binds.push_back(node.value);
    return true;
}

}  // namespace

std::shared_ptr<NSPredicate> NSPredicate::predicateWithFormat(const std::string& format,
                                                              std::vector<Value> arguments) {
    auto root = Parser(format, std::move(arguments)).parse();
    if (!root) return nullptr;
    return std::make_shared<NSPredicate>(std::move(root));
}

std::optional<int> NSPredicate::compareValues(const Value& a, const Value& b) {
    return compare(a, b);
}

bool NSPredicate::evaluateWithObject(const NSManagedObject& object) const {
    return evaluate(*root_, object);
}

bool NSPredicate::sqlWhereClause(const NSEntityDescription& entity, std::string& sql,
                                 std::vector<Value>& binds) const {
    return toSQL(*root_, entity, sql, binds);
}

}  // namespace platform
