#include "tests/support/python_plist_reader.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace quorvel::testing {

namespace {

constexpr const char* kPython = "/usr/bin/python3";

// Prints what plistlib read; dates as whole microseconds since 2001-01-01, reals as their bits.
constexpr const char* kScript = R"(
import datetime, plistlib, struct, sys
EPOCH = datetime.datetime(2001, 1, 1)
MICROSECOND = datetime.timedelta(microseconds=1)
def hexed(text): return text.encode("utf-8").hex()
def show(path, value):
    if isinstance(value, bool): print(f"{path} bool {int(value)}")
    elif isinstance(value, int): print(f"{path} int {value}")
    elif isinstance(value, float): print(path, "real", struct.pack(">d", value).hex())
    elif isinstance(value, datetime.datetime): print(path, "date", (value - EPOCH) // MICROSECOND)
    elif isinstance(value, str): print(f"{path} string {hexed(value)}")
    elif isinstance(value, bytes): print(f"{path} data {value.hex()}")
    elif isinstance(value, list):
        print(f"{path} array {len(value)}")
        for index, item in enumerate(value): show(f"{path}/{index}", item)
    elif isinstance(value, dict):
        print(f"{path} dict {len(value)}")
        for key in sorted(value, key=lambda k: k.encode("utf-8")): show(f"{path}/{hexed(key)}", value[key])
    elif value is None: print(f"{path} null 0")
    else: sys.exit(f"unknown kind {type(value)}")
with open(sys.argv[1], "rb") as file: show("", plistlib.load(file))
)";

std::string hex(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        out += kDigits[byte >> 4];
        out += kDigits[byte & 0xF];
    }
    return out;
}

void show(std::ostringstream& out, const std::string& path, const platform::Value& value) {
    using Kind = platform::Value::Kind;
    switch (value.kind()) {
        case Kind::Null:
            out << path << " null 0\n";
            break;
        case Kind::Bool:
            out << path << " bool " << (*value.boolValue() ? 1 : 0) << "\n";
            break;
        case Kind::Int:
            out << path << " int " << *value.intValue() << "\n";
            break;
        case Kind::UInt:
            out << path << " int " << *value.uintValue() << "\n";
            break;
        case Kind::Double: {
            const auto bits = std::bit_cast<std::uint64_t>(*value.doubleValue());
            std::string big;
            for (int i = 7; i >= 0; --i) big += static_cast<char>((bits >> (8 * i)) & 0xFF);
            out << path << " real " << hex(big) << "\n";
            break;
        }
        case Kind::Date: {
            // Printed as a real, compared within a microsecond.
            const double micro = value.dateValue()->timeIntervalSinceReferenceDate() * 1e6;
            out << path << " date " << static_cast<long long>(std::floor(micro)) << "\n";
            break;
        }
        case Kind::String:
            out << path << " string " << hex(*value.stringValue()) << "\n";
            break;
        case Kind::Data: {
            const auto& data = *value.dataValue();
            out << path << " data " << hex(std::string(data.begin(), data.end())) << "\n";
            break;
        }
        case Kind::Array: {
            const auto& array = *value.arrayValue();
            out << path << " array " << array.size() << "\n";
            for (std::size_t i = 0; i < array.size(); ++i)
                show(out, path + "/" + std::to_string(i), array[i]);
            break;
        }
        case Kind::Dictionary: {
            const auto& dictionary = *value.dictionaryValue();
            out << path << " dict " << dictionary.size() << "\n";
            for (const auto& [key, item] : dictionary) show(out, path + "/" + hex(key), item);
            break;
        }
    }
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> found;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) found.push_back(line);
    return found;
}

// Two date lines of one path whose microseconds differ by at most one.
bool sameDate(const std::string& a, const std::string& b) {
    const auto at = a.find(" date ");
    if (at == std::string::npos || b.compare(0, at + 6, a, 0, at + 6) != 0) return false;
    return std::abs(std::stoll(a.substr(at + 6)) - std::stoll(b.substr(at + 6))) <= 1;
}

}  // namespace

bool PythonPlistReader::available() {
    return std::system((std::string(kPython) + " -c 'import plistlib' 2>/dev/null").c_str()) == 0;
}

std::optional<std::string> PythonPlistReader::listing(const std::filesystem::path& file, std::string* error) {
    const std::string command = std::string(kPython) + " -c '" + kScript + "' '" + file.string() + "' 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return std::nullopt;
    std::string output;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
    if (::pclose(pipe) != 0) {
        if (error) *error = output;
        return std::nullopt;
    }
    return output;
}

std::string PythonPlistReader::listing(const platform::Value& value) {
    std::ostringstream out;
    show(out, "", value);
    return out.str();
}

bool PythonPlistReader::same(const std::string& python, const std::string& ours, std::string* difference) {
    const auto theirs = lines(python);
    const auto mine = lines(ours);
    for (std::size_t i = 0; i < std::max(theirs.size(), mine.size()); ++i) {
        const std::string a = i < theirs.size() ? theirs[i] : "(nothing)";
        const std::string b = i < mine.size() ? mine[i] : "(nothing)";
        if (a == b || sameDate(a, b)) continue;
        if (difference) *difference = "plistlib: " + a + "\nours:     " + b;
        return false;
    }
    return true;
}

}  // namespace quorvel::testing
