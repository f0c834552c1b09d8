#include "platform/foundation/json_lines_file.h"

#include <cmath>
#include <cstdint>
#include <fstream>

#include "platform/foundation/console.h"
#include "platform/foundation/data_root.h"
#include "platform/foundation/ns_date.h"
#include "platform/foundation/ns_json_serialization.h"

namespace platform {

namespace {

bool endsInTornRecord(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    if (!in || in.tellg() <= 0) return false;
    in.seekg(-1, std::ios::end);
    return in.get() != '\n';
}

}  // namespace

std::filesystem::path JSONLinesFile::path() const {
    return DataRoot::path() / relativePath_;
}

bool JSONLinesFile::append(const Value::Dictionary& record) {
    Value::Dictionary stamped = record;
    stamped.insert_or_assign("time", static_cast<std::int64_t>(std::floor(NSDate::now().timeIntervalSince1970() * 1000)));
    const std::string line = NSJSONSerialization::dataWithJSONObject(stamped) + "\n";
    MutexLock lock(mutex_);
    const auto file = path();
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    std::ofstream out(file, std::ios::binary | std::ios::app);
    // A record cut short (a crash, a full disk) would swallow this one into the same line.
    if (endsInTornRecord(file)) {
        Console::print("JSONLinesFile: " + file.string() +
                       " ends in a torn record; it stays on a line of its own");
        out << '\n';
    }
    out << line;
    out.flush();
    return static_cast<bool>(out);
}

std::vector<std::string> JSONLinesFile::lines() const {
    MutexLock lock(mutex_);
    std::ifstream in(path());
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

}  // namespace platform
