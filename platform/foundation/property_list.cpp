#include "platform/foundation/property_list.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <pugixml.hpp>
#include <sstream>
#include <system_error>

#include "platform/foundation/atomic_file.h"
#include "platform/foundation/base64.h"
#include "platform/foundation/binary_property_list.h"
#include "platform/foundation/iso8601_date.h"
#include "platform/foundation/utf8.h"

namespace platform {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Appends into one string (GCC 12 warns falsely about chains of string operator+).
template <typename... Parts>
std::string join(const Parts&... parts) {
    std::string joined;
    (joined.append(std::string_view(parts)), ...);
    return joined;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
    return text;
}

// XML's five named entities and character references. The parser leaves them to us so that
// "&#0;" can become a NUL byte inside a string instead of ending it.
bool appendDecoded(std::string_view raw, std::string& out) {
    static constexpr std::pair<std::string_view, char> kNamed[] = {
        {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
    while (!raw.empty()) {
        const auto amp = raw.find('&');
        out.append(raw.substr(0, amp));
        if (amp == std::string_view::npos) return true;
        raw.remove_prefix(amp + 1);
        const auto semicolon = raw.find(';');
        if (semicolon == std::string_view::npos) return false;
        const std::string_view name = raw.substr(0, semicolon);
        raw.remove_prefix(semicolon + 1);
        if (name.size() >= 2 && name[0] == '#') {
            const bool hex = name[1] == 'x';
            const std::string_view digits = name.substr(hex ? 2 : 1);
            std::uint32_t code = 0;
            const auto [end, error] =
                std::from_chars(digits.data(), digits.data() + digits.size(), code, hex ? 16 : 10);
            if (error != std::errc() || end != digits.data() + digits.size() || digits.empty()) return false;
            if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
            appendUtf8(out, code);
            continue;
        }
        bool known = false;
        for (const auto& [entity, character] : kNamed) {
            if (name == entity) {
                out += character;
                known = true;
            }
        }
        if (!known) return false;
    }
    return true;
}

// --- Writing -----------------------------------------------------------------------------------

// Finds the first value the writer has no form for, at most kMaxDepth levels down. The binary form
// holds text only as Unicode, so it also needs every string and key to be UTF-8.
std::optional<std::string> unwritable(const Value& value, int depth, bool needsUtf8) {
    if (const auto* text = value.stringValue(); needsUtf8 && text && !isValidUtf8(*text)) {
        return std::string("a string that is not UTF-8");
    }
    if (const auto date = value.dateValue(); date && !Iso8601Date::format(*date)) {
        return join("the date ", std::to_string(date->timeIntervalSinceReferenceDate()),
                    " has no ISO 8601 form");
    }
    const bool container = value.arrayValue() || value.dictionaryValue();
    if (container && depth + 1 > PropertyList::kMaxDepth) return std::string("nested deeper than 512 levels");
    if (const auto* array = value.arrayValue()) {
        for (const auto& item : *array) {
            if (auto problem = unwritable(item, depth + 1, needsUtf8)) return problem;
        }
    }
    if (const auto* dictionary = value.dictionaryValue()) {
        for (const auto& [key, item] : *dictionary) {
            if (needsUtf8 && !item.isNull() && !isValidUtf8(key)) {
                return std::string("a key that is not UTF-8");
            }
            if (auto problem = unwritable(item, depth + 1, needsUtf8)) {
                return join("\"", key, "\": ", *problem);
            }
        }
    }
    return std::nullopt;
}

bool checkWritable(const Value& value, bool needsUtf8, std::string* error) {
    const auto problem = unwritable(value, 0, needsUtf8);
    if (problem && error) *error = *problem;
    return !problem;
}

class Writer {
public:
    std::string finish(const Value& value) {
        out_ = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
        if (value.isNull()) {
            out_ += "<plist version=\"1.0\"/>\n";
        } else {
            out_ += "<plist version=\"1.0\">\n";
            write(value, 0);
            out_ += "</plist>\n";
        }
        return std::move(out_);
    }

private:
    void indent(int level) { out_.append(static_cast<std::size_t>(level), '\t'); }

    // Escapes what XML text cannot hold as is. Control characters, carriage return included, go
    // out as references so that a reader's line-end normalisation cannot change them.
    void escaped(std::string_view text) {
        for (const char c : text) {
            switch (c) {
                case '&':
                    out_ += "&amp;";
                    break;
                case '<':
                    out_ += "&lt;";
                    break;
                case '>':
                    out_ += "&gt;";
                    break;
                case '\t':
                case '\n':
                    out_ += c;
                    break;
                default:
                    if (static_cast<unsigned char>(c) < 0x20) {
                        out_ += join("&#", std::to_string(static_cast<int>(c)), ";");
                    } else {
                        out_ += c;
                    }
            }
        }
    }

    void element(int level, const char* name, std::string_view text, bool escape = false) {
        indent(level);
        out_ += '<';
        out_ += name;
        out_ += '>';
        if (escape) {
            escaped(text);
        } else {
            out_ += text;
        }
        out_ += "</";
        out_ += name;
        out_ += ">\n";
    }

    static std::string realText(double number) {
        if (std::isnan(number)) return "nan";
        char buffer[32];
        const auto result =
            std::to_chars(buffer, buffer + sizeof buffer, number, std::chars_format::general, 17);
        return std::string(buffer, result.ptr);
    }

    void write(const Value& value, int level) {
        using Kind = Value::Kind;
        switch (value.kind()) {
            case Kind::Null:
                break;
            case Kind::Bool:
                indent(level);
                out_ += *value.boolValue() ? "<true/>\n" : "<false/>\n";
                break;
            case Kind::Int:
                element(level, "integer", std::to_string(*value.intValue()));
                break;
            case Kind::UInt:
                element(level, "integer", std::to_string(*value.uintValue()));
                break;
            case Kind::Double:
                element(level, "real", realText(*value.doubleValue()));
                break;
            case Kind::String:
                element(level, "string", *value.stringValue(), true);
                break;
            case Kind::Data:
                element(level, "data", Base64::encode(*value.dataValue()));
                break;
            case Kind::Date:
                element(level, "date", *Iso8601Date::format(*value.dateValue()));
                break;
            case Kind::Array:
                writeArray(*value.arrayValue(), level);
                break;
            case Kind::Dictionary:
                writeDictionary(*value.dictionaryValue(), level);
                break;
        }
    }

    void writeArray(const Value::Array& array, int level) {
        indent(level);
        out_ += "<array>\n";
        for (const auto& item : array) {
            if (!item.isNull()) write(item, level + 1);
        }
        indent(level);
        out_ += "</array>\n";
    }

    void writeDictionary(const Value::Dictionary& dictionary, int level) {
        indent(level);
        out_ += "<dict>\n";
        for (const auto& [key, item] : dictionary) {
            if (item.isNull()) continue;
            element(level + 1, "key", key, true);
            write(item, level + 1);
        }
        indent(level);
        out_ += "</dict>\n";
    }

    std::string out_;
};

// --- Reading -----------------------------------------------------------------------------------

class Reader {
public:
    explicit Reader(std::string* error) : error_(error) {}

    std::optional<Value> document(const pugi::xml_document& document) {
        pugi::xml_node plist;
        if (!onlyElement(document, plist, "the document")) return std::nullopt;
        if (!plist) return fail("no <plist> element");
        if (std::string_view(plist.name()) != "plist")
            return fail(join("the root element is <", name(plist), ">"));
        pugi::xml_node root;
        if (!onlyElement(plist, root, "<plist>")) return std::nullopt;
        if (!root) return Value();
        return value(root, 0);
    }

private:
    static std::string name(pugi::xml_node node) { return node.name(); }

    std::nullopt_t fail(const std::string& message) {
        if (error_) *error_ = message;
        return std::nullopt;
    }
    bool refuse(const std::string& message) {
        fail(message);
        return false;
    }

    static bool isBlankText(pugi::xml_node node) {
        return node.type() == pugi::node_pcdata && trimmed(node.value()).empty();
    }

    // The single element inside `parent`, or none; blank text around it is layout.
    bool onlyElement(pugi::xml_node parent, pugi::xml_node& found, const std::string& where) {
        for (auto child : parent.children()) {
            if (isBlankText(child)) continue;
            if (child.type() != pugi::node_element) return refuse(join("text inside ", where));
            if (found) return refuse(join("more than one value inside ", where));
            found = child;
        }
        return true;
    }

    // The text of a leaf element; an element inside it is an error.
    std::optional<std::string> text(pugi::xml_node node) {
        std::string content;
        for (auto child : node.children()) {
            if (child.type() == pugi::node_cdata) {
                content += child.value();
            } else if (child.type() != pugi::node_pcdata) {
                return fail(join("an element inside <", name(node), ">"));
            } else if (!appendDecoded(child.value(), content)) {
                return fail(join("a bad character reference inside <", name(node), ">"));
            }
        }
        return content;
    }

    std::optional<Value> integer(std::string_view text) {
        text = trimmed(text);
        const char* end = text.data() + text.size();
        std::int64_t signedNumber = 0;
        auto result = std::from_chars(text.data(), end, signedNumber);
        if (result.ec == std::errc() && result.ptr == end && !text.empty()) return Value(signedNumber);
        if (result.ec == std::errc::result_out_of_range && text.front() != '-') {
            std::uint64_t unsignedNumber = 0;
            result = std::from_chars(text.data(), end, unsignedNumber);
            if (result.ec == std::errc() && result.ptr == end) return Value(unsignedNumber);
        }
        return fail(join("bad integer \"", text, "\""));
    }

    std::optional<Value> real(std::string_view text) {
        text = trimmed(text);
        const char* end = text.data() + text.size();
        double number = 0;
        const auto result = std::from_chars(text.data(), end, number);
        if (result.ec != std::errc() || result.ptr != end || text.empty()) {
            return fail(join("bad real \"", text, "\""));
        }
        return Value(number);
    }

    std::optional<Value> array(pugi::xml_node node, int depth) {
        Value::Array items;
        for (auto child : node.children()) {
            if (isBlankText(child)) continue;
            if (child.type() != pugi::node_element) return fail("text inside <array>");
            auto item = value(child, depth);
            if (!item) return std::nullopt;
            items.push_back(std::move(*item));
        }
        return Value(std::move(items));
    }

    std::optional<Value> dictionary(pugi::xml_node node, int depth) {
        Value::Dictionary entries;
        std::optional<std::string> key;
        for (auto child : node.children()) {
            if (isBlankText(child)) continue;
            if (child.type() != pugi::node_element) return fail("text inside <dict>");
            const bool isKey = std::string_view(child.name()) == "key";
            if (!key) {
                if (!isKey) return fail(join("<", name(child), "> in a <dict> where a <key> belongs"));
                key = text(child);
                if (!key) return std::nullopt;
                continue;
            }
            if (isKey) return fail(join("the <dict> key \"", *key, "\" has no value"));
            auto item = value(child, depth);
            if (!item) return std::nullopt;
            entries.insert_or_assign(std::move(*key), std::move(*item));
            key.reset();
        }
        if (key) return fail(join("the <dict> key \"", *key, "\" has no value"));
        return Value(std::move(entries));
    }

    std::optional<Value> value(pugi::xml_node node, int depth) {
        const std::string_view kind = node.name();
        if (kind == "dict" || kind == "array") {
            if (depth + 1 > PropertyList::kMaxDepth) return fail("nested deeper than 512 levels");
            return kind == "dict" ? dictionary(node, depth + 1) : array(node, depth + 1);
        }
        if (kind == "true" || kind == "false") {
            for (auto child : node.children()) {
                if (!isBlankText(child)) return fail(join("content inside <", std::string(kind), ">"));
            }
            return Value(kind == "true");
        }
        const bool leaf =
            kind == "string" || kind == "integer" || kind == "real" || kind == "date" || kind == "data";
        if (!leaf) return fail(join("unknown element <", std::string(kind), ">"));
        auto content = text(node);
        if (!content) return std::nullopt;
        if (kind == "string") return Value(std::move(*content));
        if (kind == "integer") return integer(*content);
        if (kind == "real") return real(*content);
        if (kind == "date") {
            if (auto date = Iso8601Date::parse(*content)) return Value(*date);
            return fail(join("bad date \"", *content, "\""));
        }
        if (auto bytes = Base64::decode(*content)) return Value(std::move(*bytes));
        return fail("bad base64 data");
    }

    std::string* error_;
};

}  // namespace

bool PropertyList::isWritable(const Value& value, std::string* error) {
    return checkWritable(value, true, error);
}

std::optional<std::string> PropertyList::serialize(const Value& value, std::string* error) {
    if (!checkWritable(value, false, error)) return std::nullopt;
    return Writer().finish(value);
}

std::optional<std::string> PropertyList::serializeBinary(const Value& value, std::string* error) {
    if (!isWritable(value, error)) return std::nullopt;
    return BinaryPropertyList::serialize(value);
}

std::optional<Value> PropertyList::parse(std::string_view bytes, std::string* error) {
    if (BinaryPropertyList::isBinary(bytes)) return BinaryPropertyList::parse(bytes, error);
    pugi::xml_document document;
    // Keep whitespace-only text, so a string of spaces reads back as written; references are
    // decoded by the reader.
    const unsigned options = (pugi::parse_default | pugi::parse_ws_pcdata) & ~pugi::parse_escapes;
    const auto result = document.load_buffer(bytes.data(), bytes.size(), options);
    if (!result) {
        if (error)
            *error = join("XML error at offset ", std::to_string(result.offset), ": ", result.description());
        return std::nullopt;
    }
    return Reader(error).document(document);
}

std::optional<Value> PropertyList::readFile(const std::filesystem::path& path, std::string* error) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    if (!file || !(content << file.rdbuf())) {
        if (error) *error = join("cannot read ", path.string());
        return std::nullopt;
    }
    return parse(content.view(), error);
}

bool PropertyList::writeFileAtomically(const std::filesystem::path& path, const Value& value) {
    const auto text = serializeBinary(value);
    return text && AtomicFile::write(path, *text);
}

}  // namespace platform
