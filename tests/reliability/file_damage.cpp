#include "tests/reliability/file_damage.h"

#include <sqlite3.h>

#include <fstream>
#include <random>
#include <sstream>

namespace quorvel::testing {

std::string nameOf(WholeFileDamage damage) {
    switch (damage) {
        case WholeFileDamage::Truncated:
            return "truncated";
        case WholeFileDamage::Garbage:
            return "garbage";
        case WholeFileDamage::ForeignFile:
            return "foreign file";
    }
    return "?";
}

std::string contentsOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

void damage(const std::filesystem::path& file, WholeFileDamage damage, const std::string& foreign) {
    std::string contents = contentsOf(file);
    switch (damage) {
        case WholeFileDamage::Truncated:
            contents.resize(contents.size() / 2);
            break;
        case WholeFileDamage::Garbage: {
            std::mt19937 random(static_cast<unsigned>(contents.size()));
            for (std::size_t i = contents.size() / 4; i < contents.size() * 3 / 4; ++i)
                contents[i] = static_cast<char>(random());
            break;
        }
        case WholeFileDamage::ForeignFile:
            contents = foreign;
            break;
    }
    std::ofstream(file, std::ios::binary | std::ios::trunc) << contents;
}

bool executeSql(const std::filesystem::path& database, const std::string& sql) {
    sqlite3* db = nullptr;
    bool done = sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK &&
                sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return done;
}

void settle(const std::filesystem::path& database) {
    executeSql(database, "PRAGMA wal_checkpoint(TRUNCATE)");
    for (const char* suffix : {"-wal", "-shm"}) std::filesystem::remove(database.string() + suffix);
}

std::string foreignDatabase() {
    std::string header = "SQLite format 3";
    header.push_back('\0');
    header.resize(100, '\x7f');
    return header;
}

}  // namespace quorvel::testing
